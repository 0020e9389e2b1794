#include "qr/symbol_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

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

int path_refused(const std::string& path, const std::string& reason) {
  return set_error_detail_owned(
      ErrorCode::kQr, kCannotWrite,
      format_text(path.size() + reason.size() + 8, " '%s': %s. ", path.c_str(),
                  reason.c_str()));
}

// "a directory", "a FIFO", ...: what a file of @a mode is.
const char* kind_of(mode_t mode) {
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISLNK(mode)) return "a symbolic link";
  return "a file of another kind";
}

// Why an existing entry of @a mode is not replaced by an image.
std::string not_regular(mode_t mode) {
  return std::string("Is ") + kind_of(mode) + ", not a regular file";
}

// A directory held open for the *at() calls, so that the checks, the
// temporary file and the rename all meet the same folder even when its path
// is changed meanwhile.
class Folder {
 public:
  explicit Folder(const std::string& path) {
#ifdef O_PATH
    const int flags = O_PATH | O_DIRECTORY | O_CLOEXEC;  // needs no read right
#else
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif
    fd_ = ::open(path.c_str(), flags);
  }
  ~Folder() {
    if (fd_ >= 0) ::close(fd_);
  }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
};

// Closes a file descriptor and removes the temporary file it was opened
// for, unless release() was called after a successful rename.
class TempFile {
 public:
  TempFile(int folder, int fd, std::string name)
      : folder_(folder), fd_(fd), name_(std::move(name)) {}
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!name_.empty()) ::unlinkat(folder_, name_.c_str(), 0);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_; }
  const std::string& name() const { return name_; }
  // Closes the descriptor; returns 0 or the errno of close().
  int close() {
    int result = ::close(fd_) == 0 ? 0 : errno;
    fd_ = -1;
    return result;
  }
  void release() { name_.clear(); }

 private:
  int folder_;
  int fd_;
  std::string name_;
};

// The temporary name: a fixed short prefix and six random letters or
// digits, 14 bytes in all, so that it fits wherever the final name fits
// (any name up to NAME_MAX). Unpredictable, so that nobody can take the
// names in advance; the file is created with O_EXCL all the same.
std::string temporary_name() {
  static constexpr char kLetters[] =
      "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  static std::atomic<std::uint64_t> counter{0};
  std::uint64_t bits = 0;
  if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != sizeof bits) {
    // No entropy at hand: the time, the process and a counter, mixed.
    bits = static_cast<std::uint64_t>(
               std::chrono::steady_clock::now().time_since_epoch().count()) ^
           (static_cast<std::uint64_t>(::getpid()) << 40) ^
           (counter.fetch_add(1) * 0x9E3779B97F4A7C15u);
    bits ^= bits >> 31;
    bits *= 0xBF58476D1CE4E5B9u;
    bits ^= bits >> 29;
  }
  std::string name = ".zarnex-";
  for (int i = 0; i < 6; ++i, bits /= 62) name += kLetters[bits % 62];
  return name;
}

// Where the image of @a path goes: @a path itself when it is missing or a
// regular file; the file a symbolic link leads to when that is a regular
// file. Anything else is refused. Returns 0 or ERROR_QR recorded.
//
// The choice for symbolic links: a link is never replaced by the image
// itself. A link to a regular file is followed, and the image replaces that
// file under its resolved path (realpath), so the link stays a link and
// still leads to the file. A dangling link, a link that cannot be followed
// and a link to anything but a regular file are refused like such a target.
int resolve_target(const std::string& path, std::string* target) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) {
    if (errno != ENOENT) return path_failed(kCannotWrite, path, errno);
    *target = path;  // a new file; a missing folder shows when it is opened
    return 0;
  }
  if (S_ISREG(info.st_mode)) {
    *target = path;
    return 0;
  }
  if (!S_ISLNK(info.st_mode)) return path_refused(path, not_regular(info.st_mode));
  if (::stat(path.c_str(), &info) != 0) {
    const int error = errno;
    if (error == ENOENT) return path_refused(path, "Is a dangling symbolic link");
    return path_refused(path, std::string("Is a symbolic link that cannot be followed (") +
                                  std::strerror(error) + ")");
  }
  if (!S_ISREG(info.st_mode)) {
    return path_refused(path, std::string("Is a symbolic link to ") +
                                  kind_of(info.st_mode) + ", not to a regular file");
  }
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path_failed(kCannotWrite, path, errno);
  *target = resolved;
  std::free(resolved);
  return 0;
}

// Checks, in the open @a folder, that the entry @a name is missing or a
// regular file, as resolve_target() found it; it may have been changed
// since. Returns 0 or ERROR_QR recorded (naming @a path).
int check_entry(int folder, const std::string& name, const std::string& path) {
  struct stat info;
  if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno == ENOENT) return 0;
    return path_failed(kCannotWrite, path, errno);
  }
  if (S_ISREG(info.st_mode)) return 0;
  return path_refused(path, not_regular(info.st_mode));
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
  std::string target;
  if (int status = resolve_target(path, &target); status != 0) return status;
  const std::size_t slash = target.rfind('/');
  const std::string folder_path =
      slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  // "folder/" names no file (an existing folder was refused above).
  if (name.empty()) return path_failed(kCannotWrite, path, ENOENT);
  Folder folder(folder_path);
  if (folder.fd() < 0) return path_failed(kCannotWrite, path, errno);
  // The entry again, now in the folder that is held open: a link found above
  // led here, and whatever stands here now must still be a regular file.
  if (int status = check_entry(folder.fd(), name, path); status != 0) return status;

  int fd = -1;
  std::string temp_name;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp_name = temporary_name();
    fd = ::openat(folder.fd(), temp_name.c_str(),
                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return path_failed(kCannotWrite, path, errno);
  }
  if (fd < 0) return path_failed(kCannotWrite, path, EEXIST);
  TempFile temp(folder.fd(), fd, std::move(temp_name));
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(temp.fd(), data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return path_failed(kCannotWrite, path, n < 0 ? errno : EIO);
    done += static_cast<std::size_t>(n);
  }
  if (int error = temp.close(); error != 0)
    return path_failed(kCannotWrite, path, error);
  // Last look before the rename. What is left between the two is the
  // entry's being swapped in that instant; rename() never follows a link
  // there, so only the swapped-in entry itself could be replaced.
  if (int status = check_entry(folder.fd(), name, path); status != 0) return status;
  if (::renameat(folder.fd(), temp.name().c_str(), folder.fd(), name.c_str()) != 0)
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
