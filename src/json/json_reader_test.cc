// Reading JSON documents: syntax errors with their position, values of the
// wrong JSON type, the values that XML refuses as well (same codes and
// messages), skipped members, and the writer's string escapes.

#include "json/json_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "error/error.h"
#include "json/json.h"
#include "json/json_writer.h"
#include "zarnex/zarnex.hpp"

namespace zarnex::json {
namespace {

// A Pay document of one payment whose members are @a members (JSON text
// without braces), and the same as XML with @a elements.
std::string pay_json(const std::string& members) {
  return R"({"type":"Pay","InvoiceID":"F1","Payments":[{"PaymentOptions":["paymentorder"],"Amount":10.5,"CurrencyCode":"EUR","BankAccounts":[{"IBAN":"SK8975000000000012345671","BIC":"TATRSKBX"}])" +
         (members.empty() ? "" : "," + members) + "}]}";
}
std::string pay_xml(const std::string& elements) {
  return "<Pay><InvoiceID>F1</InvoiceID><Payments><Payment><PaymentOptions>"
         "paymentorder</PaymentOptions><Amount>10.5</Amount><CurrencyCode>EUR"
         "</CurrencyCode><BankAccounts><BankAccount><IBAN>"
         "SK8975000000000012345671</IBAN><BIC>TATRSKBX</BIC></BankAccount>"
         "</BankAccounts>" +
         elements + "</Payment></Payments></Pay>";
}

TEST(JsonParse, SyntaxErrorsNameTheirPosition) {
  JsonTree tree;
  EXPECT_EQ(tree.parse("{\"type\":\"Pay\" \"InvoiceID\":1}"), 13);
  EXPECT_EQ(error_text(),
            "ERROR_JSON: JSON parse error at offset 14 (line 1, column 15): "
            "Missing a comma or '}' after an object member.");
  EXPECT_EQ(tree.parse("{\n  \"a\": [1,\n  2,,\n]}"), 13);
  EXPECT_EQ(error_text(),
            "ERROR_JSON: JSON parse error at offset 17 (line 3, column 5): "
            "Invalid value.");
  EXPECT_EQ(tree.parse(""), 13);
  EXPECT_EQ(error_text(),
            "ERROR_JSON: JSON parse error at offset 0 (line 1, column 1): The "
            "document is empty.");
  EXPECT_EQ(tree.parse("{} {}"), 13);
  EXPECT_NE(error_text().find("must not be followed by other values"),
            std::string::npos);
  // Bytes that are not UTF-8, and a NUL byte, which would end the text early.
  EXPECT_EQ(tree.parse("{\"a\":\"\xC3\"}"), 13);
  EXPECT_NE(error_text().find("Invalid encoding in string."),
            std::string::npos);
  EXPECT_EQ(tree.parse(std::string("{}\0{", 4)), 13);
  EXPECT_EQ(error_text(),
            "ERROR_JSON: JSON parse error at offset 2 (line 1, column 3): A "
            "NUL byte is not allowed in JSON text.");
}

TEST(JsonParse, DeepNestingIsRefused) {
  JsonTree tree;
  EXPECT_EQ(tree.parse(std::string(64, '[') + std::string(64, ']')), 0);
  EXPECT_EQ(tree.parse(std::string(65, '[') + std::string(65, ']')), 13);
  EXPECT_NE(error_text().find("nested more than 64 deep"), std::string::npos);
}

TEST(JsonParse, TreeHoldsTextsAndOrder) {
  JsonTree tree;
  ASSERT_EQ(
      tree.parse(R"( {"a":"x\"\u00e9","n":-1.50e2,"a":2,"l":[null,true]} )"),
      0);
  const JsonValue& root = tree.root();
  ASSERT_EQ(root.type, JsonType::kObject);
  const JsonValue* a = tree.member(root, "a");  // the first of two wins
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->type, JsonType::kString);
  EXPECT_EQ(a->text, "x\"\xC3\xA9");
  const JsonValue* n = tree.member(root, "n");
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(n->type, JsonType::kNumber);
  EXPECT_EQ(n->text, "-1.50e2");  // as written, for the decimal reader
  const JsonValue* l = tree.member(root, "l");
  ASSERT_NE(l, nullptr);
  const JsonValue* first = tree.first_child(*l);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->type, JsonType::kNull);
  ASSERT_NE(tree.next_sibling(*first), nullptr);
  EXPECT_EQ(tree.next_sibling(*first)->type, JsonType::kTrue);
  EXPECT_EQ(tree.member(root, "missing"), nullptr);
}

TEST(JsonDocument, RootAndTypeAreChecked) {
  const struct {
    const char* json;
    const char* error;
  } kCases[] = {
      {"[]", "ERROR_JSON: The document must be a JSON object. "},
      {"{}",
       "ERROR_JSON: type must name the document kind: Pay, Invoice, "
       "ProformaInvoice, CreditNote, DebitNote, AdvanceInvoice or "
       "InvoiceItems. "},
      {R"({"type":"pay"})",
       "ERROR_JSON: type must name the document kind: "
       "Pay, Invoice, ProformaInvoice, CreditNote, "
       "DebitNote, AdvanceInvoice or InvoiceItems. "},
      {R"({"type":7})",
       "ERROR_JSON: type must name the document kind: Pay, "
       "Invoice, ProformaInvoice, CreditNote, DebitNote, "
       "AdvanceInvoice or InvoiceItems. "},
  };
  for (const auto& c : kCases) {
    Result result = encode_json(c.json);
    EXPECT_EQ(result.status, 13) << c.json;
    EXPECT_EQ(result.error, c.error) << c.json;
  }
  DocumentPtr document;
  ASSERT_EQ(document_from_json(R"({"type":"DebitNote"})", &document), 0);
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->header.byte0, 0x10);
  EXPECT_EQ(document->header.byte1, 0x30);
  EXPECT_EQ(document_from_json(std::string_view(), &document), -2);
}

TEST(JsonDocument, WrongJsonTypesAreRefused) {
  const std::pair<std::string, const char*> kCases[] = {
      {R"("VariableSymbol":123)",
       "ERROR_JSON: VariableSymbol must be a JSON string."},
      {R"("StandingOrderExt":{"Day":"15"})",
       "ERROR_JSON: Day must be a JSON number."},
      {R"("StandingOrderExt":[])",
       "ERROR_JSON: StandingOrderExt must be a JSON object."},
      {R"("StandingOrderExt":{"Month":"May"})",
       "ERROR_JSON: Month must be a JSON array of strings."},
      {R"("StandingOrderExt":{"Month":["May",5]})",
       "ERROR_JSON: Month must be a JSON array of strings."},
      {R"("DirectDebitExt":{"DirectDebitScheme":true})",
       "ERROR_JSON: DirectDebitScheme must be a JSON string."},
      {R"("DirectDebitExt":{"MaxAmount":"12.5"})",
       "ERROR_JSON: MaxAmount must be a JSON number."},
      {R"("PaymentNote":"a\u0001b")",
       "ERROR_JSON: PaymentNote holds a character that a document cannot carry "
       "(a control character, or a non-character). "},
  };
  for (const auto& [members, error] : kCases) {
    Result result = encode_json(pay_json(members));
    EXPECT_EQ(result.status, 13) << members;
    EXPECT_EQ(result.error, error) << members;
  }
  Result list = encode_json(R"({"type":"Pay","Payments":{"Amount":1}})");
  EXPECT_EQ(list.error,
            "ERROR_JSON: Payments must be a JSON array of objects.");
  Result items = encode_json(R"({"type":"Pay","Payments":[{"Amount":1},2]})");
  EXPECT_EQ(items.error,
            "ERROR_JSON: Payments must be a JSON array of objects.");
}

// What XML refuses, JSON refuses with the same code and the same message.
TEST(JsonDocument, ValuesFailAsInXml) {
  const struct {
    const char* json_members;
    const char* xml_elements;
  } kCases[] = {
      {R"("StandingOrderExt":{"Day":3.5})",
       "<StandingOrderExt><Day>3.5</Day></StandingOrderExt>"},
      {R"("StandingOrderExt":{"Day":3000000000})",
       "<StandingOrderExt><Day>3000000000</Day></StandingOrderExt>"},
      {R"("StandingOrderExt":{"Periodicity":"monthly"})",
       "<StandingOrderExt><Periodicity>monthly</Periodicity></"
       "StandingOrderExt>"},
      {R"("StandingOrderExt":{"Month":["May","June","May"]})",
       "<StandingOrderExt><Month>May June May</Month></StandingOrderExt>"},
      {R"("DirectDebitExt":{"DirectDebitScheme":"sepa"})",
       "<DirectDebitExt><DirectDebitScheme>sepa</DirectDebitScheme></"
       "DirectDebitExt>"},
      {R"("DirectDebitExt":{"DirectDebitType":"once"})",
       "<DirectDebitExt><DirectDebitType>once</DirectDebitType></"
       "DirectDebitExt>"},
  };
  for (const auto& c : kCases) {
    Result from_xml = encode_xml(pay_xml(c.xml_elements));
    Result from_json = encode_json(pay_json(c.json_members));
    EXPECT_EQ(from_xml.status, 9) << c.xml_elements;
    EXPECT_EQ(from_json.status, from_xml.status) << c.json_members;
    EXPECT_EQ(from_json.error, from_xml.error) << c.json_members;
  }
  // A number beyond the range of a double is refused by the JSON parser
  // itself, before any member is read.
  Result huge = encode_json(pay_json(R"("DirectDebitExt":{"MaxAmount":1e999})"));
  EXPECT_EQ(huge.status, 13);
  EXPECT_NE(huge.error.find("Number too big to be stored in double."),
            std::string::npos);
}

// Unknown members are skipped, members come in any order, null and the empty
// string are absent, and the computed amounts are not read: each document
// gives the code of its XML counterpart.
TEST(JsonDocument, SkipsWhatXmlSkips) {
  const struct {
    const char* json_members;
    const char* xml_elements;
  } kCases[] = {
      {R"("Note":{"deep":[1,{"x":null}]},"PaymentNote":"hi")",
       "<Note><deep>1</deep></Note><PaymentNote>hi</PaymentNote>"},
      {R"("PaymentNote":null,"ConstantSymbol":"")", ""},
      {R"("CurrencyCode":"USD","Amount":"x")",
       "<CurrencyCode>USD</CurrencyCode><Amount>x</Amount>"},
      {R"("VariableSymbol":"1","VariableSymbol":"2")",
       "<VariableSymbol>1</VariableSymbol><VariableSymbol>2</VariableSymbol>"},
      {R"("PaymentNote":"a&b <c> \"q\" \\ é")",
       "<PaymentNote>a&amp;b &lt;c&gt; \"q\" \\ é</PaymentNote>"},
  };
  for (const auto& c : kCases) {
    Result from_xml = encode_xml(pay_xml(c.xml_elements));
    Result from_json = encode_json(pay_json(c.json_members));
    ASSERT_TRUE(from_xml) << from_xml.error;
    ASSERT_TRUE(from_json) << c.json_members << ": " << from_json.error;
    EXPECT_EQ(from_json.output, from_xml.output) << c.json_members;
  }
  // The members of the root in another order, an unknown one among them.
  Result reordered = encode_json(
      R"({"Payments":[{"CurrencyCode":"EUR","Amount":10.5,"X":1,"BankAccounts":[{"BIC":"TATRSKBX","IBAN":"SK8975000000000012345671"}],"PaymentOptions":["paymentorder"]}],"InvoiceID":"F1","type":"Pay"})");
  EXPECT_EQ(reordered.output, encode_json(pay_json("")).output);
}

TEST(JsonDocument, ComputedAmountsAreNotRead) {
  const char* base =
      R"({"type":"InvoiceItems","InvoiceID":"F1","FirstInvoiceLineID":"1","InvoiceLines":[{"ItemName":"Pen","InvoicedQuantity":10,"UnitPriceTaxExclusiveAmount":1.5,"UnitPriceTaxAmount":0.3,"ClassifiedTaxCategory":0.2%s}]})";
  char plain[512], extra[512];
  std::snprintf(plain, sizeof plain, base, "");
  std::snprintf(extra, sizeof extra, base,
                R"(,"LineTaxAmount":99,"UnitPriceTaxInclusiveAmount":"x")");
  Result a = encode_json(plain), b = encode_json(extra);
  ASSERT_TRUE(a) << a.error;
  EXPECT_EQ(b.output, a.output);
  Result decoded = decode_to_json(a.output);
  ASSERT_TRUE(decoded) << decoded.error;
  EXPECT_NE(decoded.output.find(R"("LineTaxAmount":3,)"), std::string::npos)
      << decoded.output;
}

// Every name of every table reads as in XML: the same code, or the same
// complaint of the rules that run after reading (an unknown name would fail
// the reading instead).
TEST(JsonDocument, EveryNameAsInXml) {
  const char* kMonths[] = {"January",   "February", "March",    "April",
                           "May",       "June",     "July",     "August",
                           "September", "October",  "November", "December"};
  const char* kPeriods[] = {"Daily",    "Weekly",      "Biweekly",
                            "Monthly",  "Bimonthly",   "Quarterly",
                            "Annually", "Semiannually"};
  for (int i = 0; i < 12; ++i) {
    std::string month = kMonths[i];
    std::string period = kPeriods[i % 8];
    Result from_xml =
        encode_xml(pay_xml("<StandingOrderExt><Day>1</Day><Month>" + month +
                           "</Month><Periodicity>" + period +
                           "</Periodicity></StandingOrderExt>"));
    Result from_json =
        encode_json(pay_json(R"("StandingOrderExt":{"Day":1,"Month":[")" +
                             month + R"("],"Periodicity":")" + period + "\"}"));
    EXPECT_EQ(from_json.status, from_xml.status) << month;
    EXPECT_EQ(from_json.output, from_xml.output) << month << " " << period;
    EXPECT_EQ(from_json.error, from_xml.error) << month << " " << period;
  }
  const char* kMeans[] = {"moneyTransfer", "cash",    "cashOnDelivery",
                          "creditCard",    "advance", "mutualOffset",
                          "other"};
  for (const char* means : kMeans) {
    Result from_xml = encode_xml(
        std::string("<Invoice><InvoiceID>F1</InvoiceID><PaymentMeans>") +
        means + "</PaymentMeans></Invoice>");
    Result from_json = encode_json(
        std::string(R"({"type":"Invoice","InvoiceID":"F1","PaymentMeans":[")") +
        means + "\"]}");
    EXPECT_EQ(from_json.status, from_xml.status) << means;
    EXPECT_EQ(from_json.output, from_xml.output) << means;
    EXPECT_EQ(from_json.error, from_xml.error) << means;
  }
  for (const char* scheme : {"other", "SEPA"}) {
    for (const char* type : {"one-off", "recurrent"}) {
      Result from_xml = encode_xml(
          pay_xml(std::string("<DirectDebitExt><DirectDebitScheme>") + scheme +
                  "</DirectDebitScheme><DirectDebitType>" + type +
                  "</DirectDebitType></DirectDebitExt>"));
      Result from_json = encode_json(
          pay_json(std::string(R"("DirectDebitExt":{"DirectDebitScheme":")") +
                   scheme + R"(","DirectDebitType":")" + type + "\"}"));
      EXPECT_EQ(from_json.status, from_xml.status) << scheme << type;
      EXPECT_EQ(from_json.output, from_xml.output) << scheme << type;
      EXPECT_EQ(from_json.error, from_xml.error) << scheme << type;
    }
  }
}

TEST(JsonWriter, StringsAreEscaped) {
  const std::pair<std::string, std::string> kCases[] = {
      {"plain", "\"plain\""},
      {"a\"b\\c", "\"a\\\"b\\\\c\""},
      {std::string("\x01\t\n\r\x1f", 5),
       "\"\\u0001\\u0009\\u000a\\u000d\\u001f\""},
      {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
       "\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\""},
      // A lone continuation byte, a cut sequence, an overlong form and a
      // surrogate become U+FFFD each.
      {"a\x80z", "\"a\xEF\xBF\xBDz\""},
      {"\xE2\x82", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
  };
  for (const auto& [text, expected] : kCases) {
    TextBuffer buffer;
    JsonOut out(buffer);
    json_append_string(out, text);
    EXPECT_EQ(buffer.view(), expected);
  }
}

TEST(JsonWriter, EmptyRecordsAndListsAreLeftOut) {
  // A payment whose values are all absent and an empty bank-account list
  // write nothing, as in XML.
  DocumentPtr document;
  ASSERT_EQ(
      document_from_json(
          R"({"type":"Pay","InvoiceID":"F\"1","Payments":[{"BankAccounts":[]},{"StandingOrderExt":{}},{"Amount":-0.000000001,"StandingOrderExt":{"Day":0}}]})",
          &document),
      0);
  std::string json;
  ASSERT_EQ(document_to_json(*document, &json), 0);
  EXPECT_EQ(
      json,
      R"({"type":"Pay","InvoiceID":"F\"1","Payments":[{"Amount":-0,"StandingOrderExt":{"Day":0}}]})");
  document->header.set_sub_kind(1);
  EXPECT_EQ(document_to_json(*document, &json), 9);
  EXPECT_EQ(error_text(), "ERROR_XML: Error in getting root and type ");
}

}  // namespace
}  // namespace zarnex::json
