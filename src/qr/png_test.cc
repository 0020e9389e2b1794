#include "qr/png.h"

#include <png.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "error/error.h"

namespace zarnex::qr {
namespace {

// An image read back with libpng, one byte (0 or 255) per pixel.
struct Gray {
  int width = 0;
  int height = 0;
  std::vector<png_byte> pixels;
  bool black(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)] == 0;
  }
};

Gray ReadBack(const std::string& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  EXPECT_NE(png_image_begin_read_from_memory(&image, file.data(), file.size()), 0)
      << image.message;
  image.format = PNG_FORMAT_GRAY;
  Gray gray;
  gray.width = static_cast<int>(image.width);
  gray.height = static_cast<int>(image.height);
  gray.pixels.resize(PNG_IMAGE_SIZE(image));
  EXPECT_NE(png_image_finish_read(&image, nullptr, gray.pixels.data(), 0, nullptr), 0)
      << image.message;
  return gray;
}

Symbol MakeSymbol(const std::string& text, Level level) {
  Symbol symbol;
  EXPECT_EQ(make_symbol(text, level, &symbol), 0) << error_text();
  return symbol;
}

TEST(SymbolPng, EveryPixelMatchesItsModule) {
  const struct {
    const char* text;
    Level level;
    int margin;
    int module_size;
  } kCases[] = {
      {"0123456789ABCDEFGHIJKLMNOPQRSTUV", Level::kM, 4, 4},
      {"A", Level::kL, 0, 1},            // no quiet zone, one pixel a module
      {"A1B2C3", Level::kH, 1, 3},       // rows that end inside a byte
      {"VVVVVVVVVVVVVVVV", Level::kQ, 64, 7},
  };
  for (const auto& c : kCases) {
    Symbol symbol = MakeSymbol(c.text, c.level);
    std::string file;
    ASSERT_EQ(symbol_png(symbol, c.margin, c.module_size, &file), 0) << error_text();
    // A 1-bit grayscale image: the IHDR's bit depth and colour type.
    ASSERT_GT(file.size(), 26u);
    EXPECT_EQ(file.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0);
    EXPECT_EQ(file[24], 1);
    EXPECT_EQ(file[25], PNG_COLOR_TYPE_GRAY);
    Gray gray = ReadBack(file);
    const int side = (symbol.width + 2 * c.margin) * c.module_size;
    ASSERT_EQ(gray.width, side) << c.text;
    ASSERT_EQ(gray.height, side);
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side; ++x) {
        int mx = x / c.module_size - c.margin;
        int my = y / c.module_size - c.margin;
        bool inside = mx >= 0 && my >= 0 && mx < symbol.width && my < symbol.width;
        ASSERT_EQ(gray.black(x, y), inside && symbol.dark(mx, my))
            << c.text << " pixel " << x << "," << y;
      }
    }
  }
}

TEST(SymbolPng, OneBitKeepsFilesSmall) {
  // The longest Zarnex code is 578 characters; its symbol at level H with
  // the defaults stays a few kilobytes.
  Symbol symbol = MakeSymbol(std::string(578, 'K'), Level::kH);
  std::string file;
  ASSERT_EQ(symbol_png(symbol, 4, 4, &file), 0);
  EXPECT_LT(file.size(), 8192u);
}

TEST(SymbolPng, LibpngErrorsBecomeQrErrors) {
  reset_error();
  // A module size of 0 gives an empty image, which libpng refuses; its
  // error comes back through the jump out of libpng.
  Symbol symbol = MakeSymbol("A", Level::kM);
  std::string file = "stale";
  EXPECT_EQ(symbol_png(symbol, 4, 0, &file), 11);
  EXPECT_EQ(error_text(), "ERROR_QR: Cannot make PNG image of QR symbol: Invalid IHDR data. ");
  EXPECT_EQ(file, "");
  // The next image is made as usual.
  EXPECT_EQ(symbol_png(symbol, 4, 1, &file), 0);
  EXPECT_EQ(ReadBack(file).width, 29);
}

}  // namespace
}  // namespace zarnex::qr
