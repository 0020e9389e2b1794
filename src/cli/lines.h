#ifndef ZARNEX_CLI_LINES_H_
#define ZARNEX_CLI_LINES_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "cli/run_modes.h"
#include "zarnex/zarnex.hpp"

namespace zarnex::cli {

/// Prepares one input line for its operation: returns false when the line is
/// to be skipped (empty, or only bytes of code 0x20 or less); otherwise
/// removes at most two such bytes from its end (a CR and LF, or a blank and
/// LF) and returns true. Leading blanks are kept.
bool prepare_line(std::string& line);

/// Where bulk mode writes the QR symbols of its codes.
struct SymbolFolder {
  std::string folder;    // exists before the run starts
  QrOptions settings;
  bool named_by_id = false;  // the InvoiceID in front of each code names the file
};

/// The streams of a run and the names its error lines give them.
struct Streams {
  int in = 0;
  std::string in_name = "standard input";
  int out = 1;
  std::string out_name = "standard output";
};

/// The input of a single run: @a value when an option gave one, otherwise
/// the whole input stream (read_all_input). Returns 0, or ERROR_STREAM
/// after writing its error line.
int take_input(const std::optional<std::string>& value, const Streams& streams,
               std::string& input);

/// Runs @a operation once per non-blank line of standard input, writing each
/// result and a newline to standard output, or the error line to standard
/// error, before the next line is read. A failing line does not stop the run.
/// With @a symbols, each successful line's code is also written as a QR
/// symbol into its folder, named by the line's number (1 for the first line
/// of the input, blank lines counted); a symbol that cannot be written gives
/// the line's ERROR_QR error line after its result. A line longer than
/// kMaxInput is refused with its error line, and the run goes on.
/// Returns 0, or ERROR_STREAM when standard input could not be read or the
/// results could not be written (the run stops there, after one error line).
/// @a streams can put files in the place of standard input and output.
int run_lines(Operation operation, bool format_stderr,
              const SymbolFolder* symbols = nullptr, const Streams& streams = {});

/// An encoding result split at its last tab: the InvoiceID before it (none
/// without a tab) and the code after it.
struct CodeWithId {
  std::optional<std::string_view> invoice_id;
  std::string_view code;
};
CodeWithId split_code(std::string_view output);

/// Writes the error line of a failed operation to standard error: the error
/// text, or with @a format_stderr the local time, a tab, @a input, a tab and
/// the error text.
void write_error_line(bool format_stderr, const std::string& input,
                      std::string error_text);

}  // namespace zarnex::cli

#endif  // ZARNEX_CLI_LINES_H_
