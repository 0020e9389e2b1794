// JSON documents end to end: the examples and generated documents give the
// same codes from XML and from JSON through the tool and the C++ interface,
// decoded JSON parses with Python and holds the values of the decoded XML,
// and --json works in single and bulk mode.

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bench/generator.h"
#include "tests/tool_runner.h"
#include "zarnex/zarnex.hpp"

namespace zarnex {
namespace {

using testing::read_source_file;
using testing::run_shell;
using testing::run_tool;
using testing::ToolResult;

const char* const kExamples[] = {
    "advance-invoice",       "credit-note",       "debit-note",
    "invoice-foreign-currency", "invoice-items-ean", "invoice-items-full",
    "invoice-items-periods", "invoice-items",     "invoice-single-line",
    "invoice",               "pay-direct-debit",  "pay-one-off",
    "pay-several",           "pay-standing-order", "proforma-invoice",
};

std::string temp_path(const std::string& name) {
  return ::testing::TempDir() + "zarnex-json-" + name;
}

void write_file(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Runs the Python check of decoded JSON against decoded XML on two files of
// one document per line; returns its output, with the status in @a status.
std::string python_compare(const std::string& xml_lines,
                           const std::string& json_lines, int* status) {
  const std::string xml_path = temp_path("decoded.xml");
  const std::string json_path = temp_path("decoded.json");
  write_file(xml_path, xml_lines);
  write_file(json_path, json_lines);
  return run_shell("python3 " + std::string(ZARNEX_SOURCE_DIR) +
                       "/tests/json_matches_xml.py " + xml_path + " " +
                       json_path + " 2>&1",
                   status);
}

TEST(JsonExamples, SameCodesFromXmlAndJson) {
  for (const char* name : kExamples) {
    const std::string xml = read_source_file("examples/" + std::string(name) + ".xml");
    const std::string json =
        read_source_file("examples/json/" + std::string(name) + ".json");
    Result from_xml = encode_xml(xml);
    ASSERT_TRUE(from_xml) << name << ": " << from_xml.error;
    Result from_json = encode_json(json);
    ASSERT_TRUE(from_json) << name << ": " << from_json.error;
    EXPECT_EQ(from_json.output, from_xml.output) << name;
    EXPECT_EQ(encode_json(json, true).output, encode_xml(xml, true).output)
        << name;
    // The example is what decoding its code gives, one line.
    Result decoded = decode_to_json(from_xml.output);
    ASSERT_TRUE(decoded) << decoded.error;
    EXPECT_EQ(decoded.output + "\n", json) << name;
    EXPECT_EQ(decoded.output.find('\n'), std::string::npos);

    ToolResult tool_xml = run_tool({"--encode"}, xml);
    ToolResult tool_json = run_tool({"--encode", "--json"}, json);
    EXPECT_EQ(tool_json.status, 0) << name << ": " << tool_json.err;
    EXPECT_EQ(tool_json.out, tool_xml.out) << name;
    ToolResult tool_decoded = run_tool({"--json", "--decode=" + from_xml.output});
    EXPECT_EQ(tool_decoded.status, 0);
    EXPECT_EQ(tool_decoded.out, decoded.output) << name;
  }
}

TEST(JsonExamples, DecodedJsonHoldsTheValuesOfDecodedXml) {
  std::string xml_lines, json_lines;
  for (const char* name : kExamples) {
    Result code = encode_xml(read_source_file("examples/" + std::string(name) + ".xml"));
    ASSERT_TRUE(code) << code.error;
    xml_lines += decode(code.output).output + "\n";
    const std::string json = decode_to_json(code.output).output;
    json_lines += json + "\n";
    int status = -1;
    write_file(temp_path("one.json"), json);
    run_shell("python3 -m json.tool " + temp_path("one.json") + " >/dev/null 2>&1",
              &status);
    EXPECT_EQ(status, 0) << name << ": not valid JSON for Python";
  }
  int status = -1;
  std::string report = python_compare(xml_lines, json_lines, &status);
  EXPECT_EQ(status, 0) << report;
  EXPECT_NE(report.find("15 documents match"), std::string::npos) << report;

  // The check sees a difference: an amount as a string, a reordered member.
  std::string changed = json_lines;
  const std::size_t amount = changed.find("\"Amount\":");
  ASSERT_NE(amount, std::string::npos);
  changed.insert(amount + 9, "\"");
  changed.insert(changed.find(',', amount + 10), "\"");
  python_compare(xml_lines, changed, &status);
  EXPECT_EQ(status, 1);
}

// Generated documents of every kind: the same code from XML and from JSON,
// decoding to JSON and encoding again gives the code back, and the decoded
// JSON holds the values of the decoded XML (checked with Python for a share).
TEST(JsonGenerated, SameCodesAndValuesAsXml) {
  constexpr int kDocuments = 10000;
  constexpr int kCompared = 500;
  bench::DocumentGenerator generator(20261207);
  std::string xml_lines, json_lines;
  for (int i = 0; i < kDocuments; ++i) {
    const std::string xml = generator.next();
    Result from_xml = encode_xml(xml);
    ASSERT_TRUE(from_xml) << from_xml.error << "\n" << xml;
    Result decoded = decode_to_json(from_xml.output);
    ASSERT_TRUE(decoded) << decoded.error;
    Result again = encode_json(decoded.output);
    ASSERT_TRUE(again) << again.error << "\n" << decoded.output;
    ASSERT_EQ(again.output, from_xml.output) << decoded.output;
    if (i < kCompared) {
      xml_lines += decode(from_xml.output).output + "\n";
      json_lines += decoded.output + "\n";
    }
  }
  int status = -1;
  std::string report = python_compare(xml_lines, json_lines, &status);
  EXPECT_EQ(status, 0) << report;
}

TEST(JsonTool, BulkModeOneDocumentPerLine) {
  const std::string pay = read_source_file("examples/json/pay-one-off.json");
  const std::string items = read_source_file("examples/json/invoice-items.json");
  const std::string input = pay + "\n{\"type\":\"Pay\",}\r\n" + items;
  ToolResult run = run_tool({"--encode", "--json", "--lines", "-i"}, input);
  EXPECT_EQ(run.status, 0);
  const std::string pay_code = encode_json(pay).output;
  const std::string items_code = encode_json(items).output;
  EXPECT_EQ(run.out, "FV-2026-0142\t" + pay_code + "\nFV-2026-0142\t" +
                         items_code + "\n");
  EXPECT_EQ(run.err,
            "ERROR_JSON: JSON parse error at offset 14 (line 1, column 15): "
            "Missing a name for object member.\n");

  ToolResult decoded = run_tool({"-d", "-l", "--json"},
                                pay_code + "\n\nnot-a-code\n" + items_code + "\n");
  EXPECT_EQ(decoded.status, 0);
  EXPECT_EQ(decoded.out, pay + items);  // each example ends in a newline
  EXPECT_EQ(decoded.err, decode("not-a-code").error + "\n");
}

TEST(JsonTool, ErrorsAndExitStatus) {
  ToolResult bad = run_tool({"--encode", "--json"}, "{\"type\": \"Pay\"\n  \"x\": 1}");
  EXPECT_EQ(bad.status, 13);
  EXPECT_EQ(bad.out, "");
  EXPECT_EQ(bad.err,
            "ERROR_JSON: JSON parse error at offset 17 (line 2, column 3): "
            "Missing a comma or '}' after an object member.\n");
  // An XML document given to --json, and a JSON document given without it.
  const std::string xml = read_source_file("examples/pay-one-off.xml");
  EXPECT_EQ(run_tool({"--encode", "--json"}, xml).status, 13);
  EXPECT_EQ(run_tool({"--encode"}, read_source_file("examples/json/pay-one-off.json"))
                .status,
            9);
  ToolResult wrong = run_tool({"-e", "--json"}, R"({"type":"Pay","InvoiceID":7})");
  EXPECT_EQ(wrong.status, 13);
  EXPECT_EQ(wrong.err, "ERROR_JSON: InvoiceID must be a JSON string.\n");
  ToolResult help = run_tool({"--help"});
  EXPECT_NE(help.out.find("\n--json\n"), std::string::npos);
  EXPECT_EQ(run_tool(std::vector<std::string>{}).out.find("--json"), std::string::npos);
}

}  // namespace
}  // namespace zarnex
