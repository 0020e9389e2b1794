#ifndef ZARNEX_QR_LIBRARIES_H_
#define ZARNEX_QR_LIBRARIES_H_

// libqrencode and libpng, loaded the first time a QR symbol is drawn rather
// than at the start of every process. Their functions are called through
// the tables below.

#include <png.h>
#include <qrencode.h>

#include <string>

namespace zarnex::platform {
class SharedLibrary;
}

namespace zarnex::qr {

/// The libqrencode functions the system calls, by their library names.
struct LibQrencode {
  decltype(&::QRinput_new2) QRinput_new2;
  decltype(&::QRinput_append) QRinput_append;
  decltype(&::QRinput_free) QRinput_free;
  decltype(&::QRcode_encodeInput) QRcode_encodeInput;
  decltype(&::QRcode_free) QRcode_free;
};

/// The libpng functions the system calls, by their library names.
struct LibPng {
  decltype(&::png_create_write_struct) png_create_write_struct;
  decltype(&::png_create_info_struct) png_create_info_struct;
  decltype(&::png_destroy_write_struct) png_destroy_write_struct;
  decltype(&::png_set_longjmp_fn) png_set_longjmp_fn;
  decltype(&::png_longjmp) png_longjmp;
  decltype(&::png_error) png_error;
  decltype(&::png_get_error_ptr) png_get_error_ptr;
  decltype(&::png_get_io_ptr) png_get_io_ptr;
  decltype(&::png_set_write_fn) png_set_write_fn;
  decltype(&::png_set_IHDR) png_set_IHDR;
  decltype(&::png_write_info) png_write_info;
  decltype(&::png_write_row) png_write_row;
  decltype(&::png_write_end) png_write_end;
};

/// Load the library the first time and return its functions, the same
/// table on every call; nullptr when the library or one of the functions
/// cannot be found, with the reason in @a why (when given).
const LibQrencode* libqrencode(std::string* why = nullptr);
const LibPng* libpng(std::string* why = nullptr);

/// Resolve every entry of @a table from @a library.
void fill_libqrencode(platform::SharedLibrary& library, LibQrencode& table);
void fill_libpng(platform::SharedLibrary& library, LibPng& table);

}  // namespace zarnex::qr

#endif  // ZARNEX_QR_LIBRARIES_H_
