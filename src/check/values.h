#ifndef ZARNEX_CHECK_VALUES_H_
#define ZARNEX_CHECK_VALUES_H_

// The value checks of strict reading: what the default rules let through
// (a date that is not in the calendar, an IBAN whose check digits are
// wrong, ...). Texts are examined byte by byte in ASCII.

#include <optional>
#include <string>
#include <string_view>

#include "check/grammar.h"

namespace zarnex::check {

/// YYYY-MM-DD naming a day of the Gregorian calendar (leap years included).
bool is_calendar_date(std::string_view text);

/// The ISO 13616 check: the IBAN with its first four characters moved to
/// the end, letters as 10 to 35, is 1 modulo 97. Only upper-case letters
/// and digits; false for anything shorter than five characters.
bool iban_check_digits_ok(std::string_view iban);

/// ISO 9362: four letters (institution), the ISO 3166-1 alpha-2 code of a
/// country, two letters or digits (location), optionally three letters or
/// digits (branch).
bool is_bic(std::string_view text);

/// Whether format_decimal() writes @a value so that it reads back as the
/// same number: at most eight places after the point.
bool decimal_fits(double value);

/// A value's failure: the error code and the detail that follows the
/// element name ("IBAN" + " has wrong check digits. ").
struct ValueProblem {
  int code;
  std::string detail;
};

/// Checks the text of an element of a value form (not kRecord or kList).
/// Flag sets are given as their XML text.
std::optional<ValueProblem> check_value(const Element& element,
                                        std::string_view text);

/// Checks one word of a JSON flag set (an array of names).
std::optional<ValueProblem> check_flag_word(const Element& element,
                                            std::string_view word);

}  // namespace zarnex::check

#endif  // ZARNEX_CHECK_VALUES_H_
