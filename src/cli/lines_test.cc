#include "cli/lines.h"

#include <unistd.h>

#include <cerrno>

#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "cli/input.h"

namespace zarnex::cli {
namespace {

// Feeds @a data to a pipe from another thread and returns the read end.
struct Pipe {
  explicit Pipe(std::string data) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    read_fd = fds[0];
    writer = std::thread([fd = fds[1], data = std::move(data)] {
      std::size_t done = 0;
      while (done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
      }
      close(fd);
    });
  }
  ~Pipe() {
    close(read_fd);
    writer.join();
  }
  int read_fd;
  std::thread writer;
};

TEST(PrepareLine, SkipsBlankLinesAndTrimsTwoBytes) {
  const struct {
    std::string line;
    bool kept;
    std::string result;
  } kCases[] = {
      {"", false, ""},
      {"   \n", false, ""},
      {"\x04\n", false, ""},   // an EOT line is blank in bulk mode
      {"\r\n", false, ""},
      {"A\n", true, "A"},
      {"B", true, "B"},        // a last line without newline loses nothing
      {"C\r\n", true, "C"},
      {"X \t \n", true, "X \t"},  // only two bytes are trimmed
      {"  Y\n", true, "  Y"},   // leading blanks stay
  };
  for (const auto& c : kCases) {
    std::string line = c.line;
    EXPECT_EQ(prepare_line(line), c.kept) << c.line;
    if (c.kept) {
      EXPECT_EQ(line, c.result);
    }
  }
}

TEST(LineReader, SplitsLinesOfAnyLength) {
  std::string big(200000, 'x');
  Pipe pipe("A\n\n" + big + "\nlast");
  LineReader reader(pipe.read_fd);
  std::vector<std::string> lines;
  std::string line;
  while (reader.read_line(line)) lines.push_back(line);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "A\n");
  EXPECT_EQ(lines[1], "\n");
  EXPECT_EQ(lines[2], big + "\n");
  EXPECT_EQ(lines[3], "last");
}

TEST(ReadAllInput, StopsAtEot) {
  {
    Pipe pipe(std::string("AB\x04\nCD"));
    EXPECT_EQ(read_all_input(pipe.read_fd).text, "AB");
  }
  {
    Pipe pipe("line one\nline two\n");
    EXPECT_EQ(read_all_input(pipe.read_fd).text, "line one\nline two\n");
  }
  {
    // The last EOT of the first chunk that holds one ends the input.
    Pipe pipe(std::string("a\x04" "b\x04" "c\nmore\x04\n"));
    EXPECT_EQ(read_all_input(pipe.read_fd).text, std::string("a\x04" "b"));
  }
  {
    // Chunks end after 2047 bytes: an EOT in a later chunk of a long line
    // does not reach back.
    std::string text(3000, 'x');
    text[100] = '\x04';
    text[2500] = '\x04';
    Pipe pipe(text);
    EXPECT_EQ(read_all_input(pipe.read_fd).text, std::string(100, 'x'));
  }
  {
    // NUL bytes are kept as they are.
    Pipe pipe(std::string("a\0b\n", 4));
    EXPECT_EQ(read_all_input(pipe.read_fd).text, std::string("a\0b\n", 4));
  }
}

TEST(ReadAllInput, DoesNotWaitForTheEndAfterEot) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  ASSERT_EQ(write(fds[1], "CODE\x04\n", 6), 6);
  // The write end stays open: reading must still return.
  EXPECT_EQ(read_all_input(fds[0]).text, "CODE");
  close(fds[0]);
  close(fds[1]);
}

TEST(LineReader, DropsLinesBeyondTheBoundAndGoesOn) {
  Pipe pipe("0123456789\n01234567890\n" + std::string(200000, 'y') +
            "\nlast\n");
  LineReader reader(pipe.read_fd);
  std::string line;
  EXPECT_EQ(reader.next_line(line, 11), ReadEnd::kDone);  // 10 + newline
  EXPECT_EQ(line, "0123456789\n");
  EXPECT_EQ(reader.next_line(line, 11), ReadEnd::kTooLong);
  EXPECT_EQ(line, "");
  EXPECT_EQ(reader.next_line(line, 11), ReadEnd::kTooLong);
  EXPECT_EQ(reader.next_line(line, 11), ReadEnd::kDone);
  EXPECT_EQ(line, "last\n");
  EXPECT_EQ(reader.next_line(line, 11), ReadEnd::kEnd);
  EXPECT_EQ(reader.error(), 0);
}

TEST(ReadAllInput, RefusesMoreThanTheBound) {
  {
    Pipe pipe(std::string(5000, 'a'));
    Input input = read_all_input(pipe.read_fd, 5000);
    EXPECT_EQ(input.end, ReadEnd::kDone);
    EXPECT_EQ(input.text.size(), 5000u);
  }
  {
    Pipe pipe(std::string(5001, 'a'));
    Input input = read_all_input(pipe.read_fd, 5000);
    EXPECT_EQ(input.end, ReadEnd::kTooLong);
    EXPECT_EQ(input.text, "");
  }
  {
    // What follows an EOT is not read, so it does not count.
    Pipe pipe("abc\x04\n" + std::string(5000, 'a'));
    Input input = read_all_input(pipe.read_fd, 3);
    EXPECT_EQ(input.end, ReadEnd::kDone);
    EXPECT_EQ(input.text, "abc");
  }
}

TEST(ReadAllInput, ReportsAFailedRead) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  // The write end cannot be read.
  Input input = read_all_input(fds[1]);
  EXPECT_EQ(input.end, ReadEnd::kFailed);
  EXPECT_EQ(input.error, EBADF);
  close(fds[0]);
  close(fds[1]);
}

}  // namespace
}  // namespace zarnex::cli
