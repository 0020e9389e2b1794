// The public library interface, from one thread and from several at once.

#include "zarnex/zarnex.hpp"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/tool_runner.h"

namespace zarnex {
namespace {

const char* const kDocuments[] = {
    "examples/pay-one-off.xml",      "examples/pay-direct-debit.xml",
    "examples/invoice.xml",          "examples/credit-note.xml",
    "examples/invoice-items.xml",    "examples/invoice-foreign-currency.xml",
};

TEST(Api, EncodeDecodeAndHeader) {
  std::string xml = testing::read_source_file("examples/credit-note.xml");
  Result code = encode_xml(xml);
  ASSERT_TRUE(code) << code.error;
  EXPECT_EQ(code.error, "");
  Result with_id = encode_xml(xml, true);
  EXPECT_EQ(with_id.output, "DB-2026-0007\t" + code.output);
  Result back = decode(code.output);
  ASSERT_TRUE(back) << back.error;
  EXPECT_NE(back.output.find("xsi:type=\"CreditNote\""), std::string::npos);
  HeaderResult header = decode_header(code.output);
  ASSERT_TRUE(header);
  EXPECT_EQ(header.header.type, 1);
  EXPECT_EQ(header.header.version, 0);
  EXPECT_EQ(header.header.sub_kind, 2);
  EXPECT_STREQ(version(), "1.0.10");
}

TEST(Api, FailuresCarryTheirText) {
  Result bad = decode("0000000");
  EXPECT_FALSE(bad);
  EXPECT_NE(bad.status, 0);
  EXPECT_EQ(bad.output, "");
  EXPECT_FALSE(bad.error.empty());
  Result prefix = encode_sequence("7\t0\tX");
  EXPECT_EQ(prefix.status, 5);
  EXPECT_EQ(prefix.error.rfind("ERROR_BAD_FORMAT: Malformed line prefix", 0), 0u);
  HeaderResult short_code = decode_header("AB");
  EXPECT_EQ(short_code.status, 8);
  EXPECT_EQ(short_code.error, "ERROR_UNKNOWN_DOCUMENT: Header not found.  ");
  Result broken = encode_xml("<Pay>");
  EXPECT_EQ(broken.status, 9);
  EXPECT_EQ(broken.error.rfind("ERROR_XML: Getting root element error\n", 0), 0u);
  EXPECT_NE(broken.error.find(" line:1,\n"), std::string::npos) << broken.error;
}

// @a code with its two header bytes replaced; the CRC does not cover them,
// so the rest stays intact. The first four characters hold the 16 header
// bits and 4 bits of the payload length.
std::string WithHeader(const std::string& code, unsigned byte0, unsigned byte1) {
  const std::string digits = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
  unsigned bits = 0;
  for (int i = 0; i < 4; ++i) bits = bits << 5 | static_cast<unsigned>(digits.find(code[i]));
  bits = (bits & 0xF) | byte0 << 12 | byte1 << 4;
  std::string changed = code;
  for (int i = 3; i >= 0; --i, bits >>= 5) changed[i] = digits[bits & 31];
  return changed;
}

TEST(Api, HeaderOfABrokenCodeFailsAsDecodingDoes) {
  const std::string pay = encode_xml(testing::read_source_file(kDocuments[0])).output;
  ASSERT_FALSE(pay.empty());
  const std::string kCodes[] = {
      "VVVV", "0000", "VVV", "VVVw",
      WithHeader(pay, 0xF0, 0x00), WithHeader(pay, 0x30, 0x00),  // no kind
      WithHeader(pay, 0xFF, 0xFF), WithHeader(pay, 0x00, 0x10),  // sub-kinds
      WithHeader(pay, 0x20, 0x30), WithHeader(pay, 0x10, 0x50),
      WithHeader(pay, 0x01, 0x00), WithHeader(pay, 0x2F, 0x00),  // versions
  };
  for (const std::string& code : kCodes) {
    SCOPED_TRACE(code);
    Result decoded = decode(code);
    HeaderResult header = decode_header(code);
    ASSERT_FALSE(decoded);
    EXPECT_EQ(header.status, decoded.status);
    EXPECT_EQ(header.error, decoded.error);
  }
  EXPECT_EQ(decode_header("VVVV").error, "ERROR_COMPRESSION: Invalid compressed data.  ");
  EXPECT_EQ(decode_header(WithHeader(pay, 0xF0, 0x00)).status, -2);

  // The codes of every kind and sub-kind keep their header; so does one with
  // reserved bits set, which decodes.
  const struct {
    const char* path;
    int type, sub_kind;
  } kKinds[] = {
      {"examples/pay-one-off.xml", 0, 0},      {"examples/invoice.xml", 1, 0},
      {"examples/proforma-invoice.xml", 1, 1}, {"examples/credit-note.xml", 1, 2},
      {"examples/debit-note.xml", 1, 3},       {"examples/advance-invoice.xml", 1, 4},
      {"examples/invoice-items.xml", 2, 0},
  };
  for (const auto& k : kKinds) {
    Result code = encode_xml(testing::read_source_file(k.path));
    ASSERT_TRUE(code) << k.path << ": " << code.error;
    HeaderResult header = decode_header(code.output);
    ASSERT_TRUE(header) << k.path << ": " << header.error;
    EXPECT_EQ(header.header.type, k.type) << k.path;
    EXPECT_EQ(header.header.version, 0) << k.path;
    EXPECT_EQ(header.header.sub_kind, k.sub_kind) << k.path;
  }
  const std::string reserved = WithHeader(pay, 0x00, 0x0F);
  EXPECT_TRUE(decode(reserved));
  HeaderResult header = decode_header(reserved);
  ASSERT_TRUE(header) << header.error;
  EXPECT_EQ(header.header.type, 0);
  EXPECT_EQ(header.header.sub_kind, 0);
}

TEST(Api, ConcurrentCallsGiveTheSameResults) {
  // Expected results from one thread first.
  std::vector<std::string> xml, codes, decoded;
  for (const char* path : kDocuments) {
    xml.push_back(testing::read_source_file(path));
    Result code = encode_xml(xml.back());
    ASSERT_TRUE(code) << path << ": " << code.error;
    codes.push_back(code.output);
    decoded.push_back(decode(code.output).output);
  }
  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 150; ++i) {
        std::size_t k = static_cast<std::size_t>(t + i) % xml.size();
        if (encode_xml(xml[k]).output != codes[k]) ++mismatches;
        if (decode(codes[k]).output != decoded[k]) ++mismatches;
        // Errors on one thread must not leak into another's results.
        Result bad = encode_xml("<Pay><Payments>");
        if (bad.status != 9 || bad.error.find("line:1") == std::string::npos)
          ++mismatches;
        Result wrong = decode(codes[k].substr(0, codes[k].size() / 2));
        if (wrong.ok() || wrong.error.empty()) ++mismatches;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
}  // namespace zarnex
