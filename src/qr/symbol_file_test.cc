#include "qr/symbol_file.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "error/error.h"

namespace zarnex::qr {
namespace {

// A fresh folder under /tmp, removed with its files afterwards.
class SymbolFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_error();
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
};

TEST_F(SymbolFileTest, FormatsByNameAndExtension) {
  EXPECT_EQ(format_from_name("svg"), Format::kSvg);
  EXPECT_EQ(format_from_name("PNG"), Format::kPng);
  EXPECT_FALSE(format_from_name("gif"));
  EXPECT_FALSE(format_from_name(""));
  const struct {
    const char* path;
    std::optional<Format> format;
  } kPaths[] = {
      {"code.svg", Format::kSvg},     {"/a/b/CODE.PNG", Format::kPng},
      {"a.b/code.Svg", Format::kSvg}, {"code.gif", std::nullopt},
      {"code", std::nullopt},         {"svg", std::nullopt},
      {"x.png/code", std::nullopt},   {"code.png.tmp", std::nullopt},
  };
  for (const auto& c : kPaths) EXPECT_EQ(format_from_path(c.path), c.format) << c.path;
}

TEST_F(SymbolFileTest, FileNamesOfBulkSymbols) {
  EXPECT_EQ(symbol_file_name(17, std::nullopt, Format::kPng), "000017.png");
  EXPECT_EQ(symbol_file_name(1234567, std::nullopt, Format::kSvg), "1234567.svg");
  EXPECT_EQ(symbol_file_name(3, "INV-2024.01_a", Format::kPng), "000003-INV-2024.01_a.png");
  // Separators, blanks, quotes and every byte of a UTF-8 letter are replaced.
  EXPECT_EQ(symbol_file_name(3, "../a/b c\"\xC3\xA9", Format::kSvg),
            "000003-.._a_b_c___.svg");
  EXPECT_EQ(symbol_file_name(9, "", Format::kPng), "000009-.png");
  std::string long_id(300, 'x');
  EXPECT_EQ(symbol_file_name(1, long_id, Format::kPng),
            "000001-" + std::string(100, 'x') + ".png");
}

TEST_F(SymbolFileTest, WritesAndReplacesWithoutLeftovers) {
  std::string path = folder_ + "/code.svg";
  ASSERT_EQ(write_file_atomically(path, "first"), 0) << error_text();
  EXPECT_EQ(Read(path), "first");
  ASSERT_EQ(write_file_atomically(path, "second, longer"), 0);
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
  ASSERT_EQ(write_file_atomically(file, "x"), 0);
  ASSERT_EQ(mkdir((folder_ + "/taken.png").c_str(), 0755), 0);
  const struct {
    std::string path;
    const char* reason;
  } kCases[] = {
      {folder_ + "/missing/code.png", "No such file or directory"},
      {file + "/code.png", "Not a directory"},
      {folder_ + "/taken.png", "Is a directory"},  // the rename fails
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(write_file_atomically(c.path, "data"), 11) << c.path;
    EXPECT_EQ(error_text(), "ERROR_QR: Cannot write QR symbol file '" + c.path +
                                "': " + c.reason + ". ");
  }
  EXPECT_EQ(List(folder_), (std::vector<std::string>{"plain", "taken.png"}));
  EXPECT_TRUE(List(folder_ + "/taken.png").empty());
  if (geteuid() != 0) {
    // Root writes into any folder; others are refused by its mode.
    std::string locked = folder_ + "/locked";
    ASSERT_EQ(mkdir(locked.c_str(), 0555), 0);
    EXPECT_EQ(write_file_atomically(locked + "/code.png", "data"), 11);
    EXPECT_EQ(error_text(), "ERROR_QR: Cannot write QR symbol file '" + locked +
                                "/code.png': Permission denied. ");
    EXPECT_TRUE(List(locked).empty());
  }
}

TEST_F(SymbolFileTest, MakeFolderCreatesParents) {
  std::string nested = folder_ + "/a/b/c";
  ASSERT_EQ(make_folder(nested), 0) << error_text();
  ASSERT_EQ(make_folder(nested + "/"), 0);  // existing, trailing slash
  struct stat info;
  ASSERT_EQ(stat(nested.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  std::string file = folder_ + "/a/file";
  ASSERT_EQ(write_file_atomically(file, "x"), 0);
  EXPECT_EQ(make_folder(file), 11);
  EXPECT_EQ(error_text(),
            "ERROR_QR: Cannot create QR symbol folder '" + file + "': Not a directory. ");
  EXPECT_EQ(make_folder(file + "/sub"), 11);
  EXPECT_EQ(error_text(), "ERROR_QR: Cannot create QR symbol folder '" + file +
                              "/sub': Not a directory. ");
  EXPECT_EQ(make_folder(""), 11);
  EXPECT_EQ(error_text(),
            "ERROR_QR: Cannot create QR symbol folder '': No such file or directory. ");
}

TEST_F(SymbolFileTest, RendersBothFormats) {
  Settings settings;
  std::string image;
  ASSERT_EQ(render_symbol("ABC123", settings, &image), 0);
  EXPECT_EQ(image.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0);
  settings.format = Format::kSvg;
  ASSERT_EQ(render_symbol("ABC123", settings, &image), 0);
  EXPECT_EQ(image.rfind("<?xml", 0), 0u);
  // A failing symbol writes no file.
  std::string path = folder_ + "/bad.svg";
  EXPECT_EQ(write_symbol_file("abc", path, settings), 11);
  EXPECT_EQ(error_text().rfind("ERROR_QR: Cannot make QR symbol of 3 characters", 0), 0u);
  EXPECT_TRUE(List(folder_).empty());
}

}  // namespace
}  // namespace zarnex::qr
