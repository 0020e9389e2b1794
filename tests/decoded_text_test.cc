// The text of decoded documents: a code made by another program may carry
// strings that XML cannot hold (control bytes, bytes that are not UTF-8);
// such a code is refused with an error naming the element instead of being
// decoded to XML that no parser reads. Line ends in strings are written as
// character references, so that a decoded document is one line and a bulk
// decode writes one line per code. An InvoiceID put in front of its code
// (-i) must not hold a tab or a line end, which would break that line.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "code/base32hex.h"
#include "code/crc32.h"
#include "code/field_sequence.h"
#include "code/payload.h"
#include "model/document.h"
#include "tests/sealed_code.h"
#include "tests/tool_runner.h"
#include "xml/xml.h"
#include "zarnex/zarnex.hpp"

namespace zarnex::testing {
namespace {

// The fields of a payment order of 100 EUR; its PaymentNote is "test".
constexpr char kPayValues[] =
    "INV-1\t1\t1\t100\tEUR\t20150131\t123\t\t\t\ttest\t1\t"
    "SK3112000000198742637541\tTATRSKBX\t0\t0";

std::string NotText(std::string_view element) {
  return "ERROR_INVALID_VALUE: " + std::string(element) +
         " is not UTF-8 text without control characters. \n";
}

constexpr char kIdBreaksLine[] =
    "ERROR_INVALID_VALUE: InvoiceID holds a tab or a line break and cannot "
    "stand in front of the code. \n";

std::string Replaced(std::string text, std::string_view what,
                     std::string_view with) {
  const std::size_t at = text.find(what);
  EXPECT_NE(at, std::string::npos) << what;
  if (at != std::string::npos) text.replace(at, what.size(), with);
  return text;
}

// A payment order's code with @a note as its PaymentNote.
std::string PayCode(std::string_view note) {
  return seal_code(0x00, 0x00, Replaced(kPayValues, "\ttest\t",
                                   "\t" + std::string(note) + "\t"));
}

// The code of the example invoice with @a street as the supplier's street.
std::string InvoiceCode(std::string_view street) {
  DocumentPtr invoice;
  EXPECT_EQ(xml::document_from_xml(read_source_file("examples/invoice.xml"),
                                   &invoice),
            0);
  code::FieldSequence sequence;
  EXPECT_EQ(code::write_document(sequence, invoice.get()), 0);
  return seal_code(invoice->header.byte0, invoice->header.byte1,
              Replaced(code::join(sequence), "\tObchodn\xC3\xA1\t",
                       "\t" + std::string(street) + "\t"));
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// Strings that XML cannot carry, as they would stand in a field.
std::vector<std::string> UnwritableTexts() {
  std::vector<std::string> texts;
  // Every control byte but the tab, the line feed and the carriage return.
  // A NUL ends the field sequence, so it never reaches a string.
  for (int c = 1; c < 0x20; ++c) {
    if (c == '\t' || c == '\n' || c == '\r') continue;
    texts.push_back(std::string("note ") + static_cast<char>(c) + " end");
  }
  for (const char* bad : {
           "lone \x80 continuation",
           "truncated \xE2\x82",      // a three-byte character cut short
           "truncated at the end \xC3",
           "overlong \xC0\xAF",        // '/' in two bytes
           "overlong \xE0\x80\xAF",
           "surrogate \xED\xA0\x80",   // U+D800
           "beyond \xF4\x90\x80\x80",  // U+110000
           "not a character \xEF\xBF\xBF",
           "Caf\xE9 in Latin-1",
       })
    texts.emplace_back(bad);
  return texts;
}

// Writes @a xml to a file of its own and runs xmllint on it with @a options;
// returns what xmllint printed. Skips when xmllint is not there.
std::string Xmllint(const std::string& xml, const std::string& options,
                    int* status) {
  char name[] = "/tmp/zarnex-decoded-XXXXXX";
  const int fd = mkstemp(name);
  EXPECT_GE(fd, 0);
  std::FILE* f = fdopen(fd, "wb");
  std::fwrite(xml.data(), 1, xml.size(), f);
  std::fclose(f);
  std::string out =
      run_shell("xmllint " + options + " " + name + " 2>&1", status);
  std::remove(name);
  return out;
}

// The text of the PaymentNote element of @a xml as a parser reads it, or
// what xmllint said when it could not read the document.
std::string NoteAsParsed(const std::string& xml) {
  int status = 0;
  // Brackets around the value keep its line ends apart from xmllint's own.
  std::string out = Xmllint(
      xml,
      "--xpath 'concat(\"[\", string(//*[local-name()=\"PaymentNote\"]), "
      "\"]\")'",
      &status);
  EXPECT_EQ(status, 0) << out;
  const std::size_t open = out.find('['), close = out.rfind(']');
  if (status != 0 || open == std::string::npos || close == std::string::npos)
    return out;
  return out.substr(open + 1, close - open - 1);
}

bool HaveXmllint() {
  int status = 0;
  run_shell("command -v xmllint >/dev/null", &status);
  return status == 0;
}

TEST(DecodedText, StringsXmlCannotCarryAreRefused) {
  std::vector<std::string> bulk_codes;
  std::string bulk_errors;
  const std::string good = PayCode("test");
  const std::string good_xml = run_tool({"-d"}, good).out;
  ASSERT_FALSE(good_xml.empty());
  for (const std::string& text : UnwritableTexts()) {
    SCOPED_TRACE(::testing::PrintToString(text));
    struct {
      std::string code;
      const char* element;
    } cases[] = {
        {PayCode(text), "PaymentNote"},
        {seal_code(0x00, 0x00, Replaced(kPayValues, "INV-1", text)), "InvoiceID"},
        {InvoiceCode(text), "StreetName"},
    };
    for (const auto& c : cases) {
      ToolResult r = run_tool({"-d"}, c.code);
      EXPECT_EQ(r.status, 4);
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, NotText(c.element));

      // The library call says the same.
      Result decoded = decode(c.code);
      EXPECT_EQ(decoded.status, 4);
      EXPECT_EQ(decoded.output, "");
      EXPECT_EQ(decoded.error + "\n", NotText(c.element));

      bulk_codes.push_back(c.code);
      bulk_codes.push_back(good);
      bulk_errors += NotText(c.element);
    }
  }
  // A bulk run leaves the refused codes out and goes on with the next.
  ToolResult bulk = run_tool({"-d", "-l"}, Lines(bulk_codes));
  EXPECT_EQ(bulk.status, 0);
  EXPECT_EQ(bulk.err, bulk_errors);
  std::string expected;
  for (std::size_t i = 0; i < bulk_codes.size() / 2; ++i)
    expected += good_xml + "\n";
  EXPECT_EQ(bulk.out, expected);
}

TEST(DecodedText, WellFormedUtf8DecodesUnchanged) {
  const std::string kTexts[] = {
      "\xC5\xBDiga \xC4\x8C" "evljarna d.o.o.",       // two-byte characters
      "M\xC3\xBCller & S\xC3\xB6hne <GmbH>",          // with escapes
      "\xE2\x80\x9EGr\xC3\xBCn\xE2\x80\x9C \xE2\x82\xAC 12",  // three-byte
      "smile \xF0\x9F\x98\x80, last \xF4\x8F\xBF\xBF",  // four-byte
  };
  for (const std::string& text : kTexts) {
    SCOPED_TRACE(text);
    ToolResult r = run_tool({"-d"}, PayCode(text));
    ASSERT_EQ(r.status, 0) << r.err;
    std::string escaped;
    for (char c : text) {
      if (c == '&') escaped += "&amp;";
      else if (c == '<') escaped += "&lt;";
      else if (c == '>') escaped += "&gt;";
      else escaped += c;
    }
    EXPECT_NE(r.out.find("<PaymentNote>" + escaped + "</PaymentNote>"),
              std::string::npos)
        << r.out;
    if (HaveXmllint()) {
      EXPECT_EQ(NoteAsParsed(r.out), text);
    }
  }
}

TEST(DecodedText, LineEndsAreReferencesAndEachDocumentIsOneLine) {
  const std::string note = "first line\nsecond\r\nthird\n";
  const std::string code = PayCode(note);
  ToolResult single = run_tool({"-d"}, code);
  ASSERT_EQ(single.status, 0) << single.err;
  EXPECT_EQ(single.out.find_first_of("\r\n"), std::string::npos) << single.out;
  EXPECT_NE(single.out.find(
                "<PaymentNote>first line&#10;second&#13;&#10;third&#10;"
                "</PaymentNote>"),
            std::string::npos)
      << single.out;

  // A parser reads the line ends back.
  if (HaveXmllint()) {
    EXPECT_EQ(NoteAsParsed(single.out), note);
  }
  // The decoded XML encodes to a code that decodes to it again.
  ToolResult again = run_tool({"-e"}, single.out);
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(run_tool({"-d"}, again.out).out, single.out);

  // One output line per code, each a whole document.
  const std::string plain = PayCode("plain");
  const std::string invoice = InvoiceCode("Street\nwith a line feed");
  ToolResult bulk = run_tool({"-d", "-l"},
                             Lines({code, plain, invoice, code}));
  EXPECT_EQ(bulk.status, 0);
  EXPECT_EQ(bulk.err, "");
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < bulk.out.size();) {
    std::size_t end = bulk.out.find('\n', start);
    if (end == std::string::npos) end = bulk.out.size();
    lines.push_back(bulk.out.substr(start, end - start));
    start = end + 1;
  }
  ASSERT_EQ(lines.size(), 4u) << bulk.out;
  EXPECT_EQ(bulk.out.back(), '\n');
  EXPECT_EQ(lines[0], single.out);
  EXPECT_EQ(lines[3], single.out);
  EXPECT_EQ(lines[1], run_tool({"-d"}, plain).out);
  EXPECT_NE(lines[2].find("<StreetName>Street&#10;with a line feed</StreetName>"),
            std::string::npos);
  if (HaveXmllint()) {
    for (const std::string& line : lines) {
      int status = 0;
      std::string messages = Xmllint(line, "--noout", &status);
      EXPECT_EQ(status, 0) << messages;
    }
  }
}

// The example payment order with @a id (XML text) as its InvoiceID.
std::string PayXmlWithId(std::string_view id) {
  std::string xml = read_source_file("examples/pay-one-off.xml");
  const std::size_t start = xml.find("<InvoiceID>") + 11;
  xml.replace(start, xml.find("</InvoiceID>") - start, id);
  return xml;
}

TEST(DecodedText, InvoiceIdInFrontMustKeepItsLine) {
  // A tab, a line feed or a carriage return, as references and as they are
  // (a carriage return as it is would be read as a line feed).
  for (const char* id : {"FV&#9;1", "FV\t1", "FV&#10;1", "FV\n1", "FV&#13;1"}) {
    SCOPED_TRACE(::testing::PrintToString(std::string(id)));
    const std::string xml = PayXmlWithId(id);
    ToolResult with_id = run_tool({"-e", "-i"}, xml);
    EXPECT_EQ(with_id.status, 4);
    EXPECT_EQ(with_id.out, "");
    EXPECT_EQ(with_id.err, kIdBreaksLine);
    Result library = encode_xml(xml, true);
    EXPECT_EQ(library.status, 4);
    EXPECT_EQ(library.error + "\n", kIdBreaksLine);

    // Without -i the id is a value like any other.
    ToolResult code = run_tool({"-e"}, xml);
    EXPECT_EQ(code.status, 0) << code.err;
    EXPECT_EQ(code.out, encode_xml(xml).output);
    EXPECT_EQ(run_tool({"-d"}, code.out).status, 0);
  }
  auto one_line = [](std::string xml) {
    for (char& c : xml)
      if (c == '\n') c = ' ';
    return xml;
  };
  const std::string good = one_line(PayXmlWithId("FV-1"));
  ToolResult bulk = run_tool({"-e", "-i", "-l"},
                             Lines({one_line(PayXmlWithId("FV&#10;1")), good}));
  EXPECT_EQ(bulk.status, 0);
  EXPECT_EQ(bulk.out, "FV-1\t" + encode_xml(good).output + "\n");
  EXPECT_EQ(bulk.err, kIdBreaksLine);

  // A field-sequence line cannot hold a tab in a field, but a line end.
  const std::string sequence = std::string("0\t0\t") + kPayValues;
  for (const char* id : {"INV\r1", "INV\n1", "INV-1\r"}) {
    SCOPED_TRACE(::testing::PrintToString(std::string(id)));
    const std::string line = Replaced(sequence, "INV-1", id);
    ToolResult with_id = run_tool({"-s", "-i"}, line);
    EXPECT_EQ(with_id.status, 4);
    EXPECT_EQ(with_id.out, "");
    EXPECT_EQ(with_id.err, kIdBreaksLine);
    ToolResult code = run_tool({"-s"}, line);
    EXPECT_EQ(code.status, 0) << code.err;
    EXPECT_EQ(code.out, encode_sequence(line).output);
    EXPECT_FALSE(code.out.empty());
  }
  ToolResult sequence_bulk =
      run_tool({"-s", "-i", "-l"},
               Lines({Replaced(sequence, "INV-1", "INV\r1"), sequence}));
  EXPECT_EQ(sequence_bulk.status, 0);
  EXPECT_EQ(sequence_bulk.out,
            "INV-1\t" + encode_sequence(sequence).output + "\n");
  EXPECT_EQ(sequence_bulk.err, kIdBreaksLine);
}

}  // namespace
}  // namespace zarnex::testing
