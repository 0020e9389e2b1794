#ifndef ZARNEX_CLI_SYMBOL_FILE_H_
#define ZARNEX_CLI_SYMBOL_FILE_H_

// The tool's QR symbol files: the names of formats and levels in its
// options, the files and folders --qr writes, and the names of the files of
// a bulk run. The symbols themselves come from zarnex::render_qr.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "zarnex/zarnex.hpp"

namespace zarnex::cli {

/// The format named "svg" or "png" (either case).
std::optional<QrFormat> format_from_name(std::string_view name);

/// The format that a file name's extension names: ".svg" or ".png" (either
/// case); nullopt for any other extension or none.
std::optional<QrFormat> format_from_path(std::string_view path);

/// ".svg" or ".png".
std::string_view format_extension(QrFormat format);

/// The level named by one letter L, M, Q or H (either case).
std::optional<QrLevel> level_from_name(std::string_view name);

/// Writes @a data to @a path so that the name never shows a partial file
/// (see ReplacementFile: only a missing name or a regular file, also behind
/// a symbolic link, is replaced). Returns 0, or ERROR_QR with @a error set
/// to its error text ("ERROR_QR: Cannot write QR symbol file '<path>':
/// <reason>. "); nothing is written for a refused target.
int write_file_atomically(const std::string& path, std::string_view data,
                          std::string& error);

/// Renders @a code's symbol with render_qr and writes it to @a path
/// atomically. Returns 0, or ERROR_QR with @a error set to the error text
/// of the symbol or of the file.
int write_symbol_file(std::string_view code, const std::string& path,
                      const QrOptions& settings, std::string& error);

/// Creates the folder @a path and any missing parents. Returns 0 when it
/// exists afterwards, or ERROR_QR with @a error set to its error text.
int make_folder(const std::string& path, std::string& error);

/// The file name of the symbol of input line @a line_number in a folder of
/// symbols: the number with six digits or more ("000017.png"), and with an
/// @a invoice_id, a hyphen and the id made safe for a file name: letters,
/// digits, '.', '_' and '-' are kept, every other byte becomes '_', and at
/// most 100 bytes of it are used ("000017-INV_2024_1.png").
std::string symbol_file_name(std::size_t line_number,
                             std::optional<std::string_view> invoice_id,
                             QrFormat format);

}  // namespace zarnex::cli

#endif  // ZARNEX_CLI_SYMBOL_FILE_H_
