#ifndef ZARNEX_QR_SYMBOL_H_
#define ZARNEX_QR_SYMBOL_H_

#include <string_view>
#include <vector>

namespace zarnex::qr {

/// Error-correction level of a QR symbol: the share of damaged modules it
/// survives, about 7 %, 15 %, 25 % and 30 %.
enum class Level { kL, kM, kQ, kH };

/// The letter of a level, 'L' to 'H'.
char level_letter(Level level);

/// A QR symbol as a square of modules.
struct Symbol {
  int version = 0;  // 1..40; width = 17 + 4 * version
  int width = 0;    // modules per side, without the quiet zone
  std::vector<unsigned char> modules;  // width * width, row by row, 1 = dark

  bool dark(int x, int y) const {
    return modules[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                   static_cast<std::size_t>(x)] != 0;
  }
};

/// Makes the smallest symbol that holds @a text at @a level, in the
/// alphanumeric mode (0-9, A-Z, blank and $%*+-./:), which holds a Zarnex
/// code's base32hex letters at 5.5 bits each. Returns 0, or ERROR_QR with
/// the error recorded when the text is empty, holds a character outside that
/// set or is too long for any version.
int make_symbol(std::string_view text, Level level, Symbol* symbol);

}  // namespace zarnex::qr

#endif  // ZARNEX_QR_SYMBOL_H_
