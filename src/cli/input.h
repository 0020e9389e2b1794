#ifndef ZARNEX_CLI_INPUT_H_
#define ZARNEX_CLI_INPUT_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <utility>

namespace zarnex::cli {

/// The longest input the tool takes in single mode, and the longest line in
/// bulk mode: 64 MiB. A document's field sequence holds at most 550 bytes, so
/// no valid document comes near it even with much white space around it;
/// beyond it the input is refused as soon as the bound is passed, without
/// holding the rest.
inline constexpr std::size_t kMaxInput = std::size_t{64} << 20;

/// How reading one input or one line ended.
enum class ReadEnd {
  kDone,     // the text is complete
  kEnd,      // no more input (only for lines: nothing was left to read)
  kTooLong,  // the text passed the bound; what was read of it is dropped
  kFailed,   // reading failed; the errno is in the reader's error()
};

/// Reads a stream line by line through its own buffer. Before it waits for
/// more input it calls the flush hook, so results already produced reach
/// the reader of the output before the tool blocks. A stream that is not
/// ready (non-blocking and empty) is waited for, not taken for its end.
class LineReader {
 public:
  explicit LineReader(int fd, std::function<void()> before_wait = {})
      : fd_(fd), before_wait_(std::move(before_wait)) {}
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  /// Reads the next line into @a line, its newline included (a last line
  /// may have none). A line longer than @a limit gives kTooLong: the line
  /// is dropped up to its newline (read, not kept) and reading can go on
  /// with the next one. A failed read gives kFailed, also when part of a
  /// line was read before it.
  ReadEnd next_line(std::string& line,
                    std::size_t limit = std::numeric_limits<std::size_t>::max());

  /// As next_line without a bound; false at the end of input or on a failed
  /// read.
  bool read_line(std::string& line) { return next_line(line) == ReadEnd::kDone; }

  /// Reads one byte; -1 at the end of input or on a failed read.
  int read_byte();

  /// The errno of the read that failed; 0 while no read has failed.
  int error() const { return error_; }

  /// The bytes taken from the stream that lines have been read from (for
  /// a progress line).
  std::uint64_t consumed() const { return read_ - (end_ - begin_); }

 private:
  bool fill();

  int fd_;
  std::function<void()> before_wait_;
  char buffer_[65536];
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  int error_ = 0;
  std::uint64_t read_ = 0;
};

/// One whole input, as read_all_input gives it.
struct Input {
  std::string text;
  ReadEnd end = ReadEnd::kDone;  // kDone, kTooLong or kFailed
  int error = 0;                 // the errno when end is kFailed
};

/// Reads one whole input from a file descriptor: up to its end, or up to the
/// last EOT byte (value 4) of the first chunk that holds one. Input is taken
/// in chunks that end after a newline or after 2047 bytes; the EOT and the
/// rest of its chunk (normally the newline) are dropped and nothing after
/// that chunk is read, so a writer that keeps the stream open is not waited
/// for. Reading stops as soon as more than @a limit bytes have been taken
/// (kTooLong, text emptied) or a read fails (kFailed).
Input read_all_input(int fd, std::size_t limit = kMaxInput);

}  // namespace zarnex::cli

#endif  // ZARNEX_CLI_INPUT_H_
