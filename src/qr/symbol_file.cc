#include "qr/symbol_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "error/error.h"
#include "platform/replacement_file.h"
#include "qr/png.h"
#include "qr/svg.h"

namespace zarnex::qr {
namespace {

constexpr char kCannotWrite[] = ": Cannot write QR symbol file";
constexpr char kCannotCreateFolder[] = ": Cannot create QR symbol folder";
constexpr std::size_t kMaxIdBytes = 100;

bool same_letters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (x != b[i]) return false;
  }
  return true;
}

int path_failed(const char* subject, const std::string& path, int error) {
  return set_error_detail_owned(
      ErrorCode::kQr, subject,
      format_text(path.size() + 64, " '%s': %s. ", path.c_str(), std::strerror(error)));
}

int path_refused(const std::string& path, const std::string& reason) {
  return set_error_detail_owned(
      ErrorCode::kQr, kCannotWrite,
      format_text(path.size() + reason.size() + 8, " '%s': %s. ", path.c_str(),
                  reason.c_str()));
}

}  // namespace

std::optional<Format> format_from_name(std::string_view name) {
  if (same_letters(name, "svg")) return Format::kSvg;
  if (same_letters(name, "png")) return Format::kPng;
  return std::nullopt;
}

std::optional<Format> format_from_path(std::string_view path) {
  std::size_t dot = path.rfind('.');
  std::size_t slash = path.rfind('/');
  if (dot == std::string_view::npos ||
      (slash != std::string_view::npos && dot < slash))
    return std::nullopt;
  return format_from_name(path.substr(dot + 1));
}

std::string_view format_extension(Format format) {
  return format == Format::kSvg ? ".svg" : ".png";
}

int render_symbol(std::string_view text, const Settings& settings,
                  std::string* image) {
  Symbol symbol;
  if (int status = make_symbol(text, settings.level, &symbol); status != 0)
    return status;
  if (settings.format == Format::kSvg) {
    *image = symbol_svg(symbol, settings.margin, settings.module_size);
    return 0;
  }
  return symbol_png(symbol, settings.margin, settings.module_size, image);
}

int write_file_atomically(const std::string& path, std::string_view data) {
  platform::ReplacementFile file;
  if (file.open(path) && file.write(data) && file.commit()) return 0;
  return path_refused(path, file.reason());
}

int write_symbol_file(std::string_view text, const std::string& path,
                      const Settings& settings) {
  std::string image;
  if (int status = render_symbol(text, settings, &image); status != 0) return status;
  return write_file_atomically(path, image);
}

int make_folder(const std::string& path) {
  if (path.empty()) return path_failed(kCannotCreateFolder, path, ENOENT);
  // Each prefix that ends before a slash, then the whole path.
  for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    std::string prefix = path.substr(0, end);
    if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST)
      return path_failed(kCannotCreateFolder, path, errno);
    if (end == std::string::npos) break;
  }
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return path_failed(kCannotCreateFolder, path, errno);
  if (!S_ISDIR(info.st_mode)) return path_failed(kCannotCreateFolder, path, ENOTDIR);
  return 0;
}

std::string symbol_file_name(std::size_t line_number,
                             std::optional<std::string_view> invoice_id,
                             Format format) {
  std::string name = format_text(24, "%06zu", line_number);
  if (invoice_id) {
    name += '-';
    std::string_view id = invoice_id->substr(0, kMaxIdBytes);
    for (char c : id) {
      bool keep = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                  (c >= 'a' && c <= 'z') || c == '.' || c == '_' || c == '-';
      name += keep ? c : '_';
    }
  }
  name += format_extension(format);
  return name;
}

}  // namespace zarnex::qr
