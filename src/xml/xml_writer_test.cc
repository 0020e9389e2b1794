#include "xml/xml_writer.h"

#include <cstdint>
#include <string>
#include <vector>

#include "base/number.h"
#include "error/error.h"
#include "model/invoice.h"
#include "model/invoice_items.h"
#include "model/pay.h"
#include "xml/xml.h"
#include "xml/xml_reader.h"
#include "xml/xml_test_util.h"

namespace zarnex::xml {
namespace {

using testing::ParsedXml;
using testing::RootStart;
using testing::Written;

class XmlWriterTest : public testing::XmlTest {};

constexpr const char* kOptions[] = {"paymentorder", "standingorder",
                                    "directdebit"};
constexpr const char* kNames[] = {"Daily", "Weekly", "Biweekly", "Bimonthly"};
constexpr const char* kCodes[] = {"d", "w", "b", "B"};

TEST_F(XmlWriterTest, StringsEscapeTheThreeReservedCharacters) {
  TextBuffer text;
  XmlOut out(text);
  xml_write_string(out, "Note"_tag, std::string("a&b<c>d\"e'f&amp;"));
  EXPECT_EQ(out.view(), "<Note>a&amp;b&lt;c&gt;d\"e'f&amp;amp;</Note>");

  // The text reads back to the same string.
  ParsedXml xml("<r>" + std::string(out.view()) + "</r>");
  StringValue back;
  ASSERT_EQ(xml_read_string(xml.root, "Note", back), 0);
  EXPECT_EQ(back, "a&b<c>d\"e'f&amp;");

  // Line ends survive the trip through a parser, a carriage return included,
  // and leave the text on one line.
  out.clear();
  xml_write_string(out, "Note"_tag, std::string("one\r\ntwo\rthree\n"));
  EXPECT_EQ(out.view(), "<Note>one&#13;&#10;two&#13;three&#10;</Note>");
  ParsedXml lines("<r>" + std::string(out.view()) + "</r>");
  StringValue read_back;
  ASSERT_EQ(xml_read_string(lines.root, "Note", read_back), 0);
  EXPECT_EQ(read_back, "one\r\ntwo\rthree\n");

  out.clear();
  xml_write_string(out, "Note"_tag, std::nullopt);
  xml_write_string(out, "Note"_tag, std::string());
  EXPECT_EQ(out.view(), "");
}

// The escaping copies the runs between special bytes; special bytes at the
// ends, side by side and far apart, in a text longer than the room the
// writer reserves, must all come out as a byte-by-byte escape gives them.
TEST_F(XmlWriterTest, EscapedRunsMatchAByteByByteEscape) {
  auto escape = [](const std::string& text) {
    std::string escaped;
    for (char c : text) {
      if (c == '&') escaped += "&amp;";
      else if (c == '<') escaped += "&lt;";
      else if (c == '>') escaped += "&gt;";
      else if (c == '\r') escaped += "&#13;";
      else if (c == '\n') escaped += "&#10;";
      else escaped += c;
    }
    return escaped;
  };
  std::string long_text;
  for (int i = 0; i < 3000; ++i)
    long_text += i % 37 == 0 ? "&<" : i % 101 == 0 ? "\r" : i % 53 == 0 ? "\n" : "x\xC3\xA9";
  std::vector<std::string> texts = {"&",          "<>",
                                    "&start",     "end>",
                                    "a&&b",       "\r\r",
                                    "plain text", "\xC3\xA9&\xC3\xA9",
                                    long_text};
  // The texts are looked at in blocks of sixteen bytes (short ones, and the
  // end of long ones, in one look): every length around those blocks, with
  // no special byte, one at each position, or two.
  for (std::size_t n = 1; n <= 50; ++n) {
    const std::string plain(n, 'p');
    texts.push_back(plain);
    for (std::size_t i = 0; i < n; ++i) {
      std::string one = plain;
      one[i] = "&<>\r\n"[i % 5];
      texts.push_back(one);
      if (i + 17 < n) {
        one[i + 17] = '>';
        texts.push_back(one);
      }
    }
  }
  for (const std::string& text : texts) {
    TextBuffer written;
    written.append("<r>");
    XmlOut out(written);
    xml_write_string(out, "ItemName"_tag, text);
    EXPECT_EQ(out.view(), "<r><ItemName>" + escape(text) + "</ItemName>")
        << text.substr(0, 20);
  }
}

TEST_F(XmlWriterTest, NumbersAndTheirAbsence) {
  TextBuffer text;
  XmlOut out(text);
  xml_write_int(out, "Day"_tag, 0);
  xml_write_int(out, "Day"_tag, -5);
  xml_write_int(out, "Day"_tag, INT32_MIN);
  xml_write_int(out, "Day"_tag, std::nullopt);
  EXPECT_EQ(out.view(), "<Day>0</Day><Day>-5</Day><Day>-2147483648</Day>");

  out.clear();
  xml_write_decimal(out, "A"_tag, 1234567.12345678);
  xml_write_decimal(out, "A"_tag, 1234567.5);
  xml_write_decimal(out, "A"_tag, 2.000000001);
  xml_write_decimal(out, "A"_tag, 100.0);
  xml_write_decimal(out, "A"_tag, 0.0);
  xml_write_decimal(out, "A"_tag, std::nullopt);
  // Beyond the short forms: through the general writer, between the same
  // tags, with what was written before and after intact.
  xml_write_decimal(out, "LongerName"_tag, -123456789012.5);
  xml_write_decimal(out, "A"_tag, 1e300);
  xml_write_decimal(out, "A"_tag, -0.25);
  EXPECT_EQ(out.view(),
            "<A>1234567.12345678</A><A>1234567.5</A><A>2</A><A>100</A>"
            "<A>0</A><LongerName>-123456789012.5</LongerName><A>" +
                code::format_decimal(1e300) + "</A><A>-0.25</A>");
}

TEST_F(XmlWriterTest, EnumerationsOutsideTheirTableWriteNothing) {
  constexpr const char* kTwo[] = {"other", "SEPA"};
  constexpr const char* kWithEmpty[] = {"", nullptr, "x"};
  TextBuffer text;
  XmlOut out(text);
  xml_write_enum(out, "S"_tag, 1, kTwo);
  xml_write_enum(out, "S"_tag, 0, kTwo);
  EXPECT_EQ(out.view(), "<S>SEPA</S><S>other</S>");
  out.clear();
  xml_write_enum(out, "S"_tag, 2, kTwo);
  xml_write_enum(out, "S"_tag, -1, kTwo);
  xml_write_enum(out, "S"_tag, std::nullopt, kTwo);
  xml_write_enum(out, "S"_tag, 0, kWithEmpty);
  xml_write_enum(out, "S"_tag, 1, kWithEmpty);
  EXPECT_EQ(out.view(), "");
}

TEST_F(XmlWriterTest, CodesAreWrittenByNameAndCaseMatters) {
  TextBuffer text;
  XmlOut out(text);
  xml_write_code(out, "P"_tag, std::string("b"), kNames, kCodes);
  xml_write_code(out, "P"_tag, std::string("B"), kNames, kCodes);
  EXPECT_EQ(out.view(), "<P>Biweekly</P><P>Bimonthly</P>");
  out.clear();
  xml_write_code(out, "P"_tag, std::string("x"), kNames, kCodes);
  xml_write_code(out, "P"_tag, std::string("D"), kNames, kCodes);
  xml_write_code(out, "P"_tag, std::string(), kNames, kCodes);
  xml_write_code(out, "P"_tag, std::nullopt, kNames, kCodes);
  EXPECT_EQ(out.view(), "");
}

TEST_F(XmlWriterTest, FlagsListTheSetBitsInTableOrder) {
  TextBuffer text;
  XmlOut out(text);
  xml_write_flags(out, "O"_tag, 5, kOptions);
  EXPECT_EQ(out.view(), "<O>paymentorder directdebit</O>");
  out.clear();
  xml_write_flags(out, "O"_tag, 2 | 8 | 16, kOptions);  // bits past the table drop
  EXPECT_EQ(out.view(), "<O>standingorder</O>");
  out.clear();
  xml_write_flags(out, "O"_tag, 0, kOptions);
  xml_write_flags(out, "O"_tag, 8, kOptions);
  xml_write_flags(out, "O"_tag, INT32_MIN, kOptions);
  xml_write_flags(out, "O"_tag, std::nullopt, kOptions);
  EXPECT_EQ(out.view(), "");
  xml_write_flags(out, "O"_tag, -1, kOptions);
  EXPECT_EQ(out.view(), "<O>paymentorder standingorder directdebit</O>");
}

struct Item {
  StringValue text;
};

void WriteItem(XmlOut& out, const Item& item) {
  xml_write_nested(out, "Item"_tag, [&](XmlOut& content) {
    xml_write_string(content, "T"_tag, item.text);
  });
}

TEST_F(XmlWriterTest, EmptyRecordsAndListsLeaveNoTrace) {
  TextBuffer text;
  text.append("<r>");
  XmlOut out(text);
  xml_write_nested(out, "Empty"_tag, [](XmlOut&) {});
  EXPECT_EQ(out.view(), "<r>");

  ListValue<Item> list;
  xml_write_list(out, "L"_tag, list, WriteItem);  // absent
  list.emplace();
  xml_write_list(out, "L"_tag, list, WriteItem);  // empty
  list->append(nullptr);
  list->append(std::make_unique<Item>());
  list->append(std::make_unique<Item>(Item{std::string()}));
  xml_write_list(out, "L"_tag, list, WriteItem);  // only empty items
  EXPECT_EQ(out.view(), "<r>");

  list->append(std::make_unique<Item>(Item{std::string("a")}));
  list->append(nullptr);
  list->append(std::make_unique<Item>(Item{std::string("b")}));
  xml_write_list(out, "L"_tag, list, WriteItem);
  EXPECT_EQ(out.view(), "<r><L><Item><T>a</T></Item><Item><T>b</T></Item></L>");
}

// The output grows in steps while it is written; nested elements taken
// back after a growth, and everything written before it, must be intact.
TEST_F(XmlWriterTest, OutputGrowsWithoutLosingWhatWasWritten) {
  TextBuffer text(4);
  text.append("<r>");
  std::string expected = "<r>";
  XmlOut out(text);
  const std::string long_text(5000, 'x');
  for (int i = 0; i < 3; ++i) {
    xml_write_nested(out, "Empty"_tag, [&](XmlOut& content) {
      // Written and taken back: grows the text, leaves no element.
      xml_write_string(content, "Gone"_tag, std::nullopt);
    });
    xml_write_string(out, "T"_tag, long_text + std::to_string(i));
    expected += "<T>" + long_text + std::to_string(i) + "</T>";
    xml_write_decimal(out, "A"_tag, 0.25 * i);
    expected += "<A>" + code::format_decimal(0.25 * i) + "</A>";
  }
  EXPECT_EQ(text.view(), expected);
  // Taking back what this XmlOut wrote leaves what the buffer held before.
  out.clear();
  EXPECT_EQ(text.view(), "<r>");
}

TEST_F(XmlWriterTest, SmallDocumentsExactly) {
  auto pay = new_pay();
  EXPECT_EQ(Write(*pay),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
            "<Pay xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
            "xsi:type=\"Pay\" xmlns=\"urn:zarnex:document:1\"></Pay>");
  pay->InvoiceID = "X";
  pay->Payments.emplace();
  pay->Payments->append(std::make_unique<Payment>());
  EXPECT_EQ(Write(*pay), Written("Pay", "Pay", "<InvoiceID>X</InvoiceID>"));

  auto items = new_invoice_items();
  EXPECT_EQ(Write(*items), Written("InvoiceItems", "InvoiceItems", ""));

  auto invoice = new_invoice();
  invoice->header.set_sub_kind(3);
  EXPECT_EQ(Write(*invoice), Written("Invoice", "DebitNote", ""));

  // A null out pointer is allowed.
  EXPECT_EQ(document_to_xml(*invoice, nullptr), 0);
}

TEST_F(XmlWriterTest, HeadersThatNameNoWritableKindFail) {
  struct Case {
    std::uint8_t byte0, byte1;
    const char* error;
  };
  const Case kCases[] = {
      {0x00, 0x10, "ERROR_XML: Error in getting root and type "},
      {0x20, 0xF0, "ERROR_XML: Error in getting root and type "},
      {0x10, 0x50, "ERROR_XML: Error wrong invoice document type "},
      {0x10, 0x70, "ERROR_XML: Error wrong invoice document type "},
      // The kind and sub-kind are checked before the version.
      {0x13, 0x70, "ERROR_XML: Error wrong invoice document type "},
      {0x01, 0x00, "ERROR_XML: Unsupported document version.  "},
      {0x1F, 0x40, "ERROR_XML: Unsupported document version.  "},
  };
  for (const Case& c : kCases) {
    reset_error();
    DocumentPtr document;
    switch (c.byte0 >> 4) {
      case 0: document = new_pay(); break;
      case 1: document = new_invoice(); break;
      default: document = new_invoice_items(); break;
    }
    document->header = DocumentHeader{c.byte0, c.byte1};
    std::string out = "untouched";
    EXPECT_EQ(document_to_xml(*document, &out), 9) << c.error;
    EXPECT_EQ(out, "untouched") << c.error;
    EXPECT_EQ(error_text(), c.error);
  }

  // A header of another kind than its record is refused, not misread.
  auto pay = new_pay();
  pay->header = DocumentHeader{0x30, 0x00};
  EXPECT_EQ(document_to_xml(*pay, nullptr), 9);
  pay->header = DocumentHeader{0x10, 0x00};
  EXPECT_EQ(document_to_xml(*pay, nullptr), 9);
  EXPECT_EQ(error_text(), "ERROR_XML: Error in getting root and type ");

  // Reserved bits play no part.
  auto items = new_invoice_items();
  items->header = DocumentHeader{0x20, 0x0F};
  EXPECT_EQ(Write(*items), Written("InvoiceItems", "InvoiceItems", ""));
}

TEST_F(XmlWriterTest, OutputIsOneWellFormedLine) {
  auto pay = new_pay();
  pay->InvoiceID = "<&>]]>\"'\xC3\xA9";
  pay->Payments.emplace();
  auto payment = std::make_unique<Payment>();
  payment->PaymentNote = "line one\nline two & <three>";
  payment->Amount = 1.5;
  pay->Payments->append(std::move(payment));
  std::string text = Write(*pay);
  EXPECT_EQ(text.rfind(RootStart("Pay", "Pay"), 0), 0u);
  EXPECT_EQ(text.back(), '>');
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;

  ParsedXml parsed(text);
  ASSERT_NE(parsed.root, nullptr) << text;
  DocumentPtr back = Read(text);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->InvoiceID, pay->InvoiceID);
  const auto& payments = static_cast<const Pay&>(*back).Payments;
  ASSERT_EQ(count(payments), 1u);
  EXPECT_EQ(payments->get(0)->PaymentNote, "line one\nline two & <three>");
}

// Texts that XML cannot carry, each with where it goes wrong.
std::vector<std::string> UnwritableTexts() {
  std::vector<std::string> texts;
  // Every control byte but the tab, the line feed and the carriage return:
  // XML 1.0 has no place for them, not even as character references.
  for (int c = 0; c < 0x20; ++c) {
    if (c == '\t' || c == '\n' || c == '\r') continue;
    texts.push_back(std::string("a") + static_cast<char>(c) + "b");
  }
  const char* kBadUtf8[] = {
      "lone \x80 continuation", "\xBF",      // continuation bytes alone
      "cut \xC3",  "cut \xE2\x82", "cut \xF0\x9F\x98",  // truncated at the end
      "\xC3 no continuation",                          // a lead alone
      "\xC0\xAF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF",  // overlong forms
      "\xED\xA0\x80", "\xED\xBF\xBF",                  // surrogates
      "\xF4\x90\x80\x80", "\xF7\xBF\xBF\xBF",          // beyond U+10FFFF
      "\xEF\xBF\xBE", "\xEF\xBF\xBF",                  // U+FFFE, U+FFFF
      "Caf\xE9",                                       // Latin-1
  };
  for (const char* bad : kBadUtf8) texts.emplace_back(bad);
  return texts;
}

TEST_F(XmlWriterTest, StringsXmlCannotCarryAreRefused) {
  const std::string kError =
      "ERROR_INVALID_VALUE: PaymentNote is not UTF-8 text without control "
      "characters. ";
  for (const std::string& bad : UnwritableTexts()) {
    // Short and long texts are looked at in different ways; a fault may
    // stand anywhere, behind plain text, escapes and good characters.
    for (const std::string& text :
         {bad, "x" + bad, bad + std::string(20, 'y'),
          std::string(40, 'z') + "&\xC3\xA9\n" + bad,
          std::string(15, 'w') + bad + std::string(16, 'v')}) {
      SCOPED_TRACE(::testing::PrintToString(text));
      reset_error();
      TextBuffer written;
      written.append("<r>");
      XmlOut out(written);
      xml_write_string(out, "PaymentNote"_tag, text);
      EXPECT_EQ(out.view(), "<r>");
      EXPECT_EQ(error_text(), kError);
    }
  }
}

TEST_F(XmlWriterTest, DocumentWithUnwritableStringIsNotWritten) {
  auto pay = new_pay();
  pay->InvoiceID = "INV-1";
  pay->Payments.emplace();
  auto payment = std::make_unique<Payment>();
  payment->Amount = 1.5;
  payment->PaymentNote = "bell\x07";
  payment->OriginatorsReferenceInformation = "\xFF";
  pay->Payments->append(std::move(payment));

  std::string out = "untouched";
  EXPECT_EQ(document_to_xml(*pay, &out), 4);
  EXPECT_EQ(out, "untouched");
  // The first element at fault is named.
  EXPECT_EQ(error_text(),
            "ERROR_INVALID_VALUE: PaymentNote is not UTF-8 text without "
            "control characters. ");

  // Appended to a buffer (the bulk loop's), nothing of it stays there.
  TextBuffer block;
  block.append("before\n");
  EXPECT_EQ(document_to_xml(*pay, block), 4);
  EXPECT_EQ(block.view(), "before\n");
  // The buffer serves the next document as before.
  pay->Payments->get(0)->PaymentNote = "bell";
  pay->Payments->get(0)->OriginatorsReferenceInformation.reset();
  EXPECT_EQ(document_to_xml(*pay, block), 0);
  EXPECT_EQ(block.view(), "before\n" + Write(*pay));
}

TEST_F(XmlWriterTest, WellFormedUtf8IsWrittenUnchanged) {
  const std::string kGood[] = {
      "M\xC3\xBCller & S\xC3\xB6hne",              // two-byte characters
      "\xE2\x80\x9EGr\xC3\xBCn\xE2\x80\x9C \xE2\x82\xAC",  // three-byte
      "\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF",           // four-byte, U+10FFFF
      "\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBD",       // around the surrogates
      "\xC2\x80\xC2\x9F\x7F",                       // C1 controls and DEL
      "tab\tinside",
      std::string(30, 'a') + "\xC5\xBDiga \xC4\x8C" "evljarna" + std::string(30, 'b'),
  };
  for (const std::string& text : kGood) {
    SCOPED_TRACE(::testing::PrintToString(text));
    TextBuffer written;
    XmlOut out(written);
    xml_write_string(out, "Name"_tag, text);
    std::string escaped = text;
    for (std::size_t at = escaped.find('&'); at != std::string::npos;
         at = escaped.find('&', at + 1))
      escaped.replace(at, 1, "&amp;");
    EXPECT_EQ(out.view(), "<Name>" + escaped + "</Name>");
    ParsedXml xml("<r>" + std::string(out.view()) + "</r>");
    StringValue back;
    ASSERT_EQ(xml_read_string(xml.root, "Name", back), 0);
    EXPECT_EQ(back, text);
  }
}

}  // namespace
}  // namespace zarnex::xml
