#ifndef ZARNEX_VALIDATE_VALIDATORS_H_
#define ZARNEX_VALIDATE_VALIDATORS_H_

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string_view>

#include "model/value.h"

namespace zarnex::validate {

// Field checks shared by the rules of the three document kinds.
//
// Each check accepts a value (returns 0) or records an error with
// set_error_detail and returns its code: 4 (ERROR_INVALID_VALUE) for every
// failure except the day-or-month range failure of check_date, which is
// 9 (ERROR_XML). The field name becomes the error subject and the detail is
// one of the fixed texts below; both are borrowed by the error state, so
// names must be string literals or other texts that live for the whole run.
// A check stops at its first failure and never changes the value it tests.
// Texts are classified byte by byte in ASCII, with no locale.

inline constexpr std::string_view kCannotBeNull = " cannot be NULL. ";
inline constexpr std::string_view kCannotBeEmpty = " cannot be empty. ";
inline constexpr std::string_view kInvalidDateFormat =
    " is invalid date format. ";
inline constexpr std::string_view kDateOutOfRange =
    " is invalid date format. Day or month is out of range. ";
inline constexpr std::string_view kInvalidCountryCode =
    " is invalid country code. ";
inline constexpr std::string_view kInvalidCurrencyCode =
    " is invalid currency code. ";
inline constexpr std::string_view kOutsideUnitInterval =
    " is invalid, value must be between 0 and 1 inclusive. ";
inline constexpr std::string_view kListEmpty = " list cannot be empty. ";
inline constexpr std::string_view kListHasNull =
    " list cannot contain NULL value. ";
inline constexpr std::string_view kChoiceConflict =
    " conflicts with another field value. ";
inline constexpr std::string_view kChoiceMissing =
    " or the other(s) choice field(s) cannot be NULL. ";
inline constexpr std::string_view kNegative = " cannot be negative. ";
inline constexpr std::string_view kInvalidBits = " contains invalid values. ";
inline constexpr std::string_view kTooLong = " is too long. ";
inline constexpr std::string_view kOnlyDigits =
    " is invalid. Can contain only digits. ";
inline constexpr std::string_view kOutOfRange = " is out of range. ";
inline constexpr std::string_view kInvalid = " is invalid. ";
/// The whole subject of check_period's order failure (empty detail).
inline constexpr std::string_view kPeriodReversed =
    "PeriodFromDate is after PeriodToDate. ";

/// Records code 4 with @a name and @a detail; returns 4.
int fail(std::string_view name, std::string_view detail);

/// Absent (@a present false): " cannot be NULL. ".
int check_not_null(std::string_view name, bool present);
template <class T>
int check_not_null(std::string_view name, const std::optional<T>& value) {
  return check_not_null(name, value.has_value());
}
template <class T>
int check_not_null(std::string_view name, const std::unique_ptr<T>& value) {
  return check_not_null(name, value != nullptr);
}

/// Absent: " cannot be NULL. "; empty or made only of blank, tab, line feed
/// and carriage return: " cannot be empty. ".
int check_not_empty(std::string_view name, const StringValue& text);

/// A present date text of the form YYYY-MM-DD. Wrong length, a non-digit
/// where a digit belongs or a wrong separator: 4, " is invalid date
/// format. ". MM-DD below "01-01" or above "12-31" compared as text: 9 with
/// the range detail. There is no calendar: 2024-02-30 passes.
int check_date(std::string_view name, std::string_view text);

/// Absent: " cannot be NULL. "; otherwise check_date.
int check_required_date(std::string_view name, const StringValue& text);

/// Absent: " cannot be NULL. "; not exactly three bytes 'A' to 'Z' each:
/// " is invalid country code. " (or currency code).
int check_country_code(std::string_view name, const StringValue& text);
int check_currency_code(std::string_view name, const StringValue& text);

/// Absent: " cannot be NULL. "; below 0 or above 1: the unit-interval
/// detail. Minus zero and not-a-number pass.
int check_unit_interval(std::string_view name, const DecimalValue& value);

/// The optional period of an invoice line, under the names "PeriodFromDate"
/// and "PeriodToDate": both absent passes; one without the other fails with
/// " cannot be NULL. " (a missing from-date is reported before the to-date
/// is looked at); each present date must pass check_date; a from-date that
/// sorts after the to-date fails with the subject "PeriodFromDate is after
/// PeriodToDate. ". Equal dates pass.
int check_period(const StringValue& from_date, const StringValue& to_date);

/// Absent: " cannot be NULL. "; no items: " list cannot be empty. "; a null
/// item: " list cannot contain NULL value. ".
template <class T>
int check_list(std::string_view name, const ListValue<T>& list) {
  if (!list) return fail(name, kCannotBeNull);
  if (list->empty()) return fail(name, kListEmpty);
  for (const auto& item : *list) {
    if (!item) return fail(name, kListHasNull);
  }
  return 0;
}

/// One alternative of check_choice.
struct Alternative {
  std::string_view name;
  bool present;
};

/// Exactly one of @a alternatives must be present. A present alternative
/// after the first present one fails under its own name with " conflicts
/// with another field value. "; none present fails under the first name
/// with " or the other(s) choice field(s) cannot be NULL. ".
int check_choice(std::initializer_list<Alternative> alternatives);

/// Absent: " cannot be NULL. "; below 0: " cannot be negative. ". Minus zero
/// and not-a-number pass the decimal check.
int check_non_negative_int(std::string_view name, const IntValue& value);
int check_non_negative_decimal(std::string_view name,
                               const DecimalValue& value);

/// Absent: " cannot be NULL. "; a bit set at position @a bit_count or above:
/// " contains invalid values. ". A negative value fails for counts below 32.
int check_bits(std::string_view name, const IntValue& value, int bit_count);

/// Present: 4 with @a detail (the caller's fixed text); absent passes.
int check_must_be_null(std::string_view name, bool present,
                       std::string_view detail);
template <class T>
int check_must_be_null(std::string_view name, const std::optional<T>& value,
                       std::string_view detail) {
  return check_must_be_null(name, value.has_value(), detail);
}
template <class T>
int check_must_be_null(std::string_view name, const std::unique_ptr<T>& value,
                       std::string_view detail) {
  return check_must_be_null(name, value != nullptr, detail);
}

/// Absent: " cannot be NULL. "; a non-digit among the first @a max_length
/// bytes: " is invalid. Can contain only digits. "; longer than
/// @a max_length: " is too long. ". The empty text passes.
int check_digits(std::string_view name, const StringValue& text,
                 std::size_t max_length);

/// Absent passes; outside [@a low, @a high]: " is out of range. ".
int check_int_range(std::string_view name, const IntValue& value,
                    std::int32_t low, std::int32_t high);

/// Absent: " cannot be NULL. ". Positions 0-1 must be 'A'-'Z', 2-3 digits,
/// 4-33 'A'-'Z' or digits, each group as far as the text reaches; otherwise
/// " is invalid. ". No length test and no check digits.
int check_iban(std::string_view name, const StringValue& text);

/// Absent: " cannot be NULL. ". Length 8 or 11, positions 0-5 'A'-'Z', the
/// rest 'A'-'Z' or digits; otherwise " is invalid. ".
int check_bic(std::string_view name, const StringValue& text);

/// Character-class scans: examine at most @a count bytes of @a text from
/// @a position on, stopping at its end; 4 at the first byte outside the class
/// ('0'-'9'; 'A'-'Z'; either), else 0. They leave the error state alone.
int scan_digits(std::string_view text, std::size_t position, std::size_t count);
int scan_upper(std::string_view text, std::size_t position, std::size_t count);
int scan_upper_alnum(std::string_view text, std::size_t position,
                     std::size_t count);

}  // namespace zarnex::validate

#endif  // ZARNEX_VALIDATE_VALIDATORS_H_
