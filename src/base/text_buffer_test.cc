#include "base/text_buffer.h"

#include <gtest/gtest.h>

#include <string>

namespace zarnex {
namespace {

// The short copies move overlapping words; every length around their
// boundaries must copy exactly its bytes, to any offset, and touch nothing
// before or after them.
TEST(TextBuffer, CopiesEveryShortLengthExactly) {
  std::string source;
  for (int i = 0; i < 80; ++i) source.push_back(static_cast<char>('!' + i));
  for (std::size_t n = 0; n <= 70; ++n) {
    for (std::size_t offset = 0; offset < 9; ++offset) {
      std::string target(100, '.');
      detail::copy_bytes(target.data() + offset, source.data() + 3, n);
      const std::string expected = std::string(offset, '.') +
                                   source.substr(3, n) +
                                   std::string(100 - offset - n, '.');
      ASSERT_EQ(target, expected) << "length " << n << ", offset " << offset;
    }
  }
}

TEST(TextBuffer, GrowsKeepingWhatWasWritten) {
  TextBuffer text;
  EXPECT_TRUE(text.empty());
  std::string expected;
  for (int i = 0; i < 3000; ++i) {
    const std::string piece = std::to_string(i) + (i % 7 == 0 ? "\n" : ",");
    text.append(piece);
    expected += piece;
    if (i % 500 == 0) {
      text.append('|');
      expected += '|';
    }
  }
  EXPECT_EQ(text.view(), expected);
  EXPECT_EQ(text.size(), expected.size());

  // Truncating and clearing keep the buffer for the next texts.
  text.truncate(5);
  EXPECT_EQ(text.view(), expected.substr(0, 5));
  text.clear();
  EXPECT_TRUE(text.empty());
  char* p = text.extend(3);
  p[0] = 'a', p[1] = 'b', p[2] = 'c';
  EXPECT_EQ(text.view(), "abc");

  // Moving hands the text over and leaves an empty buffer that still works.
  TextBuffer other = std::move(text);
  EXPECT_EQ(other.view(), "abc");
  EXPECT_TRUE(text.empty());
  text.append("again");
  EXPECT_EQ(text.view(), "again");
}

}  // namespace
}  // namespace zarnex
