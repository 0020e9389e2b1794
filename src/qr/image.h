#ifndef ZARNEX_QR_IMAGE_H_
#define ZARNEX_QR_IMAGE_H_

#include <string>
#include <string_view>

#include "qr/symbol.h"

namespace zarnex::qr {

/// The image formats a symbol is rendered in.
enum class Format { kSvg, kPng };

/// How symbols are drawn.
struct Settings {
  Format format = Format::kPng;
  Level level = Level::kM;
  int module_size = 4;  // pixels per module (PNG; the SVG's natural size)
  int margin = 4;       // quiet zone around the symbol, in modules
};

/// The bytes of the image file of @a text's symbol. Returns 0, or ERROR_QR
/// with the error recorded (see make_symbol and symbol_png).
int render_symbol(std::string_view text, const Settings& settings, std::string* image);

}  // namespace zarnex::qr

#endif  // ZARNEX_QR_IMAGE_H_
