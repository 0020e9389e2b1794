#include "validate/validators.h"

#include <algorithm>
#include <cstdint>

#include "error/error.h"

namespace zarnex::validate {
namespace {

constexpr int kInvalidValue = static_cast<int>(ErrorCode::kInvalidValue);

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_upper(char c) { return c >= 'A' && c <= 'Z'; }

// True for the four bytes that do not count as content of a text.
bool is_blank_byte(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

template <class Predicate>
int scan(std::string_view text, std::size_t position, std::size_t count,
         Predicate in_class) {
  if (position >= text.size()) return 0;
  const std::size_t end = position + std::min(count, text.size() - position);
  for (std::size_t i = position; i < end; ++i) {
    if (!in_class(text[i])) return kInvalidValue;
  }
  return 0;
}

// Three upper-case letters, as country and currency codes are written.
bool is_three_letter_code(std::string_view text) {
  return text.size() == 3 && scan_upper(text, 0, 3) == 0;
}

}  // namespace

int fail(std::string_view name, std::string_view detail) {
  return set_error_detail(ErrorCode::kInvalidValue, name, detail);
}

int check_not_null(std::string_view name, bool present) {
  return present ? 0 : fail(name, kCannotBeNull);
}

int check_not_empty(std::string_view name, const StringValue& text) {
  if (!text) return fail(name, kCannotBeNull);
  // Scans from the end: trailing blanks are the common case of a text that
  // still has content, so most texts are accepted at their last byte.
  for (auto it = text->rbegin(); it != text->rend(); ++it) {
    if (!is_blank_byte(*it)) return 0;
  }
  return fail(name, kCannotBeEmpty);
}

int check_date(std::string_view name, std::string_view text) {
  // YYYY-MM-DD; digits are tested before the separators.
  bool well_formed = text.size() == 10 && scan_digits(text, 0, 4) == 0 &&
                     scan_digits(text, 5, 2) == 0 &&
                     scan_digits(text, 8, 2) == 0 && text[4] == '-' &&
                     text[7] == '-';
  if (!well_formed) return fail(name, kInvalidDateFormat);
  const std::string_view month_day = text.substr(5, 5);
  if (month_day < "01-01" || month_day > "12-31") {
    return set_error_detail(ErrorCode::kXml, name, kDateOutOfRange);
  }
  return 0;
}

int check_required_date(std::string_view name, const StringValue& text) {
  if (!text) return fail(name, kCannotBeNull);
  return check_date(name, *text);
}

int check_country_code(std::string_view name, const StringValue& text) {
  if (!text) return fail(name, kCannotBeNull);
  return is_three_letter_code(*text) ? 0 : fail(name, kInvalidCountryCode);
}

int check_currency_code(std::string_view name, const StringValue& text) {
  if (!text) return fail(name, kCannotBeNull);
  return is_three_letter_code(*text) ? 0 : fail(name, kInvalidCurrencyCode);
}

int check_unit_interval(std::string_view name, const DecimalValue& value) {
  if (!value) return fail(name, kCannotBeNull);
  // Written as two comparisons so that not-a-number passes both.
  if (*value < 0.0 || *value > 1.0) return fail(name, kOutsideUnitInterval);
  return 0;
}

int check_period(const StringValue& from_date, const StringValue& to_date) {
  if (!from_date && !to_date) return 0;
  if (!from_date) return fail("PeriodFromDate", kCannotBeNull);
  if (int rc = check_date("PeriodFromDate", *from_date)) return rc;
  if (!to_date) return fail("PeriodToDate", kCannotBeNull);
  if (int rc = check_date("PeriodToDate", *to_date)) return rc;
  if (*from_date > *to_date) {
    return set_error(ErrorCode::kInvalidValue, kPeriodReversed);
  }
  return 0;
}

int check_choice(std::initializer_list<Alternative> alternatives) {
  bool seen = false;
  for (const Alternative& alternative : alternatives) {
    if (!alternative.present) continue;
    if (seen) return fail(alternative.name, kChoiceConflict);
    seen = true;
  }
  if (seen) return 0;
  const std::string_view first =
      alternatives.size() > 0 ? alternatives.begin()->name : "";
  return fail(first, kChoiceMissing);
}

int check_non_negative_int(std::string_view name, const IntValue& value) {
  if (!value) return fail(name, kCannotBeNull);
  return *value < 0 ? fail(name, kNegative) : 0;
}

int check_non_negative_decimal(std::string_view name,
                               const DecimalValue& value) {
  if (!value) return fail(name, kCannotBeNull);
  return *value < 0.0 ? fail(name, kNegative) : 0;
}

int check_bits(std::string_view name, const IntValue& value, int bit_count) {
  if (!value) return fail(name, kCannotBeNull);
  std::uint32_t allowed = 0;
  if (bit_count >= 32) {
    allowed = ~std::uint32_t{0};
  } else if (bit_count > 0) {
    allowed = (std::uint32_t{1} << bit_count) - 1;
  }
  const std::uint32_t bits = static_cast<std::uint32_t>(*value);
  return (bits & ~allowed) != 0 ? fail(name, kInvalidBits) : 0;
}

int check_must_be_null(std::string_view name, bool present,
                       std::string_view detail) {
  return present ? fail(name, detail) : 0;
}

int check_digits(std::string_view name, const StringValue& text,
                 std::size_t max_length) {
  if (!text) return fail(name, kCannotBeNull);
  if (scan_digits(*text, 0, max_length) != 0) return fail(name, kOnlyDigits);
  if (text->size() > max_length) return fail(name, kTooLong);
  return 0;
}

int check_int_range(std::string_view name, const IntValue& value,
                    std::int32_t low, std::int32_t high) {
  if (!value) return 0;
  return (*value < low || *value > high) ? fail(name, kOutOfRange) : 0;
}

int check_iban(std::string_view name, const StringValue& text) {
  if (!text) return fail(name, kCannotBeNull);
  // Country letters, check digits, then up to thirty letters or digits.
  if (scan_upper(*text, 0, 2) != 0 || scan_digits(*text, 2, 2) != 0 ||
      scan_upper_alnum(*text, 4, 30) != 0) {
    return fail(name, kInvalid);
  }
  return 0;
}

int check_bic(std::string_view name, const StringValue& text) {
  if (!text) return fail(name, kCannotBeNull);
  // Bank and country letters, location code, optional branch code.
  const std::size_t length = text->size();
  if ((length != 8 && length != 11) || scan_upper(*text, 0, 6) != 0 ||
      scan_upper_alnum(*text, 6, 2) != 0 ||
      (length == 11 && scan_upper_alnum(*text, 8, 3) != 0)) {
    return fail(name, kInvalid);
  }
  return 0;
}

int scan_digits(std::string_view text, std::size_t position,
                std::size_t count) {
  return scan(text, position, count, is_digit);
}

int scan_upper(std::string_view text, std::size_t position, std::size_t count) {
  return scan(text, position, count, is_upper);
}

int scan_upper_alnum(std::string_view text, std::size_t position,
                     std::size_t count) {
  return scan(text, position, count,
              [](char c) { return is_upper(c) || is_digit(c); });
}

}  // namespace zarnex::validate
