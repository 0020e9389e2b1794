#include "cli/tool.h"

#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>

#include "cli/input.h"
#include "cli/lines.h"
#include "cli/options.h"
#include "cli/run_modes.h"
#include "error/error.h"
#include "qr/symbol_file.h"
#include "xml/text_buffer.h"

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
      return parsed.status;
    case ParsedOptions::Action::kRun:
      break;
  }
  const Options& options = parsed.options;
  Operation operation = operation_for(options.mode);
  const bool draw = !options.qr.path.empty();
  if (options.bulk) {
    if (!draw) {
      run_lines(operation, options.format_stderr);
      return 0;
    }
    // The folder is made before any input is read: without it no line
    // could get its symbol.
    if (int status = qr::make_folder(options.qr.path); status != 0) {
      write_error_line(false, std::string(), error_text());
      return status;
    }
    SymbolFolder symbols{options.qr.path, options.qr.settings, options.invoice_id};
    run_lines(operation, options.format_stderr, &symbols);
    return 0;
  }
  std::string input =
      options.input ? *options.input : read_all_input(STDIN_FILENO);
  xml::TextBuffer output;
  std::string error;
  int status = operation(input, output, error);
  if (status == 0) {
    // The symbol holds the code alone, without an InvoiceID in front.
    if (draw) {
      status = qr::write_symbol_file(split_code(output.view()).code,
                                     options.qr.path, options.qr.settings);
    }
    std::fwrite(output.data(), 1, output.size(), stdout);
    if (status != 0) write_error_line(options.format_stderr, input, error_text());
  } else {
    write_error_line(options.format_stderr, input, std::move(error));
  }
  std::fflush(stdout);
  return status;
}

}  // namespace zarnex::cli
