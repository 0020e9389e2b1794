#include "qr/symbol.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "base/format_text.h"
#include "error/error.h"
#include "qr/libraries.h"

namespace zarnex::qr {
namespace {

struct QrInputFree {
  void operator()(QRinput* input) const {
    libqrencode()->QRinput_free(input);
  }
};
using QrInputPtr = std::unique_ptr<QRinput, QrInputFree>;

struct QrCodeFree {
  void operator()(QRcode* code) const { libqrencode()->QRcode_free(code); }
};
using QrCodePtr = std::unique_ptr<QRcode, QrCodeFree>;

constexpr char kCannotMake[] = ": Cannot make QR symbol";

QRecLevel to_qrencode(Level level) {
  switch (level) {
    case Level::kL: return QR_ECLEVEL_L;
    case Level::kM: return QR_ECLEVEL_M;
    case Level::kQ: return QR_ECLEVEL_Q;
    case Level::kH: return QR_ECLEVEL_H;
  }
  return QR_ECLEVEL_M;
}

bool is_alphanumeric(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
         std::strchr(" $%*+-./:", c) != nullptr;
}

// Records why a text of @a size characters could not become a symbol.
int symbol_failed(std::size_t size, Level level, int error) {
  std::string why = error == ERANGE
                        ? "the text is too long for any version"
                        : std::strerror(error);
  return set_error_detail_owned(
      ErrorCode::kQr, kCannotMake,
      format_text(96, " of %zu characters at level %c: %s. ", size,
                  level_letter(level), why.c_str()));
}

}  // namespace

char level_letter(Level level) {
  switch (level) {
    case Level::kL: return 'L';
    case Level::kM: return 'M';
    case Level::kQ: return 'Q';
    case Level::kH: return 'H';
  }
  return '?';
}

int make_symbol(std::string_view text, Level level, Symbol* symbol) {
  if (text.empty())
    return set_error_detail(ErrorCode::kQr, kCannotMake, " of an empty text. ");
  for (char c : text) {
    if (!is_alphanumeric(c)) {
      return set_error_detail_owned(
          ErrorCode::kQr, kCannotMake,
          format_text(128,
                      " of %zu characters: byte 0x%02X is outside the "
                      "alphanumeric set 0-9, A-Z, blank, $%%*+-./:. ",
                      text.size(), static_cast<unsigned>(static_cast<unsigned char>(c))));
    }
  }
  std::string why;
  const LibQrencode* lib = libqrencode(&why);
  if (lib == nullptr)
    return set_error_detail_owned(ErrorCode::kQr, kCannotMake,
                                  " without libqrencode: " + why + ". ");
  // Version 0 lets the library pick the smallest version that holds the text.
  QrInputPtr input(lib->QRinput_new2(0, to_qrencode(level)));
  if (!input) return symbol_failed(text.size(), level, errno);
  // A symbol holds at most 4296 alphanumeric characters; longer texts would
  // not fit the int that the library takes.
  if (text.size() > 4296) return symbol_failed(text.size(), level, ERANGE);
  if (lib->QRinput_append(input.get(), QR_MODE_AN, static_cast<int>(text.size()),
                     reinterpret_cast<const unsigned char*>(text.data())) != 0)
    return symbol_failed(text.size(), level, errno);
  errno = 0;
  QrCodePtr code(lib->QRcode_encodeInput(input.get()));
  if (!code) return symbol_failed(text.size(), level, errno != 0 ? errno : ERANGE);
  symbol->version = code->version;
  symbol->width = code->width;
  std::size_t count = static_cast<std::size_t>(code->width) *
                      static_cast<std::size_t>(code->width);
  symbol->modules.resize(count);
  // Bit 0 of each byte is the module's colour; the other bits tell the
  // library's own bookkeeping (function patterns, masks) and are dropped.
  for (std::size_t i = 0; i < count; ++i) symbol->modules[i] = code->data[i] & 1;
  return 0;
}

}  // namespace zarnex::qr
