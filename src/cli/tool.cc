#include "cli/tool.h"

#include <unistd.h>

#include <cstdio>
#include <string_view>
#include <string>
#include <utility>

#include "cli/input.h"
#include "cli/lines.h"
#include "cli/output.h"
#include "cli/options.h"
#include "cli/run_modes.h"
#include "error/error.h"
#include "qr/symbol_file.h"
#include "xml/text_buffer.h"

namespace zarnex::cli {

namespace {

// Writes a whole text to standard output; on failure the error line is
// written and ERROR_STREAM returned.
int write_output(std::string_view text) {
  if (int error = write_fully(STDOUT_FILENO, text); error != 0) {
    const int status = output_failed(error);
    write_error_line(false, std::string(), error_text());
    return status;
  }
  return 0;
}

// The input of a single run: the option's value, or standard input.
// Returns 0, or ERROR_STREAM after writing the error line.
int take_input(const Options& options, std::string& input) {
  if (options.input) {
    input = *options.input;
    return 0;
  }
  Input read = read_all_input(STDIN_FILENO);
  if (read.end == ReadEnd::kDone) {
    input = std::move(read.text);
    return 0;
  }
  const int status = read.end == ReadEnd::kTooLong ? input_too_long()
                                                   : input_failed(read.error);
  write_error_line(false, std::string(), error_text());
  return status;
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
  Operation operation = operation_for(options.mode, options.json);
  const bool draw = !options.qr.path.empty();
  if (options.bulk) {
    if (!draw) return run_lines(operation, options.format_stderr);
    // The folder is made before any input is read: without it no line
    // could get its symbol.
    if (int status = qr::make_folder(options.qr.path); status != 0) {
      write_error_line(false, std::string(), error_text());
      return status;
    }
    SymbolFolder symbols{options.qr.path, options.qr.settings, options.invoice_id};
    return run_lines(operation, options.format_stderr, &symbols);
  }
  std::string input;
  if (int status = take_input(options, input); status != 0) return status;
  xml::TextBuffer output;
  std::string error;
  int status = operation(input, output, error);
  if (status == 0) {
    // The symbol holds the code alone, without an InvoiceID in front.
    if (draw) {
      status = qr::write_symbol_file(split_code(output.view()).code,
                                     options.qr.path, options.qr.settings);
    }
    if (status != 0) error = error_text();
    // A result that does not reach standard output is a failure, whatever
    // the symbol gave.
    if (int written = write_output(output.view()); written != 0) return written;
    if (status != 0) write_error_line(options.format_stderr, input, std::move(error));
  } else {
    write_error_line(options.format_stderr, input, std::move(error));
  }
  return status;
}

}  // namespace zarnex::cli
