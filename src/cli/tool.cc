#include "cli/tool.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include <cstdio>
#include <string_view>
#include <string>
#include <utility>

#include "cli/check_mode.h"
#include "cli/input.h"
#include "cli/lines.h"
#include "cli/output.h"
#include "cli/options.h"
#include "cli/run_modes.h"
#include "cli/replacement_file.h"
#include "cli/report.h"
#include "cli/symbol_file.h"
#include "zarnex/zarnex.hpp"

namespace zarnex::cli {

namespace {

// Writes a whole text to standard output; on failure the error line is
// written and ERROR_STREAM returned.
int write_output(std::string_view text) {
  if (int error = write_fully(STDOUT_FILENO, text); error != 0)
    return report(output_failed(error));
  return 0;
}

std::string quoted(std::string_view what, const std::string& path) {
  return std::string(what) + " '" + path + "'";
}

// The files that --input and --output name, in the place of standard input
// and output. The output file replaces its name only once the run has
// succeeded (commit); a failed run leaves the name as it was.
class Files {
 public:
  Files() = default;
  Files(const Files&) = delete;
  Files& operator=(const Files&) = delete;
  ~Files() {
    if (streams_.in != STDIN_FILENO) ::close(streams_.in);
  }

  // Opens what the options name; 0, or ERROR_STREAM after its error line.
  int open(const Options& options) {
    if (!options.input_path.empty() && options.input_path != "-") {
      streams_.in_name = quoted("input file", options.input_path);
      streams_.in = ::open(options.input_path.c_str(), O_RDONLY | O_CLOEXEC);
      if (streams_.in < 0) {
        const int error = errno;
        streams_.in = STDIN_FILENO;
        return report(read_failed(streams_.in_name, error_reason(error)));
      }
    }
    if (!options.output_path.empty() && options.output_path != "-") {
      streams_.out_name = quoted("output file", options.output_path);
      if (!output_.open(options.output_path))
        return report(write_failed(streams_.out_name, output_.reason()));
      streams_.out = output_.fd();
      to_file_ = true;
    }
    return 0;
  }

  const Streams& streams() const { return streams_; }

  // Writes @a text to the output; 0, or ERROR_STREAM after its error line.
  int write(std::string_view text) {
    if (int error = write_fully(streams_.out, text); error != 0)
      return report(write_failed(streams_.out_name, error_reason(error)));
    return 0;
  }

  // Puts a finished output file in its place; 0, or ERROR_STREAM after its
  // error line. Nothing to do for standard output.
  int commit() {
    if (to_file_ && !output_.commit())
      return report(write_failed(streams_.out_name, output_.reason()));
    return 0;
  }

 private:
  Streams streams_;
  ReplacementFile output_;
  bool to_file_ = false;
};

int report_failure(const std::string& name, const std::string& reason) {
  return report(write_failed(name, reason));
}

}  // namespace

int run_tool(int argc, char** argv) {
  ParsedOptions parsed = parse_options(argc - 1, argv + 1);
  switch (parsed.action) {
    case ParsedOptions::Action::kUsage:
      return write_output(usage_text());
    case ParsedOptions::Action::kHelp:
    case ParsedOptions::Action::kVersion: {
      std::string text = parsed.action == ParsedOptions::Action::kHelp
                             ? help_text()
                             : version_text();
      return write_output(text);
    }
    case ParsedOptions::Action::kFail:
      std::fputs(parsed.message.c_str(), stderr);
      return parsed.status;
    case ParsedOptions::Action::kRun:
      break;
  }
  const Options& options = parsed.options;
  if (options.mode == Mode::kCheck) {
    Files files;
    if (int status = files.open(options); status != 0) return status;
    const int status = run_check(options, files.streams());
    // Problems are the run's result; only a failed stream leaves no file.
    if (status == static_cast<int>(Error::kStream)) return status;
    if (int committed = files.commit(); committed != 0) return committed;
    return status;
  }
  Operation operation = options.strict
                            ? strict_operation_for(options.mode, options.json)
                            : operation_for(options.mode, options.json);
  const bool draw = !options.qr.path.empty();
  if (options.bulk) {
    // The folder is made before any input is read: without it no line
    // could get its symbol.
    if (draw) {
      std::string error;
      if (int status = make_folder(options.qr.path, error); status != 0)
        return report({status, std::move(error)});
    }
    Files files;
    if (int status = files.open(options); status != 0) return status;
    Report report;
    const bool reporting = !options.report_path.empty();
    const std::string report_name = quoted("report file", options.report_path);
    if (reporting && !report.open(options.report_path))
      return report_failure(report_name, report.reason());
    SymbolFolder symbols{options.qr.path, options.qr.settings, options.invoice_id};
    BulkRun run;
    run.operation = operation;
    run.format_stderr = options.format_stderr;
    run.symbols = draw ? &symbols : nullptr;
    run.threads = options.threads;
    run.report = reporting ? &report : nullptr;
    run.progress = options.progress;
    LineCounts counts;
    const int status = run_lines(run, files.streams(), &counts);
    // The report tells what became of the lines read, also when the
    // streams failed.
    if (reporting && !report.finish(counts) && status == 0)
      return report_failure(report_name, report.reason());
    if (status != 0) return status;
    if (int committed = files.commit(); committed != 0) return committed;
    return options.fail_on_error ? counts.first_failure : 0;
  }
  Files files;
  if (int status = files.open(options); status != 0) return status;
  std::string input;
  if (int status = take_input(options.input, files.streams(), input); status != 0)
    return status;
  TextBuffer output;
  Outcome outcome;
  Result& failure = outcome.failure;
  int status = operation(input, output, outcome);
  // The sequence mode's diagnostic of a malformed prefix comes before its
  // error line.
  if (!outcome.note.empty())
    std::fwrite(outcome.note.data(), 1, outcome.note.size(), stderr);
  if (status == 0) {
    // The symbol holds the code alone, without an InvoiceID in front.
    if (draw) {
      status = write_symbol_file(split_code(output.view()).code,
                                 options.qr.path, options.qr.settings,
                                 failure.error);
    }
    // A result that does not reach its output is a failure, whatever the
    // symbol gave.
    if (int written = files.write(output.view()); written != 0) return written;
    if (int committed = files.commit(); committed != 0) return committed;
    if (status != 0)
      write_error_line(options.format_stderr, input, std::move(failure.error));
  } else {
    write_error_line(options.format_stderr, input, std::move(failure.error));
  }
  return status;
}

}  // namespace zarnex::cli
