// The tool with standard streams that fail: an output that is full, closed,
// gone or non-blocking, an input that cannot be read, and inputs beyond the
// tool's bound. Every such run must end with one error line and a non-zero
// status, or, for a stream that is only slow, with every result delivered.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/tool_runner.h"

extern char** environ;

namespace zarnex::testing {
namespace {

struct Outcome {
  int status = -1;
  std::string err;
  long peak_kib = 0;
};

// Runs the tool with the given descriptors as standard input and output
// (-1: closed) and standard error into a file; waits for it to end. SIGPIPE
// stays ignored in the tool, as the test process ignores it.
Outcome spawn(std::vector<std::string> args, int in_fd, int out_fd) {
  signal(SIGPIPE, SIG_IGN);
  char err_name[] = "/tmp/zarnex-stream-XXXXXX";
  const int err_fd = mkostemp(err_name, O_CLOEXEC);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (in_fd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, in_fd, 0);
  } else {
    posix_spawn_file_actions_addclose(&actions, 0);
  }
  if (out_fd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
  } else {
    posix_spawn_file_actions_addclose(&actions, 1);
  }
  posix_spawn_file_actions_adddup2(&actions, err_fd, 2);
  std::string binary = ZARNEX_BINARY;
  std::vector<char*> argv{binary.data()};
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  Outcome run;
  if (posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(),
                  environ) == 0) {
    int wait_status = 0;
    rusage usage{};
    wait4(pid, &wait_status, 0, &usage);
    if (WIFEXITED(wait_status)) run.status = WEXITSTATUS(wait_status);
    run.peak_kib = usage.ru_maxrss;
  }
  posix_spawn_file_actions_destroy(&actions);
  close(err_fd);
  std::ifstream in(err_name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  run.err = text.str();
  std::remove(err_name);
  return run;
}

int open_file(const std::string& path, int flags = O_RDONLY) {
  const int fd = open(path.c_str(), flags | O_CLOEXEC);
  EXPECT_GE(fd, 0) << path;
  return fd;
}

std::string source(const std::string& relative) {
  return std::string(ZARNEX_SOURCE_DIR) + "/" + relative;
}

// A file holding @a text, removed with the object.
struct TempFile {
  explicit TempFile(const std::string& text) {
    char name[] = "/tmp/zarnex-stream-in-XXXXXX";
    const int fd = mkostemp(name, O_CLOEXEC);
    path = name;
    EXPECT_EQ(write(fd, text.data(), text.size()),
              static_cast<ssize_t>(text.size()));
    close(fd);
  }
  ~TempFile() { std::remove(path.c_str()); }
  std::string path;
};

// One document per line: every example, encoded in bulk mode.
std::string example_lines() {
  std::string lines;
  for (const char* name : {"pay-one-off", "pay-several", "invoice",
                           "credit-note", "invoice-items-full"}) {
    std::string xml = read_source_file(std::string("examples/") + name + ".xml");
    for (char& c : xml)
      if (c == '\n' || c == '\r') c = ' ';
    lines += xml + "\n";
  }
  return lines;
}

const char kNoSpace[] =
    "ERROR_STREAM: Cannot write standard output: No space left on device. \n";

TEST(StreamFailure, FullOutputIsReportedInEveryMode) {
  const int full = open_file("/dev/full", O_WRONLY);
  TempFile lines(example_lines());
  struct Case {
    std::vector<std::string> args;
    std::string input;
  } cases[] = {
      {{"-e"}, source("examples/pay-one-off.xml")},
      {{"-e", "-i"}, source("examples/invoice.xml")},
      {{"-e", "--lines"}, lines.path},
      {{"-e", "--lines", "--threads=3"}, lines.path},
      {{}, "/dev/null"},            // the usage text
      {{"--help"}, "/dev/null"},
      {{"--version"}, "/dev/null"},
  };
  for (Case& c : cases) {
    const int in = open_file(c.input);
    Outcome run = spawn(c.args, in, full);
    close(in);
    EXPECT_EQ(run.status, 12) << c.args.size();
    EXPECT_EQ(run.err, kNoSpace);
  }
  close(full);
}

TEST(StreamFailure, ClosedOrVanishedOutputIsReported) {
  const std::string xml = source("examples/pay-one-off.xml");
  TempFile lines(example_lines());
  for (const int threads : {0, 1, 2}) {
    const bool bulk = threads > 0;
    std::vector<std::string> args{"-e"};
    if (bulk) args.push_back("--lines");
    if (threads > 1) args.push_back("--threads=2");
    const std::string& input = bulk ? lines.path : xml;
    {
      const int in = open_file(input);
      Outcome run = spawn(args, in, -1);
      close(in);
      EXPECT_EQ(run.status, 12);
      EXPECT_EQ(run.err,
                "ERROR_STREAM: Cannot write standard output: Bad file "
                "descriptor. \n");
    }
    {
      // A reader that went away, with SIGPIPE ignored: the write fails.
      int fds[2];
      ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
      close(fds[0]);
      const int in = open_file(input);
      Outcome run = spawn(args, in, fds[1]);
      close(in);
      close(fds[1]);
      EXPECT_EQ(run.status, 12);
      EXPECT_EQ(run.err,
                "ERROR_STREAM: Cannot write standard output: Broken pipe. \n");
    }
  }
}

TEST(StreamFailure, NonBlockingOutputGetsEveryResult) {
  // Thousands of decoded documents, far more than a pipe holds, into a
  // non-blocking pipe whose reader starts late.
  ToolResult codes = run_tool({"-e", "--lines"}, example_lines());
  ASSERT_EQ(codes.status, 0);
  std::string many;
  for (int i = 0; i < 600; ++i) many += codes.out;
  TempFile input(many);
  ToolResult expected = run_tool({"-d", "--lines"}, many);
  ASSERT_EQ(expected.status, 0);
  ASSERT_GT(expected.out.size(), 1u << 20);

  int fds[2];
  ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
  ASSERT_EQ(fcntl(fds[1], F_SETFL, fcntl(fds[1], F_GETFL) | O_NONBLOCK), 0);
  std::string received;
  std::thread reader([&received, fd = fds[0]] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) {
      received.append(buffer, static_cast<std::size_t>(n));
      // A slow reader: the tool finds the pipe full again and again.
      if (received.size() % 8 == 0) std::this_thread::yield();
    }
  });
  const int in = open_file(input.path);
  Outcome run = spawn({"-d", "--lines"}, in, fds[1]);
  close(in);
  close(fds[1]);
  reader.join();
  close(fds[0]);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(received.size(), expected.out.size());
  EXPECT_TRUE(received == expected.out);

  // The same on three threads, into a pipe that is also non-blocking.
  ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
  ASSERT_EQ(fcntl(fds[1], F_SETFL, fcntl(fds[1], F_GETFL) | O_NONBLOCK), 0);
  received.clear();
  std::thread late_reader([&received, fd = fds[0]] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0)
      received.append(buffer, static_cast<std::size_t>(n));
  });
  const int again = open_file(input.path);
  Outcome threaded = spawn({"-d", "--lines", "--threads=3"}, again, fds[1]);
  close(again);
  close(fds[1]);
  late_reader.join();
  close(fds[0]);
  EXPECT_EQ(threaded.status, 0);
  EXPECT_EQ(threaded.err, "");
  EXPECT_TRUE(received == expected.out);
}

TEST(StreamFailure, UnreadableInputIsReportedInBothModes) {
  for (const int threads : {0, 1, 2}) {
    const bool bulk = threads > 0;
    for (const char* mode : {"-e", "-d", "-s"}) {
      std::vector<std::string> args{mode};
      if (bulk) args.push_back("--lines");
      if (threads > 1) args.push_back("--threads=2");
      {
        const int directory = open_file("/");
        Outcome run = spawn(args, directory, STDOUT_FILENO);
        close(directory);
        EXPECT_EQ(run.status, 12) << mode << bulk;
        EXPECT_EQ(run.err,
                  "ERROR_STREAM: Cannot read standard input: Is a directory. \n");
      }
      {
        Outcome run = spawn(args, -1, STDOUT_FILENO);
        EXPECT_EQ(run.status, 12) << mode << bulk;
        EXPECT_EQ(run.err,
                  "ERROR_STREAM: Cannot read standard input: Bad file "
                  "descriptor. \n");
      }
      {
        // The controlling side of a pseudo-terminal whose terminal side has
        // been closed fails every read with EIO.
        const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        close(open_file(ptsname(master), O_RDWR | O_NOCTTY));
        const int terminal = master;
        Outcome run = spawn(args, terminal, STDOUT_FILENO);
        close(terminal);
        EXPECT_EQ(run.status, 12) << mode << bulk;
        EXPECT_EQ(run.err,
                  "ERROR_STREAM: Cannot read standard input: Input/output "
                  "error. \n");
      }
    }
  }
}

// Writes @a size bytes of @a c and then @a tail into a pipe from a thread.
struct Feed {
  Feed(std::size_t size, char c, std::string tail) {
    int fds[2];
    EXPECT_EQ(pipe2(fds, O_CLOEXEC), 0);
    read_fd = fds[0];
    writer = std::thread([fd = fds[1], size, c, tail = std::move(tail)] {
      const std::string block(1 << 16, c);
      std::size_t left = size;
      bool open = true;
      while (open && left > 0) {
        const std::size_t n = std::min(left, block.size());
        open = write(fd, block.data(), n) == static_cast<ssize_t>(n);
        left -= n;
      }
      if (open) (void)!write(fd, tail.data(), tail.size());
      close(fd);
    });
  }
  ~Feed() {
    close(read_fd);
    writer.join();
  }
  int read_fd;
  std::thread writer;
};

TEST(StreamFailure, InputBeyondTheBoundIsRefusedWithoutHoldingIt) {
  {
    // Two gigabytes of blanks: refused after 64 MiB, with the tool's
    // memory a fraction of what holding the input would take (also under
    // AddressSanitizer, which keeps freed blocks resident for a while). The
    // tool stops reading at the bound, so the rest is never even written.
    Feed feed(std::size_t{2} << 30, ' ', "");
    Outcome run = spawn({"-e"}, feed.read_fd, STDOUT_FILENO);
    EXPECT_EQ(run.status, 12);
    EXPECT_EQ(run.err,
              "ERROR_STREAM: Input is longer than 64 MiB (67108864 bytes). \n");
    EXPECT_LT(run.peak_kib, 512 * 1024);
  }
  {
    // In bulk mode the long line is one refused document; the lines after
    // it are still converted and the status stays 0.
    std::string xml = read_source_file("examples/pay-one-off.xml");
    for (char& c : xml)
      if (c == '\n') c = ' ';
    ToolResult one = run_tool({"-e"}, xml);
    ASSERT_EQ(one.status, 0);
    for (const char* threads : {"--threads=1", "--threads=2"}) {
      Feed feed(std::size_t{1} << 30, 'x', "\n" + xml + "\n");
      char out_name[] = "/tmp/zarnex-stream-out-XXXXXX";
      const int out = mkostemp(out_name, O_CLOEXEC);
      Outcome run = spawn({"-e", "--lines", threads}, feed.read_fd, out);
      close(out);
      std::ifstream in(out_name, std::ios::binary);
      std::ostringstream text;
      text << in.rdbuf();
      std::remove(out_name);
      EXPECT_EQ(run.status, 0);
      EXPECT_EQ(run.err,
                "ERROR_STREAM: Line is longer than 64 MiB (67108864 bytes). \n");
      EXPECT_EQ(text.str(), one.out + "\n");
      EXPECT_LT(run.peak_kib, 512 * 1024) << threads;
    }
  }
}

}  // namespace
}  // namespace zarnex::testing
