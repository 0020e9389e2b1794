// The number rules end to end, through the tool and through the library:
// amounts keep the digits that were written, also from 2^26 on and in the
// amounts derived on decoding; numbers are written and read alike whatever
// locale a program that links the library has set; a number field of a
// code (or of a --sequence line) that holds no number is an error, and a
// decimal written with a comma reads as the decimal its maker meant.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "base/test_locale.h"
#include "code/base32hex.h"
#include "code/crc32.h"
#include "code/payload.h"
#include "tests/sealed_code.h"
#include "tests/tool_runner.h"
#include "zarnex/zarnex.hpp"

namespace zarnex {
namespace {

using code::testing::ScopedLocale;
using testing::read_source_file;
using testing::run_tool;
using testing::seal_code;
using testing::ToolResult;

// The fields of a one-payment Pay (examples/sequences.txt, first line),
// with its amount replaced.
std::string pay_fields(std::string_view amount) {
  return "INV-1\t1\t1\t" + std::string(amount) +
         "\tEUR\t20150131\t123\t\t\t\ttest\t1\tSK3112000000198742637541\t"
         "TATRSKBX\t0\t0";
}

// A code made by another program: @a fields as its field sequence, sealed
// with the library's own CRC, LZMA and base32hex, as a foreign encoder would.
std::string seal(std::uint8_t byte0, std::string_view fields) {
  return seal_code(byte0, 0, fields);
}

// The field sequence that a code carries.
std::string fields_of_code(const std::string& code_text) {
  std::string envelope;
  EXPECT_EQ(code::base32hex_decode(code_text, &envelope), 0);
  std::string payload;
  EXPECT_GE(envelope.size(), 2u);
  EXPECT_EQ(code::decompress_payload(std::string_view(envelope).substr(2),
                                     &payload),
            0);
  EXPECT_GE(payload.size(), 4u);
  return payload.substr(4);
}

// The text of the first element @a name in @a xml.
std::string element(const std::string& xml, const std::string& name) {
  const std::string open = "<" + name + ">";
  const std::size_t start = xml.find(open);
  if (start == std::string::npos) return "(no " + name + ")";
  const std::size_t from = start + open.size();
  return xml.substr(from, xml.find('<', from) - from);
}

// @a xml with the text of its first element @a name replaced.
std::string with_element(std::string xml, const std::string& name,
                         const std::string& text) {
  const std::string open = "<" + name + ">";
  const std::size_t from = xml.find(open) + open.size();
  xml.replace(from, xml.find('<', from) - from, text);
  return xml;
}

std::string pay_xml(const std::string& amount) {
  return with_element(read_source_file("examples/pay-one-off.xml"), "Amount",
                      amount);
}

TEST(NumberText, LargeAmountsKeepTheirDigitsInTheCodeAndTheXml) {
  const std::string xml = pay_xml("99999999.99");
  ToolResult encoded = run_tool({"-e"}, xml);
  ASSERT_EQ(encoded.status, 0) << encoded.err;
  // The code itself carries the written digits, not 99999999.98999999.
  const std::string fields = fields_of_code(encoded.out);
  EXPECT_NE(fields.find("\t99999999.99\t"), std::string::npos) << fields;
  ToolResult decoded = run_tool({"-d"}, encoded.out);
  ASSERT_EQ(decoded.status, 0) << decoded.err;
  EXPECT_EQ(element(decoded.out, "Amount"), "99999999.99");
  // The library agrees.
  Result library = encode_xml(xml);
  ASSERT_EQ(library.status, 0) << library.error;
  EXPECT_EQ(library.output, encoded.out);
  EXPECT_EQ(decode(library.output).output, decoded.out);

  for (const char* amount : {"67108864.01", "123456789.12345678",
                             "9999999999.99", "12345678901.25",
                             "100000000000000000000"}) {
    Result code = encode_xml(pay_xml(amount));
    ASSERT_EQ(code.status, 0) << amount << ": " << code.error;
    EXPECT_EQ(element(decode(code.output).output, "Amount"), amount);
  }
}

// An invoice whose amounts are 99999999.99 and 22999999.99 decodes with the
// sums of those texts: 122999999.98, not 122999999.97999999.
TEST(NumberText, DerivedAmountsAreTheSumsOfTheWrittenAmounts) {
  std::string xml = read_source_file("examples/invoice.xml");
  xml = with_element(xml, "TaxExclusiveAmount", "99999999.99");
  xml = with_element(xml, "TaxAmount", "22999999.99");
  xml = with_element(xml, "PaidDepositsAmount", "0.01");
  ToolResult encoded = run_tool({"-e"}, xml);
  ASSERT_EQ(encoded.status, 0) << encoded.err;
  ToolResult decoded = run_tool({"-d"}, encoded.out);
  ASSERT_EQ(decoded.status, 0) << decoded.err;
  const std::string& out = decoded.out;
  const std::size_t money = out.find("<MonetarySummary>");
  ASSERT_NE(money, std::string::npos);
  const std::string totals = out.substr(money);
  EXPECT_EQ(element(out, "TaxInclusiveAmount"), "122999999.98");
  EXPECT_EQ(element(out, "DifferenceTaxInclusiveAmount"), "122999999.98");
  EXPECT_EQ(element(totals, "TaxExclusiveAmount"), "99999999.99");
  EXPECT_EQ(element(totals, "TaxInclusiveAmount"), "122999999.98");
  EXPECT_EQ(element(totals, "DifferenceTaxExclusiveAmount"), "99999999.99");
  EXPECT_EQ(element(totals, "PayableAmount"), "122999999.97");
  EXPECT_EQ(decode(encoded.out).output, decoded.out);

  // Invoice lines: the tax-inclusive unit price and the line totals.
  std::string items = read_source_file("examples/invoice-items.xml");
  items = with_element(items, "InvoicedQuantity", "3");
  items = with_element(items, "UnitPriceTaxExclusiveAmount", "99999999.99");
  items = with_element(items, "UnitPriceTaxAmount", "22999999.99");
  Result code = encode_xml(items);
  ASSERT_EQ(code.status, 0) << code.error;
  Result lines = decode(code.output);
  ASSERT_EQ(lines.status, 0) << lines.error;
  EXPECT_EQ(element(lines.output, "UnitPriceTaxInclusiveAmount"),
            "122999999.98");
  EXPECT_EQ(element(lines.output, "LineTaxExclusiveAmount"), "299999999.97");
  EXPECT_EQ(element(lines.output, "LineTaxInclusiveAmount"), "368999999.94");
  EXPECT_EQ(element(lines.output, "LineTaxAmount"), "68999999.97");
}

// A code made by another program whose decimal has a comma as its mark.
TEST(NumberText, CommaDecimalsInACodeReadAsDecimals) {
  const std::string comma = seal(0x00, pay_fields("12,34"));
  const std::string dot = seal(0x00, pay_fields("12.34"));
  ToolResult decoded = run_tool({"-d"}, comma);
  ASSERT_EQ(decoded.status, 0) << decoded.err;
  EXPECT_EQ(element(decoded.out, "Amount"), "12.34");
  EXPECT_EQ(decoded.out, run_tool({"-d"}, dot).out);
  EXPECT_EQ(decode(comma).output, decoded.out);
  // Encoded again, it is the code this tool makes of 12.34.
  ToolResult again = run_tool({"-e"}, decoded.out);
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(fields_of_code(again.out), pay_fields("12.34"));
}

// Any other number field that holds no number fails the decoding with
// ERROR_INVALID_VALUE naming the field, instead of decoding to a 0.
TEST(NumberText, MalformedNumbersInACodeAreErrors) {
  const std::string kPay = pay_fields("100");
  // A standing order (options 2): Day 7, Month 2049, weekly.
  const std::string kStanding =
      "INV-1\t1\t2\t100\tEUR\t20150131\t123\t\t\t\ttest\t1\t"
      "SK3112000000198742637541\tTATRSKBX\t1\t7\t2049\tw\t\t0";
  const std::string kItems = "F1\t2\t1\t\t\t\t\tPen\t\t\t\t10\t1.5\t0.3\t0.2";
  struct Case {
    std::uint8_t byte0;
    std::string fields;
    std::string error;
  };
  auto replaced = [](std::string text, std::string_view from,
                     std::string_view to) {
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const Case kCases[] = {
      // decimals
      {0x00, pay_fields("12x"), "Amount"},
      {0x00, pay_fields("1.234,5"), "Amount"},
      {0x00, pay_fields("1,2,3"), "Amount"},
      {0x00, pay_fields("nan"), "Amount"},
      {0x00, pay_fields("1e999"), "Amount"},
      {0x20, replaced(kItems, "\t10\t", "\t10 pcs\t"), "InvoicedQuantity"},
      {0x20, replaced(kItems, "\t0.2", "\t0.2%"), "ClassifiedTaxCategory"},
      // integers
      {0x00, replaced(kPay, "INV-1\t1\t1\t", "INV-1\t1\tone\t"),
       "PaymentOptions"},
      {0x00, replaced(kStanding, "\t7\t", "\t7th\t"), "Day"},
      {0x00, replaced(kStanding, "\t7\t", "\t1,5\t"), "Day"},
      // counts
      {0x00, replaced(kPay, "INV-1\t1\t", "INV-1\tx\t"), "Payments"},
      {0x00, replaced(kPay, "INV-1\t1\t", "INV-1\t99999999999\t"), "Payments"},
      {0x00, replaced(kPay, "\ttest\t1\t", "\ttest\t1.0\t"), "BankAccounts"},
      {0x20, replaced(kItems, "F1\t2\t1\t", "F1\t2\t+\t"), "InvoiceLines"},
      // presence flags
      {0x00, replaced(kPay, "TATRSKBX\t0\t0", "TATRSKBX\tno\t0"),
       "StandingOrderExt"},
      {0x00, replaced(kPay, "TATRSKBX\t0\t0", "TATRSKBX\t0\t0,0"),
       "DirectDebitExt"},
  };
  std::string lines, errors;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.fields);
    const std::string code = seal(c.byte0, c.fields);
    const std::string error =
        "ERROR_INVALID_VALUE: " + c.error + " is a malformed number. ";
    ToolResult r = run_tool({"-d"}, code);
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, error + "\n");
    Result direct = decode(code);
    EXPECT_EQ(direct.status, 4);
    EXPECT_EQ(direct.error, error);
    EXPECT_EQ(direct.output, "");
    lines += code + "\n";
    errors += error + "\n";
  }
  // In bulk every line fails alone, and the run ends with status 0.
  ToolResult bulk = run_tool({"-d", "-l"}, lines + seal(0x00, kPay) + "\n");
  EXPECT_EQ(bulk.status, 0);
  EXPECT_EQ(bulk.err, errors);
  EXPECT_EQ(element(bulk.out, "Amount"), "100");

  // The well-formed codes decode; empty number fields stay absent.
  for (const std::string& fields :
       {kPay, kStanding, kItems, replaced(kStanding, "\t7\t", "\t\t")}) {
    Result good = decode(seal(fields.front() == 'F' ? 0x20 : 0x00, fields));
    EXPECT_EQ(good.status, 0) << fields << ": " << good.error;
  }
  Result no_day = decode(seal(0x00, replaced(kStanding, "\t7\t", "\t\t")));
  EXPECT_EQ(no_day.status, 0);
  EXPECT_EQ(no_day.output.find("<Day>"), std::string::npos) << no_day.output;
  EXPECT_NE(no_day.output.find("<Periodicity>"), std::string::npos);
}

// A --sequence line follows the same rule.
TEST(NumberText, SequenceLinesFollowTheSameRule) {
  const std::string dot = "0\t0\t" + pay_fields("12.34");
  const std::string comma = "0\t0\t" + pay_fields("12,34");
  ToolResult from_dot = run_tool({"-s"}, dot);
  ToolResult from_comma = run_tool({"-s"}, comma);
  ASSERT_EQ(from_comma.status, 0) << from_comma.err;
  EXPECT_EQ(from_comma.out, from_dot.out);
  EXPECT_EQ(fields_of_code(from_comma.out).find("12,34"), std::string::npos);
  EXPECT_EQ(encode_sequence(comma).output, from_dot.out);

  const std::string bad = "0\t0\t" + pay_fields("12,3x");
  ToolResult refused = run_tool({"-s"}, bad);
  EXPECT_EQ(refused.status, 4);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err,
            "ERROR_INVALID_VALUE: Amount is a malformed number. \n");
  ToolResult bulk = run_tool({"-s", "-l"}, bad + "\n" + comma + "\n");
  EXPECT_EQ(bulk.status, 0);
  EXPECT_EQ(bulk.out, from_dot.out + "\n");
  EXPECT_EQ(bulk.err, "ERROR_INVALID_VALUE: Amount is a malformed number. \n");
}

// A program that links the library and sets a locale whose decimal mark is
// not a dot gets the same codes and XML as under "C", and the same refusals.
class NumberTextInLocale
    : public ::testing::TestWithParam<std::string> {};

TEST_P(NumberTextInLocale, CodesAndXmlAsInTheCLocale) {
  std::vector<std::string> inputs = {
      pay_xml("12345678901.25"), pay_xml("10000000000"),
      pay_xml("99999999.99"),    pay_xml("1250.4"),
      pay_xml(" 12.5"),          pay_xml("12,34"),
      pay_xml("1e3")};
  std::string invoice = read_source_file("examples/invoice.xml");
  invoice = with_element(invoice, "TaxExclusiveAmount", "12345678901.23");
  invoice = with_element(invoice, "ClassifiedTaxCategory", "0.2");
  inputs.push_back(invoice);
  // Error texts with numbers in them: the line of a parse error, past a
  // thousand (no thousands separator in any locale).
  inputs.push_back("<Pay>" + std::string(1200, '\n') + "</Pa>");
  const std::vector<std::string> foreign_codes = {
      seal(0x00, pay_fields("12,34")), seal(0x00, pay_fields("12345678901,5")),
      seal(0x00, pay_fields("12x"))};
  const std::vector<std::string> sequences = {
      "0\t0\t" + pay_fields("12345678901,25"),
      "0\t0\t" + pay_fields("12345678901.25"),
      // The number of a field at fault, past a thousand.
      "0\t0\t" + std::string(1500, '\t') + "\x07"};

  struct Outcome {
    std::vector<Result> encoded, decoded, foreign, sequenced;
  };
  auto run_all = [&] {
    Outcome o;
    for (const std::string& xml : inputs) {
      o.encoded.push_back(encode_xml(xml));
      o.decoded.push_back(decode(o.encoded.back().output));
    }
    for (const std::string& code : foreign_codes)
      o.foreign.push_back(decode(code));
    for (const std::string& line : sequences)
      o.sequenced.push_back(encode_sequence(line));
    return o;
  };
  auto expect_same = [](const std::vector<Result>& a,
                        const std::vector<Result>& b, const char* what) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
      EXPECT_EQ(a[i].status, b[i].status) << what << " " << i;
      EXPECT_EQ(a[i].output, b[i].output) << what << " " << i;
      EXPECT_EQ(a[i].error, b[i].error) << what << " " << i;
    }
  };
  const Outcome c = run_all();
  // What "C" gives: large amounts with a dot, 12,34 in XML refused.
  ASSERT_EQ(c.encoded[0].status, 0);
  EXPECT_EQ(element(c.decoded[0].output, "Amount"), "12345678901.25");
  EXPECT_NE(fields_of_code(c.encoded[0].output).find("\t12345678901.25\t"),
            std::string::npos);
  EXPECT_EQ(c.encoded[5].status, 9);
  EXPECT_EQ(c.encoded[5].error,
            "ERROR_XML: Amount Invalid decimal format. Use dot '.' as a "
            "decimal mark.");
  EXPECT_EQ(element(c.foreign[1].output, "Amount"), "12345678901.5");
  EXPECT_EQ(c.foreign[2].status, 4);
  EXPECT_EQ(c.sequenced[0].output, c.sequenced[1].output);
  EXPECT_NE(c.encoded.back().error.find(" line:1201,"), std::string::npos)
      << c.encoded.back().error;
  EXPECT_EQ(c.sequenced[2].error,
            "ERROR_INVALID_VALUE: Field 1501 is not UTF-8 text without "
            "control characters. ");

  ScopedLocale locale(GetParam());
  if (!locale.ok()) GTEST_SKIP() << locale.why();
  ASSERT_NE(ScopedLocale::decimal_mark(), ".");
  const Outcome l = run_all();
  expect_same(l.encoded, c.encoded, "encoded");
  expect_same(l.decoded, c.decoded, "decoded");
  expect_same(l.foreign, c.foreign, "foreign code");
  expect_same(l.sequenced, c.sequenced, "sequence");
}

INSTANTIATE_TEST_SUITE_P(
    Locales, NumberTextInLocale,
    ::testing::Values(code::testing::kCommaLocale,
                      code::testing::kArabicMarkLocale),
    [](const auto& info) { return info.param; });

}  // namespace
}  // namespace zarnex
