#include "code/base32hex.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "code/base32hex_simd.h"
#include "error/error.h"

namespace zarnex::code {
namespace {

// The decoders under test: the one base32hex_decode() uses on this machine
// and the portable one of other targets.
struct Decoder {
  const char* name;
  int (*decode)(std::string_view, std::string*);
};
constexpr Decoder kDecoders[] = {{"base32hex_decode", &base32hex_decode},
                                 {"portable", &base32hex_decode_portable}};

// Decodes one character at a time; no value for a text to refuse.
std::optional<std::string> reference_decode(std::string_view text) {
  while (!text.empty() && text.back() == '=') text.remove_suffix(1);
  std::string bytes;
  unsigned bits = 0;
  int count = 0;
  for (char c : text) {
    unsigned value = 0;
    if (c >= '0' && c <= '9') {
      value = static_cast<unsigned>(c - '0');
    } else if (c >= 'A' && c <= 'V') {
      value = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    bits = (bits << 5) | value;
    count += 5;
    if (count >= 8) {
      count -= 8;
      bytes.push_back(static_cast<char>(bits >> count));
      bits &= (1u << count) - 1;
    }
  }
  return bytes;
}

// How @a decoder differs from the reference on @a text, decoding into an
// empty and into a used buffer; empty when it does not.
std::string difference(const Decoder& decoder, std::string_view text) {
  const std::optional<std::string> expected = reference_decode(text);
  for (const char* before : {"", "used"}) {
    reset_error();
    std::string out = before;
    const int status = decoder.decode(text, &out);
    if (status != (expected ? 0 : 1)) return "status " + std::to_string(status);
    if (out != expected.value_or(before))
      return "bytes into \"" + std::string(before) + "\"";
    if (error_code() != status)
      return "error code " + std::to_string(error_code());
  }
  return "";
}

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
      "0123456789ABCDEFGHIJKLMNOPQRSTUVW",  // all 32, then one past them
  };
  for (const Decoder& decoder : kDecoders) {
    SCOPED_TRACE(decoder.name);
    for (const char* text : kInvalid) {
      reset_error();
      std::string bytes = "untouched";
      EXPECT_EQ(decoder.decode(text, &bytes), 1) << text;
      EXPECT_EQ(error_text(), "ERROR_BASE32HEX: Invalid base32hex string.  ");
      EXPECT_EQ(bytes, "untouched");
    }
    // A character just outside the alphabet, or a byte with its high bit
    // set, in any position of a whole group or of a short last group.
    for (char bad : {'/', ':', '@', 'W', 'v', '\0', '\x80', '\xFF'}) {
      for (std::size_t length : {8, 16, 13}) {
        for (std::size_t at = 0; at < length; ++at) {
          std::string text(length, '7');
          text[at] = bad;
          reset_error();
          std::string out;
          EXPECT_EQ(decoder.decode(text, &out), 1)
              << static_cast<int>(bad) << " at " << at;
          EXPECT_EQ(out, "");
        }
      }
    }
    reset_error();
    std::string bytes = "untouched";
    EXPECT_EQ(decoder.decode(std::string_view(), &bytes), 1);
    EXPECT_EQ(error_text(), "ERROR_BASE32HEX: Base32hex cannot be NULL.  ");
    EXPECT_EQ(bytes, "untouched");
  }
}

// The decoders work on groups of 8 or 16 characters; the reference takes
// one character at a time. Every length around those steps, random
// texts, long ones, and every byte value at every position must come out
// the same: the same bytes, or the same refusal with the buffer untouched.
TEST_F(Base32hexTest, MatchesReferenceOnValidTexts) {
  constexpr char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
  std::mt19937 random(11);
  std::vector<std::string> texts;
  for (std::size_t length = 0; length <= 80; ++length) {
    texts.push_back(std::string(length, '0'));
    texts.push_back(std::string(length, 'V'));
    for (int round = 0; round < 8; ++round) {
      std::string text;
      for (std::size_t i = 0; i < length; ++i)
        text.push_back(kAlphabet[random() % 32]);
      texts.push_back(text + std::string(round % 4, '='));
    }
  }
  for (std::size_t length : {330, 1000, 1001, 1007, 1015, 4099}) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i)
      text.push_back(kAlphabet[random() % 32]);
    texts.push_back(text);
  }
  for (const Decoder& decoder : kDecoders) {
    SCOPED_TRACE(decoder.name);
    for (const std::string& text : texts)
      EXPECT_EQ(difference(decoder, text), "") << text;
  }
}

TEST_F(Base32hexTest, MatchesReferenceWithAnyByteAnywhere) {
  std::mt19937 random(5);
  for (const Decoder& decoder : kDecoders) {
    SCOPED_TRACE(decoder.name);
    for (std::size_t length = 1; length <= 80; ++length) {
      std::string text;
      for (std::size_t i = 0; i < length; ++i)
        text.push_back("0123456789ABCDEFGHIJKLMNOPQRSTUV"[random() % 32]);
      for (std::size_t at = 0; at < length; ++at) {
        std::string changed = text;
        for (int byte = 0; byte < 256; ++byte) {
          // Past two SSE2 steps, every 16th byte value, a different set at
          // each position, keeps the run short.
          if (length > 40 && (byte + at) % 16 != 0) continue;
          changed[at] = static_cast<char>(byte);
          const std::string found = difference(decoder, changed);
          if (!found.empty()) {
            ADD_FAILURE() << found << ": length " << length << ", byte " << byte
                          << " at " << at;
            return;
          }
        }
      }
    }
    // A long text with one byte changed at each position in turn, the byte
    // values taken in turn too.
    std::string text;
    for (std::size_t i = 0; i < 1003; ++i)
      text.push_back("0123456789ABCDEFGHIJKLMNOPQRSTUV"[random() % 32]);
    for (std::size_t at = 0; at < text.size(); ++at) {
      std::string changed = text;
      changed[at] = static_cast<char>(at * 7);
      EXPECT_EQ(difference(decoder, changed), "")
          << "byte " << at * 7 % 256 << " at " << at;
    }
  }
}

}  // namespace
}  // namespace zarnex::code
