#include "validate/validators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "error/error.h"

namespace zarnex::validate {
namespace {

// A table row: the input text (null for an absent value) and the expected
// error text ("" when the check must pass).
struct TextCase {
  const char* input;
  const char* expected;
};

StringValue text(const char* input) {
  return input ? StringValue(input) : std::nullopt;
}

class ValidatorsTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_error(); }

  // The error text after a check returned @a rc, or "" when it passed. A
  // passing check must leave the error state alone; a failing one must
  // return the code that it recorded.
  static std::string outcome(int rc) {
    if (rc == 0) {
      EXPECT_EQ(error_code(), 0);
      return "";
    }
    EXPECT_EQ(rc, error_code());
    return error_text();
  }

  template <class Check>
  static void expect_table(std::initializer_list<TextCase> cases, Check check) {
    for (const TextCase& c : cases) {
      reset_error();
      const StringValue value = text(c.input);
      EXPECT_EQ(outcome(check(value)), c.expected)
          << "input: " << (c.input ? c.input : "(absent)");
      EXPECT_EQ(value, text(c.input)) << "the check changed its value";
    }
  }
};

TEST_F(ValidatorsTest, DateFormAndRange) {
  const char* kRange =
      "ERROR_XML: D is invalid date format. Day or month is out of range. ";
  const char* kForm = "ERROR_INVALID_VALUE: D is invalid date format. ";
  expect_table(
      {
          {"2024-02-30", ""},  // no calendar
          {"2024-11-45", ""},  // any day for months 02 to 11
          {"2024-12-31", ""},
          {"0000-01-01", ""},
          {"2024-01-99", ""},  // month 01 is only bounded by "01-01"
          {"2024-11-00", ""},
          {"2024-12-32", kRange},
          {"2024-00-15", kRange},
          {"2024-01-00", kRange},
          {"2024-13-01", kRange},
          {"2024-1-01", kForm},    // nine bytes
          {"2024/01/01", kForm},   // separators
          {"20240101", kForm},     // field-sequence form
          {" 2024-01-01", kForm},  // leading blank
          {"2024-01-01 ", kForm},  // trailing blank
          {"2024-01-0A", kForm},
          {"", kForm},
          // Digits are tested before separators, both failures give code 4.
          {"2024x01x0x", kForm},
      },
      [](const StringValue& v) { return check_date("D", *v); });
}

TEST_F(ValidatorsTest, RequiredDate) {
  expect_table(
      {
          {nullptr, "ERROR_INVALID_VALUE: IssueDate cannot be NULL. "},
          {"2024-05-06", ""},
          {"06.05.2024",
           "ERROR_INVALID_VALUE: IssueDate is invalid date format. "},
          {"2024-05-66", ""},
          {"2024-14-06",
           "ERROR_XML: IssueDate is invalid date format. Day or "
           "month is out of range. "},
      },
      [](const StringValue& v) { return check_required_date("IssueDate", v); });
}

TEST_F(ValidatorsTest, Period) {
  struct PeriodCase {
    const char* from;
    const char* to;
    const char* expected;
  };
  const PeriodCase cases[] = {
      {nullptr, nullptr, ""},
      {"2024-03-01", "2024-02-01",
       "ERROR_INVALID_VALUE: PeriodFromDate is after PeriodToDate.  "},
      {"2024-03-01", "2024-03-01", ""},
      {"2024-02-01", "2024-03-01", ""},
      {"2024-03-01", nullptr,
       "ERROR_INVALID_VALUE: PeriodToDate cannot be NULL. "},
      // The missing from-date is reported before the to-date is looked at.
      {nullptr, "garbage",
       "ERROR_INVALID_VALUE: PeriodFromDate cannot be NULL. "},
      {"2024-3-01", nullptr,
       "ERROR_INVALID_VALUE: PeriodFromDate is invalid date format. "},
      {"2024-03-01", "2024-13-01",
       "ERROR_XML: PeriodToDate is invalid date format. Day or month is out "
       "of range. "},
      {"2023-12-31", "2024-01-01", ""},
  };
  for (const PeriodCase& c : cases) {
    reset_error();
    EXPECT_EQ(outcome(check_period(text(c.from), text(c.to))), c.expected)
        << (c.from ? c.from : "(absent)") << " .. "
        << (c.to ? c.to : "(absent)");
  }
}

TEST_F(ValidatorsTest, DigitsWithMaximumTen) {
  const char* kTooLong = "ERROR_INVALID_VALUE: VS is too long. ";
  const char* kDigits =
      "ERROR_INVALID_VALUE: VS is invalid. Can contain only digits. ";
  expect_table(
      {
          {nullptr, "ERROR_INVALID_VALUE: VS cannot be NULL. "},
          {"", ""},
          {"0123456789", ""},
          {"01234567890", kTooLong},
          {"0123456789A", kTooLong},  // bytes past the maximum are not scanned
          {"01234A", kDigits},
          {"-1", kDigits},
          {" 1", kDigits},
          {"012345678A9", kDigits},  // a non-digit within the first ten wins
      },
      [](const StringValue& v) { return check_digits("VS", v, 10); });
}

TEST_F(ValidatorsTest, Iban) {
  const char* kInvalid = "ERROR_INVALID_VALUE: IBAN is invalid. ";
  expect_table(
      {
          {nullptr, "ERROR_INVALID_VALUE: IBAN cannot be NULL. "},
          {"XY12ABCD0123456789", ""},
          {"xy12abcd0123456789", kInvalid},
          {"XY", ""},  // groups end where the text ends
          {"", ""},
          {"X1", kInvalid},
          {"XY1", ""},
          {"XYA2", kInvalid},
          {"XY12ABCD 123", kInvalid},
          {"XY12 BCD", kInvalid},  // a blank at position 4
          {"XY12abcd", kInvalid},
          // 34 bytes in their classes, then six that are never examined.
          {"XY12ABCDEFGHIJKLMNOPQRSTUVWXYZ0123abc def", ""},
          {"XY12ABCDEFGHIJKLMNOPQRSTUVWXYZ012a", kInvalid},
      },
      [](const StringValue& v) { return check_iban("IBAN", v); });
}

TEST_F(ValidatorsTest, Bic) {
  const char* kInvalid = "ERROR_INVALID_VALUE: BIC is invalid. ";
  expect_table(
      {
          {nullptr, "ERROR_INVALID_VALUE: BIC cannot be NULL. "},
          {"ABCDEFGH", ""},
          {"ABCDEF2XXXX", ""},
          {"ABCDEF22", ""},
          {"ABCDEFG", kInvalid},     // 7 bytes
          {"ABCDEFGHI", kInvalid},   // 9 bytes
          {"ABCDEFGHIJ", kInvalid},  // 10 bytes
          {"ABCDEFGHIJKL", kInvalid},
          {"ABC1EFGH", kInvalid},  // digit among the first six
          {"abcdefgh", kInvalid},
          {"ABCDEFgh", kInvalid},
          {"ABCDEFGHxxx", kInvalid},  // branch code is examined at length 11
      },
      [](const StringValue& v) { return check_bic("BIC", v); });
}

TEST_F(ValidatorsTest, CountryAndCurrencyCodes) {
  expect_table(
      {
          {nullptr, "ERROR_INVALID_VALUE: CurrencyCode cannot be NULL. "},
          {"EUR", ""},
          {"eur",
           "ERROR_INVALID_VALUE: CurrencyCode is invalid currency code. "},
          {"EU",
           "ERROR_INVALID_VALUE: CurrencyCode is invalid currency code. "},
          {"EURO",
           "ERROR_INVALID_VALUE: CurrencyCode is invalid currency code. "},
          {"E1R",
           "ERROR_INVALID_VALUE: CurrencyCode is invalid currency code. "},
          {"", "ERROR_INVALID_VALUE: CurrencyCode is invalid currency code. "},
      },
      [](const StringValue& v) {
        return check_currency_code("CurrencyCode", v);
      });
  expect_table(
      {
          {nullptr, "ERROR_INVALID_VALUE: Country cannot be NULL. "},
          {"SVK", ""},
          {"SK", "ERROR_INVALID_VALUE: Country is invalid country code. "},
          {"svk", "ERROR_INVALID_VALUE: Country is invalid country code. "},
          {"S K", "ERROR_INVALID_VALUE: Country is invalid country code. "},
      },
      [](const StringValue& v) { return check_country_code("Country", v); });
}

TEST_F(ValidatorsTest, NotEmpty) {
  const char* kEmpty = "ERROR_INVALID_VALUE: InvoiceID cannot be empty. ";
  expect_table(
      {
          {nullptr, "ERROR_INVALID_VALUE: InvoiceID cannot be NULL. "},
          {"", kEmpty},
          {" \t\r\n", kEmpty},
          {" a ", ""},
          {"a\n\n", ""},
          {"\v", ""},  // other control bytes count as content
      },
      [](const StringValue& v) { return check_not_empty("InvoiceID", v); });
}

TEST_F(ValidatorsTest, Choice) {
  EXPECT_EQ(outcome(check_choice({{"NumberOfInvoiceLines", false},
                                  {"SingleInvoiceLine", false}})),
            "ERROR_INVALID_VALUE: NumberOfInvoiceLines or the other(s) choice "
            "field(s) cannot be NULL. ");
  reset_error();
  EXPECT_EQ(outcome(check_choice(
                {{"NumberOfInvoiceLines", true}, {"SingleInvoiceLine", true}})),
            "ERROR_INVALID_VALUE: SingleInvoiceLine conflicts with another "
            "field value. ");
  reset_error();
  EXPECT_EQ(outcome(check_choice({{"A", true}, {"B", false}})), "");
  EXPECT_EQ(outcome(check_choice({{"A", false}, {"B", true}})), "");
  // The first conflicting alternative is named, not the last.
  EXPECT_EQ(outcome(check_choice({{"A", true}, {"B", true}, {"C", true}})),
            "ERROR_INVALID_VALUE: B conflicts with another field value. ");
  reset_error();
  EXPECT_EQ(outcome(check_choice({})),
            "ERROR_INVALID_VALUE:  or the other(s) choice field(s) cannot be "
            "NULL. ");
}

TEST_F(ValidatorsTest, IntegerChecks) {
  struct IntCase {
    IntValue value;
    const char* bits3;      // check_bits with n = 3
    const char* range1to7;  // check_int_range with 1 and 7
    const char* non_negative;
  };
  const char* kBits = "ERROR_INVALID_VALUE: N contains invalid values. ";
  const char* kRange = "ERROR_INVALID_VALUE: N is out of range. ";
  const char* kNegative = "ERROR_INVALID_VALUE: N cannot be negative. ";
  const char* kNull = "ERROR_INVALID_VALUE: N cannot be NULL. ";
  const IntCase cases[] = {
      {std::nullopt, kNull, "", kNull},
      {0, "", kRange, ""},
      {1, "", "", ""},
      {7, "", "", ""},
      {8, kBits, kRange, ""},
      {-1, kBits, kRange, kNegative},
      {std::numeric_limits<std::int32_t>::min(), kBits, kRange, kNegative},
      {std::numeric_limits<std::int32_t>::max(), kBits, kRange, ""},
  };
  for (const IntCase& c : cases) {
    const std::string shown = c.value ? std::to_string(*c.value) : "(absent)";
    reset_error();
    EXPECT_EQ(outcome(check_bits("N", c.value, 3)), c.bits3) << shown;
    reset_error();
    EXPECT_EQ(outcome(check_int_range("N", c.value, 1, 7)), c.range1to7)
        << shown;
    reset_error();
    EXPECT_EQ(outcome(check_non_negative_int("N", c.value)), c.non_negative)
        << shown;
  }
  // PaymentMeans has seven members; all 32 bits are allowed with n = 32.
  reset_error();
  EXPECT_EQ(outcome(check_bits("N", 127, 7)), "");
  EXPECT_EQ(outcome(check_bits("N", 128, 7)), kBits);
  reset_error();
  EXPECT_EQ(outcome(check_bits("N", -1, 32)), "");
}

TEST_F(ValidatorsTest, DecimalChecks) {
  struct DecimalCase {
    DecimalValue value;
    const char* unit_interval;
    const char* non_negative;
  };
  const char* kInterval =
      "ERROR_INVALID_VALUE: R is invalid, value must be between 0 and 1 "
      "inclusive. ";
  const char* kNegative = "ERROR_INVALID_VALUE: R cannot be negative. ";
  const char* kNull = "ERROR_INVALID_VALUE: R cannot be NULL. ";
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const DecimalCase cases[] = {
      {std::nullopt, kNull, kNull},
      {0.0, "", ""},
      {-0.0, "", ""},  // minus zero is not below zero
      {1.0, "", ""},
      {0.2, "", ""},
      {1.0000001, kInterval, ""},
      {-0.01, kInterval, kNegative},
      {nan, "", ""},  // compares false both ways
      {inf, kInterval, ""},
      {-inf, kInterval, kNegative},
  };
  for (const DecimalCase& c : cases) {
    const std::string shown = c.value ? std::to_string(*c.value) : "(absent)";
    reset_error();
    EXPECT_EQ(outcome(check_unit_interval("R", c.value)), c.unit_interval)
        << shown;
    reset_error();
    EXPECT_EQ(outcome(check_non_negative_decimal("R", c.value)), c.non_negative)
        << shown;
  }
}

TEST_F(ValidatorsTest, PresenceChecks) {
  EXPECT_EQ(outcome(check_not_null("A", IntValue(0))), "");
  EXPECT_EQ(outcome(check_not_null("A", StringValue(""))), "");
  EXPECT_EQ(outcome(check_not_null("A", DecimalValue())),
            "ERROR_INVALID_VALUE: A cannot be NULL. ");
  reset_error();
  EXPECT_EQ(outcome(check_not_null("A", std::unique_ptr<int>())),
            "ERROR_INVALID_VALUE: A cannot be NULL. ");
  reset_error();
  EXPECT_EQ(outcome(check_must_be_null("B", StringValue(), " detail. ")), "");
  EXPECT_EQ(outcome(check_must_be_null("B", StringValue(""), " detail. ")),
            "ERROR_INVALID_VALUE: B detail. ");
  reset_error();
  // A detail without a leading blank gets one from the error text.
  EXPECT_EQ(
      outcome(check_must_be_null("B", std::make_unique<int>(1), "no blank")),
      "ERROR_INVALID_VALUE: B no blank");
}

TEST_F(ValidatorsTest, List) {
  ListValue<int> list;
  EXPECT_EQ(outcome(check_list("L", list)),
            "ERROR_INVALID_VALUE: L cannot be NULL. ");
  reset_error();
  list.emplace();
  EXPECT_EQ(outcome(check_list("L", list)),
            "ERROR_INVALID_VALUE: L list cannot be empty. ");
  reset_error();
  list->append(std::make_unique<int>(1));
  EXPECT_EQ(outcome(check_list("L", list)), "");
  list->append(nullptr);
  list->append(std::make_unique<int>(2));
  EXPECT_EQ(outcome(check_list("L", list)),
            "ERROR_INVALID_VALUE: L list cannot contain NULL value. ");
}

TEST_F(ValidatorsTest, ScansStopAtCountAndEnd) {
  EXPECT_EQ(scan_digits("12a", 0, 2), 0);
  EXPECT_EQ(scan_digits("12a", 0, 3), 4);
  EXPECT_EQ(scan_digits("12", 0, 10), 0);
  EXPECT_EQ(scan_digits("12", 5, 10), 0);  // nothing to examine
  EXPECT_EQ(scan_upper("ABc", 0, 2), 0);
  EXPECT_EQ(scan_upper("AB1", 1, 2), 4);
  EXPECT_EQ(scan_upper_alnum("A1Z9", 0, 4), 0);
  EXPECT_EQ(scan_upper_alnum("A1z9", 0, 4), 4);
  EXPECT_EQ(scan_upper_alnum("A1z9", 3, 4), 0);
  // Scans leave the error state alone.
  EXPECT_EQ(error_code(), 0);
}

}  // namespace
}  // namespace zarnex::validate
