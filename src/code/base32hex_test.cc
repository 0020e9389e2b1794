#include "code/base32hex.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "error/error.h"

namespace zarnex::code {
namespace {

class Base32hexTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_error(); }

  static std::string encode(std::string_view bytes) {
    std::string text;
    EXPECT_EQ(base32hex_encode(bytes, &text), 0);
    return text;
  }

  // Decodes @a text, expecting success.
  static std::string decode(std::string_view text) {
    std::string bytes = "untouched";
    EXPECT_EQ(base32hex_decode(text, &bytes), 0) << text;
    return bytes;
  }
};

// RFC 4648, section 10, base32hex vectors (there with "=" padding).
TEST_F(Base32hexTest, PublishedVectors) {
  const struct {
    const char* bytes;
    const char* text;
  } kVectors[] = {
      {"", ""},
      {"f", "CO"},
      {"fo", "CPNG"},
      {"foo", "CPNMU"},
      {"foob", "CPNMUOG"},
      {"fooba", "CPNMUOJ1"},
      {"foobar", "CPNMUOJ1E8"},
      {"abc", "C5H66"},
  };
  for (const auto& v : kVectors) {
    EXPECT_EQ(encode(v.bytes), v.text);
    EXPECT_EQ(decode(v.text), v.bytes);
  }
  EXPECT_EQ(decode("CPNMUOG="), "foob");
  EXPECT_EQ(decode("CO======"), "f");
  EXPECT_EQ(decode("CPNMUOJ1E8======"), "foobar");
}

TEST_F(Base32hexTest, RoundTripsEveryByteAndLength) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(255 - i));
  for (std::size_t n = 0; n <= 12; ++n) {
    for (std::size_t start = 0; start + n <= bytes.size(); start += 7) {
      const std::string_view part = std::string_view(bytes).substr(start, n);
      const std::string text = encode(part);
      EXPECT_EQ(text.size(), (8 * n + 4) / 5);
      EXPECT_EQ(text.find_first_not_of("0123456789ABCDEFGHIJKLMNOPQRSTUV"),
                std::string::npos);
      EXPECT_EQ(decode(text), part);
    }
  }
}

// Long texts go through the block loops; the output buffer is either
// filled in place (empty) or replaced (holding something).
TEST_F(Base32hexTest, LongTextsAndReusedBuffers) {
  std::mt19937 random(7);
  std::string bytes;
  for (int i = 0; i < 1003; ++i) bytes.push_back(static_cast<char>(random()));
  std::string text = "old text";
  ASSERT_EQ(base32hex_encode(bytes, &text), 0);
  ASSERT_EQ(text.size(), (8 * bytes.size() + 4) / 5);
  std::string back = "old bytes";
  ASSERT_EQ(base32hex_decode(text, &back), 0);
  EXPECT_EQ(back, bytes);
  back.clear();
  ASSERT_EQ(base32hex_decode(text, &back), 0);
  EXPECT_EQ(back, bytes);

  // A bad character in the last full block or in the short last group
  // leaves an empty buffer empty.
  for (std::size_t at : {text.size() - 9, text.size() - 1}) {
    std::string bad = text;
    bad[at] = 'W';
    std::string out;
    EXPECT_EQ(base32hex_decode(bad, &out), 1) << at;
    EXPECT_EQ(out, "") << at;
  }
}

TEST_F(Base32hexTest, RemaindersKeepWholeBytesOnly) {
  // r = 1..7 remaining characters keep 0, 1, 1, 2, 3, 3, 4 bytes; the unused
  // low bits are not checked.
  const std::size_t kKept[] = {0, 1, 1, 2, 3, 3, 4};
  for (std::size_t r = 1; r <= 7; ++r) {
    EXPECT_EQ(decode(std::string(8 + r, 'V')).size(), 5 + kKept[r - 1]) << r;
  }
  EXPECT_EQ(decode("CV"), "g");  // 'V' sets bits that are not kept
}

TEST_F(Base32hexTest, InvalidCharacters) {
  const char* const kInvalid[] = {
      "co",        // lower case
      "CPNMUOW1",  // W is past the alphabet
      "CPN=MU",    // padding only at the end
      "CPNMU\n",   // line end
      "CPN MU",    // blank
      "C\tO",      // tab
      "CZ",
  };
  for (const char* text : kInvalid) {
    reset_error();
    std::string bytes = "untouched";
    EXPECT_EQ(base32hex_decode(text, &bytes), 1) << text;
    EXPECT_EQ(error_text(), "ERROR_BASE32HEX: Invalid base32hex string.  ");
    EXPECT_EQ(bytes, "untouched");
  }
  // A character just outside the alphabet, or a byte with its high bit set,
  // in any position of a whole group or of a short last group.
  for (char bad : {'/', ':', '@', 'W', 'v', '\0', '\x80', '\xFF'}) {
    for (std::size_t length : {8, 16, 13}) {
      for (std::size_t at = 0; at < length; ++at) {
        std::string text(length, '7');
        text[at] = bad;
        reset_error();
        std::string out;
        EXPECT_EQ(base32hex_decode(text, &out), 1)
            << static_cast<int>(bad) << " at " << at;
        EXPECT_EQ(out, "");
      }
    }
  }
  std::string bytes;
  EXPECT_EQ(base32hex_decode(std::string_view(), &bytes), 1);
  EXPECT_EQ(error_text(), "ERROR_BASE32HEX: Base32hex cannot be NULL.  ");
}

}  // namespace
}  // namespace zarnex::code
