#include "cli/output.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "cli/lines.h"
#include "zarnex/zarnex.hpp"

namespace zarnex::cli {
namespace {

constexpr int kStream = static_cast<int>(Error::kStream);

StreamFailure stream_failed(std::string_view verb, std::string_view stream,
                            std::string_view reason) {
  std::string detail;
  detail.reserve(stream.size() + reason.size() + 4);
  detail.append(" ").append(stream).append(": ").append(reason).append(". ");
  return {kStream, error_text(kStream, verb, detail)};
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

std::string error_reason(int error) {
  const char* text = strerrordesc_np(error);
  if (text != nullptr) return text;
  return "error " + std::to_string(error);
}

StreamFailure write_failed(std::string_view stream, std::string_view reason) {
  return stream_failed("Cannot write", stream, reason);
}

StreamFailure read_failed(std::string_view stream, std::string_view reason) {
  return stream_failed("Cannot read", stream, reason);
}

StreamFailure input_too_long() {
  return {kStream, error_text(kStream, "Input is longer than 64 MiB (67108864 bytes).")};
}

StreamFailure line_too_long() {
  return {kStream, error_text(kStream, "Line is longer than 64 MiB (67108864 bytes).")};
}

int report(StreamFailure failure) {
  write_error_line(false, std::string(), std::move(failure.text));
  return failure.status;
}

}  // namespace zarnex::cli
