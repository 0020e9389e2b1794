#include "cli/lines.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <utility>

#include "cli/input.h"
#include "cli/output.h"
#include "cli/symbol_file.h"
#include "zarnex/text_buffer.hpp"

namespace zarnex::cli {
namespace {

bool is_blank_byte(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// Results are gathered into blocks of about this size before they are written.
constexpr std::size_t kBlockSize = 1 << 16;

// Standard output of a bulk run. Every result is written into one block,
// which goes out with write() when it is full and whenever the reader is
// about to read more input: a long run writes in large blocks, while a pipe
// partner that waits for each result still gets it before the tool waits.
// Once a block cannot be written, nothing more is written and error() tells
// why: the run ends, since no later result could reach its reader either.
class BlockWriter {
 public:
  explicit BlockWriter(int fd) : fd_(fd), block_(2 * kBlockSize) {}
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;

  TextBuffer& block() { return block_; }
  void flush_when_full() {
    if (block_.size() >= kBlockSize) flush();
  }
  // Writes the whole block, waiting for a reader that is slow or a
  // descriptor that is non-blocking; returns the errno of a failed write.
  int flush() {
    if (error_ == 0) error_ = write_fully(fd_, block_.data(), block_.size());
    block_.clear();
    return error_;
  }
  int error() const { return error_; }

 private:
  int fd_;
  TextBuffer block_;
  int error_ = 0;
};

}  // namespace

bool prepare_line(std::string& line) {
  bool content = false;
  for (char c : line) {
    if (!is_blank_byte(c)) {
      content = true;
      break;
    }
  }
  if (!content) return false;
  for (int i = 0; i < 2 && !line.empty() && is_blank_byte(line.back()); ++i)
    line.pop_back();
  return true;
}

void write_error_line(bool format_stderr, const std::string& input,
                      std::string text) {
  if (!format_stderr) {
    text.push_back('\n');
    std::fwrite(text.data(), 1, text.size(), stderr);
    return;
  }
  char stamp[128];
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::size_t n = std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S.000", &local);
  std::string line;
  line.reserve(n + input.size() + text.size() + 3);
  line.append(stamp, n).append(1, '\t').append(input).append(1, '\t');
  line.append(text).append(1, '\n');
  std::fwrite(line.data(), 1, line.size(), stderr);
}

CodeWithId split_code(std::string_view output) {
  std::size_t tab = output.rfind('\t');
  if (tab == std::string_view::npos) return {std::nullopt, output};
  return {output.substr(0, tab), output.substr(tab + 1)};
}

int take_input(const std::optional<std::string>& value, const Streams& streams,
               std::string& input) {
  if (value) {
    input = *value;
    return 0;
  }
  Input read = read_all_input(streams.in);
  if (read.end == ReadEnd::kDone) {
    input = std::move(read.text);
    return 0;
  }
  return report(read.end == ReadEnd::kTooLong
                    ? input_too_long()
                    : read_failed(streams.in_name, error_reason(read.error)));
}

int run_lines(Operation operation, bool format_stderr,
              const SymbolFolder* symbols, const Streams& streams) {
  // Whatever went to standard output through the C stream before (nothing,
  // in the tool) goes out first.
  std::fflush(stdout);
  BlockWriter output(streams.out);
  LineReader reader(streams.in, [&output] { output.flush(); });
  TextBuffer& block = output.block();
  std::string line;
  Result failure;  // the error of the last failed line, kept for the next
  std::size_t line_number = 0;
  std::string symbol_path;
  if (symbols != nullptr) {
    symbol_path = symbols->folder;
    if (!symbol_path.empty() && symbol_path.back() != '/') symbol_path += '/';
  }
  const std::size_t folder_length = symbol_path.size();
  for (;;) {
    const ReadEnd end = reader.next_line(line, kMaxInput);
    if (output.error() != 0) break;
    if (end == ReadEnd::kEnd || end == ReadEnd::kFailed) break;
    ++line_number;
    if (end == ReadEnd::kTooLong) {
      // One document that is refused; the run goes on with the next line.
      write_error_line(format_stderr, std::string(), line_too_long().text);
      continue;
    }
    if (!prepare_line(line)) continue;
    const std::size_t start = block.size();
    const int status = operation(line, block, failure);
    if (status == 0) {
      int symbol_status = 0;
      if (symbols != nullptr) {
        CodeWithId parts = split_code(block.view().substr(start));
        symbol_path.resize(folder_length);
        symbol_path += symbol_file_name(
            line_number, symbols->named_by_id ? parts.invoice_id : std::nullopt,
            symbols->settings.format);
        symbol_status =
            write_symbol_file(parts.code, symbol_path, symbols->settings,
                              failure.error);
      }
      block.append('\n');
      if (symbol_status != 0)
        write_error_line(format_stderr, line, std::move(failure.error));
    } else {
      write_error_line(format_stderr, line, std::move(failure.error));
    }
    output.flush_when_full();
  }
  // The results of every line read go out before a failure is reported.
  StreamFailure stream;
  if (output.flush() != 0) {
    stream = write_failed(streams.out_name, error_reason(output.error()));
  } else if (reader.error() != 0) {
    stream = read_failed(streams.in_name, error_reason(reader.error()));
  } else {
    return 0;
  }
  write_error_line(false, std::string(), std::move(stream.text));
  return stream.status;
}

}  // namespace zarnex::cli
