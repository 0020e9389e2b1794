#ifndef ZARNEX_CLI_TOOL_H_
#define ZARNEX_CLI_TOOL_H_

namespace zarnex::cli {

/// Runs the command-line tool on its arguments with the standard streams and
/// returns the process exit status.
int run_tool(int argc, char** argv);

}  // namespace zarnex::cli

#endif  // ZARNEX_CLI_TOOL_H_
