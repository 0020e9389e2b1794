#ifndef ZARNEX_CLI_LINES_H_
#define ZARNEX_CLI_LINES_H_

#include <string>

#include "cli/run_modes.h"

namespace zarnex::cli {

/// Prepares one input line for its operation: returns false when the line is
/// to be skipped (empty, or only bytes of code 0x20 or less); otherwise
/// removes at most two such bytes from its end (a CR and LF, or a blank and
/// LF) and returns true. Leading blanks are kept.
bool prepare_line(std::string& line);

/// Runs @a operation once per non-blank line of standard input, writing each
/// result and a newline to standard output, or the error line to standard
/// error, before the next line is read. A failing line does not stop the run.
void run_lines(Operation operation, bool format_stderr);

/// Writes the error line of a failed operation to standard error: the error
/// text, or with @a format_stderr the local time, a tab, @a input, a tab and
/// the error text.
void write_error_line(bool format_stderr, const std::string& input,
                      std::string error_text);

}  // namespace zarnex::cli

#endif  // ZARNEX_CLI_LINES_H_
