// --input and --output: files in the place of the standard streams, in
// single and bulk mode. An output file replaces its name only when the run
// succeeded, and only a regular file (or a link to one) is replaced.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/tool_runner.h"

namespace zarnex::testing {
namespace {

namespace fs = std::filesystem;

void write_file(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class FileOptions : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/zarnex-files-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The names in the folder, to see that no temporary file is left.
  std::string names() const {
    std::string all;
    for (const auto& entry : fs::directory_iterator(dir_))
      all += entry.path().filename().string() + " ";
    return all;
  }

  fs::path dir_;
};

TEST_F(FileOptions, FilesGiveWhatTheStandardStreamsGive) {
  const std::string example = std::string(ZARNEX_SOURCE_DIR) + "/examples/invoice.xml";
  const std::string xml = read_source_file("examples/invoice.xml");
  ToolResult piped = run_tool({"-e", "-i"}, xml);
  ASSERT_EQ(piped.status, 0);
  const fs::path code = dir_ / "code.txt";
  ToolResult filed = run_tool({"-e", "-i", "--input=" + example, "--output=" + code.string()});
  EXPECT_EQ(filed.status, 0) << filed.err;
  EXPECT_EQ(filed.out, "");
  EXPECT_EQ(read_file(code), piped.out);
  // "-" is the standard stream.
  ToolResult dashes = run_tool({"-e", "-i", "--input=-", "--output=-"}, xml);
  EXPECT_EQ(dashes.status, 0);
  EXPECT_EQ(dashes.out, piped.out);

  // Bulk mode, with a failing line among good ones: the run succeeds, so
  // the output file is written, and the failure goes to standard error.
  std::string lines;
  for (const char* name : {"pay-one-off", "credit-note", "invoice-items"}) {
    std::string text = read_source_file(std::string("examples/") + name + ".xml");
    for (char& c : text)
      if (c == '\n') c = ' ';
    lines += text + "\n<Broken>\n";
  }
  const fs::path input = dir_ / "lines.txt";
  write_file(input, lines);
  ToolResult bulk_piped = run_tool({"-e", "--lines"}, lines);
  const fs::path codes = dir_ / "codes.txt";
  ToolResult bulk = run_tool({"-e", "--lines", "--input=" + input.string(),
                              "--output=" + codes.string()});
  EXPECT_EQ(bulk.status, 0);
  EXPECT_EQ(bulk.err, bulk_piped.err);
  EXPECT_EQ(read_file(codes), bulk_piped.out);
  EXPECT_EQ(names().find(".zarnex-"), std::string::npos) << names();
}

TEST_F(FileOptions, AFailedRunLeavesTheOutputFileAsItWas) {
  const fs::path out = dir_ / "result.xml";
  write_file(out, "earlier result");
  ToolResult failed = run_tool({"-d=NOT-A-CODE", "--output=" + out.string()});
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(read_file(out), "earlier result");
  // A bulk run that cannot read its input ends with nothing replaced.
  ToolResult unreadable = run_tool({"-d", "--lines", "--input=" + dir_.string(),
                                    "--output=" + out.string()});
  EXPECT_EQ(unreadable.status, 12);
  EXPECT_EQ(unreadable.err, "ERROR_STREAM: Cannot read input file '" + dir_.string() +
                                "': Is a directory. \n");
  EXPECT_EQ(read_file(out), "earlier result");
  EXPECT_EQ(names(), "result.xml ");
}

TEST_F(FileOptions, OnlyRegularFilesAreReplaced) {
  const std::string xml = read_source_file("examples/pay-one-off.xml");
  const fs::path fifo = dir_ / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const fs::path folder = dir_ / "folder";
  fs::create_directory(folder);
  struct Case {
    std::string path;
    std::string reason;
  } refused[] = {
      {fifo.string(), "Is a FIFO, not a regular file"},
      {folder.string(), "Is a directory, not a regular file"},
      {"/dev/null", "Is a character device, not a regular file"},
      {(dir_ / "missing" / "x").string(), "No such file or directory"},
  };
  for (const Case& c : refused) {
    ToolResult run = run_tool({"-e", "--output=" + c.path}, xml);
    EXPECT_EQ(run.status, 12) << c.path;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "ERROR_STREAM: Cannot write output file '" + c.path + "': " +
                           c.reason + ". \n");
  }
  struct stat info;
  ASSERT_EQ(stat("/dev/null", &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));

  // A link to a regular file is followed; the link stays a link.
  const fs::path real = dir_ / "real.txt";
  write_file(real, "old");
  const fs::path link = dir_ / "link.txt";
  fs::create_symlink(real, link);
  ToolResult through = run_tool({"-e", "--output=" + link.string()}, xml);
  EXPECT_EQ(through.status, 0) << through.err;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(read_file(real), run_tool({"-e"}, xml).out);
  EXPECT_EQ(names().find(".zarnex-"), std::string::npos) << names();
}

TEST_F(FileOptions, InputErrorsAndTheLastInputGiven) {
  ToolResult missing = run_tool({"-d", "--input=" + (dir_ / "none").string()});
  EXPECT_EQ(missing.status, 12);
  EXPECT_EQ(missing.err, "ERROR_STREAM: Cannot read input file '" + (dir_ / "none").string() +
                             "': No such file or directory. \n");
  ToolResult empty = run_tool({"-d", "--input="});
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(empty.err, "The option --input needs a file name, or - for the standard stream. \n");
  EXPECT_EQ(run_tool({"-d", "--OUTPUT"}).status, 1);

  const std::string code = run_tool({"-e"}, read_source_file("examples/pay-one-off.xml")).out;
  const fs::path file = dir_ / "code.txt";
  write_file(file, code);
  const std::string decoded = run_tool({"-d=" + code}).out;
  ASSERT_FALSE(decoded.empty());
  // A value after --input replaces the file, and a file after a value
  // replaces the value.
  EXPECT_EQ(run_tool({"--input=" + file.string(), "-d=ABC"}).status, 8);
  ToolResult from_file = run_tool({"-d=ABC", "--input=" + file.string()});
  EXPECT_EQ(from_file.status, 0);
  EXPECT_EQ(from_file.out, decoded);
}

}  // namespace
}  // namespace zarnex::testing
