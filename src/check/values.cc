#include "check/values.h"

#include <cstdint>
#include <string>

#include "base/number.h"
#include "error/error.h"
#include "validate/code_tables.h"

namespace zarnex::check {
namespace {

constexpr int kXml = static_cast<int>(ErrorCode::kXml);
constexpr int kInvalidValue = static_cast<int>(ErrorCode::kInvalidValue);

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_upper(char c) { return c >= 'A' && c <= 'Z'; }
bool is_upper_alnum(char c) { return is_digit(c) || is_upper(c); }

int digits_value(std::string_view text) {
  int value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value;
}

int days_in_month(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30,
                                  31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

int position_of(std::string_view word, NameTable words) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (word == words[i]) return static_cast<int>(i);
  }
  return -1;
}

std::optional<ValueProblem> check_iban(std::string_view iban) {
  for (char c : iban) {
    if (!is_upper_alnum(c))
      return ValueProblem{kInvalidValue,
                          " may hold only upper-case letters and digits. "};
  }
  const int length = validate::iban_length(iban.substr(0, 2));
  if (length == 0)
    return ValueProblem{kInvalidValue,
                        " names a country without IBANs in the IBAN "
                        "registry. "};
  if (iban.size() != static_cast<std::size_t>(length))
    return ValueProblem{kInvalidValue,
                        " has " + std::to_string(iban.size()) +
                            " characters; an IBAN of its country has " +
                            std::to_string(length) + ". "};
  if (!iban_check_digits_ok(iban))
    return ValueProblem{kInvalidValue,
                        " has wrong check digits (ISO 13616 modulo 97). "};
  return std::nullopt;
}

std::optional<ValueProblem> check_flags(const Element& element,
                                        std::string_view text) {
  std::uint32_t seen = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(' ', start);
    const std::string_view word = text.substr(start, end - start);
    if (word.empty())
      return ValueProblem{kXml,
                          " must be words separated by single blanks. "};
    if (auto problem = check_flag_word(element, word)) return problem;
    const std::uint32_t bit = std::uint32_t{1}
                              << position_of(word, element.words);
    if (seen & bit)
      return ValueProblem{kXml, " Contains duplicate value."};
    seen |= bit;
    if (end == std::string_view::npos) return std::nullopt;
    start = end + 1;
  }
}

}  // namespace

bool is_calendar_date(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (!is_digit(text[i])) return false;
  }
  const int year = digits_value(text.substr(0, 4));
  const int month = digits_value(text.substr(5, 2));
  const int day = digits_value(text.substr(8, 2));
  if (month < 1 || month > 12) return false;
  return day >= 1 && day <= days_in_month(year, month);
}

bool iban_check_digits_ok(std::string_view iban) {
  if (iban.size() < 5) return false;
  int remainder = 0;
  auto add = [&remainder](char c) {
    if (is_digit(c)) {
      remainder = (remainder * 10 + (c - '0')) % 97;
    } else {
      remainder = (remainder * 100 + (c - 'A' + 10)) % 97;
    }
  };
  for (char c : iban) {
    if (!is_upper_alnum(c)) return false;
  }
  for (char c : iban.substr(4)) add(c);
  for (char c : iban.substr(0, 4)) add(c);
  return remainder == 1;
}

bool is_bic(std::string_view text) {
  if (text.size() != 8 && text.size() != 11) return false;
  for (std::size_t i = 0; i < 4; ++i) {
    if (!is_upper(text[i])) return false;
  }
  if (!validate::is_country_alpha2(text.substr(4, 2))) return false;
  for (std::size_t i = 6; i < text.size(); ++i) {
    if (!is_upper_alnum(text[i])) return false;
  }
  return true;
}

bool decimal_fits(double value) {
  double back = 0;
  const std::string text = code::format_decimal(value);
  return code::parse_decimal(text.c_str(), &back) == code::kNumberOk &&
         back == value;
}

std::optional<ValueProblem> check_flag_word(const Element& element,
                                            std::string_view word) {
  if (position_of(word, element.words) < 0)
    return ValueProblem{kXml, " holds the unknown word \"" +
                                  std::string(word) + "\". "};
  return std::nullopt;
}

std::optional<ValueProblem> check_value(const Element& element,
                                        std::string_view text) {
  switch (element.form) {
    case Form::kRecord:
    case Form::kList:
    case Form::kText:
      return std::nullopt;
    case Form::kInteger: {
      std::int32_t value = 0;
      if (code::parse_int(text, &value) != code::kNumberOk)
        return ValueProblem{kXml, " Invalid integer format."};
      return std::nullopt;
    }
    case Form::kDecimal: {
      double value = 0;
      if (code::parse_decimal(text, &value) != code::kNumberOk)
        return ValueProblem{
            kXml, " Invalid decimal format. Use dot '.' as a decimal mark."};
      if (!decimal_fits(value))
        return ValueProblem{kInvalidValue,
                            " has more than the eight decimal places that a "
                            "code carries. "};
      return std::nullopt;
    }
    case Form::kEnum:
      if (position_of(text, element.words) < 0)
        return ValueProblem{kXml, " Invalid enum value."};
      return std::nullopt;
    case Form::kFlags:
      return check_flags(element, text);
    case Form::kDate:
      if (!is_calendar_date(text))
        return ValueProblem{kInvalidValue,
                            " is not a day of the calendar (YYYY-MM-DD). "};
      return std::nullopt;
    case Form::kIban:
      return check_iban(text);
    case Form::kBic:
      if (!is_bic(text))
        return ValueProblem{kInvalidValue, " is not an ISO 9362 BIC. "};
      return std::nullopt;
    case Form::kCurrency:
      if (!validate::is_currency_code(text))
        return ValueProblem{kInvalidValue,
                            " is not an active ISO 4217 currency code. "};
      return std::nullopt;
    case Form::kCountry:
      if (!validate::is_country_alpha3(text))
        return ValueProblem{kInvalidValue,
                            " is not an ISO 3166-1 alpha-3 country code. "};
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace zarnex::check
