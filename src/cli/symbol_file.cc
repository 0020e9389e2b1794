#include "cli/symbol_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "cli/replacement_file.h"

namespace zarnex::cli {
namespace {

constexpr int kQr = static_cast<int>(Error::kQr);
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

// Sets @a error to "<subject> '<path>': <reason>. " as ERROR_QR and returns
// ERROR_QR.
int path_failed(const char* subject, const std::string& path,
                std::string_view reason, std::string& error) {
  std::string detail = " '";
  detail.append(path).append("': ").append(reason).append(". ");
  error = error_text(kQr, subject, detail);
  return kQr;
}

int folder_failed(const std::string& path, int errno_value, std::string& error) {
  return path_failed(kCannotCreateFolder, path, std::strerror(errno_value), error);
}

}  // namespace

std::optional<QrFormat> format_from_name(std::string_view name) {
  if (same_letters(name, "svg")) return QrFormat::kSvg;
  if (same_letters(name, "png")) return QrFormat::kPng;
  return std::nullopt;
}

std::optional<QrFormat> format_from_path(std::string_view path) {
  std::size_t dot = path.rfind('.');
  std::size_t slash = path.rfind('/');
  if (dot == std::string_view::npos ||
      (slash != std::string_view::npos && dot < slash))
    return std::nullopt;
  return format_from_name(path.substr(dot + 1));
}

std::string_view format_extension(QrFormat format) {
  return format == QrFormat::kSvg ? ".svg" : ".png";
}

std::optional<QrLevel> level_from_name(std::string_view name) {
  if (name.size() != 1) return std::nullopt;
  switch (name[0]) {
    case 'L': case 'l': return QrLevel::kL;
    case 'M': case 'm': return QrLevel::kM;
    case 'Q': case 'q': return QrLevel::kQ;
    case 'H': case 'h': return QrLevel::kH;
    default: return std::nullopt;
  }
}

int write_file_atomically(const std::string& path, std::string_view data,
                          std::string& error) {
  ReplacementFile file;
  if (file.open(path) && file.write(data) && file.commit()) return 0;
  return path_failed(kCannotWrite, path, file.reason(), error);
}

int write_symbol_file(std::string_view code, const std::string& path,
                      const QrOptions& settings, std::string& error) {
  Result image = render_qr(code, settings);
  if (!image.ok()) {
    error = std::move(image.error);
    return image.status;
  }
  return write_file_atomically(path, image.output, error);
}

int make_folder(const std::string& path, std::string& error) {
  if (path.empty()) return folder_failed(path, ENOENT, error);
  // Each prefix that ends before a slash, then the whole path.
  for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    std::string prefix = path.substr(0, end);
    if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST)
      return folder_failed(path, errno, error);
    if (end == std::string::npos) break;
  }
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return folder_failed(path, errno, error);
  if (!S_ISDIR(info.st_mode)) return folder_failed(path, ENOTDIR, error);
  return 0;
}

std::string symbol_file_name(std::size_t line_number,
                             std::optional<std::string_view> invoice_id,
                             QrFormat format) {
  char number[24];
  const int length = std::snprintf(number, sizeof number, "%06zu", line_number);
  std::string name(number, static_cast<std::size_t>(length));
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

}  // namespace zarnex::cli
