#ifndef ZARNEX_QR_SVG_H_
#define ZARNEX_QR_SVG_H_

#include <string>

#include "qr/symbol.h"

namespace zarnex::qr {

/// An SVG document of @a symbol: a white square covering the symbol and its
/// quiet zone of @a margin modules, and one black path drawing the dark
/// modules (each row's runs as rectangles), one user unit per module. The
/// width and height give @a module_size pixels per module; the viewBox lets
/// a layout scale it freely. No raster is embedded.
std::string symbol_svg(const Symbol& symbol, int margin, int module_size);

}  // namespace zarnex::qr

#endif  // ZARNEX_QR_SVG_H_
