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

class Report;
struct LineCounts;

/// A bulk run: its operation and what goes with it.
struct BulkRun {
  Operation operation = nullptr;
  bool format_stderr = false;
  const SymbolFolder* symbols = nullptr;  // QR symbols of the codes, or none
  /// Threads that run the operation; 1 runs every line on the calling
  /// thread. More give the same output, error lines, symbol files and report
  /// in the same order.
  int threads = 1;
  Report* report = nullptr;  // an open report, or none
  bool progress = false;     // a progress line while standard error is a terminal
};

/// Runs the operation once per non-blank line of the input, writing each
/// result and a newline to the output, or the error line to standard error,
/// in input order. A failing line does not stop the run.
/// With symbols, each successful line's code is also written as a QR
/// symbol into its folder, named by the line's number (1 for the first line
/// of the input, blank lines counted); a symbol that cannot be written gives
/// the line's ERROR_QR error line after its result. A line longer than
/// kMaxInput is refused with its error line, and the run goes on.
/// Before the input is waited for, the results of every line read so far
/// have been written (a caller that writes one line and waits for its answer
/// gets it), with any number of threads; at most a few dozen lines per
/// thread are held at once.
/// Returns 0, or ERROR_STREAM when the input could not be read or the
/// results could not be written (the run stops there, after one error line,
/// once the results of every line read have been written). @a counts, when
/// given, receives the counts of the lines; the report gets its entries but
/// is not finished.
int run_lines(const BulkRun& run, const Streams& streams = {},
              LineCounts* counts = nullptr);

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
