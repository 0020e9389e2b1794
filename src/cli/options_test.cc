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

}  // namespace
}  // namespace zarnex::cli
