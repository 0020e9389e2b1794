#include "base/number.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <locale.h>
#include <string>
#include <system_error>

namespace zarnex::code {

namespace {

// Magnitudes below this take the short paths; below it |value| * 1e8 stays
// below 2^60, and the value's binary exponent below -18.
constexpr double kShortLimit = 1e10;

// "00" to "99", two characters each.
constexpr char kDigitPairs[] =
    "000102030405060708091011121314151617181920212223242526272829"
    "303132333435363738394041424344454647484950515253545556575859"
    "606162636465666768697071727374757677787980818283848586878889"
    "90919293949596979899";
static_assert(sizeof kDigitPairs == 201);

// 10^0 to 10^8.
constexpr std::uint32_t kPowersOfTen[] = {1,      10,      100,
                                          1000,   10000,   100000,
                                          1000000, 10000000, 100000000};

// The number of decimal digits of @a n, which is below 10^8, without a
// branch: 1233 / 4096 is just above log10(2), so the bit length gives a
// guess that is the count or one less, and one comparison settles which.
int digit_count(std::uint32_t n) {
  n |= 1;  // 0 has one digit, as 1 has
  const int guess = (std::bit_width(n) * 1233) >> 12;
  return guess + (n >= kPowersOfTen[guess] ? 1 : 0);
}

// The eight decimal digits of @a n (below 10^8, with leading zeros) as eight
// characters in one word, the first digit in the byte that comes first in
// memory.
[[gnu::always_inline]] inline std::uint64_t eight_digits(std::uint32_t n) {
  const std::uint32_t high = n / 10000;
  const std::uint32_t low = n - high * 10000;
  char digits[8];
  std::memcpy(digits, kDigitPairs + 2 * (high / 100), 2);
  std::memcpy(digits + 2, kDigitPairs + 2 * (high % 100), 2);
  std::memcpy(digits + 4, kDigitPairs + 2 * (low / 100), 2);
  std::memcpy(digits + 6, kDigitPairs + 2 * (low % 100), 2);
  std::uint64_t word = 0;
  std::memcpy(&word, digits, 8);
  return word;
}

// Writes @a n (below 10^8) without leading zeros into 8 bytes at @a out and
// returns the number of digits; the bytes after them are scratch. No branch
// depends on the value: the leading zeros are shifted out of the word.
[[gnu::always_inline]] inline int write_up_to_eight_digits(std::uint32_t n,
                                                          char* out) {
  std::uint64_t word = eight_digits(n);
  const int count = digit_count(n);
  if constexpr (std::endian::native == std::endian::little) {
    word >>= 8 * (8 - count);
  } else {
    word <<= 8 * (8 - count);
  }
  std::memcpy(out, &word, 8);
  return count;
}

// Writes "." and the eight places of @a fraction (1 to 10^8 - 1) without
// their trailing zeros into 9 bytes at @a out and returns the length
// written; the bytes after it are scratch.
[[gnu::always_inline]] inline int write_places(std::uint32_t fraction,
                                              char* out) {
  const std::uint64_t word = eight_digits(fraction);
  out[0] = '.';
  std::memcpy(out + 1, &word, 8);
  // The trailing zeros are the last bytes in memory that hold '0'.
  const std::uint64_t nonzero = word ^ 0x3030303030303030u;
  const int zeros = (std::endian::native == std::endian::little
                         ? std::countl_zero(nonzero)
                         : std::countr_zero(nonzero)) / 8;
  return 1 + 8 - zeros;
}

#ifdef __SIZEOF_INT128__
__extension__ using Uint128 = unsigned __int128;

constexpr std::uint64_t kUnitsPerOne = 100000000;  // 10^8
constexpr std::uint64_t kFivePowEight = 390625;    // 5^8

// The "%.8f" form of a finite value below kShortLimit in magnitude,
// written from the exact binary value. printf rounds the exact value to
// eight decimals, halfway cases to even (the default rounding mode, which
// the tool never changes); so does this. The mark is always a dot, as in
// the C locale, whatever the caller's locale is. value = m * 2^e
// exactly, hence value * 10^8 = m * 5^8 * 2^(e + 8): an integer of at most
// 72 bits shifted right, whose dropped bits decide the rounding without any
// floating-point step.
std::size_t format_direct(double value, char* buffer) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const bool negative = (bits >> 63) != 0;
  const auto biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
  int exponent = -1074;  // subnormals and zero
  if (biased != 0) {
    mantissa |= std::uint64_t{1} << 52;
    exponent = biased - 1075;
  }
  const Uint128 scaled = static_cast<Uint128>(mantissa) * kFivePowEight;
  const int shift = -(exponent + 8);  // at least 11 below kShortLimit
  std::uint64_t units = 0;
  // From a shift of 74 on, scaled * 2^-shift is below 2^72 / 2^74 and
  // rounds to 0.
  if (shift < 74) {
    const Uint128 quotient = scaled >> shift;
    const Uint128 rest = scaled - (quotient << shift);
    const Uint128 half = static_cast<Uint128>(1) << (shift - 1);
    units = static_cast<std::uint64_t>(quotient);
    if (rest > half || (rest == half && (units & 1) != 0)) ++units;
  }

  // Longest text: "-", 11 integer digits (rounding can reach 10^10), ".",
  // 8 decimals.
  char* p = buffer;
  *p = '-';
  p += negative ? 1 : 0;  // printf keeps the sign of -0 and of -1e-9
  const std::uint64_t whole = units / kUnitsPerOne;
  if (whole < kUnitsPerOne) {
    p += write_up_to_eight_digits(static_cast<std::uint32_t>(whole), p);
  } else {
    p = std::to_chars(p, buffer + kShortDecimalRoom, whole).ptr;
  }
  const auto fraction = static_cast<std::uint32_t>(units % kUnitsPerOne);
  if (fraction != 0) p += write_places(fraction, p);
  return static_cast<std::size_t>(p - buffer);
}
#endif

}  // namespace

std::string format_decimal(double value) {
  std::string text;
  append_decimal(text, value);
  return text;
}

namespace {

// Below this magnitude a double is never more than 2^-28 (less than 5e-9)
// away from the nearest number with two places that it stands for.
constexpr double kCentsLimit = 67108864.0;  // 2^26

// How many characters the places of an amount take: none for 0, ".5" for a
// multiple of ten, ".25" or ".05" otherwise.
constexpr auto kPlacesLengths = [] {
  std::array<std::uint8_t, 100> lengths{};
  for (std::size_t places = 1; places < 100; ++places)
    lengths[places] = places % 10 == 0 ? 2 : 3;
  return lengths;
}();

// The common amount: at most two places, below kCentsLimit in magnitude.
// When the double nearest to cents / 100 is the value, the exact value lies
// within 2^-28 of cents / 100, so rounding it to eight places ("%.8f") gives
// cents / 100 itself. Returns the length written, or 0 for any other value.
// Amounts come in every length, so the digits are written without branches
// on their values (mispredicted branches cost more than the digits): always
// eight digits, of which the leading zeros are then shifted out, and always
// the places, of which only those that count are kept. Bytes after the text
// may be written too, within kShortDecimalRoom.
std::size_t format_cents(double value, char* buffer) {
  const double magnitude = std::fabs(value);
  if (!(magnitude < kCentsLimit)) return 0;
  // Through a signed conversion, which costs one instruction (the value is
  // below 2^33).
  const auto cents = static_cast<std::uint64_t>(
      static_cast<std::int64_t>(magnitude * 100.0 + 0.5));
  if (static_cast<double>(static_cast<std::int64_t>(cents)) / 100.0 != magnitude)
    return 0;
  char* p = buffer;
  *p = '-';
  p += std::signbit(value) ? 1 : 0;  // printf keeps the sign of -0
  const auto whole = static_cast<std::uint32_t>(cents / 100);
  const auto places =
      static_cast<std::uint32_t>(cents - std::uint64_t{whole} * 100);
  p += write_up_to_eight_digits(whole, p);
  p[0] = '.';
  std::memcpy(p + 1, kDigitPairs + 2 * places, 2);
  p += kPlacesLengths[places];
  return static_cast<std::size_t>(p - buffer);
}

// The places of a fixed-notation text: the digits after its dot, none
// without one.
int places_of(const char* first, const char* last) {
  const auto* dot = static_cast<const char*>(
      std::memchr(first, '.', static_cast<std::size_t>(last - first)));
  return dot == nullptr ? 0 : static_cast<int>(last - dot - 1);
}

// The "%.8f" form with its trailing zeros and dot removed, written by
// std::to_chars, which rounds the exact binary value to eight places as
// printf does (halfway cases to even) and always writes a dot. Returns the
// length, or 0 when it does not fit into @a size bytes.
std::size_t format_eight_places(double value, char* buffer, std::size_t size) {
  auto [end, error] = std::to_chars(buffer, buffer + size, value,
                                    std::chars_format::fixed, kWrittenPlaces);
  if (error != std::errc()) return 0;
  if (std::memchr(buffer, '.', static_cast<std::size_t>(end - buffer)) !=
      nullptr) {
    while (end[-1] == '0') --end;
    if (end[-1] == '.') --end;
  }
  return static_cast<std::size_t>(end - buffer);
}

// The shortest fixed-notation text that reads back as @a value: printf
// "%.Nf" in the C locale with the least N that gives the value back
// (std::to_chars). Returns its length when it has at most kWrittenPlaces
// places and fits into @a size bytes, 0 otherwise.
std::size_t format_shortest(double value, char* buffer, std::size_t size) {
  auto [end, error] =
      std::to_chars(buffer, buffer + size, value, std::chars_format::fixed);
  if (error != std::errc() || places_of(buffer, end) > kWrittenPlaces) return 0;
  return static_cast<std::size_t>(end - buffer);
}

// Room for any double in fixed notation with eight places: a sign, 309
// integer digits, the dot and the places.
constexpr std::size_t kLongDecimalRoom = 1 + 309 + 1 + kWrittenPlaces;

// A value from 2^26 to 1e10 in magnitude. Below 2^26 a double lies less
// than 5e-9 from every text of at most eight places that reads back as it,
// so "%.8f" is its shortest text whenever that has at most eight places.
// From 2^26 on the eighth place can show the binary value's distance from
// the text it was read from (99999999.99 is 99999999.989999994...): the
// shortest text is written when it has at most eight places. Rare, so kept
// out of the common path.
[[gnu::noinline]] std::size_t format_large(double value, char* buffer) {
  if (std::size_t n = format_shortest(value, buffer, kShortDecimalRoom))
    return n;
#ifdef __SIZEOF_INT128__
  return format_direct(value, buffer);
#else
  return format_eight_places(value, buffer, kShortDecimalRoom);
#endif
}

// Beyond the short form: 1e10 and more in magnitude, infinities and NaN.
// There the shortest text has at most six places (a double holds at most 17
// significant digits), infinities and NaN none; eight places are only a
// safeguard.
[[gnu::noinline]] void append_long_decimal(std::string& out, double value) {
  char buffer[kLongDecimalRoom];
  std::size_t n = format_shortest(value, buffer, sizeof buffer);
  if (n == 0) n = format_eight_places(value, buffer, sizeof buffer);
  out.append(buffer, n);
}

}  // namespace

std::size_t format_short_decimal(double value, char* buffer) {
  if (std::size_t n = format_cents(value, buffer); n != 0) return n;
  const double magnitude = std::fabs(value);
  if (magnitude < kCentsLimit) {
#ifdef __SIZEOF_INT128__
    return format_direct(value, buffer);
#else
    return format_eight_places(value, buffer, kShortDecimalRoom);
#endif
  }
  // Also false for NaN; infinities and larger values take the long way.
  if (magnitude < kShortLimit) return format_large(value, buffer);
  return 0;
}

void append_decimal(std::string& out, double value) {
  char buffer[kShortDecimalRoom];
  if (std::size_t n = format_short_decimal(value, buffer); n != 0) {
    out.append(buffer, n);
  } else {
    append_long_decimal(out, value);
  }
}

namespace {

// Powers of ten up to 10^kWrittenPlaces, exact in a double.
constexpr double kPlaceScales[] = {1e0, 1e1, 1e2, 1e3, 1e4,
                                   1e5, 1e6, 1e7, 1e8};
static_assert(std::size(kPlaceScales) == kWrittenPlaces + 1);

// Below this, value * 10^places, for the double nearest to a text with that
// many places, is computed within a quarter of the integer that the text's
// digits make, so rounding it to the nearest integer finds that integer.
constexpr double kScaledLimit = 1125899906842624.0;  // 2^50

// Below this a double is less than 2^-12 from the next one, so two texts of
// at most two places that differ never read back as the same double.
constexpr double kFewPlacesLimit = 1099511627776.0;  // 2^40

// The integer nearest to @a x (0 to 2^52), halfway cases to even: adding
// 2^52 leaves no bit below the units, and the addition rounds as the
// default rounding mode does (nearbyint would be a call to the C library).
inline double nearest_integer(double x) {
  constexpr double kTwoPow52 = 4503599627370496.0;
  return (x + kTwoPow52) - kTwoPow52;
}

}  // namespace

int decimal_places(double value) {
  if (!std::isfinite(value)) return 0;
  const double magnitude = std::fabs(value);
  // The fewest places p for which the integer nearest to magnitude * 10^p,
  // divided by 10^p (correctly rounded), gives the magnitude back: the text
  // of that integer with p places reads back as the value, and one with
  // fewer places does not. Amounts have two places or none: both are told
  // apart by one trial.
  int places = 0;
  if (magnitude < kFewPlacesLimit) {
    const double cents = nearest_integer(magnitude * 100.0);
    if (cents / 100.0 == magnitude) {
      const auto whole_cents = static_cast<std::uint64_t>(cents);
      return whole_cents % 100 == 0 ? 0 : whole_cents % 10 == 0 ? 1 : 2;
    }
    places = 3;
  }
  for (; places <= kWrittenPlaces; ++places) {
    const double scale = kPlaceScales[places];
    const double scaled = magnitude * scale;
    if (!(scaled < kScaledLimit)) break;
    if (nearest_integer(scaled) / scale == magnitude) return places;
  }
  char buffer[kLongDecimalRoom];
  auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value,
                    std::chars_format::fixed);
  if (error != std::errc()) return kWrittenPlaces + 1;
  return std::min(places_of(buffer, end), kWrittenPlaces + 1);
}

double round_to_places(double value, int places) {
  if (!std::isfinite(value) || places < 0 || places > kWrittenPlaces)
    return value;
  const double scale = kPlaceScales[places];
  const double scaled = std::fabs(value) * scale;
  // The integer nearest to the scaled value, divided by an exact power of
  // ten, is the double nearest to the rounded decimal, as from_chars would
  // read it. The sign of a zero is kept (-0.001 rounds to -0, as printf
  // writes it).
  if (scaled < kScaledLimit)
    return std::copysign(nearest_integer(scaled) / scale, value);
  // Larger values: the exact binary value rounded to the places as text,
  // read back.
  char buffer[kLongDecimalRoom];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::fixed, places);
  if (error != std::errc()) return value;
  double rounded = value;
  std::from_chars(buffer, end, rounded);
  return rounded;
}

namespace {

// The "C" locale, for the C library's readers: numbers are read as there,
// whatever locale the program that uses the library has set (a comma is no
// decimal mark, white space is the C locale's). Made once, never freed; null
// only when the C library could not allocate it.
locale_t c_locale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
  return locale;
}

// The general readers, which the fast paths below fall back on. They read a
// NUL-terminated text with the C library in the "C" locale, exactly as
// documented.
int parse_int_with_strtoll(const char* text, std::int32_t* out) {
  const locale_t locale = c_locale();
  if (locale == locale_t{}) return kNumberMalformed;
  char* end = nullptr;
  errno = 0;
  long long value = strtoll_l(text, &end, 10, locale);
  if (*end != '\0') return kNumberMalformed;
  int result = kNumberOk;
  if (errno == ERANGE || value > INT32_MAX || value < INT32_MIN) {
    result = kNumberOutOfRange;
    value = value < 0 ? INT32_MIN : INT32_MAX;
  }
  if (out != nullptr) *out = static_cast<std::int32_t>(value);
  return result;
}

int parse_decimal_with_strtod(const char* text, double* out) {
  const locale_t locale = c_locale();
  if (locale == locale_t{}) return kNumberMalformed;
  char* end = nullptr;
  const double value = strtod_l(text, &end, locale);
  if (*end != '\0') return kNumberMalformed;
  if (out != nullptr) *out = value;
  return std::isfinite(value) ? kNumberOk : kNumberOutOfRange;
}

// A view holding a NUL cannot be a number: the C readers would stop there.
// Otherwise the view is copied to get its terminating NUL.
template <class Value>
int parse_copy(std::string_view text, Value* out,
               int (*parse)(const char*, Value*)) {
  if (std::memchr(text.data(), '\0', text.size()) != nullptr)
    return kNumberMalformed;
  return parse(std::string(text).c_str(), out);
}

}  // namespace

// std::from_chars reads the common forms (digits, a minus sign, a dot, an
// exponent) without the C library's locale machinery and gives the same
// value, correctly rounded, as the C library in the "C" locale. Whatever it
// does not take whole, or takes as a value out of range or not finite, goes
// to the C reader, which decides:
// white space, a plus sign, the empty text, hexadecimal numbers, clamping,
// nan and inf, and every malformed text.
int parse_int(std::string_view text, std::int32_t* out) {
  const char* last = text.data() + text.size();
  std::int32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), last, value);
  if (error == std::errc() && end == last && !text.empty()) {
    if (out != nullptr) *out = value;
    return kNumberOk;
  }
  return parse_copy(text, out, parse_int_with_strtoll);
}

int parse_int(const char* text, std::int32_t* out) {
  if (text == nullptr) return kNumberMalformed;
  return parse_int(std::string_view(text), out);
}

namespace {

// Powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr std::uint64_t kExactIntegerLimit = std::uint64_t{1} << 53;
// More digits than this could overflow 64 bits.
constexpr std::ptrdiff_t kMaxPlainDigits = 19;

}  // namespace

// The plain form of nearly every decimal: an optional minus, digits, and
// optionally a dot with more digits. When the digits make an integer that a
// double holds exactly and the places are few enough for an exact power of
// ten, one division (correctly rounded) gives the correctly rounded value,
// the same that from_chars and strtod give. False for any other text.
bool parse_plain_decimal(std::string_view text, double* out, int* places) {
  const char* p = text.data();
  const char* const end = p + text.size();
  const bool negative = p != end && *p == '-';
  if (negative) ++p;
  // Unsigned arithmetic: too many digits wrap around harmlessly and are
  // refused below.
  std::uint64_t digits = 0;
  const char* const first = p;
  while (p != end && static_cast<unsigned char>(*p - '0') < 10)
    digits = digits * 10 + static_cast<unsigned char>(*p++ - '0');
  std::ptrdiff_t count = p - first;
  if (count == 0) return false;
  std::ptrdiff_t fraction_digits = 0;
  if (p != end && *p == '.') {
    const char* const fraction = ++p;
    while (p != end && static_cast<unsigned char>(*p - '0') < 10)
      digits = digits * 10 + static_cast<unsigned char>(*p++ - '0');
    fraction_digits = p - fraction;
    if (fraction_digits == 0) return false;
    count += fraction_digits;
  }
  if (p != end || count > kMaxPlainDigits || digits > kExactIntegerLimit ||
      fraction_digits >=
          static_cast<std::ptrdiff_t>(std::size(kExactPowersOfTen)))
    return false;
  double value = static_cast<double>(digits);
  if (fraction_digits != 0) value /= kExactPowersOfTen[fraction_digits];
  if (out != nullptr) *out = negative ? -value : value;
  if (places != nullptr) *places = static_cast<int>(fraction_digits);
  return true;
}

int parse_decimal(std::string_view text, double* out) {
  if (parse_plain_decimal(text, out, nullptr)) return kNumberOk;
  const char* last = text.data() + text.size();
  double value = 0.0;
  auto [end, error] = std::from_chars(text.data(), last, value);
  if (error == std::errc() && end == last && !text.empty() &&
      std::isfinite(value)) {
    if (out != nullptr) *out = value;
    return kNumberOk;
  }
  return parse_copy(text, out, parse_decimal_with_strtod);
}

int parse_decimal(const char* text, double* out) {
  if (text == nullptr) return kNumberMalformed;
  return parse_decimal(std::string_view(text), out);
}

}  // namespace zarnex::code

