#include "code/field_sequence.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "code/test_documents.h"
#include "error/error.h"
#include "model/invoice.h"
#include "model/invoice_items.h"
#include "model/pay.h"
#include "validate/document_rules.h"

namespace zarnex::code {
namespace {

using testing::sequence_of;
using Fields = std::vector<std::string>;

// The readers' results as values, for comparing.
StringValue next_field(FieldSequence& sequence) {
  StringValue value;
  read_string(sequence, value);
  return value;
}
StringValue read_date(FieldSequence& sequence) {
  StringValue value;
  code::read_date(sequence, value);
  return value;
}

class FieldSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_error(); }
};

TEST_F(FieldSequenceTest, StringFields) {
  FieldSequence s;
  add_field(s, std::string_view("a\tb"));
  add_field(s, std::string_view("a\nb"));
  add_field(s, StringValue());
  add_field(s, StringValue("x\t\ty"));
  add_field(s, std::string_view());
  add_empty(s);
  EXPECT_EQ(s.fields, (Fields{"a b", "a\nb", "", "x  y", "", ""}));
}

TEST_F(FieldSequenceTest, NumberFields) {
  FieldSequence s;
  add_int(s, 0);
  add_int(s, -5);
  add_int(s, INT32_MIN);
  add_optional_int(s, IntValue());
  add_optional_int(s, IntValue(2049));
  add_decimal(s, DecimalValue());
  add_decimal(s, 1500.0);
  add_decimal(s, 1500.5);
  add_decimal(s, 0.005);
  add_decimal(s, 1.0 / 3.0);
  EXPECT_EQ(s.fields, (Fields{"0", "-5", "-2147483648", "", "2049", "", "1500",
                              "1500.5", "0.005", "0.33333333"}));
}

TEST_F(FieldSequenceTest, DateFields) {
  FieldSequence s;
  add_date(s, StringValue("2015-01-31"));
  add_date(s, StringValue("2015/01/31"));   // separators are not examined
  add_date(s, StringValue("2015-1-31"));    // 9 bytes
  add_date(s, StringValue("2015-01-311"));  // 11 bytes
  add_date(s, StringValue());
  EXPECT_EQ(s.fields, (Fields{"20150131", "20150131", "", "", ""}));
}

TEST_F(FieldSequenceTest, JoinAndTextLength) {
  FieldSequence s;
  EXPECT_EQ(text_length(s), 0u);
  EXPECT_EQ(join(s), "");
  add_empty(s);
  EXPECT_EQ(text_length(s), 0u);
  EXPECT_EQ(join(s), "");
  s.fields = {"A", "", "B"};
  EXPECT_EQ(text_length(s), 4u);
  EXPECT_EQ(join(s), "A\t\tB");
  s.fields = {"", ""};
  EXPECT_EQ(text_length(s), 1u);
  EXPECT_EQ(join(s), "\t");
}

TEST_F(FieldSequenceTest, Split) {
  struct Case {
    std::string_view text;
    Fields fields;
  };
  const Case kCases[] = {
      {"", {""}},
      {"\t", {"", ""}},
      {"A\tB\t", {"A", "B", ""}},
      {"A\t\tB", {"A", "", "B"}},
      {std::string_view("A\tB\0C\tD", 7), {"A", "B"}},  // ends at the NUL
      {"a b\nc", {"a b\nc"}},
  };
  for (const Case& c : kCases) {
    FieldSequence s;
    split(s, c.text);
    EXPECT_EQ(s.fields, c.fields) << c.text;
    EXPECT_EQ(s.cursor, 0u);
  }
  FieldSequence s;
  split(s, std::string_view());
  EXPECT_EQ(s.fields, Fields{""});
}

// The end and the TABs of a text are found sixteen bytes at a time: TABs
// and a NUL at every position of texts around those blocks must give the
// fields that cutting byte by byte gives.
TEST_F(FieldSequenceTest, SplitMatchesAByteByByteCut) {
  auto cut = [](std::string_view text) {
    text = text.substr(0, text.find('\0'));
    Fields fields{""};
    for (char c : text) {
      if (c == '\t') {
        fields.emplace_back();
      } else {
        fields.back() += c;
      }
    }
    return fields;
  };
  for (std::size_t n = 0; n <= 40; ++n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i) text += i % 3 == 1 ? '\t' : 'x';
    std::vector<std::string> texts = {text};
    for (std::size_t i = 0; i < n; ++i) {
      std::string with_nul = text;
      with_nul[i] = '\0';
      texts.push_back(with_nul);
      if (i + 1 < n) with_nul[i + 1] = '\t';
      texts.push_back(with_nul);
    }
    for (const std::string& t : texts) {
      FieldSequence s;
      split(s, t);
      ASSERT_EQ(s.fields, cut(t)) << "length " << n;
      ASSERT_EQ(s.fields.size(), cut(t).size());
    }
  }
}

TEST_F(FieldSequenceTest, FieldListKeepsTheFieldsJoined) {
  const FieldList none;
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(none.begin(), none.end());
  EXPECT_EQ(none, Fields{});
  const FieldList one_empty{""};
  EXPECT_EQ(one_empty.size(), 1u);
  EXPECT_EQ(one_empty, Fields{""});
  EXPECT_NE(one_empty, Fields{});
  const FieldList list{"A", "", "BC", ""};
  EXPECT_EQ(list.text(), "A\t\tBC\t");
  EXPECT_EQ(list, (Fields{"A", "", "BC", ""}));
  EXPECT_NE(list, (Fields{"A", "", "BC"}));
  EXPECT_NE(list, (Fields{"A", "", "BD", ""}));
  EXPECT_EQ(FieldList(Fields{"x", "y"}).text(), "x\ty");
}

// Fields split after reading has begun continue where the reading stands.
TEST_F(FieldSequenceTest, SplitAppendsBehindTheCursor) {
  FieldSequence s;
  split(s, "1\tA");
  EXPECT_EQ(read_int(s, "N"), IntValue(1));
  EXPECT_EQ(next_field(s), StringValue("A"));
  EXPECT_EQ(next_field(s), std::nullopt);
  split(s, "B\t\t2.5");
  EXPECT_EQ(s.fields, (Fields{"1", "A", "B", "", "2.5"}));
  EXPECT_EQ(next_field(s), StringValue("B"));
  EXPECT_EQ(read_decimal(s, "D"), std::nullopt);
  EXPECT_EQ(read_decimal(s, "D"), DecimalValue(2.5));
  EXPECT_EQ(s.cursor, 5u);
}

TEST_F(FieldSequenceTest, NextFieldMovesCursorUntilTheEnd) {
  FieldSequence s = sequence_of(0, {"A", ""});
  EXPECT_EQ(next_field(s), StringValue("A"));
  EXPECT_EQ(next_field(s), std::nullopt);  // empty field: absent, cursor moves
  EXPECT_EQ(s.cursor, 2u);
  EXPECT_EQ(next_field(s), std::nullopt);  // past the end: cursor stays
  EXPECT_EQ(s.cursor, 2u);
}

TEST_F(FieldSequenceTest, Numbers) {
  FieldSequence s = sequence_of(0, {"12", "", "-3", "12.50", "12,5", "-0,05",
                                    ",5", " 7", "+2", "1e3", ""});
  EXPECT_EQ(read_int(s, "A"), IntValue(12));
  EXPECT_EQ(read_int(s, "A"), std::nullopt);
  EXPECT_EQ(read_count(s, "A"), -3);
  EXPECT_EQ(read_decimal(s, "A"), DecimalValue(12.5));
  // A comma as the decimal mark, whatever the locale.
  EXPECT_EQ(read_decimal(s, "A"), DecimalValue(12.5));
  EXPECT_EQ(read_decimal(s, "A"), DecimalValue(-0.05));
  EXPECT_EQ(read_decimal(s, "A"), DecimalValue(0.5));
  EXPECT_EQ(read_int(s, "A"), IntValue(7));
  EXPECT_EQ(read_int(s, "A"), IntValue(2));
  EXPECT_EQ(read_decimal(s, "A"), DecimalValue(1000.0));
  EXPECT_EQ(read_decimal(s, "A"), std::nullopt);
  // Out of fields: absent, counts 0.
  EXPECT_EQ(read_int(s, "A"), std::nullopt);
  EXPECT_EQ(read_count(s, "A"), 0);
  EXPECT_EQ(read_decimal(s, "A"), std::nullopt);
  EXPECT_EQ(s.status, 0);
  EXPECT_EQ(error_code(), 0);
}

// A number field that holds no number is an error naming the field, not a
// silent 0; the field still reads (as 0) and the first error is kept.
TEST_F(FieldSequenceTest, MalformedNumbersAreErrors) {
  const char* const kInts[] = {"12x", "x", "1,0", "1.5", "99999999999",
                               "-2147483649", " ", "0x10", "7 "};
  for (const char* text : kInts) {
    reset_error();
    FieldSequence s = sequence_of(0, {text, "x"});
    EXPECT_EQ(read_int(s, "Day"), IntValue(0)) << text;
    EXPECT_EQ(s.status, 4) << text;
    EXPECT_EQ(error_text(), "ERROR_INVALID_VALUE: Day is a malformed number. ")
        << text;
    // A later malformed field leaves the first error alone.
    EXPECT_EQ(read_count(s, "Payments"), 0) << text;
    EXPECT_EQ(error_text(), "ERROR_INVALID_VALUE: Day is a malformed number. ")
        << text;
  }
  const char* const kDecimals[] = {"12x",  "1,2,3", "1.234,5", "1,234.5",
                                   "1.2.3", "nan",   "inf",     "-1e999",
                                   "12,5 ", ",",     "abc",     "1,5e"};
  for (const char* text : kDecimals) {
    reset_error();
    FieldSequence s = sequence_of(0, {text});
    EXPECT_EQ(read_decimal(s, "Amount"), DecimalValue(0.0)) << text;
    EXPECT_EQ(s.status, 4) << text;
    EXPECT_EQ(error_text(),
              "ERROR_INVALID_VALUE: Amount is a malformed number. ")
        << text;
  }
}

TEST_F(FieldSequenceTest, Dates) {
  FieldSequence s =
      sequence_of(0, {"20150131", "2015013", "20150131X", "ABCDEFGH", ""});
  EXPECT_EQ(read_date(s), StringValue("2015-01-31"));
  EXPECT_EQ(read_date(s), std::nullopt);
  EXPECT_EQ(read_date(s), StringValue("2015-01-31"));
  EXPECT_EQ(read_date(s), StringValue("ABCD-EF-GH"));  // nothing examined
  EXPECT_EQ(read_date(s), std::nullopt);
  EXPECT_EQ(read_date(s), std::nullopt);
}

TEST_F(FieldSequenceTest, WriteNullDocument) {
  FieldSequence s;
  EXPECT_EQ(write_document(s, nullptr), -2);
  EXPECT_EQ(error_text(), "ERROR_NULL_POINTER: Document cannot be NULL. ");
  EXPECT_TRUE(s.fields.empty());
}

TEST_F(FieldSequenceTest, UnknownTypeBuildsNothing) {
  FieldSequence s = sequence_of(3, {"A", "1"});
  DocumentPtr document;
  EXPECT_EQ(read_document(s, &document), 0);
  EXPECT_EQ(document, nullptr);
  EXPECT_EQ(document_validate(document.get()), -2);
  EXPECT_EQ(error_text(), "ERROR_NULL_POINTER: Document cannot be null.  ");
}

// A count may announce far more entries than the sequence has fields; no
// more entries are made than one beyond the fields that follow the count.
TEST_F(FieldSequenceTest, CountsBoundedByRemainingFields) {
  {
    FieldSequence s = sequence_of(0, {"", "2000000000"});
    DocumentPtr document;
    ASSERT_EQ(read_document(s, &document), 0);
    auto& pay = static_cast<Pay&>(*document);
    EXPECT_EQ(count(pay.Payments), 1u);
  }
  {
    // 12 fields after the count: at most 13 payments; the first payment
    // takes all 12, the others are all-absent.
    Fields fields = {"", "2147483647", "1", "5", "EUR", "", "", "", "", "",
                     "", "0",          "0", "0"};
    FieldSequence s = sequence_of(0, fields);
    DocumentPtr document;
    ASSERT_EQ(read_document(s, &document), 0);
    auto& pay = static_cast<Pay&>(*document);
    ASSERT_EQ(count(pay.Payments), 13u);
    EXPECT_EQ(pay.Payments->get(0)->CurrencyCode, StringValue("EUR"));
    EXPECT_EQ(pay.Payments->get(12)->PaymentOptions, std::nullopt);
  }
  {
    // A bank account count inside a payment is bounded the same way.
    Fields fields = {"", "1", "", "", "",           "",     "",
                     "", "",  "", "", "2147483647", "IBAN1"};
    FieldSequence s = sequence_of(0, fields);
    DocumentPtr document;
    ASSERT_EQ(read_document(s, &document), 0);
    auto& pay = static_cast<Pay&>(*document);
    const Payment& payment = *pay.Payments->get(0);
    ASSERT_EQ(count(payment.BankAccounts), 2u);
    EXPECT_EQ(payment.BankAccounts->get(0)->IBAN, StringValue("IBAN1"));
  }
  {
    Fields fields(36, "");
    fields.push_back("2000000000");
    FieldSequence s = sequence_of(1, fields);
    DocumentPtr document;
    ASSERT_EQ(read_document(s, &document), 0);
    EXPECT_EQ(count(static_cast<Invoice&>(*document).TaxCategorySummaries), 1u);
  }
  {
    FieldSequence s = sequence_of(2, {"F1", "1", "2000000000", "", ""});
    DocumentPtr document;
    ASSERT_EQ(read_document(s, &document), 0);
    EXPECT_EQ(count(static_cast<InvoiceItems&>(*document).InvoiceLines), 3u);
  }
  {
    // A count that fits the fields is used as read.
    FieldSequence s = sequence_of(2, {"F1", "1", "2"});
    DocumentPtr document;
    ASSERT_EQ(read_document(s, &document), 0);
    EXPECT_EQ(count(static_cast<InvoiceItems&>(*document).InvoiceLines), 1u);
  }
}

// Field sequences from codes and from typed lines alike: a malformed number
// is an error that names the field, the first one wins, and no document is
// handed out.
TEST_F(FieldSequenceTest, MalformedNumbersFailTheDocument) {
  auto pay_fields = [](std::string options, std::string amount) {
    return Fields{"", "1", options, amount, "EUR", "",  "",
                  "", "",  "",      "",     "0",   "0", "0"};
  };
  auto invoice_fields = [](int position, std::string text) {
    Fields fields(40, "");
    fields[36] = "0";
    fields[static_cast<std::size_t>(position - 1)] = text;
    return fields;
  };
  struct Case {
    int type;
    Fields fields;
    const char* message;
  };
  const Case kCases[] = {
      {0, pay_fields("1", "12,50,0"),
       "ERROR_INVALID_VALUE: Amount is a malformed number. "},
      {0, pay_fields("1", "12x"),
       "ERROR_INVALID_VALUE: Amount is a malformed number. "},
      {0, pay_fields("1", "nan"),
       "ERROR_INVALID_VALUE: Amount is a malformed number. "},
      {0, pay_fields("1", "inf"),
       "ERROR_INVALID_VALUE: Amount is a malformed number. "},
      {0, pay_fields("1", "1e999"),
       "ERROR_INVALID_VALUE: Amount is a malformed number. "},
      // The first malformed number is reported, not the last.
      {0, pay_fields("1x", "x"),
       "ERROR_INVALID_VALUE: PaymentOptions is a malformed number. "},
      {0, pay_fields("99999999999", "1"),
       "ERROR_INVALID_VALUE: PaymentOptions is a malformed number. "},
      {0,
       {"", "99999999999"},
       "ERROR_INVALID_VALUE: Payments is a malformed number. "},
      {0,
       {"", "1", "1", "1", "EUR", "", "", "", "", "", "", "1x"},
       "ERROR_INVALID_VALUE: BankAccounts is a malformed number. "},
      {0,
       {"", "1", "1", "1", "EUR", "", "", "", "", "", "", "0", "y"},
       "ERROR_INVALID_VALUE: StandingOrderExt is a malformed number. "},
      {0,
       {"", "1", "1", "1", "EUR", "", "", "", "", "", "", "0", "1", "x"},
       "ERROR_INVALID_VALUE: Day is a malformed number. "},
      {0,
       {"", "1", "1", "1", "EUR", "", "", "", "", "", "", "0", "0", "1,0"},
       "ERROR_INVALID_VALUE: DirectDebitExt is a malformed number. "},
      {0,
       {"",  "1", "6", "1", "EUR", "", "", "", "", "", "",     "0",
        "0", "1", "",  "",  "",    "", "", "", "", "", "1.2.3"},
       "ERROR_INVALID_VALUE: MaxAmount is a malformed number. "},
      {1, invoice_fields(8, "1,5x"),
       "ERROR_INVALID_VALUE: CurrRate is a malformed number. "},
      {1, invoice_fields(28, "3 lines"),
       "ERROR_INVALID_VALUE: NumberOfInvoiceLines is a malformed number. "},
      {1, invoice_fields(36, "ten"),
       "ERROR_INVALID_VALUE: InvoicedQuantity is a malformed number. "},
      {1, invoice_fields(37, "one"),
       "ERROR_INVALID_VALUE: TaxCategorySummaries is a malformed number. "},
      {1, invoice_fields(40, "1|2"),
       "ERROR_INVALID_VALUE: PaymentMeans is a malformed number. "},
      {2,
       {"F1", "1", "1", "", "", "", "", "Pen", "", "", "", "10", "1.5", "0.3x",
        "0.2"},
       "ERROR_INVALID_VALUE: UnitPriceTaxAmount is a malformed number. "},
      {2,
       {"F1", "1", "-"},
       "ERROR_INVALID_VALUE: InvoiceLines is a malformed number. "},
  };
  for (const Case& c : kCases) {
    reset_error();
    FieldSequence s = sequence_of(c.type, c.fields);
    DocumentPtr document;
    EXPECT_EQ(read_document(s, &document), 4) << c.message;
    EXPECT_EQ(document, nullptr) << c.message;
    EXPECT_EQ(error_text(), c.message);
  }
}

TEST_F(FieldSequenceTest, WellFormedNumbersMakeTheDocument) {
  Fields fields = {"", "1", "3", "-12.5e1", "EUR", "",     "",  "", "",
                   "", "",  "0", "1",       " 7",  "2049", "w", "", "0"};
  FieldSequence first = sequence_of(0, fields);
  DocumentPtr document;
  ASSERT_EQ(read_document(first, &document), 0);
  const Payment& payment = *static_cast<Pay&>(*document).Payments->get(0);
  EXPECT_EQ(payment.Amount, DecimalValue(-125.0));
  EXPECT_EQ(payment.StandingOrderExt->Day, IntValue(7));
  EXPECT_EQ(error_code(), 0);

  // A decimal comma reads as the decimal its maker meant.
  fields[3] = "12,50";
  FieldSequence comma = sequence_of(0, fields);
  ASSERT_EQ(read_document(comma, &document), 0);
  EXPECT_EQ(static_cast<Pay&>(*document).Payments->get(0)->Amount,
            DecimalValue(12.5));
  EXPECT_EQ(error_code(), 0);
}

}  // namespace
}  // namespace zarnex::code

namespace zarnex::code {
namespace {

// Regression test for a round-trip fuzz finding: decimals beyond eight
// places are rounded as the XML writer writes them.
TEST(FieldSequenceDecimals, ReadAtMostEightDecimals) {
  FieldSequence s;
  split(s, "1.666666666666666669\t2.5\t1e-9\t0.123456789\t0,123456789");
  EXPECT_EQ(read_decimal(s, "A"), DecimalValue(1.66666667));
  EXPECT_EQ(read_decimal(s, "A"), DecimalValue(2.5));
  EXPECT_EQ(read_decimal(s, "A"), DecimalValue(0.0));
  EXPECT_EQ(read_decimal(s, "A"), DecimalValue(0.12345679));
  EXPECT_EQ(read_decimal(s, "A"), DecimalValue(0.12345679));
}

}  // namespace
}  // namespace zarnex::code
