#include "code/number.h"

#include <bit>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace zarnex::code {

namespace {

// The general form: printf "%.8f", then the decimal comma of a locale turned
// into a dot and the trailing zeros and dot removed.
std::string format_with_printf(double value) {
  char buffer[64];
  int n = std::snprintf(buffer, sizeof buffer, "%.8f", value);
  std::string text;
  if (n < 0) return text;
  if (static_cast<std::size_t>(n) < sizeof buffer) {
    text.assign(buffer, static_cast<std::size_t>(n));
  } else {
    text.resize(static_cast<std::size_t>(n));
    std::snprintf(text.data(), text.size() + 1, "%.8f", value);
  }
  std::size_t comma = text.rfind(',');
  if (comma != std::string::npos) text[comma] = '.';
  if (text.find('.') == std::string::npos) return text;
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

#ifdef __SIZEOF_INT128__
__extension__ using Uint128 = unsigned __int128;

// Magnitudes below this take the direct path: |value| * 1e8 then stays
// below 2^60, and the value's binary exponent below -18.
constexpr double kDirectLimit = 1e10;
constexpr std::uint64_t kUnitsPerOne = 100000000;  // 10^8
constexpr std::uint64_t kFivePowEight = 390625;    // 5^8

// The "%.8f" form of a finite value below kDirectLimit in magnitude,
// written from the exact binary value. printf rounds the exact value to
// eight decimals, halfway cases to even (the default rounding mode, which
// the tool never changes); so does this. The mark is always a dot, as the
// rule makes of the C locale's dot or a decimal comma. value = m * 2^e exactly, hence value * 10^8 = m * 5^8 *
// 2^(e + 8): an integer of at most 72 bits shifted right, whose dropped
// bits decide the rounding without any floating-point step.
std::string format_direct(double value) {
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
  const int shift = -(exponent + 8);  // at least 11 below kDirectLimit
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
  char buffer[24];
  char* end = buffer + sizeof buffer;
  char* start = end;
  std::uint64_t whole = units / kUnitsPerOne;
  auto fraction = static_cast<std::uint32_t>(units % kUnitsPerOne);
  if (fraction != 0) {
    int digits = 8;
    while (fraction % 10 == 0) {
      fraction /= 10;
      --digits;
    }
    for (; digits > 0; --digits) {
      *--start = static_cast<char>('0' + fraction % 10);
      fraction /= 10;
    }
    *--start = '.';
  }
  do {
    *--start = static_cast<char>('0' + whole % 10);
    whole /= 10;
  } while (whole != 0);
  if (negative) *--start = '-';  // printf keeps the sign of -0 and of -1e-9
  return std::string(start, end);
}
#endif

}  // namespace

std::string format_decimal(double value) {
#ifdef __SIZEOF_INT128__
  // Also false for NaN; infinities and large values go to printf.
  if (std::fabs(value) < kDirectLimit) return format_direct(value);
#endif
  return format_with_printf(value);
}

int parse_int(const char* text, std::int32_t* out) {
  if (text == nullptr) return kNumberMalformed;
  char* end = nullptr;
  errno = 0;
  long long value = std::strtoll(text, &end, 10);
  if (*end != '\0') return kNumberMalformed;
  int result = kNumberOk;
  if (errno == ERANGE || value > INT32_MAX || value < INT32_MIN) {
    result = kNumberOutOfRange;
    value = value < 0 ? INT32_MIN : INT32_MAX;
  }
  if (out != nullptr) *out = static_cast<std::int32_t>(value);
  return result;
}

int parse_decimal(const char* text, double* out) {
  if (text == nullptr) return kNumberMalformed;
  char* end = nullptr;
  double value = std::strtod(text, &end);
  if (*end != '\0') {
    // Retry with the last dot as a comma, for a locale whose mark is ','.
    std::string copy(text);
    std::size_t dot = copy.rfind('.');
    if (dot != std::string::npos) copy[dot] = ',';
    value = std::strtod(copy.c_str(), &end);
    if (*end != '\0') return kNumberMalformed;
  }
  if (out != nullptr) *out = value;
  return std::isfinite(value) ? kNumberOk : kNumberOutOfRange;
}

}  // namespace zarnex::code
