#include "xml/xml_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace zarnex::xml {
namespace {

constexpr std::size_t kFine = std::string_view::npos;

TEST(XmlText, AcceptsWhatXmlCarries) {
  EXPECT_EQ(first_unwritable(""), kFine);
  EXPECT_EQ(first_unwritable("Plain text & <markup>\t\r\n"), kFine);
  // Two-, three- and four-byte characters at the edges of their ranges.
  EXPECT_EQ(first_unwritable("\xC2\x80 \xDF\xBF"), kFine);
  EXPECT_EQ(first_unwritable("\xE0\xA0\x80 \xED\x9F\xBF \xEE\x80\x80"), kFine);
  EXPECT_EQ(first_unwritable("\xEF\xBF\xBD"), kFine);  // U+FFFD
  EXPECT_EQ(first_unwritable("\xF0\x90\x80\x80 \xF4\x8F\xBF\xBF"), kFine);
  EXPECT_EQ(first_unwritable("Žiga Šuštar, Čevljarna d.o.o."), kFine);
}

TEST(XmlText, FindsTheFirstByteXmlCannotCarry) {
  struct Case {
    std::string text;
    std::size_t offset;
  };
  const Case cases[] = {
      {std::string("ab\0cd", 5), 2},       // NUL
      {"ab\x01", 2},                       // other control characters
      {"\x1F", 0},
      {"ok\x80", 2},                       // a lone continuation byte
      {"\xC0\xAF", 0},                     // overlong forms
      {"\xC1\xBF", 0},
      {"\xE0\x80\xAF", 0},
      {"\xF0\x80\x80\xAF", 0},
      {"x\xC3", 1},                        // cut short at the end
      {"x\xE2\x82", 1},
      {"\xC3(", 0},                        // a lead without continuation
      {"\xED\xA0\x80", 0},                 // a surrogate, U+D800
      {"\xEF\xBF\xBE", 0},                 // U+FFFE
      {"\xEF\xBF\xBF", 0},                 // U+FFFF
      {"\xF4\x90\x80\x80", 0},             // beyond U+10FFFF
      {"\xF5\x80\x80\x80", 0},
      {"\xFF", 0},
      {"Caf\xE9 Latin-1", 3},              // Latin-1, not UTF-8
  };
  for (const Case& c : cases) {
    EXPECT_EQ(first_unwritable(c.text), c.offset) << "text: " << c.text;
  }
}

TEST(XmlText, LooksFromTheOffsetGiven) {
  const std::string text = "\x01" "ab\xC3\xA9" "\x02";
  EXPECT_EQ(first_unwritable(text), 0u);
  EXPECT_EQ(first_unwritable(text, 1), 5u);
  EXPECT_EQ(first_unwritable(text, 3), 5u);
  EXPECT_EQ(first_unwritable(text, 6), kFine);
  EXPECT_EQ(first_unwritable("\x01 fine", 1), kFine);
}

}  // namespace
}  // namespace zarnex::xml
