// Bulk mode on several threads, its report and its progress line: every
// thread count gives the results, error lines, QR files and report of one
// thread, in input order.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "bench/generator.h"
#include "tests/tool_runner.h"

namespace zarnex::testing {
namespace {

const char* const kThreadCounts[] = {"--threads=2", "--threads=3", "--threads=8"};

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// @a lines with damage at random lines: cut in half, blank, garbage, a
// byte changed; the same seed gives the same damage.
std::string Damaged(const std::vector<std::string>& lines, std::uint64_t seed) {
  bench::Random random(seed);
  std::string text;
  for (std::string line : lines) {
    switch (random.below(20)) {
      case 0: line.resize(line.size() / 2); break;
      case 1: line = random.chance(50) ? "" : "   "; break;
      case 2: line = "NOT-A-CODE <x/> {"; break;
      case 3:
        if (!line.empty()) line[random.below(static_cast<std::uint32_t>(line.size()))] = 'Z';
        break;
      default: break;
    }
    text += line + "\n";
  }
  return text;
}

// Generated documents of every kind, one XML document per line.
std::vector<std::string> XmlDocuments(int count) {
  bench::DocumentGenerator generator(41);
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) lines.push_back(generator.next());
  return lines;
}

// Field-sequence lines: payment orders with changing values, the example
// lines, and prefixes the sequence mode refuses (with its diagnostic).
std::vector<std::string> SequenceLines(int count) {
  std::vector<std::string> lines = SplitLines(read_source_file("examples/sequences.txt"));
  for (int i = 0; static_cast<int>(lines.size()) < count; ++i) {
    if (i % 37 == 5) {
      lines.push_back("9\t0\tX-" + std::to_string(i));
      continue;
    }
    lines.push_back("0\t0\tID-" + std::to_string(i) + "\t1\t1\t" + std::to_string(i) +
                    (i % 29 == 3 ? ",5x" : ".5") +
                    "\tEUR\t\t\t\t\t\t\t1\tSK3112000000198742637541\tTATRSKBX\t0\t0");
  }
  return lines;
}

// Error lines with -f carry the time: compared without it.
std::string WithoutStamps(const std::string& err) {
  static const std::regex stamp("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.000\t");
  return std::regex_replace(err, stamp, "");
}

std::size_t CountLines(const std::string& text) {
  std::size_t n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

struct Inputs {
  std::string xml, json, codes, sequences;
};

const Inputs& MixedInputs() {
  static const Inputs inputs = [] {
    Inputs made;
    const std::vector<std::string> documents = XmlDocuments(1500);
    std::string clean;
    for (const std::string& d : documents) clean += d + "\n";
    ToolResult codes = run_tool({"-e", "-l"}, clean);
    ToolResult json = run_tool({"-d", "-l", "--json"}, codes.out);
    made.xml = Damaged(documents, 1);
    made.json = Damaged(SplitLines(json.out), 2);
    made.codes = Damaged(SplitLines(codes.out), 3);
    made.sequences = Damaged(SequenceLines(1500), 4);
    return made;
  }();
  return inputs;
}

TEST(BulkThreads, SameResultsInEveryMode) {
  const Inputs& in = MixedInputs();
  const struct {
    std::vector<std::string> args;
    const std::string* input;
  } kModes[] = {
      {{"-e"}, &in.xml},
      {{"-e", "-i"}, &in.xml},
      {{"-e", "--strict"}, &in.xml},
      {{"-e", "--json"}, &in.json},
      {{"-e", "-i", "--json"}, &in.json},
      {{"-d"}, &in.codes},
      {{"-d", "--json"}, &in.codes},
      {{"-s"}, &in.sequences},
      {{"-s", "-i", "-f"}, &in.sequences},
  };
  for (const auto& mode : kModes) {
    std::vector<std::string> args = mode.args;
    args.push_back("-l");
    std::string name;
    for (const std::string& a : args) name += a + " ";
    ToolResult one = run_tool(args, *mode.input);
    ASSERT_EQ(one.status, 0) << name;
    // Both results and failures, or the comparison would prove little.
    ASSERT_GT(CountLines(one.out), 1000u) << name;
    ASSERT_GT(CountLines(one.err), 50u) << name;
    for (const char* threads : kThreadCounts) {
      std::vector<std::string> threaded = args;
      threaded.push_back(threads);
      ToolResult many = run_tool(threaded, *mode.input);
      EXPECT_EQ(many.status, 0) << name << threads;
      EXPECT_TRUE(many.out == one.out) << name << threads;
      EXPECT_TRUE(WithoutStamps(many.err) == WithoutStamps(one.err)) << name << threads;
    }
  }
}

// The files of a folder and their bytes.
std::map<std::string, std::string> FolderFiles(const std::string& folder) {
  std::map<std::string, std::string> files;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return files;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    std::ifstream in(folder + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    files[name] = bytes.str();
  }
  closedir(dir);
  return files;
}

TEST(BulkThreads, SymbolFoldersHoldTheSameFiles) {
  const std::vector<std::string> lines = SplitLines(MixedInputs().xml);
  std::string input;
  for (std::size_t i = 0; i < 160; ++i) input += lines[i] + "\n";
  char base[] = "/tmp/zarnex-threads-qr-XXXXXX";
  ASSERT_NE(mkdtemp(base), nullptr);
  std::map<std::string, std::string> expected;
  std::string expected_err;
  for (const char* threads : {"--threads=1", "--threads=3", "--threads=8"}) {
    const std::string folder = std::string(base) + "/" + (threads + 10);
    ASSERT_EQ(mkdir(folder.c_str(), 0777), 0);
    // A directory where line 7's symbol would go: that line's ERROR_QR
    // error line must come in its place among the others.
    ASSERT_EQ(mkdir((folder + "/000007.svg").c_str(), 0777), 0);
    ToolResult r = run_tool({"-e", "-l", "--qr=" + folder, "--qr_format=svg", threads}, input);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("ERROR_QR: Cannot write QR symbol file '" + folder +
                         "/000007.svg': Is a directory"),
              std::string::npos)
        << r.err;
    std::map<std::string, std::string> files = FolderFiles(folder);
    std::string err = r.err;
    for (std::size_t at; (at = err.find(folder)) != std::string::npos;)
      err.replace(at, folder.size(), "FOLDER");
    if (expected.empty()) {
      expected = files;
      expected_err = err;
      EXPECT_GT(expected.size(), 100u);
    } else {
      EXPECT_TRUE(files == expected) << threads;
      EXPECT_EQ(err, expected_err) << threads;
    }
  }
  int removed = 0;
  run_shell("rm -rf " + std::string(base), &removed);
}

// A running tool whose standard input and output are pipes of the test
// (and, optionally, standard error a given descriptor).
struct Coprocess {
  explicit Coprocess(std::vector<std::string> args, int err_fd = -1) {
    signal(SIGPIPE, SIG_IGN);
    int in[2], out[2];
    EXPECT_EQ(pipe(in), 0);
    EXPECT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    if (err_fd >= 0) posix_spawn_file_actions_adddup2(&actions, err_fd, 2);
    for (int fd : {in[0], in[1], out[0], out[1]})
      posix_spawn_file_actions_addclose(&actions, fd);
    std::string binary = ZARNEX_BINARY;
    std::vector<char*> argv{binary.data()};
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    EXPECT_EQ(posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), nullptr), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    to = in[1];
    from = out[0];
  }
  void write_line(const std::string& line) {
    const std::string text = line + "\n";
    EXPECT_EQ(write(to, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  // Closes the input and returns the exit status.
  int finish() {
    close(to);
    int status = 0;
    waitpid(pid, &status, 0);
    close(from);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  pid_t pid = 0;
  int to = -1;
  int from = -1;
};

std::string FirstCode() {
  return SplitLines(run_tool({"-e"}, read_source_file("examples/invoice.xml")).out)[0];
}

TEST(BulkThreads, AnswersEachLineBeforeTheNextArrives) {
  const std::string code = FirstCode();
  for (const char* threads : {"--threads=2", "--threads=8"}) {
    Coprocess tool({"-d", "-l", threads});
    // Like a caller that keeps the tool running: each answer must come
    // while the input stays open, also for lines after a blank one.
    for (int i = 0; i < 4; ++i) {
      if (i == 2) tool.write_line("");
      tool.write_line(code);
      std::string answer = read_line_within_10s(tool.from);
      EXPECT_EQ(answer.rfind("<?xml", 0), 0u) << threads << " " << i << ": " << answer;
    }
    EXPECT_EQ(tool.finish(), 0);
  }
}

TEST(BulkReport, LineNumbersAndOutcomes) {
  const std::string code = FirstCode();
  const std::string input = code + "\n\nNOT-A-CODE\n" + code + "\n   \n" +
                            code.substr(0, 30) + "\n" + code;
  const std::string expected =
      "{\"line\":1,\"status\":0,\"invoice_id\":\"FV-2026-0142\"}\n"
      "{\"line\":3,\"status\":1,\"error\":\"ERROR_BASE32HEX\",\"message\":"
      "\"Invalid base32hex string.  \"}\n"
      "{\"line\":4,\"status\":0,\"invoice_id\":\"FV-2026-0142\"}\n"
      "{\"line\":6,\"status\":3,\"error\":\"ERROR_COMPRESSION\",\"message\":"
      "\"Decompression error.  \"}\n"
      "{\"line\":7,\"status\":0,\"invoice_id\":\"FV-2026-0142\"}\n"
      "{\"summary\":{\"lines\":7,\"succeeded\":3,\"failed\":2,\"skipped\":2}}\n";
  char folder[] = "/tmp/zarnex-report-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string path = std::string(folder) + "/report.jsonl";
  for (const char* threads : {"--threads=1", "--threads=3"}) {
    ToolResult r = run_tool({"-d", "-l", "--report=" + path, threads}, input);
    EXPECT_EQ(r.status, 0) << threads;
    EXPECT_EQ(CountLines(r.out), 3u);
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), expected) << threads;
    // With --fail_on_error the status is the first failed line's code.
    ToolResult failing = run_tool({"-d", "-l", "--fail_on_error", threads}, input);
    EXPECT_EQ(failing.status, 1) << threads;
    EXPECT_EQ(failing.out, r.out);
  }
  ToolResult clean = run_tool({"-d", "-l", "--fail_on_error"}, code + "\n");
  EXPECT_EQ(clean.status, 0);

  // A document that was read keeps its InvoiceID when a rule then fails; a
  // refused line beyond the bound is a failed line of its own.
  const std::string no_currency =
      "<Pay><InvoiceID>X-\"1\"</InvoiceID><Payments><Payment><PaymentOptions>"
      "paymentorder</PaymentOptions></Payment></Payments></Pay>";
  ToolResult encoded = run_tool(
      {"-e", "-l", "-i", "--threads=2", "--report=" + path},
      no_currency + "\n" + std::string((64 << 20) + 1, 'x') + "\n");
  EXPECT_EQ(encoded.status, 0);
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "{\"line\":1,\"status\":4,\"error\":\"ERROR_INVALID_VALUE\",\"message\":"
            "\"CurrencyCode cannot be NULL. \",\"invoice_id\":\"X-\\\"1\\\"\"}\n"
            "{\"line\":2,\"status\":12,\"error\":\"ERROR_STREAM\",\"message\":"
            "\"Line is longer than 64 MiB (67108864 bytes). \"}\n"
            "{\"summary\":{\"lines\":2,\"succeeded\":0,\"failed\":2,\"skipped\":0}}\n");
  run_shell("rm -rf " + std::string(folder), &clean.status);
}

TEST(BulkReport, CountsMatchTheResultsOfALargeRun) {
  const std::string& input = MixedInputs().sequences;
  char name[] = "/tmp/zarnex-report-XXXXXX";
  const int fd = mkstemp(name);
  ASSERT_GE(fd, 0);
  close(fd);
  ToolResult r = run_tool({"-s", "-l", "--threads=3", std::string("--report=") + name}, input);
  ASSERT_EQ(r.status, 0);
  std::ifstream in(name);
  std::ostringstream text;
  text << in.rdbuf();
  std::remove(name);
  const std::vector<std::string> report = SplitLines(text.str());
  const std::vector<std::string> lines = SplitLines(input);
  ASSERT_FALSE(report.empty());
  std::size_t succeeded = 0, failed = 0, previous = 0;
  static const std::regex entry("\\{\"line\":(\\d+),\"status\":(-?\\d+)(.*)\\}");
  for (std::size_t i = 0; i + 1 < report.size(); ++i) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(report[i], m, entry)) << report[i];
    const std::size_t number = std::stoul(m[1]);
    EXPECT_GT(number, previous);
    previous = number;
    ASSERT_LE(number, lines.size());
    // The line it names is the one that gave this outcome on its own.
    if (number % 50 == 0 || m[2] != "0") {
      ToolResult alone = run_tool({"-s", "-l"}, lines[number - 1] + "\n");
      EXPECT_EQ(alone.out.empty(), m[2] != "0") << number << ": " << lines[number - 1];
    }
    (m[2] == "0" ? succeeded : failed) += 1;
  }
  EXPECT_EQ(succeeded, CountLines(r.out));
  std::size_t blank = 0;
  for (const std::string& line : lines) blank += line.find_first_not_of(" ") == std::string::npos;
  EXPECT_EQ(report.back(), "{\"summary\":{\"lines\":" + std::to_string(lines.size()) +
                               ",\"succeeded\":" + std::to_string(succeeded) +
                               ",\"failed\":" + std::to_string(failed) +
                               ",\"skipped\":" + std::to_string(blank) + "}}");
}

TEST(BulkReport, OptionErrors) {
  ToolResult single = run_tool({"-e", "--report=r.jsonl"}, "");
  EXPECT_EQ(single.status, 1);
  EXPECT_EQ(single.err,
            "The option --report lists the lines of a bulk run: use it with "
            "--lines and --encode, --decode or --sequence. \n");
  ToolResult folder = run_tool({"-d", "-l", "--report=/tmp"}, "never read\n");
  EXPECT_EQ(folder.status, 12);
  EXPECT_EQ(folder.out, "");
  EXPECT_EQ(folder.err,
            "ERROR_STREAM: Cannot write report file '/tmp': Is a directory, not a "
            "regular file. \n");
  for (const char* bad : {"--threads=", "--threads=-1", "--threads=1025", "--threads=2x"}) {
    ToolResult r = run_tool({"-d", "-l", bad}, "");
    EXPECT_EQ(r.status, 1) << bad;
    EXPECT_EQ(r.err,
              "The option --threads needs a whole number from 0 (one thread per "
              "processor) to 1024, as in --threads=4. \n")
        << bad;
  }
  ToolResult every = run_tool({"-s", "-l", "-i", "--threads=0"}, MixedInputs().sequences);
  EXPECT_EQ(every.out, run_tool({"-s", "-l", "-i"}, MixedInputs().sequences).out);
}

TEST(BulkProgress, DrawnOnATerminalOnly) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(terminal, 0);
  const std::string code = FirstCode();
  std::string input;
  Coprocess tool({"-d", "-l", "--progress", "--threads=2"}, terminal);
  close(terminal);
  // Lines that come slowly, so that the line is drawn several times; one
  // of them fails.
  std::string drawn;
  for (int i = 0; i < 12; ++i) {
    const std::string line = i == 6 ? "NOT-A-CODE" : code;
    input += line + "\n";
    tool.write_line(line);
    if (i != 6) read_line_within_10s(tool.from);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
  }
  EXPECT_EQ(tool.finish(), 0);
  char buffer[4096];
  for (;;) {
    pollfd p{master, POLLIN, 0};
    if (poll(&p, 1, 1000) <= 0) break;
    const ssize_t n = read(master, buffer, sizeof buffer);
    if (n <= 0) break;
    drawn.append(buffer, static_cast<std::size_t>(n));
  }
  close(master);
  // The terminal turns each newline into CR LF.
  const std::string kErase = "\r\033[K";
  EXPECT_NE(drawn.find("\rzarnex: "), std::string::npos) << drawn;
  EXPECT_NE(drawn.find(" lines/s\033[K"), std::string::npos) << drawn;
  // The error line stands on a line of its own, the progress line below it.
  EXPECT_NE(drawn.find(kErase + "ERROR_BASE32HEX: Invalid base32hex string.  \r\n\rzarnex: "),
            std::string::npos)
      << drawn;
  // Erased at the end.
  EXPECT_EQ(drawn.substr(drawn.size() - kErase.size()), kErase) << drawn;
  // With standard error a file, nothing but the error line.
  ToolResult file = run_tool({"-d", "-l", "--progress", "--threads=2"}, input);
  EXPECT_EQ(file.err, "ERROR_BASE32HEX: Invalid base32hex string.  \n");
  ToolResult one = run_tool({"-d", "-l", "--progress"}, input);
  EXPECT_EQ(one.err, file.err);
  EXPECT_EQ(one.out, file.out);
}

}  // namespace
}  // namespace zarnex::testing
