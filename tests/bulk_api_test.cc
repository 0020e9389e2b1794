// The calls that append to a caller's buffer, the field-sequence prefix and
// the error-text rule of the public interface: what a front-end writing
// many results builds on.

#include "zarnex/zarnex.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/tool_runner.h"

namespace zarnex {
namespace {

const char* const kDocuments[] = {
    "examples/pay-one-off.xml", "examples/invoice.xml",
    "examples/credit-note.xml", "examples/invoice-items.xml",
};

void ExpectSameFailure(const Result& got, const Result& expected) {
  EXPECT_EQ(got.status, expected.status);
  EXPECT_EQ(got.error, expected.error);
  EXPECT_EQ(got.error_name, expected.error_name);
  EXPECT_EQ(got.subject, expected.subject);
  EXPECT_EQ(got.output, "");
}

// Every result lands after what the buffer held, byte for byte what the
// calls that return a new text give; a failure appends nothing and fills
// the caller's Result as the other call's Result.
TEST(BulkApi, AppendsWhatTheTextCallsReturn) {
  TextBuffer out;
  out.append("head|");
  std::string expected = "head|";
  Result failure;
  for (const char* path : kDocuments) {
    const std::string xml = testing::read_source_file(path);
    for (bool with_id : {false, true}) {
      Result code = encode_xml(xml, with_id);
      ASSERT_TRUE(code) << path << ": " << code.error;
      ASSERT_EQ(encode_xml_into(xml, out, with_id, &failure), 0) << failure.error;
      expected += code.output;
    }
    Result code = encode_xml(xml);
    Result json = decode_to_json(code.output);
    ASSERT_TRUE(json) << json.error;
    ASSERT_EQ(encode_json_into(json.output, out, true), 0);
    expected += encode_json(json.output, true).output;
    ASSERT_EQ(decode_into(code.output, out, &failure), 0);
    expected += decode(code.output).output;
    ASSERT_EQ(decode_to_json_into(code.output, out), 0);
    expected += json.output;
  }
  const std::string line = "0\t0\tSK0000000000000000000000\t1.5";
  Result sequence = encode_sequence(line, false);
  if (sequence) {
    ASSERT_EQ(encode_sequence_into(line, out, false, &failure), 0);
    expected += sequence.output;
  } else {
    EXPECT_EQ(encode_sequence_into(line, out, false, &failure), sequence.status);
    ExpectSameFailure(failure, sequence);
  }
  EXPECT_EQ(out.view(), expected);

  const std::size_t before = out.size();
  for (const std::string bad : {"", "0", "ABCDEF", "00000000000000000000000000"}) {
    Result expected_failure = decode(bad);
    ASSERT_FALSE(expected_failure) << bad;
    EXPECT_EQ(decode_into(bad, out, &failure), expected_failure.status) << bad;
    ExpectSameFailure(failure, expected_failure);
    EXPECT_EQ(decode_to_json_into(bad, out), decode_to_json(bad).status);
  }
  for (const std::string bad : {"<Pay>", "<Pay xsi:type='Pay'></Pay>"}) {
    EXPECT_EQ(encode_xml_into(bad, out, true, &failure), encode_xml(bad, true).status);
    ExpectSameFailure(failure, encode_xml(bad, true));
  }
  EXPECT_EQ(encode_json_into("[1]", out, false, &failure), encode_json("[1]").status);
  ExpectSameFailure(failure, encode_json("[1]"));
  EXPECT_EQ(encode_sequence_into("9\t0\tx", out, false, &failure), 5);
  ExpectSameFailure(failure, encode_sequence("9\t0\tx"));
  EXPECT_EQ(out.size(), before);
}

// The prefix reader points at the first byte it cannot read, and fails
// with the error encode_sequence gives for the line.
TEST(BulkApi, SequencePrefixPositions) {
  const struct {
    const char* line;
    int status;
    std::size_t position;
    int type;
    int sub_kind;
  } kCases[] = {
      {"0\t0\tfields", 0, 4, 0, 0},  {"1\t3\t", 0, 4, 1, 3},
      {"2\t0\tx", 0, 4, 2, 0},       {"3\t0\tx", 5, 2, 0, 0},
      {"0\t1\tx", 5, 2, 0, 0},       {"0x0\tx", 5, 1, 0, 0},
      {"0\t\tx", 5, 3, 0, 0},        {"0\t7\tx", 5, 2, 0, 0},
      {"0\t0x", 5, 3, 0, 0},         {"", 5, 0, 0, 0},
      {"\t0\tx", 5, 3, 0, 0},
  };
  for (const auto& c : kCases) {
    SequencePrefix prefix = read_sequence_prefix(c.line);
    EXPECT_EQ(prefix.status, c.status) << c.line;
    EXPECT_EQ(prefix.position, c.position) << c.line;
    if (c.status == 0) {
      EXPECT_EQ(prefix.header.type, c.type) << c.line;
      EXPECT_EQ(prefix.header.sub_kind, c.sub_kind) << c.line;
      EXPECT_EQ(prefix.error, "");
    } else {
      Result encoded = encode_sequence(c.line);
      EXPECT_EQ(prefix.error, encoded.error) << c.line;
      EXPECT_EQ(prefix.error_name, "ERROR_BAD_FORMAT");
      EXPECT_EQ(prefix.subject, encoded.subject);
    }
  }
  // The line ends at its first NUL.
  EXPECT_EQ(read_sequence_prefix(std::string("0\t\0\t", 4)).position, 2u);
}

// The public formatter is the rule the library's own texts follow.
TEST(BulkApi, ErrorTextFollowsTheLibrarysRule) {
  EXPECT_EQ(error_text(12, "Cannot read", " standard input: Is a directory. "),
            "ERROR_STREAM: Cannot read standard input: Is a directory. ");
  EXPECT_EQ(error_text(11, ": Invalid QR quiet zone", " '65': expected 0 to 64. "),
            "ERROR_QR: Invalid QR quiet zone '65': expected 0 to 64. ");
  EXPECT_EQ(error_text(12, "Line is longer than 64 MiB."),
            "ERROR_STREAM: Line is longer than 64 MiB. ");
  EXPECT_EQ(error_text(40, "x", "y"), "ZARNEX_ERROR_UNKNOWNx y");
  // A library failure: its text is the rule applied to its name and subject
  // and the rest of the text.
  Result failed = decode("0");
  ASSERT_FALSE(failed);
  const std::string head = error_text(failed.status, failed.subject, " ");
  EXPECT_EQ(failed.error.substr(0, head.size()), head) << failed.error;
  EXPECT_EQ(failed.error.rfind(failed.error_name, 0), 0u);
}

}  // namespace
}  // namespace zarnex
