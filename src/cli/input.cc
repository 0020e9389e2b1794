#include "cli/input.h"

#include <unistd.h>

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
      return true;
    }
    if (n < 0 && errno == EINTR) continue;
    eof_ = true;
    return false;
  }
}

int LineReader::read_byte() {
  if (begin_ == end_ && !fill()) return -1;
  return static_cast<unsigned char>(buffer_[begin_++]);
}

bool LineReader::read_line(std::string& line) {
  line.clear();
  for (;;) {
    if (begin_ == end_ && !fill()) return !line.empty();
    const char* start = buffer_ + begin_;
    std::size_t available = end_ - begin_;
    const void* newline = std::memchr(start, '\n', available);
    std::size_t take =
        newline != nullptr
            ? static_cast<std::size_t>(static_cast<const char*>(newline) - start) + 1
            : available;
    line.append(start, take);
    begin_ += take;
    if (newline != nullptr) return true;
  }
}

std::string read_all_input(int fd) {
  // Chunks as a line read of at most 2047 bytes gives them: the EOT rule
  // looks at one chunk at a time.
  constexpr std::size_t kChunk = 2047;
  LineReader reader(fd);
  std::string result;
  std::string chunk;
  for (;;) {
    chunk.clear();
    int c = 0;
    while (chunk.size() < kChunk && (c = reader.read_byte()) != -1) {
      chunk.push_back(static_cast<char>(c));
      if (c == '\n') break;
    }
    if (chunk.empty()) return result;
    std::size_t eot = chunk.rfind('\x04');
    if (eot != std::string::npos) {
      result.append(chunk, 0, eot);
      return result;
    }
    result += chunk;
    if (c == -1) return result;
  }
}

}  // namespace zarnex::cli
