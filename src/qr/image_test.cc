#include "qr/image.h"

#include <string>

#include <gtest/gtest.h>

#include "error/error.h"

namespace zarnex::qr {
namespace {

TEST(Image, RendersBothFormats) {
  Settings settings;
  std::string image;
  ASSERT_EQ(render_symbol("ABC123", settings, &image), 0) << error_text();
  EXPECT_EQ(image.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0);
  settings.format = Format::kSvg;
  ASSERT_EQ(render_symbol("ABC123", settings, &image), 0);
  EXPECT_EQ(image.rfind("<?xml", 0), 0u);
  // A text outside the alphanumeric mode makes no symbol.
  EXPECT_EQ(render_symbol("abc", settings, &image), 11);
  EXPECT_EQ(error_text().rfind("ERROR_QR: Cannot make QR symbol of 3 characters", 0), 0u);
}

}  // namespace
}  // namespace zarnex::qr
