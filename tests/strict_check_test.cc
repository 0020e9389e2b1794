// The tool's --strict and --check options: strict reading refuses what the
// default reading skips, and check mode reports every problem at once.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "bench/generator.h"
#include "tests/tool_runner.h"
#include "zarnex/zarnex.hpp"

namespace zarnex {
namespace {

using testing::run_tool;

// Replaces the one occurrence of @a from in @a text.
std::string replaced(std::string text, const std::string& from,
                     const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

struct StrictCase {
  const char* name;
  const char* example;
  const char* from;
  const char* to;
  int status;
  const char* where;  // path and line in the error line
  const char* says;
};

class StrictRefuses : public ::testing::TestWithParam<StrictCase> {};

// Every change leaves a document that the default reading encodes, and
// strict reading refuses, naming the element's path and line.
TEST_P(StrictRefuses, WhatDefaultReadingLetsThrough) {
  const StrictCase& c = GetParam();
  const std::string xml = replaced(
      testing::read_source_file(std::string("examples/") + c.example), c.from,
      c.to);
  const auto plain = run_tool({"--encode"}, xml);
  EXPECT_EQ(plain.status, 0) << plain.err;
  const auto strict = run_tool({"--strict", "--encode"}, xml);
  EXPECT_EQ(strict.status, c.status) << strict.err;
  EXPECT_EQ(strict.out, "");
  EXPECT_NE(strict.err.find(c.where), std::string::npos) << strict.err;
  EXPECT_NE(strict.err.find(c.says), std::string::npos) << strict.err;
  EXPECT_EQ(strict.err.find('\n'), strict.err.size() - 1) << strict.err;
}

constexpr const char* kPay = "pay-one-off.xml";
constexpr const char* kInvoice = "invoice.xml";
constexpr const char* kBankAccount =
    "Payments/Payment[1]/BankAccounts/BankAccount[1]";

const StrictCase kStrictCases[] = {
    {"UnknownElement", kPay, "<Amount>1250.40</Amount>",
     "<Ammount>1250.40</Ammount>", 9, "Payments/Payment[1]/Ammount (line 7)",
     "is not an element of Payment"},
    {"SecondElement", kPay, "<Amount>1250.40</Amount>",
     "<Amount>1250.40</Amount><Amount>12</Amount>", 9,
     "Payments/Payment[1]/Amount (line 7)", "more than once"},
    {"UnknownFlagWord", kPay, "<PaymentOptions>paymentorder<",
     "<PaymentOptions>paymentorder banktransfer<", 9,
     "Payments/Payment[1]/PaymentOptions (line 6)", "\"banktransfer\""},
    {"FlagSeparator", kPay, "<PaymentOptions>paymentorder<",
     "<PaymentOptions> paymentorder<", 9,
     "Payments/Payment[1]/PaymentOptions (line 6)", "single blanks"},
    {"TextWhereElementsBelong", kPay, "<Payments>", "<Payments>stray", 9,
     "Payments (line 4)", "text where elements belong"},
    {"OtherNamespace", kPay, "<PaymentNote>",
     "<PaymentNote xmlns=\"urn:other\">", 9,
     "Payments/Payment[1]/PaymentNote (line 12)", "namespace"},
    {"NoNamespace", kPay, " xmlns=\"urn:zarnex:document:1\"", "", 9,
     "Pay (line 2)", "not in the document namespace"},
    {"DateNotInCalendar", kPay, "2026-12-21", "2024-02-30", 4,
     "Payments/Payment[1]/PaymentDueDate (line 9)", "day of the calendar"},
    {"NoLeapYear", kPay, "2026-12-21", "2023-02-29", 4,
     "Payments/Payment[1]/PaymentDueDate (line 9)", "day of the calendar"},
    {"IbanCheckDigits", kPay, "SK3112000000198742637541",
     "SK3212000000198742637541", 4, "/IBAN (line 15)", "check digits"},
    {"IbanLength", kPay, "SK3112000000198742637541", "SK311200000019874263754",
     4, "/IBAN (line 15)", "an IBAN of its country has 24"},
    {"Bic", kPay, "TATRSKBX", "TATRQQBX", 4, "/BIC (line 16)", "ISO 9362"},
    {"Currency", kPay, "<CurrencyCode>EUR", "<CurrencyCode>EUX", 4,
     "Payments/Payment[1]/CurrencyCode (line 8)", "ISO 4217"},
    {"Country", kInvoice, "<Country>SVK", "<Country>SVX", 4,
     "SupplierParty/PostalAddress/Country (line 18)", "ISO 3166-1 alpha-3"},
    {"AmountPlaces", kPay, "1250.40", "1250.401234567", 4,
     "Payments/Payment[1]/Amount (line 7)", "eight decimal places"},
};

INSTANTIATE_TEST_SUITE_P(Kinds, StrictRefuses, ::testing::ValuesIn(kStrictCases),
                         [](const auto& info) { return info.param.name; });

TEST(Strict, IbanPathNamesTheAccount) {
  const std::string xml = replaced(testing::read_source_file(
                                       "examples/pay-one-off.xml"),
                                   "SK31", "SK32");
  const auto strict = run_tool({"--strict", "--encode"}, xml);
  EXPECT_NE(strict.err.find(kBankAccount), std::string::npos) << strict.err;
}

const char* const kExamples[] = {
    "pay-one-off.xml",          "pay-several.xml",
    "pay-standing-order.xml",   "pay-direct-debit.xml",
    "invoice.xml",              "invoice-single-line.xml",
    "invoice-foreign-currency.xml", "proforma-invoice.xml",
    "credit-note.xml",          "debit-note.xml",
    "advance-invoice.xml",      "invoice-items.xml",
    "invoice-items-ean.xml",    "invoice-items-full.xml",
    "invoice-items-periods.xml"};

TEST(Strict, AcceptsEveryExampleWithTheSameCode) {
  for (const char* example : kExamples) {
    SCOPED_TRACE(example);
    const std::string xml =
        testing::read_source_file(std::string("examples/") + example);
    const Result plain = encode_xml(xml);
    ASSERT_TRUE(plain.ok()) << plain.error;
    const Result strict = encode_xml(xml, ReadOptions{true});
    EXPECT_TRUE(strict.ok()) << strict.error;
    EXPECT_EQ(strict.output, plain.output);
    EXPECT_TRUE(check_xml(xml, ReadOptions{true}).ok());
    // The JSON form of the example, as decoding writes it.
    const Result json = decode_to_json(plain.output);
    ASSERT_TRUE(json.ok());
    const Result strict_json = encode_json(json.output, ReadOptions{true});
    EXPECT_TRUE(strict_json.ok()) << strict_json.error;
    EXPECT_EQ(strict_json.output, plain.output);
  }
}

// Strict reading accepts the generator's documents of every kind as they
// come and gives the same code as the default reading.
TEST(Strict, AcceptsGeneratedDocuments) {
  for (const bench::Kind kind :
       {bench::Kind::kPay, bench::Kind::kInvoice, bench::Kind::kProformaInvoice,
        bench::Kind::kCreditNote, bench::Kind::kDebitNote, bench::Kind::kAdvanceInvoice,
        bench::Kind::kInvoiceItems}) {
    bench::DocumentGenerator generator(20261211);
    for (int i = 0; i < 150; ++i) {
      const std::string xml = generator.next(kind);
      const Result plain = encode_xml(xml);
      ASSERT_TRUE(plain.ok()) << plain.error;
      const Result strict = encode_xml(xml, ReadOptions{true});
      ASSERT_TRUE(strict.ok()) << strict.error << "\n" << xml;
      EXPECT_EQ(strict.output, plain.output);
    }
  }
}

// A payment order with five different problems: three that only strict
// reading sees and two that the rules refuse.
constexpr char kFiveProblems[] = R"(<?xml version="1.0" encoding="utf-8"?>
<Pay xmlns="urn:zarnex:document:1">
  <Payments>
    <Payment>
      <PaymentOptions>paymentorder banktransfer</PaymentOptions>
      <Ammount>12.50</Ammount>
      <CurrencyCode>EUR</CurrencyCode>
      <PaymentDueDate>2024-02-30</PaymentDueDate>
      <BankAccounts><BankAccount><IBAN>SK3112000000198742637541</IBAN><BIC>TATRSKBX</BIC></BankAccount></BankAccounts>
    </Payment>
    <Payment>
      <PaymentOptions>paymentorder</PaymentOptions>
      <CurrencyCode>EUR</CurrencyCode>
      <VariableSymbol>12A</VariableSymbol>
      <BankAccounts>
        <BankAccount><IBAN>SK3112000000198742637541</IBAN></BankAccount>
      </BankAccounts>
    </Payment>
  </Payments>
</Pay>
)";

TEST(Check, ReportsEveryProblemWithPathAndLine) {
  const auto run = run_tool({"--check", "--strict"}, kFiveProblems);
  EXPECT_EQ(run.status, 9);  // the first problem's code
  EXPECT_EQ(run.out,
            "Payments/Payment[1]/PaymentOptions:5: ERROR_XML: PaymentOptions "
            "holds the unknown word \"banktransfer\".\n"
            "Payments/Payment[1]/Ammount:6: ERROR_XML: Ammount is not an "
            "element of Payment.\n"
            "Payments/Payment[1]/PaymentDueDate:8: ERROR_INVALID_VALUE: "
            "PaymentDueDate is not a day of the calendar (YYYY-MM-DD).\n"
            "Payments/Payment[2]/VariableSymbol:14: ERROR_INVALID_VALUE: "
            "VariableSymbol is invalid. Can contain only digits.\n"
            "Payments/Payment[2]/BankAccounts/BankAccount[1]/BIC:16: "
            "ERROR_INVALID_VALUE: BIC cannot be NULL.\n"
            "5 problems\n");
  EXPECT_EQ(run.err, "");
  // Without --strict only the rules speak; both of their findings remain.
  const auto basic = run_tool({"--check"}, kFiveProblems);
  EXPECT_EQ(basic.status, 4);
  EXPECT_EQ(basic.out.substr(basic.out.rfind('\n', basic.out.size() - 2) + 1),
            "2 problems\n");
  // Encoding stops at the first rule, as it always did.
  const auto encode = run_tool({"--encode"}, kFiveProblems);
  EXPECT_EQ(encode.status, 4);
  EXPECT_NE(encode.err.find("VariableSymbol is invalid."),
            std::string::npos);
}

TEST(Check, ValidDocumentHasNoProblems) {
  const auto run =
      run_tool({"--check", "--strict"},
               testing::read_source_file("examples/invoice-items-full.xml"));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "0 problems\n");
}

TEST(Check, MalformedXmlIsOneProblem) {
  const auto run = run_tool({"--check"}, "<Pay>\n<Payments>\n");
  EXPECT_EQ(run.status, 9);
  EXPECT_EQ(run.out.rfind("(document):", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("\n1 problem\n"), std::string::npos) << run.out;
}

TEST(Check, BulkLinesArePrefixedWithTheirNumber) {
  const std::string good =
      "<Pay xmlns=\"urn:zarnex:document:1\"><Payments><Payment>"
      "<PaymentOptions>paymentorder</PaymentOptions><CurrencyCode>EUR"
      "</CurrencyCode><BankAccounts><BankAccount><IBAN>"
      "SK3112000000198742637541</IBAN><BIC>TATRSKBX</BIC></BankAccount>"
      "</BankAccounts></Payment></Payments></Pay>";
  const std::string bad = replaced(good, "EUR", "EUX");
  const auto run = run_tool({"--check", "--strict", "--lines"},
                            good + "\n\n" + bad + "\n" + good + "\n");
  EXPECT_EQ(run.status, 4);
  EXPECT_EQ(run.out,
            "3: Payments/Payment[1]/CurrencyCode:1: ERROR_INVALID_VALUE: "
            "CurrencyCode is not an active ISO 4217 currency code.\n"
            "1 problem\n");
}

TEST(Check, JsonPaths) {
  const std::string json =
      R"({"type":"Pay","Payments":[{"PaymentOptions":["paymentorder"],)"
      R"("CurrencyCode":"EUR","BankAccounts":[{"IBAN":"SK3112000000198742637541",)"
      R"("BIC":"TATRSKBX"}]},{"PaymentOptions":["paymentorder","wire"],)"
      R"("Amount":1.123456789,"CurrencyCode":"EUR","Colour":"red",)"
      R"("BankAccounts":[{"IBAN":"SK3112000000198742637541"}]}]})";
  const CheckResult result = check_json(json, ReadOptions{true});
  std::vector<std::string> paths;
  for (const Problem& problem : result.problems) {
    paths.push_back(problem.path);
    EXPECT_EQ(problem.line, 0);
  }
  EXPECT_EQ(paths, (std::vector<std::string>{
                       "Payments[2].PaymentOptions", "Payments[2].Amount",
                       "Payments[2].Colour", "Payments[2].BankAccounts[1].BIC"}));
  const auto run = run_tool({"--check", "--json"}, json);
  EXPECT_EQ(run.status, 4);
  EXPECT_EQ(run.out,
            "Payments[2].BankAccounts[1].BIC: ERROR_INVALID_VALUE: BIC cannot "
            "be NULL.\n1 problem\n");
}

// Check mode takes its input and output through the tool's streams: a file
// with --input and --output, and an input that cannot be read is an error
// line and ERROR_STREAM, in bulk mode too.
TEST(Check, UsesTheToolsStreams) {
  const std::string example = std::string(ZARNEX_SOURCE_DIR) + "/examples/invoice.xml";
  char name[] = "/tmp/zarnex-check-XXXXXX";
  ASSERT_NE(mkdtemp(name), nullptr);
  const std::string report = std::string(name) + "/report.txt";
  testing::ToolResult filed = testing::run_tool({"--check", "--input=" + example, "--output=" + report});
  EXPECT_EQ(filed.status, 0) << filed.err;
  EXPECT_EQ(filed.out, "");
  int status = 0;
  EXPECT_EQ(testing::run_shell("cat '" + report + "'", &status), "0 problems\n");
  testing::run_shell("rm -rf '" + std::string(name) + "'", &status);
  for (const char* bulk : {"", " --lines"}) {
    const std::string err = testing::run_shell(
        std::string("'") + ZARNEX_BINARY + "' --check" + bulk + " < / 2>&1; echo \" $?\"",
        &status);
    EXPECT_EQ(err, "ERROR_STREAM: Cannot read standard input: Is a directory. \n 12\n") << bulk;
  }
}

}  // namespace
}  // namespace zarnex
