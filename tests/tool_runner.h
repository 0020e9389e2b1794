#ifndef ZARNEX_TESTS_TOOL_RUNNER_H_
#define ZARNEX_TESTS_TOOL_RUNNER_H_

#include <string>
#include <vector>

namespace zarnex::testing {

/// What one run of the built zarnex binary gave.
struct ToolResult {
  int status = -1;  // exit status (0..255), or -1 when it did not exit
  std::string out;
  std::string err;
};

struct ToolRun {
  std::vector<std::string> args;
  std::string input;
  /// Keep standard input open after writing the input, as a caller that
  /// relies on the EOT byte does; the run is then bounded by a timeout.
  bool keep_stdin_open = false;
  int timeout_seconds = 60;
  /// "NAME=value" entries added to the tool's environment, replacing any of
  /// the same name.
  std::vector<std::string> env;
};

/// Runs the zarnex binary with real standard streams.
ToolResult run_tool(const ToolRun& run);
ToolResult run_tool(std::vector<std::string> args, const std::string& input = "");

/// Reads a file of the source tree, e.g. "examples/pay-one-off.xml".
std::string read_source_file(const std::string& relative_path);

/// The whole content of a file ("" when it cannot be read).
std::string read_file(const std::string& path);

/// The names in a folder, sorted.
std::vector<std::string> folder_names(const std::string& folder);

/// Reads from @a fd until a newline arrives or 10 seconds pass (a tool
/// that answers each line before the next arrives, seen from its reader).
std::string read_line_within_10s(int fd);

/// Runs a shell command, returning its standard output (for xmllint and
/// other outside tools). Sets @a status to the command's exit status.
std::string run_shell(const std::string& command, int* status);

}  // namespace zarnex::testing

#endif  // ZARNEX_TESTS_TOOL_RUNNER_H_
