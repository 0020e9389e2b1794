#include "qr/libraries.h"

#include "platform/shared_library.h"

namespace zarnex::qr {

void fill_libqrencode(platform::SharedLibrary& library, LibQrencode& table) {
  library.resolve("QRinput_new2", table.QRinput_new2);
  library.resolve("QRinput_append", table.QRinput_append);
  library.resolve("QRinput_free", table.QRinput_free);
  library.resolve("QRcode_encodeInput", table.QRcode_encodeInput);
  library.resolve("QRcode_free", table.QRcode_free);
}

void fill_libpng(platform::SharedLibrary& library, LibPng& table) {
  library.resolve("png_create_write_struct", table.png_create_write_struct);
  library.resolve("png_create_info_struct", table.png_create_info_struct);
  library.resolve("png_destroy_write_struct", table.png_destroy_write_struct);
  library.resolve("png_set_longjmp_fn", table.png_set_longjmp_fn);
  library.resolve("png_longjmp", table.png_longjmp);
  library.resolve("png_error", table.png_error);
  library.resolve("png_get_error_ptr", table.png_get_error_ptr);
  library.resolve("png_get_io_ptr", table.png_get_io_ptr);
  library.resolve("png_set_write_fn", table.png_set_write_fn);
  library.resolve("png_set_IHDR", table.png_set_IHDR);
  library.resolve("png_write_info", table.png_write_info);
  library.resolve("png_write_row", table.png_write_row);
  library.resolve("png_write_end", table.png_write_end);
}

const LibQrencode* libqrencode(std::string* why) {
  static const platform::LibraryTable<LibQrencode> loaded(
      ZARNEX_LIBQRENCODE_SONAME, fill_libqrencode);
  return loaded.get(why);
}

const LibPng* libpng(std::string* why) {
  static const platform::LibraryTable<LibPng> loaded(ZARNEX_LIBPNG_SONAME,
                                                     fill_libpng);
  return loaded.get(why);
}

}  // namespace zarnex::qr
