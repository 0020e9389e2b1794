#ifndef ZARNEX_CLI_OPTIONS_H_
#define ZARNEX_CLI_OPTIONS_H_

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "zarnex/zarnex.hpp"

namespace zarnex::cli {

/// The run-mode operation that the options select.
enum class Mode {
  kNone,
  kEncodeXml,
  kEncodeXmlWithId,
  kDecodeToXml,
  kEncodeSequence,
  kEncodeSequenceWithId,
  kCheck,  // --check: every problem of the input, nothing encoded
};

/// QR symbols of the produced codes (--qr and the options that tune it).
struct QrOutput {
  std::string path;     // the file (single mode) or folder (bulk mode); empty: none
  QrOptions settings;   // the format is settled once all options are read
};

/// The run settings, filled from the options left to right.
struct Options {
  Mode mode = Mode::kNone;
  bool invoice_id = false;     // put the InvoiceID and a tab before each code
  bool bulk = false;           // one input per line of standard input
  bool format_stderr = false;  // error lines with timestamp and input
  bool json = false;           // JSON in (--encode) and out (--decode), not XML
  bool strict = false;         // --strict: strict reading for --encode, --check
  std::optional<std::string> input;  // input given as an option value
  // --input=PATH and --output=PATH; "-" or none: the standard stream.
  std::string input_path;
  std::string output_path;
  QrOutput qr;
  // Bulk mode only: the number of threads (0: one per processor), the
  // report file (empty: none), a non-zero exit status when a line failed,
  // and a progress line on a terminal.
  int threads = 1;
  std::string report_path;
  bool fail_on_error = false;
  bool progress = false;
};

/// The most threads --threads takes.
inline constexpr int kMaxThreads = 1024;

/// Result of reading the arguments.
struct ParsedOptions {
  enum class Action { kRun, kUsage, kHelp, kVersion, kFail };
  Action action = Action::kRun;
  Options options;
  std::string message;  // for kFail: the line for standard error
  int status = 1;       // for kFail: the exit status (ERROR_QR for QR options)
};

/// Cuts an argument at its first "=": the name before it, the value after
/// it (empty without "=").
std::pair<std::string_view, std::string_view> split_option(std::string_view argument);

/// Reads the arguments (without the program name) left to right. Does no
/// work: the caller prints the usage text or the message and runs the mode.
ParsedOptions parse_options(int argc, const char* const* argv);

/// The usage text printed when the tool runs without arguments.
std::string usage_text();

/// The --help text: the usage text, then the options beyond it.
std::string help_text();

/// The --version text: the tool's name and version.
std::string version_text();

}  // namespace zarnex::cli

#endif  // ZARNEX_CLI_OPTIONS_H_
