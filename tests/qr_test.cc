// QR symbols written by the built binary, read back with a real scanner
// (zbarimg) and, for SVG, rendered first (rsvg-convert) and checked for
// well-formedness (xmllint).

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/tool_runner.h"

namespace zarnex::testing {
namespace {

namespace fs = std::filesystem;

const char* const kExamples[] = {
    "examples/pay-one-off.xml",          "examples/pay-standing-order.xml",
    "examples/pay-direct-debit.xml",     "examples/pay-several.xml",
    "examples/invoice.xml",              "examples/proforma-invoice.xml",
    "examples/credit-note.xml",          "examples/debit-note.xml",
    "examples/advance-invoice.xml",      "examples/invoice-single-line.xml",
    "examples/invoice-foreign-currency.xml", "examples/invoice-items.xml",
    "examples/invoice-items-periods.xml", "examples/invoice-items-ean.xml",
    "examples/invoice-items-full.xml",
};

// The longest code that the 550-byte sequence limit allows, and a short one.
constexpr char kLongest[] = "examples/invoice-items-full.xml";
constexpr char kShort[] = "examples/pay-standing-order.xml";

// A payment order as a typed field-sequence line with the InvoiceID @a id.
std::string PaySequence(const std::string& id, const std::string& amount) {
  return "0\t0\t" + id + "\t1\t1\t" + amount +
         "\tEUR\t\t\t\t\t\t\t1\tSK3112000000198742637541\tTATRSKBX\t0\t0";
}

std::string OneLine(std::string xml) {
  for (char& c : xml)
    if (c == '\n' || c == '\r') c = ' ';
  return xml;
}

bool HaveProgram(const std::string& name) {
  int status = 0;
  run_shell("command -v " + name + " >/dev/null 2>&1", &status);
  return status == 0;
}

// Each code followed by a newline, as zbarimg --raw prints what it read.
std::string Lines(const std::vector<std::string>& codes) {
  std::string text;
  for (const std::string& code : codes) text += code + "\n";
  return text;
}

// The width in pixels from a PNG's IHDR.
int PngWidth(const fs::path& path) {
  std::string png = read_file(path);
  if (png.size() < 24) return 0;
  return (static_cast<unsigned char>(png[16]) << 24) | (static_cast<unsigned char>(png[17]) << 16) |
         (static_cast<unsigned char>(png[18]) << 8) | static_cast<unsigned char>(png[19]);
}

class QrTool : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveProgram("zbarimg")) GTEST_SKIP() << "zbarimg (zbar-tools) is not installed";
    char name[] = "/tmp/zarnex-qr-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  // The texts that zbarimg reads from @a files, in their order.
  static std::string Scan(const std::vector<fs::path>& files) {
    std::string command = "zbarimg --raw -q";
    for (const fs::path& file : files) command += " '" + file.string() + "'";
    int status = 0;
    return run_shell(command + " 2>/dev/null", &status);
  }

  // Checks that each SVG is well-formed and renders it to a PNG beside it;
  // returns the PNGs.
  static std::vector<fs::path> Render(const std::vector<fs::path>& svgs) {
    std::vector<fs::path> pngs;
    for (const fs::path& svg : svgs) {
      std::string text = read_file(svg);
      EXPECT_EQ(text.find("<image"), std::string::npos) << svg;
      std::size_t first = text.find("<path");
      EXPECT_NE(first, std::string::npos) << svg;
      EXPECT_EQ(text.find("<path", first + 1), std::string::npos) << svg;
      int status = 0;
      std::string out = run_shell("xmllint --noout '" + svg.string() + "' 2>&1", &status);
      EXPECT_EQ(status, 0) << svg << ": " << out;
      fs::path png = svg;
      png += ".rendered.png";
      out = run_shell("rsvg-convert -o '" + png.string() + "' '" + svg.string() + "' 2>&1",
                      &status);
      EXPECT_EQ(status, 0) << svg << ": " << out;
      pngs.push_back(png);
    }
    return pngs;
  }

  static void SkipWithoutSvgTools() {
    if (!HaveProgram("rsvg-convert") || !HaveProgram("xmllint"))
      GTEST_SKIP() << "rsvg-convert (librsvg2-bin) or xmllint is not installed";
  }

  fs::path dir_;
};

TEST_F(QrTool, EveryExampleScansBackAsItsCode) {
  SkipWithoutSvgTools();
  std::vector<std::string> codes;
  std::vector<fs::path> pngs;
  std::string lines;
  for (const char* example : kExamples) {
    std::string xml = read_source_file(example);
    ToolResult plain = run_tool({"-e"}, xml);
    ASSERT_EQ(plain.status, 0) << example << ": " << plain.err;
    fs::path png = dir_ / (std::to_string(pngs.size()) + ".png");
    ToolResult drawn = run_tool({"-e", "--qr=" + png.string()}, xml);
    EXPECT_EQ(drawn.status, 0) << example;
    EXPECT_EQ(drawn.out, plain.out) << example;
    EXPECT_EQ(drawn.err, "") << example;
    codes.push_back(plain.out);
    pngs.push_back(png);
    lines += OneLine(xml) + "\n";
  }
  EXPECT_EQ(Scan(pngs), Lines(codes));

  // The same documents as lines of a bulk run writing SVG.
  fs::path folder = dir_ / "svg";
  ToolResult bulk = run_tool({"-e", "-l", "--qr=" + folder.string(), "--qr_format=svg"}, lines);
  EXPECT_EQ(bulk.status, 0);
  EXPECT_EQ(bulk.out, Lines(codes));
  EXPECT_EQ(bulk.err, "");
  std::vector<fs::path> svgs;
  for (std::size_t i = 1; i <= codes.size(); ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "%06zu.svg", i);
    svgs.push_back(folder / name);
  }
  EXPECT_EQ(Scan(Render(svgs)), Lines(codes));
}

TEST_F(QrTool, EveryLevelScansBack) {
  SkipWithoutSvgTools();
  std::vector<fs::path> pngs, svgs;
  std::vector<std::string> codes;
  for (const char* example : {kShort, kLongest}) {
    std::string xml = read_source_file(example);
    int last_width = 0;
    for (const char* level : {"L", "M", "Q", "H"}) {
      fs::path base = dir_ / (std::string(level) + std::to_string(codes.size()));
      ToolResult png = run_tool({"-e", "--qr_level=" + std::string(level),
                                 "--qr=" + base.string() + ".png"}, xml);
      ASSERT_EQ(png.status, 0) << png.err;
      ToolResult svg = run_tool({"--qr=" + base.string() + ".svg", "-e",
                                 "--qr_level=" + std::string(level)}, xml);
      ASSERT_EQ(svg.status, 0) << svg.err;
      EXPECT_EQ(svg.out, png.out);
      codes.push_back(png.out);
      pngs.push_back(base.string() + ".png");
      svgs.push_back(base.string() + ".svg");
      // More correction needs at least as many modules.
      int width = PngWidth(pngs.back());
      EXPECT_GE(width, last_width) << example << " " << level;
      last_width = width;
    }
  }
  EXPECT_EQ(codes[7].size(), 578u);  // the longest code
  EXPECT_EQ(Scan(pngs), Lines(codes));
  EXPECT_EQ(Scan(Render(svgs)), Lines(codes));
}

TEST_F(QrTool, SymbolHoldsTheCodeWithoutTheInvoiceId) {
  fs::path png = dir_ / "id.png";
  ToolResult r = run_tool({"-s", "-i", "--qr=" + png.string(), "--qr_module=2",
                           "--qr_margin=2"},
                          PaySequence("INV-1", "100"));
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.out.rfind("INV-1\t", 0), 0u) << r.out;
  EXPECT_EQ(r.out, run_tool({"-s", "-i"}, PaySequence("INV-1", "100")).out);
  EXPECT_EQ(Scan({png}), r.out.substr(6) + "\n");
  // Module size and quiet zone: (width + 2 * 2) * 2 pixels.
  int width = PngWidth(png);
  EXPECT_EQ(width % 2, 0);
  EXPECT_EQ((width / 2 - 4 - 17) % 4, 0) << width;
}

TEST_F(QrTool, BulkRunOfAThousandDocuments) {
  constexpr int kCount = 1000;
  std::string input;
  for (int i = 0; i < kCount; ++i)
    input += PaySequence("ID-" + std::to_string(i), std::to_string(i) + ".5") + "\n";
  ToolResult plain = run_tool({"-s", "-i", "-l"}, input);
  ASSERT_EQ(plain.status, 0);
  fs::path folder = dir_ / "new" / "symbols";  // made with its parent
  ToolResult drawn = run_tool({"-s", "-i", "-l", "--qr=" + folder.string()}, input);
  ASSERT_EQ(drawn.status, 0);
  EXPECT_EQ(drawn.out, plain.out);
  EXPECT_EQ(drawn.err, "");
  std::vector<std::string> codes, expected_names;
  std::vector<fs::path> files;
  std::istringstream lines(drawn.out);
  std::string line;
  for (int i = 0; std::getline(lines, line); ++i) {
    codes.push_back(line.substr(line.find('\t') + 1));
    char name[48];
    std::snprintf(name, sizeof name, "%06d-ID-%d.png", i + 1, i);
    expected_names.push_back(name);
    files.push_back(folder / name);
  }
  ASSERT_EQ(codes.size(), static_cast<std::size_t>(kCount));
  std::vector<std::string> sorted = expected_names;
  std::sort(sorted.begin(), sorted.end());
  // Exactly one image per line and nothing else: no temporary files.
  EXPECT_EQ(folder_names(folder), sorted);
  EXPECT_EQ(Scan(files), Lines(codes));
}

TEST_F(QrTool, BulkFileNamesFollowInputLines) {
  std::string input = PaySequence("A/B C", "1") + "\n\n9\t0\tX\n" +
                      PaySequence("INV-1", "2") + "\r\n" + PaySequence("", "3") + "\n";
  ToolResult plain = run_tool({"-s", "-i", "-l"}, input);
  fs::path folder = dir_ / "named";
  ToolResult drawn = run_tool({"-s", "-i", "-l", "--qr=" + folder.string()}, input);
  EXPECT_EQ(drawn.status, 0);
  EXPECT_EQ(drawn.out, plain.out);
  EXPECT_EQ(drawn.err, plain.err);  // the bad line and the missing id only
  EXPECT_EQ(folder_names(folder),
            (std::vector<std::string>{"000001-A_B_C.png", "000004-INV-1.png"}));
  std::string first = drawn.out.substr(0, drawn.out.find('\n'));
  std::string second = drawn.out.substr(first.size() + 1);
  EXPECT_EQ(Scan({folder / "000001-A_B_C.png", folder / "000004-INV-1.png"}),
            first.substr(first.find('\t') + 1) + "\n" +
                second.substr(second.find('\t') + 1));
  // Without -i the number alone names the file.
  fs::path plain_folder = dir_ / "numbers";
  ToolResult numbers = run_tool({"-s", "-l", "--qr=" + plain_folder.string()}, input);
  EXPECT_EQ(folder_names(plain_folder),
            (std::vector<std::string>{"000001.png", "000004.png", "000005.png"}));
  EXPECT_EQ(Scan({plain_folder / "000001.png", plain_folder / "000004.png",
                  plain_folder / "000005.png"}),
            numbers.out);
}

TEST_F(QrTool, BadOptionValuesStopBeforeAnyWork) {
  std::string xml = read_source_file(kShort);
  const struct {
    std::vector<std::string> args;
    std::string err;
  } kCases[] = {
      {{"-e", "--qr=" + (dir_ / "a.png").string(), "--qr_format=gif"},
       "ERROR_QR: Unknown QR symbol format 'gif': expected svg or png. \n"},
      {{"-e", "--qr=" + (dir_ / "a.gif").string()},
       "ERROR_QR: Unknown QR symbol format of file '" + (dir_ / "a.gif").string() +
           "': name it .svg or .png, or give --qr_format=svg or --qr_format=png. \n"},
      {{"-e", "-l", "--qr=" + (dir_ / "folder").string(), "--qr_level=Z"},
       "ERROR_QR: Unknown QR error-correction level 'Z': expected L, M, Q or H. \n"},
      {{"-e", "--qr=" + (dir_ / "a.png").string(), "--qr_module=big"},
       "ERROR_QR: Invalid QR module size 'big': expected a whole number of pixels "
       "from 1 to 64. \n"},
      {{"-d", "--qr=" + (dir_ / "a.png").string()},
       "ERROR_QR: The option --qr draws the codes that encoding produces; it cannot "
       "be used with --decode. \n"},
  };
  for (const auto& c : kCases) {
    ToolResult r = run_tool(c.args, xml);
    EXPECT_EQ(r.status, 11) << c.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
  }
  EXPECT_TRUE(folder_names(dir_).empty());
  // An explicit format writes a file of any name.
  fs::path odd = dir_ / "symbol.img";
  ToolResult r = run_tool({"-e", "--qr=" + odd.string(), "--qr_format=svg"}, xml);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read_file(odd).rfind("<?xml", 0), 0u);
  if (HaveProgram("rsvg-convert") && HaveProgram("xmllint")) {
    EXPECT_EQ(Scan(Render({odd})), r.out + "\n");
  }
}

TEST_F(QrTool, UnwritableTargetsGiveQrErrorLines) {
  std::string xml = read_source_file(kShort);
  std::string code = run_tool({"-e"}, xml).out;
  fs::path file = dir_ / "plain-file";
  std::ofstream(file) << "x";
  fs::create_directory(dir_ / "taken.png");

  // Single mode: the code is printed as without --qr, the error line
  // follows, the exit status is ERROR_QR.
  const struct {
    fs::path target;
    const char* reason;
  } kSingle[] = {
      {file / "code.png", "Not a directory"},
      {dir_ / "missing" / "code.png", "No such file or directory"},
      {dir_ / "taken.png", "Is a directory, not a regular file"},
  };
  for (const auto& c : kSingle) {
    ToolResult r = run_tool({"-e", "--qr=" + c.target.string()}, xml);
    EXPECT_EQ(r.status, 11);
    EXPECT_EQ(r.out, code);
    EXPECT_EQ(r.err, "ERROR_QR: Cannot write QR symbol file '" + c.target.string() +
                         "': " + c.reason + ". \n");
  }
  // With -f the line holds the time and the input, as every error line does.
  ToolResult stamped = run_tool({"-f", "-e", "--qr=" + (file / "a.svg").string()}, xml);
  EXPECT_EQ(stamped.status, 11);
  EXPECT_EQ(stamped.out, code);
  std::string tail = "\t" + xml + "\tERROR_QR: Cannot write QR symbol file '" +
                     (file / "a.svg").string() + "': Not a directory. \n";
  ASSERT_EQ(stamped.err.size(), 23 + tail.size()) << stamped.err;
  EXPECT_TRUE(std::regex_match(stamped.err.substr(0, 23),
                               std::regex("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.000")))
      << stamped.err;
  EXPECT_EQ(stamped.err.substr(23), tail);

  // Bulk mode: a folder that cannot be made stops the run before it reads.
  fs::path bad_folder = file / "symbols";
  ToolResult no_folder = run_tool({"-e", "-l", "--qr=" + bad_folder.string()}, OneLine(xml));
  EXPECT_EQ(no_folder.status, 11);
  EXPECT_EQ(no_folder.out, "");
  EXPECT_EQ(no_folder.err, "ERROR_QR: Cannot create QR symbol folder '" +
                               bad_folder.string() + "': Not a directory. \n");

  // A file that cannot be written fails its own line only.
  fs::path folder = dir_ / "bulk";
  fs::create_directories(folder / "000001.png");
  ToolResult bulk = run_tool({"-e", "-l", "--qr=" + folder.string()},
                             OneLine(xml) + "\n" + OneLine(xml) + "\n");
  EXPECT_EQ(bulk.status, 0);
  EXPECT_EQ(bulk.out, code + "\n" + code + "\n");
  EXPECT_EQ(bulk.err, "ERROR_QR: Cannot write QR symbol file '" +
                          (folder / "000001.png").string() +
                          "': Is a directory, not a regular file. \n");
  EXPECT_EQ(folder_names(folder), (std::vector<std::string>{"000001.png", "000002.png"}));
  EXPECT_EQ(Scan({folder / "000002.png"}), code + "\n");

  // Nothing half-written anywhere: only what the test made itself.
  EXPECT_EQ(folder_names(dir_), (std::vector<std::string>{"bulk", "plain-file", "taken.png"}));
  EXPECT_TRUE(folder_names(dir_ / "taken.png").empty());

  if (geteuid() != 0) {
    // Root writes into any folder; others are refused by its mode.
    fs::path locked = dir_ / "locked";
    fs::create_directory(locked);
    chmod(locked.c_str(), 0555);
    ToolResult r = run_tool({"-e", "-l", "--qr=" + locked.string()}, OneLine(xml));
    EXPECT_EQ(r.out, code + "\n");
    EXPECT_EQ(r.err, "ERROR_QR: Cannot write QR symbol file '" +
                         (locked / "000001.png").string() + "': Permission denied. \n");
    EXPECT_TRUE(folder_names(locked).empty());
    chmod(locked.c_str(), 0755);
  }
}

TEST(QrDocumentation, OptionsAreDocumented) {
  const char* const kOptions[] = {"--qr=", "--qr_format=", "--qr_level=", "--qr_module=",
                                  "--qr_margin="};
  ToolResult help = run_tool({"--help"});
  std::string readme = read_source_file("README.md");
  int status = 0;
  std::string page;
  if (HaveProgram("man"))
    page = run_shell("MANWIDTH=200 man -l " + std::string(ZARNEX_SOURCE_DIR) + "/zarnex.1 2>&1",
                     &status);
  for (const char* option : kOptions) {
    EXPECT_NE(help.out.find(std::string("\n") + option), std::string::npos) << option;
    EXPECT_NE(readme.find(option), std::string::npos) << option;
    if (!page.empty()) {
      EXPECT_NE(page.find(option), std::string::npos) << option;
    }
  }
  // The usage text of a run without arguments does not mention them.
  EXPECT_EQ(run_tool(std::vector<std::string>{}).out.find("--qr"), std::string::npos);
}

}  // namespace
}  // namespace zarnex::testing
