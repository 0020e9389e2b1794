// The files that the built binary's --qr writes: only a missing name or a
// regular file is replaced; a symbolic link to a regular file is followed
// (the link stays a link); a directory, device, FIFO, socket, dangling link
// or link to anything else is refused with an ERROR_QR line and nothing is
// written; any name up to NAME_MAX works. The same for every file of a bulk
// run's folder.

#include <limits.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/tool_runner.h"

namespace zarnex::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kExample[] = "examples/pay-one-off.xml";
constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";

bool IsPng(const fs::path& path) { return read_file(path).rfind(kPngSignature, 0) == 0; }

// The type bits of what stands at @a path (0 when nothing does), links not
// followed.
mode_t TypeOf(const fs::path& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

std::string OneLine(std::string xml) {
  for (char& c : xml)
    if (c == '\n' || c == '\r') c = ' ';
  return xml;
}

std::string Refusal(const fs::path& path, const std::string& reason) {
  return "ERROR_QR: Cannot write QR symbol file '" + path.string() + "': " + reason + ". \n";
}

class QrTarget : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/zarnex-qr-target-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
    xml_ = read_source_file(kExample);
    ToolResult plain = run_tool({"-e"}, xml_);
    ASSERT_EQ(plain.status, 0) << plain.err;
    code_ = plain.out;
  }
  void TearDown() override {
    if (socket_ >= 0) close(socket_);
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  // A listening-free UNIX socket bound at @a path.
  void MakeSocket(const fs::path& path) {
    socket_ = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(socket_, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.string().size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  }

  // Encodes the example with --qr=@a target; expects the code on standard
  // output either way.
  ToolResult Draw(const fs::path& target) {
    ToolResult r = run_tool({"-e", "--qr=" + target.string(), "--qr_format=png"}, xml_);
    EXPECT_EQ(r.out, code_) << target;
    return r;
  }

  fs::path dir_;
  std::string xml_;
  std::string code_;
  int socket_ = -1;
};

TEST_F(QrTarget, WhatIsNoRegularFileIsRefusedAndKept) {
  const fs::path fifo = dir_ / "fifo.png";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  const fs::path folder = dir_ / "folder.png";
  fs::create_directory(folder);
  const fs::path sock = dir_ / "sock.png";
  MakeSocket(sock);
  const fs::path dangling = dir_ / "dangling.png";
  fs::create_symlink("missing.png", dangling);
  const fs::path to_fifo = dir_ / "to-fifo.png";
  fs::create_symlink("fifo.png", to_fifo);
  const fs::path to_folder = dir_ / "to-folder.png";
  fs::create_symlink(folder, to_folder);

  const struct {
    fs::path target;
    mode_t type;
    const char* reason;
  } kCases[] = {
      {fifo, S_IFIFO, "Is a FIFO, not a regular file"},
      {folder, S_IFDIR, "Is a directory, not a regular file"},
      {sock, S_IFSOCK, "Is a socket, not a regular file"},
      {dangling, S_IFLNK, "Is a dangling symbolic link"},
      {to_fifo, S_IFLNK, "Is a symbolic link to a FIFO, not to a regular file"},
      {to_folder, S_IFLNK, "Is a symbolic link to a directory, not to a regular file"},
  };
  for (const auto& c : kCases) {
    ToolResult r = Draw(c.target);
    EXPECT_EQ(r.status, 11) << c.target;
    EXPECT_EQ(r.err, Refusal(c.target, c.reason));
    EXPECT_EQ(TypeOf(c.target), c.type) << c.target;
  }
  EXPECT_EQ(fs::read_symlink(dangling), "missing.png");
  EXPECT_EQ(TypeOf(dir_ / "missing.png"), 0u);
  EXPECT_TRUE(folder_names(folder).empty());
  // Nothing written, no temporary file left.
  EXPECT_EQ(folder_names(dir_), (std::vector<std::string>{"dangling.png", "fifo.png", "folder.png",
                                                   "sock.png", "to-fifo.png",
                                                   "to-folder.png"}));
}

TEST_F(QrTarget, DeviceNodeStaysADevice) {
  if (geteuid() != 0) GTEST_SKIP() << "only root could replace /dev/null";
  struct stat before;
  ASSERT_EQ(lstat("/dev/null", &before), 0);
  ASSERT_TRUE(S_ISCHR(before.st_mode));
  std::vector<std::string> dev_before = folder_names("/dev");
  ToolResult r = Draw("/dev/null");
  EXPECT_EQ(r.status, 11);
  EXPECT_EQ(r.err, Refusal("/dev/null", "Is a character device, not a regular file"));
  struct stat after;
  ASSERT_EQ(lstat("/dev/null", &after), 0);
  EXPECT_TRUE(S_ISCHR(after.st_mode));
  EXPECT_EQ(after.st_rdev, before.st_rdev);
  EXPECT_EQ(after.st_ino, before.st_ino);
  // A link to it is refused as well.
  const fs::path link = dir_ / "null.png";
  fs::create_symlink("/dev/null", link);
  r = Draw(link);
  EXPECT_EQ(r.status, 11);
  EXPECT_EQ(r.err, Refusal(link, "Is a symbolic link to a character device, not to a regular file"));
  EXPECT_EQ(TypeOf("/dev/null"), static_cast<mode_t>(S_IFCHR));
  EXPECT_EQ(folder_names("/dev"), dev_before);
}

TEST_F(QrTarget, LinkToARegularFileIsFollowedAndStays) {
  fs::create_directory(dir_ / "real");
  const fs::path real = dir_ / "real" / "code.png";
  std::ofstream(real) << "old";
  const fs::path link = dir_ / "link.png";
  fs::create_symlink("real/code.png", link);
  ToolResult r = Draw(link);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(TypeOf(link), static_cast<mode_t>(S_IFLNK));
  EXPECT_EQ(fs::read_symlink(link), "real/code.png");
  EXPECT_TRUE(IsPng(real));
  EXPECT_EQ(folder_names(dir_ / "real"), std::vector<std::string>{"code.png"});
  EXPECT_EQ(folder_names(dir_), (std::vector<std::string>{"link.png", "real"}));
}

TEST_F(QrTarget, NamesUpToTheFileSystemsLimitAreWritten) {
  for (std::size_t length : {std::size_t{250}, std::size_t{NAME_MAX}}) {
    const fs::path target = dir_ / (std::string(length - 4, 'q') + ".png");
    for (int round = 0; round < 2; ++round) {  // created, then replaced
      ToolResult r = Draw(target);
      EXPECT_EQ(r.status, 0) << length << ": " << r.err;
      EXPECT_EQ(r.err, "");
      EXPECT_TRUE(IsPng(target)) << length;
    }
    EXPECT_EQ(folder_names(dir_), std::vector<std::string>{target.filename().string()});
    fs::remove(target);
  }
}

TEST_F(QrTarget, BulkModeAppliesTheRulesToEachFile) {
  const fs::path folder = dir_ / "symbols";
  fs::create_directory(folder);
  ASSERT_EQ(mkfifo((folder / "000001.png").c_str(), 0644), 0);
  const fs::path real = dir_ / "real.png";
  std::ofstream(real) << "old";
  fs::create_symlink("../real.png", folder / "000002.png");
  fs::create_symlink("../missing.png", folder / "000003.png");
  fs::create_directory(folder / "000004.png");
  std::string lines;
  for (int i = 0; i < 5; ++i) lines += OneLine(xml_) + "\n";
  ToolResult r = run_tool({"-e", "-l", "--qr=" + folder.string()}, lines);
  EXPECT_EQ(r.status, 0);
  std::string codes;
  for (int i = 0; i < 5; ++i) codes += code_ + "\n";
  EXPECT_EQ(r.out, codes);
  EXPECT_EQ(r.err,
            Refusal(folder / "000001.png", "Is a FIFO, not a regular file") +
                Refusal(folder / "000003.png", "Is a dangling symbolic link") +
                Refusal(folder / "000004.png", "Is a directory, not a regular file"));
  EXPECT_EQ(TypeOf(folder / "000001.png"), static_cast<mode_t>(S_IFIFO));
  EXPECT_EQ(TypeOf(folder / "000002.png"), static_cast<mode_t>(S_IFLNK));
  EXPECT_TRUE(IsPng(real));
  EXPECT_EQ(TypeOf(folder / "000003.png"), static_cast<mode_t>(S_IFLNK));
  EXPECT_EQ(TypeOf(dir_ / "missing.png"), 0u);
  EXPECT_TRUE(folder_names(folder / "000004.png").empty());
  EXPECT_TRUE(IsPng(folder / "000005.png"));
  EXPECT_EQ(folder_names(folder), (std::vector<std::string>{"000001.png", "000002.png", "000003.png",
                                                     "000004.png", "000005.png"}));
  EXPECT_EQ(folder_names(dir_), (std::vector<std::string>{"real.png", "symbols"}));
}

}  // namespace
}  // namespace zarnex::testing
