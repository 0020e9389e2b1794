#include "cli/output.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "error/error.h"

namespace zarnex::cli {
namespace {

// The system's description of an errno, the same whatever the locale
// ("No space left on device").
std::string reason(int error) {
  const char* text = strerrordesc_np(error);
  if (text != nullptr) return text;
  return "error " + std::to_string(error);
}

int stream_failed(std::string_view subject, int error) {
  return set_error_detail_owned(ErrorCode::kStream, subject,
                                " " + reason(error) + ". ");
}

}  // namespace

int write_fully(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n > 0) {
      data += n;
      size -= static_cast<std::size_t>(n);
      continue;
    }
    if (n == 0) return EIO;  // no progress on a non-empty write
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      pollfd ready{fd, POLLOUT, 0};
      if (::poll(&ready, 1, -1) >= 0 || errno == EINTR) continue;
    }
    return errno;
  }
  return 0;
}

int output_failed(int error) {
  return stream_failed("Cannot write standard output:", error);
}

int input_failed(int error) {
  return stream_failed("Cannot read standard input:", error);
}

int input_too_long() {
  return set_error(ErrorCode::kStream,
                   "Input is longer than 64 MiB (67108864 bytes).");
}

int line_too_long() {
  return set_error(ErrorCode::kStream,
                   "Line is longer than 64 MiB (67108864 bytes).");
}

}  // namespace zarnex::cli
