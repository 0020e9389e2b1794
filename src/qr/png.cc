#include "qr/png.h"

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "base/format_text.h"
#include "error/error.h"
#include "qr/libraries.h"

namespace zarnex::qr {
namespace {

constexpr char kCannotEncode[] = ": Cannot make PNG image of QR symbol:";

// One libpng write struct with its info struct. libpng reports errors
// through error_exit(), which keeps the message and jumps back to the
// setjmp() of write_png(); warnings are dropped.
class PngWriter {
 public:
  PngWriter(const LibPng& lib, std::string* out) : lib_(lib), out_(out) {
    png_ = lib.png_create_write_struct(PNG_LIBPNG_VER_STRING, this, error_exit,
                                       ignore_warning);
    if (png_ != nullptr) info_ = lib.png_create_info_struct(png_);
  }
  ~PngWriter() {
    lib_.png_destroy_write_struct(&png_, info_ != nullptr ? &info_ : nullptr);
  }
  PngWriter(const PngWriter&) = delete;
  PngWriter& operator=(const PngWriter&) = delete;

  bool ok() const { return png_ != nullptr && info_ != nullptr; }
  const LibPng& lib() const { return lib_; }
  png_structp png() const { return png_; }
  png_infop info() const { return info_; }
  const char* message() const { return message_; }

  static void append(png_structp png, png_bytep data, png_size_t size) {
    auto* self = static_cast<PngWriter*>(libpng()->png_get_io_ptr(png));
    bool appended = true;
    try {
      self->out_->append(reinterpret_cast<const char*>(data), size);
    } catch (const std::bad_alloc&) {
      appended = false;
    }
    if (!appended) self->lib_.png_error(png, "out of memory");
  }
  static void flush(png_structp) {}

 private:
  [[noreturn]] static void error_exit(png_structp png, png_const_charp message) {
    auto* self = static_cast<PngWriter*>(libpng()->png_get_error_ptr(png));
    std::strncpy(self->message_, message, sizeof self->message_ - 1);
    self->lib_.png_longjmp(png, 1);
    std::abort();  // png_longjmp() does not return
  }
  static void ignore_warning(png_structp, png_const_charp) {}

  const LibPng& lib_;
  std::string* out_;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  char message_[128] = {};
};

// Writes the header and the pixel rows. Called only through write_png(),
// which has set the jump target for libpng's errors.
void write_rows(const PngWriter& w, const Symbol& symbol, int margin,
                int module_size, std::vector<png_byte>& row) {
  const png_uint_32 pixels = static_cast<png_uint_32>(
      (symbol.width + 2 * margin) * module_size);
  const LibPng& lib = w.lib();
  lib.png_set_IHDR(w.png(), w.info(), pixels, pixels, 1, PNG_COLOR_TYPE_GRAY,
                   PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                   PNG_FILTER_TYPE_DEFAULT);
  lib.png_write_info(w.png(), w.info());
  // Bit 1 is white. The quiet zone rows are white throughout; a module row
  // is built once and written module_size times.
  std::fill(row.begin(), row.end(), 0xFF);
  for (int i = 0; i < margin * module_size; ++i)
    lib.png_write_row(w.png(), row.data());
  for (int y = 0; y < symbol.width; ++y) {
    std::fill(row.begin(), row.end(), 0xFF);
    for (int x = 0; x < symbol.width; ++x) {
      if (!symbol.dark(x, y)) continue;
      std::size_t first = static_cast<std::size_t>((x + margin) * module_size);
      for (std::size_t p = first; p < first + static_cast<std::size_t>(module_size); ++p)
        row[p / 8] &= static_cast<png_byte>(~(0x80u >> (p % 8)));
    }
    for (int i = 0; i < module_size; ++i)
      lib.png_write_row(w.png(), row.data());
  }
  std::fill(row.begin(), row.end(), 0xFF);
  for (int i = 0; i < margin * module_size; ++i)
    lib.png_write_row(w.png(), row.data());
  lib.png_write_end(w.png(), nullptr);
}

// Holds no object with a destructor, so that a jump back from libpng skips
// nothing.
bool write_png(PngWriter& w, const Symbol& symbol, int margin, int module_size,
               std::vector<png_byte>& row) {
  const LibPng& lib = w.lib();
  // What libpng's png_jmpbuf() does.
  std::jmp_buf* jump =
      lib.png_set_longjmp_fn(w.png(), std::longjmp, sizeof(std::jmp_buf));
  if (jump == nullptr || setjmp(*jump) != 0) return false;
  lib.png_set_write_fn(w.png(), &w, PngWriter::append, PngWriter::flush);
  write_rows(w, symbol, margin, module_size, row);
  return true;
}

}  // namespace

int symbol_png(const Symbol& symbol, int margin, int module_size, std::string* png) {
  const std::size_t pixels =
      static_cast<std::size_t>(symbol.width + 2 * margin) *
      static_cast<std::size_t>(module_size);
  std::vector<png_byte> row((pixels + 7) / 8);
  png->clear();
  std::string why;
  const LibPng* lib = libpng(&why);
  if (lib == nullptr)
    return set_error_detail_owned(ErrorCode::kQr, kCannotEncode,
                                  " " + why + ". ");
  PngWriter writer(*lib, png);
  if (!writer.ok())
    return set_error_detail(ErrorCode::kQr, kCannotEncode, " out of memory. ");
  if (!write_png(writer, symbol, margin, module_size, row)) {
    png->clear();
    return set_error_detail_owned(ErrorCode::kQr, kCannotEncode,
                                  format_text(160, " %s. ", writer.message()));
  }
  return 0;
}

}  // namespace zarnex::qr
