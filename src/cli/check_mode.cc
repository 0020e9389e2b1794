#include "cli/check_mode.h"

#include <string>
#include <string_view>

#include "cli/input.h"
#include "cli/lines.h"
#include "cli/output.h"

namespace zarnex::cli {
namespace {

CheckResult check(std::string_view text, const Options& options) {
  const ReadOptions read{options.strict};
  return options.json ? check_json(text, read) : check_xml(text, read);
}

std::string count_line(std::size_t problems) {
  return std::to_string(problems) +
         (problems == 1 ? " problem\n" : " problems\n");
}

}  // namespace

std::string problem_line(const Problem& problem) {
  std::string line = problem.path;
  if (problem.line > 0) line.append(":").append(std::to_string(problem.line));
  line.append(": ").append(problem.error_name).append(": ").append(problem.message);
  // A parser's messages end in line breaks; the problem stays on one line.
  while (!line.empty() && (line.back() == '\n' || line.back() == ' '))
    line.pop_back();
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return line;
}

int run_check(const Options& options, const Streams& streams) {
  std::string report;
  int status = 0;
  std::size_t problems = 0;
  auto add = [&](const CheckResult& result, const std::string& prefix) {
    for (const Problem& problem : result.problems)
      report += prefix + problem_line(problem) + "\n";
    problems += result.problems.size();
    if (status == 0) status = result.status();
  };
  if (options.bulk) {
    LineReader reader(streams.in, [] {});
    std::string line;
    std::size_t number = 0;
    for (;;) {
      const ReadEnd end = reader.next_line(line, kMaxInput);
      if (end == ReadEnd::kEnd) break;
      if (end == ReadEnd::kFailed)
        return cli::report(read_failed(streams.in_name, error_reason(reader.error())));
      ++number;
      if (end == ReadEnd::kTooLong) {
        report += std::to_string(number) + ": line too long\n";
        continue;
      }
      if (!prepare_line(line)) continue;
      add(check(line, options), std::to_string(number) + ": ");
    }
  } else {
    std::string text;
    if (int failed = take_input(options.input, streams, text); failed != 0)
      return failed;
    add(check(text, options), "");
  }
  report += count_line(problems);
  if (int error = write_fully(streams.out, report); error != 0)
    return cli::report(write_failed(streams.out_name, error_reason(error)));
  return status;
}

}  // namespace zarnex::cli
