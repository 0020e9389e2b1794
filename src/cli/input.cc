#include "cli/input.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zarnex::cli {

bool LineReader::fill() {
  if (eof_) return false;
  if (before_wait_) before_wait_();
  for (;;) {
    ssize_t n = ::read(fd_, buffer_, sizeof buffer_);
    if (n > 0) {
      begin_ = 0;
      end_ = static_cast<std::size_t>(n);
      read_ += end_;
      return true;
    }
    if (n == 0) {
      eof_ = true;
      return false;
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      pollfd ready{fd_, POLLIN, 0};
      if (::poll(&ready, 1, -1) >= 0 || errno == EINTR) continue;
    }
    error_ = errno;
    eof_ = true;
    return false;
  }
}

int LineReader::read_byte() {
  if (begin_ == end_ && !fill()) return -1;
  return static_cast<unsigned char>(buffer_[begin_++]);
}

ReadEnd LineReader::next_line(std::string& line, std::size_t limit) {
  line.clear();
  bool too_long = false;
  for (;;) {
    if (begin_ == end_ && !fill()) {
      if (error_ != 0) return ReadEnd::kFailed;
      if (too_long) return ReadEnd::kTooLong;
      return line.empty() ? ReadEnd::kEnd : ReadEnd::kDone;
    }
    const char* start = buffer_ + begin_;
    std::size_t available = end_ - begin_;
    const void* newline = std::memchr(start, '\n', available);
    std::size_t take =
        newline != nullptr
            ? static_cast<std::size_t>(static_cast<const char*>(newline) - start) + 1
            : available;
    begin_ += take;
    if (!too_long) {
      if (take > limit - line.size()) {
        // Past the bound: the rest of the line is read and dropped.
        too_long = true;
        line.clear();
        line.shrink_to_fit();
      } else {
        line.append(start, take);
      }
    }
    if (newline != nullptr) return too_long ? ReadEnd::kTooLong : ReadEnd::kDone;
  }
}

Input read_all_input(int fd, std::size_t limit) {
  // Chunks as a line read of at most 2047 bytes gives them: the EOT rule
  // looks at one chunk at a time.
  constexpr std::size_t kChunk = 2047;
  LineReader reader(fd);
  Input input;
  std::string& result = input.text;
  std::string chunk;
  for (;;) {
    chunk.clear();
    int c = 0;
    while (chunk.size() < kChunk && (c = reader.read_byte()) != -1) {
      chunk.push_back(static_cast<char>(c));
      if (c == '\n') break;
    }
    std::size_t eot = chunk.rfind('\x04');
    std::size_t keep = eot != std::string::npos ? eot : chunk.size();
    if (keep > limit - result.size()) {
      input.end = ReadEnd::kTooLong;
      result = std::string();
      return input;
    }
    if (result.size() + keep > result.capacity()) {
      // Grown as a string grows, but never beyond the bound: a refused
      // input never costs more than the bound.
      result.reserve(std::min(limit, std::max(2 * result.capacity(),
                                              result.size() + keep)));
    }
    result.append(chunk, 0, keep);
    if (eot != std::string::npos) return input;
    if (c == -1) {
      if (reader.error() != 0) {
        input.end = ReadEnd::kFailed;
        input.error = reader.error();
      }
      return input;
    }
  }
}

}  // namespace zarnex::cli
