#include "qr/symbol_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "error/error.h"
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

// Closes a file descriptor and removes the temporary file it was opened
// for, unless release() was called after a successful rename.
class TempFile {
 public:
  TempFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  // Closes the descriptor; returns 0 or the errno of close().
  int close() {
    int result = ::close(fd_) == 0 ? 0 : errno;
    fd_ = -1;
    return result;
  }
  void release() { path_.clear(); }

 private:
  int fd_;
  std::string path_;
};

// A name beside @a path that no other writer of this process or another
// one uses: ".<name>.<pid>.<counter>.tmp".
std::string temporary_name(const std::string& path) {
  static std::atomic<unsigned long> counter{0};
  std::size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return folder + "." + name +
         format_text(48, ".%ld.%lu.tmp", static_cast<long>(::getpid()),
                     counter.fetch_add(1));
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
  std::string temp_path;
  int fd = -1;
  // The name holds the pid and a counter; a stale file of a crashed run with
  // the same pid is stepped over.
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp_path = temporary_name(path);
    fd = ::open(temp_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return path_failed(kCannotWrite, path, errno);
  }
  if (fd < 0) return path_failed(kCannotWrite, path, EEXIST);
  TempFile temp(fd, std::move(temp_path));
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(temp.fd(), data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return path_failed(kCannotWrite, path, n < 0 ? errno : EIO);
    done += static_cast<std::size_t>(n);
  }
  if (int error = temp.close(); error != 0)
    return path_failed(kCannotWrite, path, error);
  if (::rename(temp.path().c_str(), path.c_str()) != 0)
    return path_failed(kCannotWrite, path, errno);
  temp.release();
  return 0;
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
