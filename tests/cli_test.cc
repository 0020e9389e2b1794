// End-to-end runs of the built binary with real standard streams.

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/tool_runner.h"

namespace zarnex::testing {
namespace {

constexpr char kXmlHead[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<Pay xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xsi:type=\"Pay\" xmlns=\"urn:zarnex:document:1\">";

// A payment order of 100 EUR as a typed field-sequence line.
constexpr char kPaySequence[] =
    "0\t0\tINV-1\t1\t1\t100\tEUR\t20150131\t123\t\t\t\ttest\t1\t"
    "SK3112000000198742637541\tTATRSKBX\t0\t0";

constexpr char kPayXml[] =
    "<Payments><Payment><PaymentOptions>paymentorder</PaymentOptions>"
    "<Amount>100</Amount><CurrencyCode>EUR</CurrencyCode>"
    "<PaymentDueDate>2015-01-31</PaymentDueDate>"
    "<VariableSymbol>123</VariableSymbol><PaymentNote>test</PaymentNote>"
    "<BankAccounts><BankAccount><IBAN>SK3112000000198742637541</IBAN>"
    "<BIC>TATRSKBX</BIC></BankAccount></BankAccounts></Payment></Payments></Pay>";

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

std::string EncodeSequence(const std::string& line) {
  ToolResult r = run_tool({"--sequence"}, line);
  EXPECT_EQ(r.status, 0) << r.err;
  return r.out;
}

// The XML of an example document on one line, as bulk input wants it.
std::string OneLine(std::string xml) {
  for (char& c : xml)
    if (c == '\n' || c == '\r') c = ' ';
  return xml;
}

void ExpectWellFormed(const std::string& xml) {
  int status = 0;
  run_shell("command -v xmllint >/dev/null", &status);
  if (status != 0) GTEST_SKIP() << "xmllint is not installed";
  // A file of its own: ctest runs the tests of this file in parallel.
  char name[] = "/tmp/zarnex-wellformed-XXXXXX";
  int fd = mkstemp(name);
  ASSERT_GE(fd, 0);
  std::string path = name;
  FILE* f = fdopen(fd, "wb");
  ASSERT_NE(f, nullptr);
  fwrite(xml.data(), 1, xml.size(), f);
  fclose(f);
  run_shell("xmllint --noout " + path + " 2>&1", &status);
  EXPECT_EQ(status, 0) << xml;
  std::remove(path.c_str());
}

TEST(CommandLine, UsageWithoutArguments) {
  ToolResult r = run_tool({}, "never read");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  const std::string kUsage =
      "Zarnex encoder tool. Version: 1.0.10\n"
      "\nReads standard input and writes result to standard output. \n"
      "\nIf any error occur, error message will be written to standard error output. \n"
      "\nNOTE: Without closing the standard input, the tool will hang waiting. A "
      "workaround for this, is to write a EOT (byte with value 4) and EOL (new "
      "line) to the end of the input stream. \n"
      "\nUsage win32: zarnex.exe [optoins] > output\n"
      "\nUsage linux: ./zarnex [optoins] > output\n"
      "\n--encode\tshort: -e\n"
      "\tEncodes XML to base32hex string. Reads standard input.\n"
      "\n--encode=\"<Pay xsi:type='Pay'>...</Pay>\tshort: -e=\"<Pay xsi:type='Pay'>...</Pay>\n"
      "\tEncodes XML to base32hex string. Make sure all special chars are properly escaped.\n"
      "\n--decode\tshort: -d\n"
      "\tDecodes base32hex string to XML. Reads standard input.\n"
      "\n--decode=\"<BASE32HEXSTRING>\"\tshort: -d=\"<BASE32HEXSTRING>\"\n"
      "\tDecodes base32hex string to XML. Make sure all special chars are properly escaped.\n"
      "\n--sequence\tshort: -s\n"
      "\tEncode sequence to base32hex. Reads standard input, sequences are "
      "separate by new line. Use with parameter --lines.\n"
      "\n--sequence=\"<SEQUENCE>\"\tshort: -s=\"<SEQUENCE>\"\n"
      "\tEncodes sequence to base32hex. Make sure all special chars are properly escaped.\n"
      "\n--lines\tshort: -l\n"
      "\tFor bulk processing, reads data from standard input separated by newline.\n"
      "\n--invoice_id\tshort: -i\n"
      "\tPrint invoice id before base32hex separated by tab. Can be used with "
      "parameters --sequence and --lines.\n"
      "\n--format_stderr\tshort: -f\n"
      "\tPrint errors as: <timestamp>\\t<input>\\t<error>\\n\n";
  EXPECT_EQ(r.out, kUsage);
}

TEST(CommandLine, HelpAndVersion) {
  ToolResult usage = run_tool(std::vector<std::string>{});
  ToolResult help = run_tool({"--help"});
  EXPECT_EQ(help.status, 0);
  ASSERT_GT(help.out.size(), usage.out.size());
  EXPECT_EQ(help.out.substr(0, usage.out.size()), usage.out);
  EXPECT_NE(help.out.find("\n--version\tshort: -v\n"), std::string::npos);
  ToolResult version = run_tool({"-V"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "zarnex 1.0.10\n");
  int status = 0;
  run_shell("command -v man >/dev/null", &status);
  if (status == 0) {
    std::string page = run_shell("MANWIDTH=80 man -l " + std::string(ZARNEX_SOURCE_DIR) +
                                     "/zarnex.1 2>&1",
                                 &status);
    EXPECT_EQ(status, 0) << page;
    for (const char* name : {"--encode", "--decode", "--sequence", "--lines",
                             "--invoice_id", "--format_stderr", "--help", "--version",
                             "ERROR_XML", "EXIT STATUS"})
      EXPECT_NE(page.find(name), std::string::npos) << name;
  }
}

TEST(CommandLine, OptionErrors) {
  ToolResult unknown = run_tool({"--foo=bar"});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_EQ(unknown.out, "");
  EXPECT_EQ(unknown.err, "Unknown argument --foo. \n");
  ToolResult missing = run_tool({"-i", "-f"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "Missing argument --encode or --decode. \n");
}

TEST(CommandLine, SequenceToCodeAndBack) {
  std::string code = EncodeSequence(kPaySequence);
  ASSERT_FALSE(code.empty());
  EXPECT_EQ(code[0], '0');
  EXPECT_EQ(code.find_first_not_of("0123456789ABCDEFGHIJKLMNOPQRSTUV"),
            std::string::npos);
  ToolResult decoded = run_tool({"--decode=" + code});
  EXPECT_EQ(decoded.status, 0) << decoded.err;
  EXPECT_EQ(decoded.out,
            std::string(kXmlHead) + "<InvoiceID>INV-1</InvoiceID>" + kPayXml);
  // The same code from standard input, cut by an EOT.
  ToolRun run;
  run.args = {"-D"};
  run.input = code + "\x04\n";
  run.keep_stdin_open = true;
  run.timeout_seconds = 20;
  ToolResult eot = run_tool(run);
  EXPECT_EQ(eot.status, 0) << eot.err;
  EXPECT_EQ(eot.out, decoded.out);
  // The sequence given as the option's value.
  ToolResult value = run_tool({std::string("--sequence=") + kPaySequence});
  EXPECT_EQ(value.status, 0) << value.err;
  EXPECT_EQ(value.out, code);
}

TEST(CommandLine, CodeFollowedByNewlineFails) {
  std::string code = EncodeSequence(kPaySequence);
  ToolResult r = run_tool({"-d"}, code + "\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "ERROR_BASE32HEX: Invalid base32hex string.  \n");
}

TEST(CommandLine, ErrorLineFormats) {
  ToolResult plain = run_tool({"-d=ABC"});
  EXPECT_EQ(plain.status, 8);
  EXPECT_EQ(plain.err, "ERROR_UNKNOWN_DOCUMENT: Header not found.  \n");
  ToolResult stamped = run_tool({"-f", "-d"}, "AB\nC");
  EXPECT_EQ(stamped.status, 1);
  std::regex line(
      "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.000\tAB\nC\t"
      "ERROR_BASE32HEX: Invalid base32hex string.  \n");
  EXPECT_TRUE(std::regex_match(stamped.err, line)) << stamped.err;
}

TEST(CommandLine, MalformedSequencePrefix) {
  const struct {
    std::string input;
    std::string shown;  // the text from where the prefix went wrong
  } kCases[] = {
      {"3\t0\tX", "0\tX"},
      {"0\t5\tX", "5\tX"},
      {"0\t\tX", "X"},
      {"01\tX", "X"},
      {"0\t1\tX", "1\tX"},  // a Pay has no sub-kinds
      {"2\t3\tX", "3\tX"},
      {"", ""},
  };
  for (const auto& c : kCases) {
    ToolResult r = run_tool({"-s"}, c.input);
    EXPECT_EQ(r.status, 5) << c.input;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "bad input format \n " + c.shown +
                  " \n\nBad format input dataERROR_BAD_FORMAT: Malformed line "
                  "prefix: expected a type digit 0 to 2, a tab, a sub-kind "
                  "digit 0 to 4 and a tab.  \n")
        << c.input;
  }
}

TEST(CommandLine, EmptyAndGarbageInput) {
  ToolResult empty_code = run_tool({"-d"}, "");
  EXPECT_EQ(empty_code.status, 8);
  EXPECT_EQ(empty_code.err, "ERROR_UNKNOWN_DOCUMENT: Header not found.  \n");
  ToolResult empty_xml = run_tool({"-e"}, "");
  EXPECT_EQ(empty_xml.status, 9);
  EXPECT_EQ(empty_xml.err, "ERROR_XML: Getting root element error \n");
  std::string garbage;
  for (int i = 0; i < 100000; ++i) garbage.push_back(static_cast<char>((i * 7919) >> 3));
  for (const char* mode : {"-d", "-e", "-s"}) {
    ToolResult r = run_tool({mode}, garbage);
    EXPECT_NE(r.status, 0) << mode;
    EXPECT_EQ(r.out, "") << mode;
    EXPECT_FALSE(r.err.empty()) << mode;
  }
}

TEST(CommandLine, SequenceNumbersMustBeWellFormed) {
  std::string line = kPaySequence;
  line.replace(line.find("\t100\t"), 5, "\t12x\t");
  ToolResult r = run_tool({"-s"}, line);
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err, "ERROR_INVALID_VALUE: Amount is a malformed number. \n");
  EXPECT_EQ(r.out, "");
}

// A sequence line must hold text that the decoded XML can carry; otherwise
// the code would decode to XML that no parser accepts.
TEST(CommandLine, SequenceTextsMustBeUtf8) {
  const struct {
    std::string note;
    int field;
  } cases[] = {
      {"Caf\xE9", 11},        // Latin-1
      {"bell\x07", 11},       // a control character
      {"\xEF\xBF\xBF", 11},    // U+FFFF
  };
  for (const auto& c : cases) {
    std::string line = kPaySequence;
    line.replace(line.find("\ttest\t") + 1, 4, c.note);
    ToolResult r = run_tool({"-s"}, line);
    EXPECT_EQ(r.status, 4) << c.note;
    EXPECT_EQ(r.err, "ERROR_INVALID_VALUE: Field " + std::to_string(c.field) +
                         " is not UTF-8 text without control characters. \n");
    EXPECT_EQ(r.out, "");
  }
  // Well-formed non-ASCII text and a carriage return are carried and come
  // back unchanged.
  std::string line = kPaySequence;
  line.replace(line.find("\ttest\t") + 1, 4, "\xC5\xBDiga\r\xE2\x82\xAC");
  std::string code = EncodeSequence(line);
  ToolResult decoded = run_tool({"-d"}, code);
  EXPECT_EQ(decoded.status, 0) << decoded.err;
  EXPECT_NE(decoded.out.find("<PaymentNote>\xC5\xBDiga&#13;\xE2\x82\xAC</PaymentNote>"),
            std::string::npos) << decoded.out;
  ExpectWellFormed(decoded.out);
}

TEST(CommandLine, InvoiceIdInFront) {
  ToolResult with_id = run_tool({"-s", "-i"}, kPaySequence);
  EXPECT_EQ(with_id.status, 0) << with_id.err;
  EXPECT_EQ(with_id.out, "INV-1\t" + EncodeSequence(kPaySequence));
  // Without an InvoiceID the code is not printed and the error names it.
  std::string no_id = kPaySequence;
  no_id.replace(no_id.find("INV-1"), 5, "");
  ToolResult missing = run_tool({"-i", "-s"}, no_id);
  EXPECT_EQ(missing.status, 254);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "ERROR_NULL_POINTER: InvoiceID cannot be NULL. \n");
}

TEST(CommandLine, ExamplesRoundTrip) {
  for (const char* path : kExamples) {
    std::string xml = read_source_file(path);
    ASSERT_FALSE(xml.empty()) << path;
    ToolResult encoded = run_tool({"--encode"}, xml);
    ASSERT_EQ(encoded.status, 0) << path << ": " << encoded.err;
    ToolResult decoded = run_tool({"--decode"}, encoded.out + "\x04\n");
    ASSERT_EQ(decoded.status, 0) << path << ": " << decoded.err;
    EXPECT_EQ(decoded.out.find('\n'), std::string::npos) << path;
    ExpectWellFormed(decoded.out);
    // The decoded text is canonical: encoding it again gives a code that
    // decodes to the same text.
    ToolResult again = run_tool({"-e"}, decoded.out);
    ASSERT_EQ(again.status, 0) << path << ": " << again.err;
    ToolResult twice = run_tool({"-d=" + again.out});
    EXPECT_EQ(twice.out, decoded.out) << path;
  }
}

TEST(CommandLine, KindsAndSubKinds) {
  const struct {
    const char* path;
    char first;
    const char* root;
  } kCases[] = {
      {"examples/pay-one-off.xml", '0', "<Pay xmlns:xsi="},
      {"examples/invoice.xml", '2', "xsi:type=\"Invoice\""},
      {"examples/proforma-invoice.xml", '2', "xsi:type=\"ProformaInvoice\""},
      {"examples/credit-note.xml", '2', "xsi:type=\"CreditNote\""},
      {"examples/debit-note.xml", '2', "xsi:type=\"DebitNote\""},
      {"examples/advance-invoice.xml", '2', "xsi:type=\"AdvanceInvoice\""},
      {"examples/invoice-items.xml", '4', "xsi:type=\"InvoiceItems\""},
  };
  for (const auto& c : kCases) {
    ToolResult encoded = run_tool({"-e"}, read_source_file(c.path));
    ASSERT_EQ(encoded.status, 0) << c.path << ": " << encoded.err;
    EXPECT_EQ(encoded.out[0], c.first) << c.path;
    ToolResult decoded = run_tool({"-d=" + encoded.out});
    EXPECT_NE(decoded.out.find(c.root), std::string::npos) << decoded.out;
  }
}

TEST(CommandLine, DecodedInvoiceCarriesDerivedAmounts) {
  std::string xml = read_source_file("examples/invoice-foreign-currency.xml");
  // A supplied derived amount is not read; decoding computes it.
  std::string tampered = xml;
  tampered.replace(tampered.find("<PayableRoundingAmount>"), 0,
                   "<PayableAmount>1</PayableAmount>");
  ToolResult encoded = run_tool({"-e"}, tampered);
  ASSERT_EQ(encoded.status, 0) << encoded.err;
  EXPECT_EQ(encoded.out, run_tool({"-e"}, xml).out);
  ToolResult decoded = run_tool({"-d=" + encoded.out});
  ASSERT_EQ(decoded.status, 0) << decoded.err;
  // 8200 + 1886 + 540.5 + 54.05 + 75 - (2000 + 460) - 500 - 0.05
  EXPECT_NE(decoded.out.find("<PayableAmount>7795.5</PayableAmount>"),
            std::string::npos)
      << decoded.out;
  EXPECT_NE(decoded.out.find("<TaxInclusiveAmount>10086</TaxInclusiveAmount>"),
            std::string::npos);
  EXPECT_NE(decoded.out.find("<DifferenceTaxInclusiveAmount>7626</DifferenceTaxInclusiveAmount>"),
            std::string::npos);

  ToolResult items = run_tool({"-e"}, read_source_file("examples/invoice-items.xml"));
  ToolResult items_xml = run_tool({"-d=" + items.out});
  EXPECT_NE(items_xml.out.find("<UnitPriceTaxInclusiveAmount>159.78</UnitPriceTaxInclusiveAmount>"
                               "<UnitPriceTaxAmount>29.88</UnitPriceTaxAmount>"
                               "<LineTaxExclusiveAmount>779.4</LineTaxExclusiveAmount>"
                               "<LineTaxInclusiveAmount>958.68</LineTaxInclusiveAmount>"
                               "<LineTaxAmount>179.28</LineTaxAmount>"),
            std::string::npos)
      << items_xml.out;
}

TEST(CommandLine, SequenceLimit) {
  // The example's field sequence is exactly 550 bytes long.
  std::string xml = read_source_file("examples/invoice-items-full.xml");
  EXPECT_EQ(run_tool({"-e"}, xml).status, 0);
  xml.replace(xml.find("30.5 cm"), 7, "30.55 cm");
  ToolResult r = run_tool({"-e"}, xml);
  EXPECT_EQ(r.status, 7);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "ERROR_SEQUENCE_LIMIT_EXCEEDED: Sequence limit exceeded. \n");
}

TEST(CommandLine, XmlErrors) {
  ToolResult broken = run_tool({"-e"}, "<Pay>\n<InvoiceID>1</InvoiceID>\n");
  EXPECT_EQ(broken.status, 9);
  EXPECT_EQ(broken.out, "");
  EXPECT_EQ(broken.err.rfind("ERROR_XML: Getting root element error\n ", 0), 0u)
      << broken.err;
  EXPECT_NE(broken.err.find(" line:3,\n"), std::string::npos) << broken.err;
  ToolResult unknown_root = run_tool({"-e"}, "<pay/>");
  EXPECT_EQ(unknown_root.status, 254);
  EXPECT_EQ(unknown_root.err, "ERROR_NULL_POINTER: Document cannot be null.  \n");
  ToolResult wrong_type = run_tool(
      {"-e"},
      "<Pay xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
      "xsi:type=\"Invoice\"/>");
  EXPECT_EQ(wrong_type.status, 9);
  EXPECT_EQ(wrong_type.err,
            "ERROR_XML: Attribute 'type' in root element has invalid value. \n");
  ToolResult no_id = run_tool({"-e", "-i"},
                              read_source_file("examples/pay-standing-order.xml"));
  EXPECT_EQ(no_id.status, 254);
  EXPECT_EQ(no_id.out, "");
  EXPECT_EQ(no_id.err, "ERROR_NULL_POINTER: InvoiceID cannot be NULL. \n");
}

TEST(CommandLine, HostileXmlIsHarmless) {
  const std::string kBomb =
      "<?xml version=\"1.0\"?><!DOCTYPE Pay ["
      "<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">"
      "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
      "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
      "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
      "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">"
      "<!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">"
      "<!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">"
      "<!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\">"
      "<!ENTITY i \"&h;&h;&h;&h;&h;&h;&h;&h;&h;&h;\">"
      "]><Pay><InvoiceID>&i;</InvoiceID></Pay>";
  ToolRun bomb;
  bomb.args = {"-e"};
  bomb.input = kBomb;
  bomb.timeout_seconds = 20;
  ToolResult r = run_tool(bomb);
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.status, -1) << "did not finish";
  EXPECT_EQ(r.out, "");

  const std::string kExternal =
      "<?xml version=\"1.0\"?><!DOCTYPE Pay ["
      "<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
      "<Pay><InvoiceID>&x;</InvoiceID><Payments><Payment>"
      "<PaymentOptions>paymentorder</PaymentOptions><CurrencyCode>EUR</CurrencyCode>"
      "<BankAccounts><BankAccount><IBAN>SK3112000000198742637541</IBAN>"
      "<BIC>TATRSKBX</BIC></BankAccount></BankAccounts></Payment></Payments></Pay>";
  ToolResult ext = run_tool({"-e", "-i"}, kExternal);
  EXPECT_EQ(ext.out.find("root:"), std::string::npos);
  EXPECT_EQ(ext.err.find("root:"), std::string::npos);
  if (ext.status == 0) {
    ToolResult back = run_tool({"-d=" + ext.out.substr(ext.out.find('\t') + 1)});
    EXPECT_EQ(back.out.find("root:"), std::string::npos);
  }
}

TEST(BulkMode, OneResultPerLine) {
  std::string code = EncodeSequence(kPaySequence);
  std::string input = code + "\n\n   \n" + code + "\r\nNOT-A-CODE\n" + code;
  ToolResult r = run_tool({"--decode", "--lines"}, input);
  EXPECT_EQ(r.status, 0);
  std::string xml = std::string(kXmlHead) + "<InvoiceID>INV-1</InvoiceID>" + kPayXml;
  EXPECT_EQ(r.out, xml + "\n" + xml + "\n" + xml + "\n");
  EXPECT_EQ(r.err, "ERROR_BASE32HEX: Invalid base32hex string.  \n");
}

TEST(BulkMode, SequencesWithIdsAndStampedErrors) {
  std::string input = std::string(kPaySequence) + "\n9\t0\tX\n" + kPaySequence + "\n";
  ToolResult r = run_tool({"-s", "-l", "-i", "-f"}, input);
  EXPECT_EQ(r.status, 0);
  std::string line = "INV-1\t" + EncodeSequence(kPaySequence) + "\n";
  EXPECT_EQ(r.out, line + line);
  std::regex err(
      "bad input format \n 9\t0\tX \n\nBad format input data"
      "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.000\t9\t0\tX\tERROR_BAD_FORMAT: "
      "Malformed line prefix: [^\n]*\n");
  EXPECT_TRUE(std::regex_match(r.err, err)) << r.err;
}

TEST(BulkMode, ExamplesAsLines) {
  std::string input;
  for (const char* path : kExamples) input += OneLine(read_source_file(path)) + "\n";
  ToolResult codes = run_tool({"-e", "-l"}, input);
  ASSERT_EQ(codes.status, 0);
  EXPECT_EQ(codes.err, "");
  ToolResult xml = run_tool({"-d", "-l"}, codes.out);
  EXPECT_EQ(xml.err, "");
  std::size_t lines = 0;
  for (char c : xml.out) lines += c == '\n';
  EXPECT_EQ(lines, std::size(kExamples));
  ToolResult again = run_tool({"-e", "-l"}, xml.out);
  EXPECT_EQ(again.out, codes.out);
}

TEST(BulkMode, HostileLinesDoNotStopTheRun) {
  std::string code = EncodeSequence(kPaySequence);
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>(i * 37 + 1));
  for (char& c : binary)
    if (c == '\n') c = 'x';
  std::string input = std::string(1 << 20, 'A') + "\n" + binary + "\n" + code + "\n";
  for (const char* mode : {"-d", "-e", "-s"}) {
    ToolResult r = run_tool({mode, "-l"}, input);
    EXPECT_EQ(r.status, 0) << mode;
    std::size_t errors = 0;
    for (char c : r.err) errors += c == '\n';
    if (std::string(mode) == "-d") {
      EXPECT_EQ(errors, 2u);
      EXPECT_EQ(r.out.find('\n'), r.out.size() - 1);  // the one good code
    }
  }
  ToolResult blank = run_tool({"-d", "-l"}, "\n  \n\t\n\x04\n");
  EXPECT_EQ(blank.status, 0);
  EXPECT_EQ(blank.out, "");
  EXPECT_EQ(blank.err, "");
}

TEST(BulkMode, AnswersEachLineBeforeTheNextArrives) {
  signal(SIGPIPE, SIG_IGN);
  std::string code = EncodeSequence(kPaySequence);
  int in[2], out[2];
  ASSERT_EQ(pipe(in), 0);
  ASSERT_EQ(pipe(out), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  for (int fd : {in[0], in[1], out[0], out[1]})
    posix_spawn_file_actions_addclose(&actions, fd);
  std::string binary = ZARNEX_BINARY;
  std::string decode = "-d", lines = "-l";
  char* argv[] = {binary.data(), decode.data(), lines.data(), nullptr};
  pid_t pid;
  ASSERT_EQ(posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv, nullptr), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  // Like a caller that keeps the tool running as a coprocess: each answer
  // must come while the input stays open.
  for (int i = 0; i < 3; ++i) {
    std::string line = code + "\n";
    ASSERT_EQ(write(in[1], line.data(), line.size()), static_cast<ssize_t>(line.size()));
    std::string answer = read_line_within_10s(out[0]);
    EXPECT_EQ(answer.rfind("<?xml", 0), 0u) << i << ": " << answer;
  }
  close(in[1]);
  int status = 0;
  waitpid(pid, &status, 0);
  close(out[0]);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(BulkMode, TenThousandLinesInOrder) {
  std::string input;
  for (int i = 0; i < 10000; ++i) {
    input += "0\t0\tID-" + std::to_string(i) +
             "\t1\t1\t" + std::to_string(i) + ".5\tEUR\t\t\t\t\t\t\t1\t"
             "SK3112000000198742637541\tTATRSKBX\t0\t0\n";
  }
  ToolResult r = run_tool({"-s", "-i", "-l"}, input);
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  std::size_t start = 0;
  for (int i = 0; i < 10000; ++i) {
    std::size_t end = r.out.find('\n', start);
    ASSERT_NE(end, std::string::npos) << i;
    std::string id = "ID-" + std::to_string(i) + "\t";
    ASSERT_EQ(r.out.compare(start, id.size(), id), 0) << i;
    start = end + 1;
  }
  EXPECT_EQ(start, r.out.size());
}

}  // namespace
}  // namespace zarnex::testing
