#include "cli/symbol_file.h"

#include <dirent.h>
#include <limits.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>


namespace zarnex::cli {
namespace {

// A fresh folder under /tmp, removed with its files afterwards.
class SymbolFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/zarnex-qr-unit-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    folder_ = name;
  }
  void TearDown() override {
    std::string command = "rm -rf '" + folder_ + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }

  // The names in @a folder, sorted.
  static std::vector<std::string> List(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
  }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string folder_;
  std::string error_;  // the error text of the last failure
};

TEST_F(SymbolFileTest, FormatsByNameAndExtension) {
  EXPECT_EQ(format_from_name("svg"), QrFormat::kSvg);
  EXPECT_EQ(format_from_name("PNG"), QrFormat::kPng);
  EXPECT_FALSE(format_from_name("gif"));
  EXPECT_FALSE(format_from_name(""));
  const struct {
    const char* path;
    std::optional<QrFormat> format;
  } kPaths[] = {
      {"code.svg", QrFormat::kSvg},     {"/a/b/CODE.PNG", QrFormat::kPng},
      {"a.b/code.Svg", QrFormat::kSvg}, {"code.gif", std::nullopt},
      {"code", std::nullopt},         {"svg", std::nullopt},
      {"x.png/code", std::nullopt},   {"code.png.tmp", std::nullopt},
  };
  for (const auto& c : kPaths) EXPECT_EQ(format_from_path(c.path), c.format) << c.path;
}

TEST_F(SymbolFileTest, FileNamesOfBulkSymbols) {
  EXPECT_EQ(symbol_file_name(17, std::nullopt, QrFormat::kPng), "000017.png");
  EXPECT_EQ(symbol_file_name(1234567, std::nullopt, QrFormat::kSvg), "1234567.svg");
  EXPECT_EQ(symbol_file_name(3, "INV-2024.01_a", QrFormat::kPng), "000003-INV-2024.01_a.png");
  // Separators, blanks, quotes and every byte of a UTF-8 letter are replaced.
  EXPECT_EQ(symbol_file_name(3, "../a/b c\"\xC3\xA9", QrFormat::kSvg),
            "000003-.._a_b_c___.svg");
  EXPECT_EQ(symbol_file_name(9, "", QrFormat::kPng), "000009-.png");
  std::string long_id(300, 'x');
  EXPECT_EQ(symbol_file_name(1, long_id, QrFormat::kPng),
            "000001-" + std::string(100, 'x') + ".png");
}

TEST_F(SymbolFileTest, WritesAndReplacesWithoutLeftovers) {
  std::string path = folder_ + "/code.svg";
  ASSERT_EQ(write_file_atomically(path, "first", error_), 0) << error_;
  EXPECT_EQ(Read(path), "first");
  ASSERT_EQ(write_file_atomically(path, "second, longer", error_), 0);
  EXPECT_EQ(Read(path), "second, longer");
  EXPECT_EQ(List(folder_), std::vector<std::string>{"code.svg"});
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  // Created with 0666 less the umask, like any other new file.
  mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
}

TEST_F(SymbolFileTest, FailuresNameTheFileAndLeaveNothing) {
  std::string file = folder_ + "/plain";
  ASSERT_EQ(write_file_atomically(file, "x", error_), 0);
  ASSERT_EQ(mkdir((folder_ + "/taken.png").c_str(), 0755), 0);
  const struct {
    std::string path;
    const char* reason;
  } kCases[] = {
      {folder_ + "/missing/code.png", "No such file or directory"},
      {file + "/code.png", "Not a directory"},
      {folder_ + "/taken.png", "Is a directory, not a regular file"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(write_file_atomically(c.path, "data", error_), 11) << c.path;
    EXPECT_EQ(error_, "ERROR_QR: Cannot write QR symbol file '" + c.path +
                                "': " + c.reason + ". ");
  }
  EXPECT_EQ(List(folder_), (std::vector<std::string>{"plain", "taken.png"}));
  EXPECT_TRUE(List(folder_ + "/taken.png").empty());
  if (geteuid() != 0) {
    // Root writes into any folder; others are refused by its mode.
    std::string locked = folder_ + "/locked";
    ASSERT_EQ(mkdir(locked.c_str(), 0555), 0);
    EXPECT_EQ(write_file_atomically(locked + "/code.png", "data", error_), 11);
    EXPECT_EQ(error_, "ERROR_QR: Cannot write QR symbol file '" + locked +
                                "/code.png': Permission denied. ");
    EXPECT_TRUE(List(locked).empty());
  }
}

// Only regular files are replaced; a symbolic link to one is followed.
TEST_F(SymbolFileTest, OnlyRegularFilesAreReplaced) {
  auto expect_refused = [this](const std::string& path, const std::string& reason) {
    EXPECT_EQ(write_file_atomically(path, "image", error_), 11) << path;
    EXPECT_EQ(error_,
              "ERROR_QR: Cannot write QR symbol file '" + path + "': " + reason + ". ");
  };
  auto mode_of = [](const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 ? info.st_mode & S_IFMT : 0;
  };
  const std::string fifo = folder_ + "/fifo.png";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  expect_refused(fifo, "Is a FIFO, not a regular file");
  EXPECT_EQ(mode_of(fifo), S_IFIFO);

  const std::string dir = folder_ + "/dir.png";
  ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
  expect_refused(dir, "Is a directory, not a regular file");
  expect_refused(dir + "/", "Is a directory, not a regular file");
  expect_refused(folder_ + "/.", "Is a directory, not a regular file");
  EXPECT_TRUE(List(dir).empty());

  const std::string socket_path = folder_ + "/sock.png";
  int sock = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(sock, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socket_path.size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, socket_path.c_str());
  ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  expect_refused(socket_path, "Is a socket, not a regular file");
  EXPECT_EQ(mode_of(socket_path), S_IFSOCK);
  close(sock);

  // A device node: refused before anything is written, so also for root.
  if (mode_of("/dev/null") == S_IFCHR) {
    expect_refused("/dev/null", "Is a character device, not a regular file");
    EXPECT_EQ(mode_of("/dev/null"), S_IFCHR);
  }
  std::string device = folder_ + "/null.png";
  if (geteuid() == 0 && mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
    expect_refused(device, "Is a character device, not a regular file");
    EXPECT_EQ(mode_of(device), S_IFCHR);
  } else {
    device.clear();
  }

  // A link to a regular file: the file gets the image, the link stays.
  ASSERT_EQ(mkdir((folder_ + "/real").c_str(), 0755), 0);
  const std::string real = folder_ + "/real/code.png";
  ASSERT_EQ(write_file_atomically(real, "old", error_), 0);
  const std::string link = folder_ + "/link.png";
  ASSERT_EQ(symlink("real/code.png", link.c_str()), 0);  // relative to its folder
  const std::string chain = folder_ + "/chain.png";
  ASSERT_EQ(symlink(link.c_str(), chain.c_str()), 0);
  ASSERT_EQ(write_file_atomically(link, "through the link", error_), 0) << error_;
  EXPECT_EQ(Read(real), "through the link");
  ASSERT_EQ(write_file_atomically(chain, "through two links", error_), 0) << error_;
  EXPECT_EQ(Read(real), "through two links");
  EXPECT_EQ(mode_of(link), S_IFLNK);
  EXPECT_EQ(mode_of(chain), S_IFLNK);
  char target[PATH_MAX] = {};
  ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
  EXPECT_STREQ(target, "real/code.png");
  EXPECT_EQ(List(folder_ + "/real"), std::vector<std::string>{"code.png"});

  // Links that lead nowhere, or to anything but a regular file.
  const struct {
    const char* name;
    std::string to;
    std::string reason;
  } kLinks[] = {
      {"dangling.png", "missing.png", "Is a dangling symbolic link"},
      {"into-nothing.png", "nowhere/code.png", "Is a dangling symbolic link"},
      {"loop.png", "loop.png",
       "Is a symbolic link that cannot be followed (Too many levels of symbolic links)"},
      {"to-dir.png", "dir.png", "Is a symbolic link to a directory, not to a regular file"},
      {"to-fifo.png", "fifo.png", "Is a symbolic link to a FIFO, not to a regular file"},
      {"to-null.png", "/dev/null",
       "Is a symbolic link to a character device, not to a regular file"},
  };
  for (const auto& l : kLinks) {
    const std::string path = folder_ + "/" + l.name;
    ASSERT_EQ(symlink(l.to.c_str(), path.c_str()), 0);
    expect_refused(path, l.reason);
    EXPECT_EQ(mode_of(path), S_IFLNK);
  }
  EXPECT_EQ(mode_of(folder_ + "/missing.png"), 0u);

  // Nothing besides what the test made, no temporary file anywhere.
  std::vector<std::string> expected = {"chain.png", "dangling.png", "dir.png",
                                       "fifo.png",  "into-nothing.png", "link.png",
                                       "loop.png",  "real", "sock.png",
                                       "to-dir.png", "to-fifo.png", "to-null.png"};
  if (!device.empty()) expected.push_back("null.png");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(List(folder_), expected);
}

// The temporary name is short: every final name up to NAME_MAX works.
TEST_F(SymbolFileTest, LongestNamesAreWritten) {
  for (std::size_t length : {std::size_t{250}, std::size_t{NAME_MAX}}) {
    const std::string name = std::string(length - 4, 'n') + ".png";
    const std::string path = folder_ + "/" + name;
    ASSERT_EQ(write_file_atomically(path, "first", error_), 0) << length << ": " << error_;
    ASSERT_EQ(write_file_atomically(path, "second", error_), 0) << length << ": " << error_;
    EXPECT_EQ(Read(path), "second");
    EXPECT_EQ(List(folder_), std::vector<std::string>{name});
    ASSERT_EQ(unlink(path.c_str()), 0);
  }
  // One byte more is the file system's own refusal, not the temporary's.
  const std::string path = folder_ + "/" + std::string(NAME_MAX + 1, 'n');
  EXPECT_EQ(write_file_atomically(path, "x", error_), 11);
  EXPECT_EQ(error_,
            "ERROR_QR: Cannot write QR symbol file '" + path + "': File name too long. ");
  EXPECT_TRUE(List(folder_).empty());
}

TEST_F(SymbolFileTest, MakeFolderCreatesParents) {
  std::string nested = folder_ + "/a/b/c";
  ASSERT_EQ(make_folder(nested, error_), 0) << error_;
  ASSERT_EQ(make_folder(nested + "/", error_), 0);  // existing, trailing slash
  struct stat info;
  ASSERT_EQ(stat(nested.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  std::string file = folder_ + "/a/file";
  ASSERT_EQ(write_file_atomically(file, "x", error_), 0);
  EXPECT_EQ(make_folder(file, error_), 11);
  EXPECT_EQ(error_,
            "ERROR_QR: Cannot create QR symbol folder '" + file + "': Not a directory. ");
  EXPECT_EQ(make_folder(file + "/sub", error_), 11);
  EXPECT_EQ(error_, "ERROR_QR: Cannot create QR symbol folder '" + file +
                              "/sub': Not a directory. ");
  EXPECT_EQ(make_folder("", error_), 11);
  EXPECT_EQ(error_,
            "ERROR_QR: Cannot create QR symbol folder '': No such file or directory. ");
}

TEST_F(SymbolFileTest, LevelNames) {
  EXPECT_EQ(level_from_name("L"), QrLevel::kL);
  EXPECT_EQ(level_from_name("m"), QrLevel::kM);
  EXPECT_EQ(level_from_name("Q"), QrLevel::kQ);
  EXPECT_EQ(level_from_name("h"), QrLevel::kH);
  for (const char* bad : {"", "X", "MM", "1"}) EXPECT_FALSE(level_from_name(bad)) << bad;
}

TEST_F(SymbolFileTest, WritesTheRenderedSymbol) {
  QrOptions settings;
  settings.format = QrFormat::kSvg;
  const std::string path = folder_ + "/code.svg";
  ASSERT_EQ(write_symbol_file("ABC123", path, settings, error_), 0) << error_;
  EXPECT_EQ(Read(path), render_qr("ABC123", settings).output);
  // A failing symbol writes no file and gives the symbol's error text.
  std::string bad = folder_ + "/bad.svg";
  EXPECT_EQ(write_symbol_file("abc", bad, settings, error_), 11);
  EXPECT_EQ(error_.rfind("ERROR_QR: Cannot make QR symbol of 3 characters", 0), 0u);
  EXPECT_EQ(List(folder_), std::vector<std::string>{"code.svg"});
}

}  // namespace
}  // namespace zarnex::cli
