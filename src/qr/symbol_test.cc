#include "qr/symbol.h"

#include <string>

#include <gtest/gtest.h>

#include "error/error.h"

namespace zarnex::qr {
namespace {

class SymbolTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_error(); }
};

// A text of @a n base32hex letters.
std::string Letters(std::size_t n) {
  static const char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
  std::string text;
  for (std::size_t i = 0; i < n; ++i) text.push_back(kAlphabet[(i * 7) % 32]);
  return text;
}

int VersionOf(std::size_t n, Level level) {
  Symbol symbol;
  EXPECT_EQ(make_symbol(Letters(n), level, &symbol), 0) << error_text();
  EXPECT_EQ(symbol.width, 17 + 4 * symbol.version);
  EXPECT_EQ(symbol.modules.size(),
            static_cast<std::size_t>(symbol.width) * static_cast<std::size_t>(symbol.width));
  return symbol.version;
}

TEST_F(SymbolTest, SmallestVersionByAlphanumericCapacity) {
  // Alphanumeric capacities of the QR standard's tables: version 1 holds
  // 25 (L), 20 (M), 16 (Q) and 10 (H) characters; version 40 holds 4296 (L)
  // and 1852 (H).
  EXPECT_EQ(VersionOf(25, Level::kL), 1);
  EXPECT_EQ(VersionOf(26, Level::kL), 2);
  EXPECT_EQ(VersionOf(20, Level::kM), 1);
  EXPECT_EQ(VersionOf(21, Level::kM), 2);
  EXPECT_EQ(VersionOf(16, Level::kQ), 1);
  EXPECT_EQ(VersionOf(17, Level::kQ), 2);
  EXPECT_EQ(VersionOf(10, Level::kH), 1);
  EXPECT_EQ(VersionOf(11, Level::kH), 2);
  EXPECT_EQ(VersionOf(4296, Level::kL), 40);
  EXPECT_EQ(VersionOf(1852, Level::kH), 40);
}

TEST_F(SymbolTest, FinderPatternsSitInThreeCorners) {
  Symbol symbol;
  ASSERT_EQ(make_symbol("0123ABCD", Level::kM, &symbol), 0);
  const int w = symbol.width;
  // Each finder is a dark 7x7 ring, a light ring and a dark 3x3 centre.
  for (auto [left, top] : {std::pair{0, 0}, std::pair{w - 7, 0}, std::pair{0, w - 7}}) {
    for (int y = 0; y < 7; ++y) {
      for (int x = 0; x < 7; ++x) {
        bool ring = x == 0 || y == 0 || x == 6 || y == 6;
        bool centre = x >= 2 && x <= 4 && y >= 2 && y <= 4;
        EXPECT_EQ(symbol.dark(left + x, top + y), ring || centre)
            << left << "," << top << ": " << x << "," << y;
      }
    }
  }
  for (unsigned char m : symbol.modules) EXPECT_LE(m, 1);
}

TEST_F(SymbolTest, TextsThatCannotBeDrawn) {
  const struct {
    std::string text;
    Level level;
    const char* error;
  } kCases[] = {
      {"", Level::kM, "ERROR_QR: Cannot make QR symbol of an empty text. "},
      // Lower case is outside the alphanumeric set.
      {"ABCabc", Level::kM,
       "ERROR_QR: Cannot make QR symbol of 6 characters: byte 0x61 is outside "
       "the alphanumeric set 0-9, A-Z, blank, $%*+-./:. "},
      {"AB\tC", Level::kL,
       "ERROR_QR: Cannot make QR symbol of 4 characters: byte 0x09 is outside "
       "the alphanumeric set 0-9, A-Z, blank, $%*+-./:. "},
      // One more than version 40 holds at each level.
      {Letters(1853), Level::kH,
       "ERROR_QR: Cannot make QR symbol of 1853 characters at level H: the "
       "text is too long for any version. "},
      {Letters(4297), Level::kL,
       "ERROR_QR: Cannot make QR symbol of 4297 characters at level L: the "
       "text is too long for any version. "},
      {Letters(100000), Level::kL,
       "ERROR_QR: Cannot make QR symbol of 100000 characters at level L: the "
       "text is too long for any version. "},
  };
  for (const auto& c : kCases) {
    Symbol symbol;
    EXPECT_EQ(make_symbol(c.text, c.level, &symbol), 11) << c.error;
    EXPECT_EQ(error_text(), c.error);
  }
}

TEST_F(SymbolTest, LevelLetters) {
  // The letters the error texts name the levels by.
  EXPECT_EQ(level_letter(Level::kL), 'L');
  EXPECT_EQ(level_letter(Level::kM), 'M');
  EXPECT_EQ(level_letter(Level::kQ), 'Q');
  EXPECT_EQ(level_letter(Level::kH), 'H');
}

}  // namespace
}  // namespace zarnex::qr
