#include "qr/libraries.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/shared_library.h"

namespace zarnex::qr {
namespace {

// An entry left out of the loading would be a null pointer here.
TEST(QrLibraries, EveryFunctionIsLoaded) {
  std::string why;
  const LibQrencode* qrencode = libqrencode(&why);
  ASSERT_NE(qrencode, nullptr) << why;
  EXPECT_NE(qrencode->QRinput_new2, nullptr);
  EXPECT_NE(qrencode->QRinput_append, nullptr);
  EXPECT_NE(qrencode->QRinput_free, nullptr);
  EXPECT_NE(qrencode->QRcode_encodeInput, nullptr);
  EXPECT_NE(qrencode->QRcode_free, nullptr);

  const LibPng* png = libpng(&why);
  ASSERT_NE(png, nullptr) << why;
  EXPECT_NE(png->png_create_write_struct, nullptr);
  EXPECT_NE(png->png_create_info_struct, nullptr);
  EXPECT_NE(png->png_destroy_write_struct, nullptr);
  EXPECT_NE(png->png_set_longjmp_fn, nullptr);
  EXPECT_NE(png->png_longjmp, nullptr);
  EXPECT_NE(png->png_error, nullptr);
  EXPECT_NE(png->png_get_error_ptr, nullptr);
  EXPECT_NE(png->png_get_io_ptr, nullptr);
  EXPECT_NE(png->png_set_write_fn, nullptr);
  EXPECT_NE(png->png_set_IHDR, nullptr);
  EXPECT_NE(png->png_write_info, nullptr);
  EXPECT_NE(png->png_write_row, nullptr);
  EXPECT_NE(png->png_write_end, nullptr);
}

TEST(QrLibraries, ALibraryWithoutTheFunctionsIsRefused) {
  const platform::LibraryTable<LibQrencode> qrencode("libc.so.6",
                                                     fill_libqrencode);
  EXPECT_EQ(qrencode.get(), nullptr);
  EXPECT_NE(qrencode.error().find("QRinput_new2"), std::string::npos);
  const platform::LibraryTable<LibPng> png("libc.so.6", fill_libpng);
  EXPECT_EQ(png.get(), nullptr);
  EXPECT_NE(png.error().find("png_create_write_struct"), std::string::npos);
}

}  // namespace
}  // namespace zarnex::qr
