#include "cli/replacement_file.h"

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
#include <memory>
#include <utility>

namespace zarnex::cli {
namespace {

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

// Why an existing entry of @a mode is not replaced.
std::string not_regular(mode_t mode) {
  return std::string("Is ") + kind_of(mode) + ", not a regular file";
}

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

struct FreeDeleter {
  void operator()(char* text) const { std::free(text); }
};

}  // namespace

ReplacementFile::~ReplacementFile() {
  abandon();
  if (folder_ >= 0) ::close(folder_);
}

bool ReplacementFile::fail(int error) {
  reason_ = std::strerror(error);
  abandon();
  return false;
}

bool ReplacementFile::refuse(std::string reason) {
  reason_ = std::move(reason);
  abandon();
  return false;
}

void ReplacementFile::abandon() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_name_.empty()) ::unlinkat(folder_, temp_name_.c_str(), 0);
  temp_name_.clear();
}

// Checks, in the open folder, that the target's entry is missing or a
// regular file; it may have been changed since it was first looked at.
bool ReplacementFile::check_entry() {
  struct stat info;
  if (::fstatat(folder_, name_.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno == ENOENT) return true;
    return fail(errno);
  }
  if (S_ISREG(info.st_mode)) return true;
  return refuse(not_regular(info.st_mode));
}

bool ReplacementFile::open(const std::string& path) {
  // Where the new file goes: the path itself when it is missing or a
  // regular file; the file a symbolic link leads to when that is a regular
  // file.
  std::string target = path;
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) {
    // A new file; a missing folder shows when it is opened.
    if (errno != ENOENT) return fail(errno);
  } else if (S_ISLNK(info.st_mode)) {
    if (::stat(path.c_str(), &info) != 0) {
      const int error = errno;
      if (error == ENOENT) return refuse("Is a dangling symbolic link");
      return refuse(std::string("Is a symbolic link that cannot be followed (") +
                    std::strerror(error) + ")");
    }
    if (!S_ISREG(info.st_mode)) {
      return refuse(std::string("Is a symbolic link to ") + kind_of(info.st_mode) +
                    ", not to a regular file");
    }
    std::unique_ptr<char, FreeDeleter> resolved(::realpath(path.c_str(), nullptr));
    if (!resolved) return fail(errno);
    target = resolved.get();
  } else if (!S_ISREG(info.st_mode)) {
    return refuse(not_regular(info.st_mode));
  }

  const std::size_t slash = target.rfind('/');
  const std::string folder_path =
      slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  name_ = slash == std::string::npos ? target : target.substr(slash + 1);
  // "folder/" names no file (an existing folder was refused above).
  if (name_.empty()) return fail(ENOENT);
  // The folder is held open for the *at() calls, so that the checks, the
  // temporary file and the rename all meet the same folder even when its
  // path is changed meanwhile.
#ifdef O_PATH
  const int flags = O_PATH | O_DIRECTORY | O_CLOEXEC;  // needs no read right
#else
  const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif
  if (folder_ >= 0) ::close(folder_);
  folder_ = ::open(folder_path.c_str(), flags);
  if (folder_ < 0) return fail(errno);
  // The entry again, now in the folder that is held open: a link found
  // above led here, and whatever stands here now must still be a regular
  // file.
  if (!check_entry()) return false;
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    std::string name = temporary_name();
    fd_ = ::openat(folder_, name.c_str(),
                   O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      temp_name_ = std::move(name);
    } else if (errno != EEXIST) {
      return fail(errno);
    }
  }
  if (fd_ < 0) return fail(EEXIST);
  return true;
}

bool ReplacementFile::write(std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd_, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail(n < 0 ? errno : EIO);
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool ReplacementFile::commit() {
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return fail(errno);
  // Last look before the rename. What is left between the two is the
  // entry's being swapped in that instant; rename() never follows a link
  // there, so only the swapped-in entry itself could be replaced.
  if (!check_entry()) return false;
  if (::renameat(folder_, temp_name_.c_str(), folder_, name_.c_str()) != 0)
    return fail(errno);
  temp_name_.clear();
  return true;
}

}  // namespace zarnex::cli
