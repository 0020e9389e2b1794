#ifndef ZARNEX_CLI_INPUT_H_
#define ZARNEX_CLI_INPUT_H_

#include <cstddef>
#include <functional>
#include <string>
#include <utility>

namespace zarnex::cli {

/// Reads one whole input from a file descriptor: up to its end, or up to the
/// last EOT byte (value 4) of the first chunk that holds one. Input is taken
/// in chunks that end after a newline or after 2047 bytes; the EOT and the
/// rest of its chunk (normally the newline) are dropped and nothing after
/// that chunk is read, so a writer that keeps the stream open is not waited for.
std::string read_all_input(int fd);

/// Reads a stream line by line through its own buffer. Before it waits for
/// more input it calls the flush hook, so results already produced reach
/// the reader of the output before the tool blocks.
class LineReader {
 public:
  explicit LineReader(int fd, std::function<void()> before_wait = {})
      : fd_(fd), before_wait_(std::move(before_wait)) {}
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  /// Reads the next line into @a line, its newline included (a last line
  /// may have none). Returns false at the end of input.
  bool read_line(std::string& line);

  /// Reads one byte; -1 at the end of input.
  int read_byte();

 private:
  bool fill();

  int fd_;
  std::function<void()> before_wait_;
  char buffer_[65536];
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
};

}  // namespace zarnex::cli

#endif  // ZARNEX_CLI_INPUT_H_
