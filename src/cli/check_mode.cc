#include "cli/check_mode.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>

#include "cli/input.h"
#include "cli/lines.h"
#include "cli/output.h"

namespace zarnex::cli {
namespace {

// An input file, closed when the run ends.
class InputFile {
 public:
  explicit InputFile(int fd) : fd_(fd) {}
  ~InputFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

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

int run_check(const Options& options) {
  int in = STDIN_FILENO;
  const bool from_file = !options.input && !options.input_path.empty() &&
                         options.input_path != "-";
  InputFile file(from_file ? ::open(options.input_path.c_str(),
                                    O_RDONLY | O_CLOEXEC)
                           : -1);
  if (from_file) {
    if (file.get() < 0)
      return report(read_failed("input file '" + options.input_path + "'",
                                error_reason(errno)));
    in = file.get();
  }
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
    LineReader reader(in, [] {});
    std::string line;
    std::size_t number = 0;
    for (;;) {
      const ReadEnd end = reader.next_line(line, kMaxInput);
      if (end == ReadEnd::kEnd || end == ReadEnd::kFailed) break;
      ++number;
      if (end == ReadEnd::kTooLong) {
        report += std::to_string(number) + ": line too long\n";
        continue;
      }
      if (!prepare_line(line)) continue;
      add(check(line, options), std::to_string(number) + ": ");
    }
  } else if (options.input) {
    add(check(*options.input, options), "");
  } else {
    Input read = read_all_input(in);
    if (read.end != ReadEnd::kDone)
      return cli::report(read.end == ReadEnd::kTooLong
                        ? input_too_long()
                        : read_failed("standard input", error_reason(read.error)));
    add(check(read.text, options), "");
  }
  report += count_line(problems);
  if (int error = write_fully(STDOUT_FILENO, report); error != 0)
    return cli::report(output_failed(error));
  return status;
}

}  // namespace zarnex::cli
