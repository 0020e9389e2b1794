#include "cli/options.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace zarnex::cli {
namespace {

ParsedOptions Parse(std::vector<const char*> args) {
  return parse_options(static_cast<int>(args.size()), args.data());
}

TEST(Options, NoArgumentsPrintsUsage) {
  EXPECT_EQ(Parse({}).action, ParsedOptions::Action::kUsage);
}

TEST(Options, SplitOptionCutsAtFirstEquals) {
  auto [name, value] = split_option("--encode=<a b='c'/>");
  EXPECT_EQ(name, "--encode");
  EXPECT_EQ(value, "<a b='c'/>");
  auto [bare, none] = split_option("-d");
  EXPECT_EQ(bare, "-d");
  EXPECT_EQ(none, "");
}

TEST(Options, NamesIgnoreCase) {
  EXPECT_EQ(Parse({"-E"}).options.mode, Mode::kEncodeXml);
  ParsedOptions decode = Parse({"--Decode=ABC"});
  EXPECT_EQ(decode.options.mode, Mode::kDecodeToXml);
  EXPECT_EQ(decode.options.input, "ABC");
  EXPECT_TRUE(Parse({"-d", "--LINES"}).options.bulk);
  EXPECT_TRUE(Parse({"-d", "-F"}).options.format_stderr);
}

TEST(Options, InvoiceIdSelectsTheWithIdModes) {
  EXPECT_EQ(Parse({"-i", "-e"}).options.mode, Mode::kEncodeXmlWithId);
  EXPECT_EQ(Parse({"-e", "-i"}).options.mode, Mode::kEncodeXmlWithId);
  EXPECT_EQ(Parse({"-d", "-i"}).options.mode, Mode::kDecodeToXml);
  EXPECT_EQ(Parse({"-i", "-s"}).options.mode, Mode::kEncodeSequenceWithId);
  EXPECT_EQ(Parse({"-s", "-i"}).options.mode, Mode::kEncodeSequenceWithId);
  EXPECT_EQ(Parse({"-e", "-i", "-d"}).options.mode, Mode::kDecodeToXml);
}

TEST(Options, InputValues) {
  EXPECT_FALSE(Parse({"--encode="}).options.input);  // empty: standard input
  ParsedOptions later = Parse({"-e=X", "-d"});
  EXPECT_EQ(later.options.mode, Mode::kDecodeToXml);
  EXPECT_EQ(later.options.input, "X");
  EXPECT_EQ(Parse({"-e=X", "-d=Y"}).options.input, "Y");
  EXPECT_EQ(Parse({"-e=a=b"}).options.input, "a=b");
  // A sequence given as the option's value is the input.
  ParsedOptions sequence = Parse({"--sequence=0\t0\tX"});
  EXPECT_EQ(sequence.options.mode, Mode::kEncodeSequence);
  EXPECT_EQ(sequence.options.input, "0\t0\tX");
}

TEST(Options, ShortLinesOptionIsAccepted) {
  ParsedOptions parsed = Parse({"-l", "-d"});
  EXPECT_EQ(parsed.action, ParsedOptions::Action::kRun);
  EXPECT_TRUE(parsed.options.bulk);
}

TEST(Options, Failures) {
  ParsedOptions unknown = Parse({"-d", "--foo=bar", "--nothing"});
  EXPECT_EQ(unknown.action, ParsedOptions::Action::kFail);
  EXPECT_EQ(unknown.message, "Unknown argument --foo. \n");
  ParsedOptions missing = Parse({"-i", "--lines"});
  EXPECT_EQ(missing.action, ParsedOptions::Action::kFail);
  EXPECT_EQ(missing.message, "Missing argument --encode or --decode. \n");
  EXPECT_EQ(Parse({"--encodex"}).action, ParsedOptions::Action::kFail);
}

TEST(Options, UsageTextHasItsTwentyFourWrites) {
  std::string usage = usage_text();
  EXPECT_EQ(usage.rfind("Zarnex encoder tool. Version: 1.0.10\n\nReads standard", 0), 0u);
  EXPECT_NE(usage.find("\nUsage linux: ./zarnex [optoins] > output\n"), std::string::npos);
  EXPECT_NE(usage.find("\n--encode=\"<Pay xsi:type='Pay'>...</Pay>\tshort: -e=\"<Pay xsi:type='Pay'>...</Pay>\n"),
            std::string::npos);
  EXPECT_NE(usage.find("\n--lines\tshort: -l\n"), std::string::npos);
  const std::string kEnd =
      "\n--format_stderr\tshort: -f\n"
      "\tPrint errors as: <timestamp>\\t<input>\\t<error>\\n\n";
  ASSERT_GE(usage.size(), kEnd.size());
  EXPECT_EQ(usage.substr(usage.size() - kEnd.size()), kEnd);
}

TEST(Options, QrSettings) {
  ParsedOptions none = Parse({"-e"});
  EXPECT_TRUE(none.options.qr.path.empty());
  // Defaults: level M, 4 pixels a module, a quiet zone of 4 modules; the
  // extension picks the format.
  ParsedOptions svg = Parse({"-e", "--qr=out/code.SVG"});
  ASSERT_EQ(svg.action, ParsedOptions::Action::kRun) << svg.message;
  EXPECT_EQ(svg.options.qr.path, "out/code.SVG");
  EXPECT_EQ(svg.options.qr.settings.format, QrFormat::kSvg);
  EXPECT_EQ(svg.options.qr.settings.level, QrLevel::kM);
  EXPECT_EQ(svg.options.qr.settings.module_size, 4);
  EXPECT_EQ(svg.options.qr.settings.margin, 4);
  ParsedOptions tuned = Parse({"--QR_LEVEL=h", "--qr_module=64", "--qr_margin=0",
                               "--qr_format=png", "--qr=code.svg", "-s"});
  ASSERT_EQ(tuned.action, ParsedOptions::Action::kRun) << tuned.message;
  EXPECT_EQ(tuned.options.qr.settings.format, QrFormat::kPng);  // explicit wins
  EXPECT_EQ(tuned.options.qr.settings.level, QrLevel::kH);
  EXPECT_EQ(tuned.options.qr.settings.module_size, 64);
  EXPECT_EQ(tuned.options.qr.settings.margin, 0);
  // A folder in bulk mode: PNG unless told otherwise, whatever its name.
  EXPECT_EQ(Parse({"-e", "--qr=symbols.svg", "--lines"}).options.qr.settings.format,
            QrFormat::kPng);
  EXPECT_EQ(Parse({"-l", "--qr=s", "--qr_format=SVG", "-e"}).options.qr.settings.format,
            QrFormat::kSvg);
}

TEST(Options, QrFailuresAreQrErrors) {
  const struct {
    std::vector<const char*> args;
    std::string message;
  } kCases[] = {
      {{"-e", "--qr_format=gif", "--qr=a.png"},
       "ERROR_QR: Unknown QR symbol format 'gif': expected svg or png. \n"},
      {{"-e", "--qr=a.png", "--qr_level=X"},
       "ERROR_QR: Unknown QR error-correction level 'X': expected L, M, Q or H. \n"},
      {{"-e", "--qr=a.png", "--qr_module=0"},
       "ERROR_QR: Invalid QR module size '0': expected a whole number of pixels "
       "from 1 to 64. \n"},
      {{"-e", "--qr=a.png", "--qr_module=4px"},
       "ERROR_QR: Invalid QR module size '4px': expected a whole number of pixels "
       "from 1 to 64. \n"},
      {{"-e", "--qr=a.png", "--qr_margin="},
       "ERROR_QR: Invalid QR quiet zone '': expected a whole number of modules "
       "from 0 to 64. \n"},
      {{"-e", "--qr=a.png", "--qr_margin=65"},
       "ERROR_QR: Invalid QR quiet zone '65': expected a whole number of modules "
       "from 0 to 64. \n"},
      {{"-e", "--qr=code.gif"},
       "ERROR_QR: Unknown QR symbol format of file 'code.gif': name it .svg or "
       ".png, or give --qr_format=svg or --qr_format=png. \n"},
      {{"-e", "--qr"},
       "ERROR_QR: The option --qr needs a file or folder name, as in "
       "--qr=code.png. \n"},
      {{"-d", "--qr=a.png"},
       "ERROR_QR: The option --qr draws the codes that encoding produces; it "
       "cannot be used with --decode. \n"},
  };
  for (const auto& c : kCases) {
    ParsedOptions parsed = Parse(c.args);
    EXPECT_EQ(parsed.action, ParsedOptions::Action::kFail) << c.message;
    EXPECT_EQ(parsed.status, 11);
    EXPECT_EQ(parsed.message, c.message);
  }
  // Other option errors keep status 1 and come first.
  ParsedOptions missing = Parse({"--qr=a.gif"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.message, "Missing argument --encode or --decode. \n");
}

}  // namespace
}  // namespace zarnex::cli
