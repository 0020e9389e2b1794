// Which shared libraries a run of the tool loads, and what a run does when a
// library that is loaded on demand cannot be loaded.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/tool_runner.h"

namespace zarnex::testing {
namespace {

namespace fs = std::filesystem;

ToolRun Call(std::vector<std::string> args, std::string input) {
  ToolRun run;
  run.args = std::move(args);
  run.input = std::move(input);
  return run;
}

bool Mentions(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class LibraryLoading : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/zarnex-loading-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
    xml_ = read_source_file("examples/pay-one-off.xml");
    ToolResult code = run_tool({"--encode"}, xml_);
    ASSERT_EQ(code.status, 0) << code.err;
    code_ = code.out;
    ToolResult decoded = run_tool({"--decode"}, code_);
    ASSERT_EQ(decoded.status, 0) << decoded.err;
    decoded_ = decoded.out;
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  // A run in which the library @a soname is found as an empty file, as
  // when it is damaged; the other libraries load as usual.
  ToolResult RunWithBroken(const std::string& soname, ToolRun run) {
    fs::path folder = dir_ / soname;
    fs::create_directories(folder);
    std::ofstream(folder / soname).close();
    run.env.push_back("LD_LIBRARY_PATH=" + folder.string());
    return run_tool(run);
  }

  // A run with the dynamic loader's list of the files it loads written to
  // standard error.
  static ToolResult RunListingLibraries(ToolRun run) {
    run.env.push_back("LD_DEBUG=files");
    return run_tool(run);
  }

  fs::path dir_;
  std::string xml_;
  std::string code_;
  std::string decoded_;
};

TEST_F(LibraryLoading, DecodingLoadsNoneOfTheOnDemandLibraries) {
  for (const ToolRun& run :
       {Call({"--decode"}, code_), Call({"-d", "-l"}, code_ + "\n")}) {
    ToolResult r = RunListingLibraries(run);
    const std::string& mode = run.args.back();
    EXPECT_EQ(r.status, 0) << mode;
    EXPECT_TRUE(Mentions(r.out, "<Pay ")) << mode;
    EXPECT_TRUE(Mentions(r.err, "liblzma")) << "the listing did not work";
    EXPECT_FALSE(Mentions(r.err, ZARNEX_LIBXML2_SONAME)) << mode;
    EXPECT_FALSE(Mentions(r.err, ZARNEX_LIBQRENCODE_SONAME)) << mode;
    EXPECT_FALSE(Mentions(r.err, ZARNEX_LIBPNG_SONAME)) << mode;
  }

  ToolResult encoded = RunListingLibraries(Call({"--encode"}, xml_));
  EXPECT_EQ(encoded.out, code_);
  EXPECT_TRUE(Mentions(encoded.err, ZARNEX_LIBXML2_SONAME));
  EXPECT_FALSE(Mentions(encoded.err, ZARNEX_LIBQRENCODE_SONAME));

  ToolResult drawn = RunListingLibraries(
      Call({"--encode", "--qr=" + (dir_ / "code.png").string()}, xml_));
  EXPECT_EQ(drawn.status, 0);
  EXPECT_TRUE(Mentions(drawn.err, ZARNEX_LIBQRENCODE_SONAME));
  EXPECT_TRUE(Mentions(drawn.err, ZARNEX_LIBPNG_SONAME));
  EXPECT_TRUE(fs::exists(dir_ / "code.png"));
}

TEST_F(LibraryLoading, AnUnloadableLibxml2FailsEachEncodingWithOneLine) {
  ToolResult single = RunWithBroken(ZARNEX_LIBXML2_SONAME, Call({"--encode"}, xml_));
  EXPECT_EQ(single.status, 9);
  EXPECT_EQ(single.out, "");
  EXPECT_EQ(single.err.rfind("ERROR_XML: Cannot load libxml2: ", 0), 0u)
      << single.err;
  EXPECT_TRUE(Mentions(single.err, ZARNEX_LIBXML2_SONAME)) << single.err;
  EXPECT_EQ(single.err.find('\n'), single.err.size() - 1) << single.err;

  // In bulk mode each line gets its error, and the run goes on.
  std::string line = xml_;
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  ToolResult bulk =
      RunWithBroken(ZARNEX_LIBXML2_SONAME, Call({"-e", "-l"}, line + "\n" + line + "\n"));
  EXPECT_EQ(bulk.status, 0);
  EXPECT_EQ(bulk.out, "");
  EXPECT_EQ(bulk.err, single.err + single.err);

  // Decoding does not need it.
  ToolResult decoded = RunWithBroken(ZARNEX_LIBXML2_SONAME, Call({"--decode"}, code_));
  EXPECT_EQ(decoded.status, 0) << decoded.err;
  EXPECT_EQ(decoded.out, decoded_);
}

TEST_F(LibraryLoading, UnloadableQrLibrariesFailOnlyTheImage) {
  const std::string png = "--qr=" + (dir_ / "code.png").string();
  ToolResult no_qrencode =
      RunWithBroken(ZARNEX_LIBQRENCODE_SONAME, Call({"--encode", png}, xml_));
  EXPECT_EQ(no_qrencode.status, 11);
  EXPECT_EQ(no_qrencode.out, code_);
  EXPECT_EQ(no_qrencode.err.rfind(
                "ERROR_QR: Cannot make QR symbol without libqrencode: ", 0),
            0u)
      << no_qrencode.err;
  EXPECT_EQ(no_qrencode.err.find('\n'), no_qrencode.err.size() - 1);

  ToolResult no_png = RunWithBroken(ZARNEX_LIBPNG_SONAME, Call({"--encode", png}, xml_));
  EXPECT_EQ(no_png.status, 11);
  EXPECT_EQ(no_png.out, code_);
  EXPECT_EQ(no_png.err.rfind("ERROR_QR: Cannot make PNG image of QR symbol: ", 0), 0u)
      << no_png.err;
  EXPECT_TRUE(Mentions(no_png.err, ZARNEX_LIBPNG_SONAME)) << no_png.err;
  EXPECT_FALSE(fs::exists(dir_ / "code.png"));

  // An SVG image needs no libpng.
  ToolResult svg = RunWithBroken(
      ZARNEX_LIBPNG_SONAME,
      Call({"--encode", "--qr=" + (dir_ / "code.svg").string()}, xml_));
  EXPECT_EQ(svg.status, 0) << svg.err;
  EXPECT_TRUE(fs::exists(dir_ / "code.svg"));
}

}  // namespace
}  // namespace zarnex::testing
