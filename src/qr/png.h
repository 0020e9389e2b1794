#ifndef ZARNEX_QR_PNG_H_
#define ZARNEX_QR_PNG_H_

#include <string>

#include "qr/symbol.h"

namespace zarnex::qr {

/// Encodes @a symbol as a 1-bit grayscale PNG with @a module_size pixels per
/// module (at least 1) and a white quiet zone of @a margin modules (at least
/// 0) around it. Returns 0 with the file's bytes in @a png, or ERROR_QR with
/// the error recorded when libpng fails.
int symbol_png(const Symbol& symbol, int margin, int module_size, std::string* png);

}  // namespace zarnex::qr

#endif  // ZARNEX_QR_PNG_H_
