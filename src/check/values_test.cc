// The value checks of strict reading and the compiled code tables.

#include "check/values.h"

#include <gtest/gtest.h>

#include <string>

#include "validate/code_tables.h"

namespace zarnex::check {
namespace {

// Builds an IBAN with correct check digits the way ISO 13616 defines them:
// 98 minus the remainder of BBAN + country + "00".
std::string make_iban(const std::string& country, const std::string& bban) {
  std::string moved = bban + country + "00";
  int remainder = 0;
  for (char c : moved) {
    if (c >= '0' && c <= '9') {
      remainder = (remainder * 10 + (c - '0')) % 97;
    } else {
      remainder = (remainder * 100 + (c - 'A' + 10)) % 97;
    }
  }
  const int check = 98 - remainder;
  std::string digits = std::to_string(check);
  if (digits.size() == 1) digits.insert(0, "0");
  return country + digits + bban;
}

TEST(StrictValues, CalendarDates) {
  EXPECT_TRUE(is_calendar_date("2024-02-29"));   // leap year
  EXPECT_FALSE(is_calendar_date("2023-02-29"));  // not a leap year
  EXPECT_TRUE(is_calendar_date("2000-02-29"));   // divisible by 400
  EXPECT_FALSE(is_calendar_date("1900-02-29"));  // divisible by 100 only
  EXPECT_FALSE(is_calendar_date("2024-02-30"));
  EXPECT_FALSE(is_calendar_date("2024-04-31"));
  EXPECT_TRUE(is_calendar_date("2024-12-31"));
  EXPECT_FALSE(is_calendar_date("2024-13-01"));
  EXPECT_FALSE(is_calendar_date("2024-00-10"));
  EXPECT_FALSE(is_calendar_date("2024-01-00"));
  EXPECT_FALSE(is_calendar_date("2024-1-01"));
  EXPECT_FALSE(is_calendar_date("2024/01/01"));
  EXPECT_FALSE(is_calendar_date("20240101"));
}

TEST(StrictValues, IbanCheckDigitsFromTheAlgorithm) {
  const std::string good[] = {
      make_iban("SK", "12000000198742637541"),
      make_iban("DE", "370400440532013000"),
      make_iban("GB", "NWBK60161331926819"),  // letters in the BBAN
      make_iban("NO", "86011117947"),
  };
  for (const std::string& iban : good) {
    EXPECT_TRUE(iban_check_digits_ok(iban)) << iban;
    // Any change of one digit of the BBAN breaks the check.
    std::string changed = iban;
    char& last = changed.back();
    last = last == '9' ? '0' : static_cast<char>(last + 1);
    EXPECT_FALSE(iban_check_digits_ok(changed)) << changed;
    // So does swapping two different neighbours.
    std::string swapped = iban;
    for (std::size_t i = 4; i + 1 < swapped.size(); ++i) {
      if (swapped[i] != swapped[i + 1]) {
        std::swap(swapped[i], swapped[i + 1]);
        break;
      }
    }
    EXPECT_FALSE(iban_check_digits_ok(swapped)) << swapped;
  }
  EXPECT_FALSE(iban_check_digits_ok("SK31"));
  EXPECT_FALSE(iban_check_digits_ok("sk3112000000198742637541"));
}

TEST(StrictValues, IbanLengthAndCountry) {
  const Element iban{"IBAN", Form::kIban};
  EXPECT_FALSE(check_value(iban, make_iban("SK", "12000000198742637541")));
  // Right check digits, one character short for Slovakia.
  auto short_one = check_value(iban, make_iban("SK", "1200000019874263754"));
  ASSERT_TRUE(short_one);
  EXPECT_NE(short_one->detail.find("has 23 characters"), std::string::npos);
  EXPECT_NE(short_one->detail.find("has 24"), std::string::npos);
  // A country without IBANs (the United States).
  EXPECT_TRUE(check_value(iban, make_iban("US", "12345678901234567890")));
}

TEST(StrictValues, Bic) {
  EXPECT_TRUE(is_bic("TATRSKBX"));
  EXPECT_TRUE(is_bic("DEUTDEFF500"));
  EXPECT_FALSE(is_bic("TATRQQBX"));     // QQ is no country
  EXPECT_FALSE(is_bic("TAT1SKBX"));     // a digit in the institution code
  EXPECT_FALSE(is_bic("TATRSKBXX"));    // nine characters
  EXPECT_FALSE(is_bic("TATRSKbx"));
}

TEST(StrictValues, DecimalsACodeCarries) {
  EXPECT_TRUE(decimal_fits(1250.4));
  EXPECT_TRUE(decimal_fits(0.12345678));
  EXPECT_FALSE(decimal_fits(0.123456789));
  EXPECT_FALSE(decimal_fits(10.000000001));
  const Element amount{"Amount", Form::kDecimal};
  EXPECT_FALSE(check_value(amount, "12.500000000"));  // trailing zeros
  EXPECT_TRUE(check_value(amount, "12.123456789"));
}

TEST(StrictValues, FlagSets) {
  static constexpr const char* kWords[] = {"a", "b", "c"};
  const Element flags{"Flags", Form::kFlags, {}, kWords};
  EXPECT_FALSE(check_value(flags, "a"));
  EXPECT_FALSE(check_value(flags, "c a b"));
  EXPECT_TRUE(check_value(flags, "a  b"));  // two blanks
  EXPECT_TRUE(check_value(flags, " a"));
  EXPECT_TRUE(check_value(flags, "a "));
  EXPECT_TRUE(check_value(flags, "a\tb"));
  EXPECT_TRUE(check_value(flags, "a d"));
  EXPECT_TRUE(check_value(flags, "a a"));
}

TEST(CodeTables, Lookups) {
  EXPECT_TRUE(validate::is_currency_code("EUR"));
  EXPECT_TRUE(validate::is_currency_code("CZK"));
  EXPECT_FALSE(validate::is_currency_code("EUX"));
  EXPECT_FALSE(validate::is_currency_code("eur"));
  EXPECT_FALSE(validate::is_currency_code(""));
  EXPECT_TRUE(validate::is_country_alpha3("SVK"));
  EXPECT_TRUE(validate::is_country_alpha3("ABW"));  // the first row
  EXPECT_TRUE(validate::is_country_alpha3("ZWE"));  // the last row
  EXPECT_FALSE(validate::is_country_alpha3("SK"));
  EXPECT_FALSE(validate::is_country_alpha3("XYZ"));
  EXPECT_TRUE(validate::is_country_alpha2("SK"));
  EXPECT_FALSE(validate::is_country_alpha2("SVK"));
  EXPECT_EQ(validate::iban_length("SK"), 24);
  EXPECT_EQ(validate::iban_length("DE"), 22);
  EXPECT_EQ(validate::iban_length("NO"), 15);
  EXPECT_EQ(validate::iban_length("US"), 0);
}

}  // namespace
}  // namespace zarnex::check
