#include "code/crc32.h"

#include <gtest/gtest.h>

#include <string>

namespace zarnex::code {
namespace {

TEST(Crc32, StandardResults) {
  EXPECT_EQ(crc32("123456789"), 0xCBF43926u);
  EXPECT_EQ(crc32("abc"), 0x352441C2u);
  EXPECT_EQ(crc32("a"), 0xE8B7BE43u);
  EXPECT_EQ(crc32("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
  EXPECT_EQ(crc32(std::string(32, '\0')), 0x190A55ADu);
  EXPECT_EQ(crc32(std::string(32, '\xFF')), 0xFF6CAB0Bu);
  EXPECT_EQ(crc32(""), 0u);
  EXPECT_EQ(crc32(std::string_view()), 0u);
}

}  // namespace
}  // namespace zarnex::code
