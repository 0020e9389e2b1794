#include "code/crc32.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "code/crc32_simd.h"

namespace zarnex::code {
namespace {

TEST(Crc32, StandardResults) {
  EXPECT_EQ(crc32("123456789"), 0xCBF43926u);
  EXPECT_EQ(crc32_by_tables("123456789"), 0xCBF43926u);
  EXPECT_EQ(crc32("abc"), 0x352441C2u);
  EXPECT_EQ(crc32("a"), 0xE8B7BE43u);
  EXPECT_EQ(crc32("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
  EXPECT_EQ(crc32(std::string(32, '\0')), 0x190A55ADu);
  EXPECT_EQ(crc32(std::string(32, '\xFF')), 0xFF6CAB0Bu);
  EXPECT_EQ(crc32(""), 0u);
  EXPECT_EQ(crc32(std::string_view()), 0u);
}

// The CRC one bit at a time, as the polynomial defines it.
std::uint32_t bitwise_crc32(std::string_view bytes) {
  if (bytes.empty()) return 0;
  std::uint32_t crc = 0xFFFFFFFFu;
  for (char c : bytes) {
    crc ^= static_cast<unsigned char>(c);
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 1u) != 0 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return crc ^ 0xFFFFFFFFu;
}

// Eight bytes are folded in at a time and the rest one by one: every length
// around those steps, from every start offset, must give the same CRC.
TEST(Crc32, AgreesWithTheBitwiseDefinition) {
  std::mt19937 random(42);
  std::string bytes;
  for (int i = 0; i < 700; ++i) bytes.push_back(static_cast<char>(random()));
  for (std::size_t start = 0; start < 8; ++start) {
    for (std::size_t n = 0; n <= 40; ++n) {
      const std::string_view part = std::string_view(bytes).substr(start, n);
      EXPECT_EQ(crc32(part), bitwise_crc32(part)) << start << " " << n;
    }
  }
  EXPECT_EQ(crc32(bytes), bitwise_crc32(bytes));
}

// Long inputs are folded 64 and then 16 bytes at a time where the processor
// multiplies carry-less, the rest by the tables; both must agree with the
// definition on every length across those steps, from unaligned starts.
TEST(Crc32, BothWaysAgreeWithTheBitwiseDefinition) {
  SCOPED_TRACE(crc32_uses_clmul() ? "carry-less multiplication"
                                  : "tables only on this processor");
  std::mt19937 random(3);
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes.push_back(static_cast<char>(random()));
  for (std::size_t n = 0; n <= 300; ++n) {
    for (std::size_t start : {0, 1, 3, 7, 8, 13}) {
      const std::string_view part = std::string_view(bytes).substr(start, n);
      const std::uint32_t expected = bitwise_crc32(part);
      EXPECT_EQ(crc32(part), expected) << start << " " << n;
      EXPECT_EQ(crc32_by_tables(part), expected) << start << " " << n;
    }
  }
  // Long runs of equal bytes and a long random input: many folding steps.
  for (const std::string& text :
       {std::string(1000, '\0'), std::string(1000, '\xFF'),
        std::string(4097, 'A'), bytes}) {
    EXPECT_EQ(crc32(text), bitwise_crc32(text)) << text.size();
    EXPECT_EQ(crc32_by_tables(text), bitwise_crc32(text)) << text.size();
  }
}

}  // namespace
}  // namespace zarnex::code
