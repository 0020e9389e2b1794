#include "cli/progress.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace zarnex::cli {
namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(200);
constexpr char kErase[] = "\r\033[K";

void write_stderr(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
}

}  // namespace

Progress::Progress(int input) {
  active_ = ::isatty(STDERR_FILENO) == 1;
  start_ = std::chrono::steady_clock::now();
  next_ = start_ + kRedrawInterval;
  if (!active_) return;
  struct stat info;
  if (::fstat(input, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
    const off_t at = ::lseek(input, 0, SEEK_CUR);
    if (at >= 0 && at < info.st_size)
      size_ = static_cast<std::uint64_t>(info.st_size - at);
  }
}

void Progress::draw() {
  const auto now = std::chrono::steady_clock::now();
  next_ = now + kRedrawInterval;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  char text[160];
  int n = std::snprintf(text, sizeof text, "zarnex: %zu lines, %.0f lines/s",
                        lines_, seconds > 0 ? lines_ / seconds : 0.0);
  if (size_ > 0 && n > 0 && static_cast<std::size_t>(n) < sizeof text) {
    const double share = bytes_ >= size_ ? 1.0 : static_cast<double>(bytes_) / size_;
    n += std::snprintf(text + n, sizeof text - n, ", %d %%",
                       static_cast<int>(share * 100));
    if (share > 0 && static_cast<std::size_t>(n) < sizeof text) {
      const long left = static_cast<long>(seconds * (1 - share) / share + 0.5);
      std::snprintf(text + n, sizeof text - n, ", %ld:%02ld:%02ld left",
                    left / 3600, left / 60 % 60, left % 60);
    }
  }
  text_.clear();
  text_.push_back('\r');
  text_.append(text, std::strlen(text));
  text_.append(kErase + 1, sizeof kErase - 2);
  write_stderr(text_);
  drawn_ = true;
}

void Progress::hide() {
  if (!drawn_) return;
  std::fputs(kErase, stderr);
}

void Progress::show() {
  if (drawn_) draw();
}

void Progress::finish() {
  hide();
  drawn_ = false;
  active_ = false;
}

}  // namespace zarnex::cli
