#ifndef ZARNEX_CLI_CHECK_MODE_H_
#define ZARNEX_CLI_CHECK_MODE_H_

#include <string>

#include "cli/lines.h"
#include "cli/options.h"
#include "zarnex/zarnex.hpp"

namespace zarnex::cli {

/// One problem as check mode writes it: "PATH:LINE: ERROR_NAME: message"
/// (without ":LINE" when the line is unknown, as in JSON).
std::string problem_line(const Problem& problem);

/// --check: reads the input (one document, or with --lines one per line),
/// writes every problem found to the output, one line each (in bulk mode
/// prefixed by the input line's number and ": "), then the count. The
/// status is 0 when there is none, else the first problem's code; a stream
/// that fails gives ERROR_STREAM after its error line.
int run_check(const Options& options, const Streams& streams);

}  // namespace zarnex::cli

#endif  // ZARNEX_CLI_CHECK_MODE_H_
