#ifndef ZARNEX_QR_SYMBOL_FILE_H_
#define ZARNEX_QR_SYMBOL_FILE_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "qr/symbol.h"

namespace zarnex::qr {

/// The image formats a symbol is written in.
enum class Format { kSvg, kPng };

/// The format named "svg" or "png" (either case).
std::optional<Format> format_from_name(std::string_view name);

/// The format that a file name's extension names: ".svg" or ".png" (either
/// case); nullopt for any other extension or none.
std::optional<Format> format_from_path(std::string_view path);

/// ".svg" or ".png".
std::string_view format_extension(Format format);

/// How symbols are drawn.
struct Settings {
  Format format = Format::kPng;
  Level level = Level::kM;
  int module_size = 4;  // pixels per module (PNG; the SVG's natural size)
  int margin = 4;       // quiet zone around the symbol, in modules
};

/// Limits of Settings::module_size and Settings::margin that the command
/// line accepts.
constexpr int kMaxModuleSize = 64;
constexpr int kMaxMargin = 64;

/// The bytes of the image file of @a text's symbol. Returns 0, or ERROR_QR
/// with the error recorded (see make_symbol and symbol_png).
int render_symbol(std::string_view text, const Settings& settings, std::string* image);

/// Writes @a data to @a path so that the name never shows a partial file:
/// the bytes go to a new temporary file in the same folder (".zarnex-" and
/// six random letters or digits, created with O_EXCL and mode 0666 less the
/// umask), which is then renamed over the target. Only regular files are
/// replaced:
///  - a missing @a path is created, an existing regular file replaced;
///  - a directory, device, FIFO, socket or any other kind of file is
///    refused ("... '<path>': Is a FIFO, not a regular file. ");
///  - a symbolic link is never itself replaced: one that leads to a regular
///    file is followed, and the image replaces that file under its resolved
///    path, so the link stays a link; a dangling link, one that cannot be
///    followed and one to anything else are refused.
/// Any final name up to NAME_MAX works, whatever the temporary name. Returns
/// 0, or ERROR_QR with the error recorded ("Cannot write QR symbol file
/// '<path>': <reason>. "); nothing is written for a refused target, and the
/// temporary file is removed on every failure.
int write_file_atomically(const std::string& path, std::string_view data);

/// Renders @a text's symbol and writes it to @a path atomically.
int write_symbol_file(std::string_view text, const std::string& path,
                      const Settings& settings);

/// Creates the folder @a path and any missing parents. Returns 0 when it
/// exists afterwards, or ERROR_QR with the error recorded.
int make_folder(const std::string& path);

/// The file name of the symbol of input line @a line_number in a folder of
/// symbols: the number with six digits or more ("000017.png"), and with an
/// @a invoice_id, a hyphen and the id made safe for a file name: letters,
/// digits, '.', '_' and '-' are kept, every other byte becomes '_', and at
/// most 100 bytes of it are used ("000017-INV_2024_1.png").
std::string symbol_file_name(std::size_t line_number,
                             std::optional<std::string_view> invoice_id,
                             Format format);

}  // namespace zarnex::qr

#endif  // ZARNEX_QR_SYMBOL_FILE_H_
