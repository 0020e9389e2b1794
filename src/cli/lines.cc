#include "cli/lines.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <utility>

#include "cli/input.h"
#include "error/error.h"

namespace zarnex::cli {
namespace {

bool is_blank_byte(char c) { return static_cast<unsigned char>(c) <= 0x20; }

void flush_output() { std::fflush(stdout); }

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

void run_lines(Operation operation, bool format_stderr,
               const SymbolFolder* symbols) {
  // Results are flushed only before the reader waits for input, so a long
  // run writes in large blocks (through a 64 KiB buffer) while a pipe
  // partner that waits for each result still gets it.
  static char output_buffer[1 << 16];
  std::setvbuf(stdout, output_buffer, _IOFBF, sizeof output_buffer);
  LineReader reader(STDIN_FILENO, flush_output);
  std::string line;
  std::size_t line_number = 0;
  std::string symbol_path;
  if (symbols != nullptr) {
    symbol_path = symbols->folder;
    if (!symbol_path.empty() && symbol_path.back() != '/') symbol_path += '/';
  }
  const std::size_t folder_length = symbol_path.size();
  while (reader.read_line(line)) {
    ++line_number;
    if (!prepare_line(line)) continue;
    Result result = operation(line);
    if (result.ok()) {
      int symbol_status = 0;
      if (symbols != nullptr) {
        CodeWithId parts = split_code(result.output);
        symbol_path.resize(folder_length);
        symbol_path += qr::symbol_file_name(
            line_number, symbols->named_by_id ? parts.invoice_id : std::nullopt,
            symbols->settings.format);
        symbol_status =
            qr::write_symbol_file(parts.code, symbol_path, symbols->settings);
      }
      // The line end goes out on its own: appending it could make the
      // output's buffer grow (and be copied) only to be written.
      std::fwrite(result.output.data(), 1, result.output.size(), stdout);
      std::putc('\n', stdout);
      if (symbol_status != 0) write_error_line(format_stderr, line, error_text());
    } else {
      write_error_line(format_stderr, line, std::move(result.error));
    }
  }
  std::fflush(stdout);
}

}  // namespace zarnex::cli
