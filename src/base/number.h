#ifndef ZARNEX_BASE_NUMBER_H_
#define ZARNEX_BASE_NUMBER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zarnex::code {

/// Results of parse_int and parse_decimal.
inline constexpr int kNumberOk = 0;
inline constexpr int kNumberMalformed = -1;
/// The whole text is a number, but beyond what the type holds: parse_int
/// stored the value clamped to the 32-bit range, parse_decimal stored a
/// non-finite value (nan, inf, or an overflow to infinity). The readers of
/// XML and of field sequences refuse it like a malformed number.
inline constexpr int kNumberOutOfRange = 1;

/// The most places that a decimal is written with.
inline constexpr int kWrittenPlaces = 8;

/// The one decimal text form of the system, used in field sequences and XML,
/// the same in every locale (a dot as decimal mark): the shortest text in
/// fixed notation that reads back as @a value when that text has at most
/// eight places (99999999.99 -> "99999999.99", 1e20 -> "1000...0", all 21
/// digits), otherwise "%.8f" with its trailing zeros and trailing dot removed
/// (1.0 / 3 -> "0.33333333", 1e-9 -> "0", -1e-9 -> "-0"). Below 2^26 in
/// magnitude both rules give the "%.8f" text, which is what every value was
/// written as before.
std::string format_decimal(double value);

/// Appends format_decimal(@a value) to @a out without a temporary string.
void append_decimal(std::string& out, double value);

/// Room for format_decimal's text of a value below 1e10 in magnitude.
inline constexpr std::size_t kShortDecimalRoom = 24;

/// Writes format_decimal(@a value) into @a buffer (kShortDecimalRoom bytes)
/// and returns its length when the value is below 1e10 in magnitude, the
/// amounts of every document; returns 0 otherwise. The bytes of the buffer
/// after the text may be overwritten too.
std::size_t format_short_decimal(double value, char* buffer);

/// Reads @a text as a base-10 integer the way strtol does in the "C" locale
/// (leading white space, optional sign, digits), whatever the caller's
/// locale is, requiring the whole text to be consumed. Stores the value in
/// @a out (when not null) unless the text is malformed.
int parse_int(const char* text, std::int32_t* out);
/// The same for a text that need not end in a NUL: the whole of @a text is
/// read (a NUL byte in it is malformed).
int parse_int(std::string_view text, std::int32_t* out);

/// Reads @a text as a floating-point number the way strtod does in the "C"
/// locale, whatever the caller's locale is, requiring the whole text to be
/// consumed: a dot is the decimal mark, a comma is malformed. Stores the
/// value in @a out (when not null) unless the text is malformed.
int parse_decimal(const char* text, double* out);
/// The same for a text that need not end in a NUL: the whole of @a text is
/// read (a NUL byte in it is malformed).
int parse_decimal(std::string_view text, double* out);

/// Reads the plain form of nearly every decimal ("-12.50": an optional minus,
/// digits, optionally a dot and more digits) when it can do so exactly
/// without the general reader, storing what parse_decimal would store and the
/// number of places in @a places. False, storing nothing, for any other text;
/// parse_decimal decides those.
bool parse_plain_decimal(std::string_view text, double* out, int* places);

/// The places of format_decimal's text of @a value (0 for integers,
/// infinities and NaN), or kWrittenPlaces + 1 when its shortest text has
/// more than kWrittenPlaces places. For the value of a decimal text read
/// with parse_decimal it is at most the places of that text.
int decimal_places(double value);

/// The double nearest to @a value rounded to @a places decimal places (0 to
/// kWrittenPlaces, halfway cases to even), so that format_decimal writes it
/// with at most that many places; the sign of a zero is kept. @a value
/// itself for any other number of places and for infinities and NaN.
double round_to_places(double value, int places);

}  // namespace zarnex::code

#endif  // ZARNEX_BASE_NUMBER_H_
