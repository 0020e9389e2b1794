#include "cli/tool.h"

#include <unistd.h>

#include <cstdio>
#include <string>

#include "cli/input.h"
#include "cli/lines.h"
#include "cli/options.h"
#include "cli/run_modes.h"

namespace zarnex::cli {

int run_tool(int argc, char** argv) {
  ParsedOptions parsed = parse_options(argc - 1, argv + 1);
  switch (parsed.action) {
    case ParsedOptions::Action::kUsage: {
      std::string usage = usage_text();
      std::fwrite(usage.data(), 1, usage.size(), stdout);
      return 0;
    }
    case ParsedOptions::Action::kFail:
      std::fputs(parsed.message.c_str(), stderr);
      return 1;
    case ParsedOptions::Action::kRun:
      break;
  }
  const Options& options = parsed.options;
  Operation operation = operation_for(options.mode);
  if (options.bulk) {
    run_lines(operation, options.format_stderr);
    return 0;
  }
  std::string input =
      options.input ? *options.input : read_all_input(STDIN_FILENO);
  std::string output;
  int status = operation(input, &output);
  if (status == 0) {
    std::fwrite(output.data(), 1, output.size(), stdout);
  } else {
    write_error_line(options.format_stderr, input);
  }
  std::fflush(stdout);
  return status;
}

}  // namespace zarnex::cli
