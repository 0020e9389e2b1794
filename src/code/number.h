#ifndef ZARNEX_CODE_NUMBER_H_
#define ZARNEX_CODE_NUMBER_H_

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
/// non-finite value (nan, inf, or an overflow to infinity). Lenient readers
/// accept it; strict readers refuse it.
inline constexpr int kNumberOutOfRange = 1;

/// The one decimal text form of the system, used in field sequences and XML:
/// "%.8f", a dot as decimal mark, trailing zeros and a trailing dot removed
/// (100 -> "100", 0.1 -> "0.1", -0.000000001 -> "-0").
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

/// Reads @a text as a base-10 integer the way strtol does (leading white
/// space, optional sign, digits), requiring the whole text to be consumed.
/// Stores the value in @a out (when not null) unless the text is malformed.
int parse_int(const char* text, std::int32_t* out);
/// The same for a text that need not end in a NUL: the whole of @a text is
/// read (a NUL byte in it is malformed).
int parse_int(std::string_view text, std::int32_t* out);

/// Reads @a text as a floating-point number the way strtod does, requiring
/// the whole text to be consumed; a dot is the decimal mark whatever the
/// locale's mark is. Stores the value in @a out (when not null) unless the
/// text is malformed.
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

}  // namespace zarnex::code

#endif  // ZARNEX_CODE_NUMBER_H_
