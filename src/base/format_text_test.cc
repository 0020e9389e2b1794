#include "base/format_text.h"

#include <string>

#include <gtest/gtest.h>

namespace zarnex {
namespace {

// Output shorter, equal to and longer than the hint all come back whole.
TEST(FormatText, HoldsWholeOutput) {
  EXPECT_EQ(format_text(15, "%.8f", 1234567.12345678), "1234567.12345678");
  EXPECT_EQ(format_text(1, "%s-%d", "abcdef", 42), "abcdef-42");
  EXPECT_EQ(format_text(16, "%i", -7), "-7");
  EXPECT_EQ(format_text(2, "%d", 42), "42");
  EXPECT_EQ(format_text(0, "%s", ""), "");
  std::string long_text(5000, 'x');
  EXPECT_EQ(format_text(1024, "<%s>", long_text.c_str()), "<" + long_text + ">");
}

}  // namespace
}  // namespace zarnex
