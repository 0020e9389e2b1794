#include "cli/tool.h"

#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>

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
    case ParsedOptions::Action::kHelp:
    case ParsedOptions::Action::kVersion: {
      std::string text = parsed.action == ParsedOptions::Action::kHelp
                             ? help_text()
                             : version_text();
      std::fwrite(text.data(), 1, text.size(), stdout);
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
  Result result = operation(input);
  if (result.ok()) {
    std::fwrite(result.output.data(), 1, result.output.size(), stdout);
  } else {
    write_error_line(options.format_stderr, input, std::move(result.error));
  }
  std::fflush(stdout);
  return result.status;
}

}  // namespace zarnex::cli
