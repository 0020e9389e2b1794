#include "base/number.h"

#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/test_locale.h"

namespace zarnex::code {
namespace {

TEST(FormatDecimal, KnownForms) {
  EXPECT_EQ(format_decimal(100), "100");
  EXPECT_EQ(format_decimal(0.1), "0.1");
  EXPECT_EQ(format_decimal(12.5), "12.5");
  EXPECT_EQ(format_decimal(0), "0");
  EXPECT_EQ(format_decimal(-0.5), "-0.5");
  EXPECT_EQ(format_decimal(1500), "1500");
  EXPECT_EQ(format_decimal(1500.5), "1500.5");
  EXPECT_EQ(format_decimal(0.005), "0.005");
  EXPECT_EQ(format_decimal(1.0 / 3.0), "0.33333333");
}

TEST(FormatDecimal, EightDecimalsAtMostAndSignKept) {
  EXPECT_EQ(format_decimal(1.123456789), "1.12345679");
  EXPECT_EQ(format_decimal(0.000000001), "0");
  EXPECT_EQ(format_decimal(-0.000000001), "-0");
  // The whole printout is kept, however long.
  EXPECT_EQ(format_decimal(1234567.12345678), "1234567.12345678");
  EXPECT_EQ(format_decimal(1e20), "100000000000000000000");
}

// From 2^26 on, "%.8f" shows the binary value (99999999.99 is
// 99999999.989999994635582); the shortest text that reads back is written
// when it has at most eight places, as every amount read from a text with
// at most eight places does.
TEST(FormatDecimal, LargeAmountsKeepTheirDigits) {
  EXPECT_EQ(format_decimal(99999999.99), "99999999.99");
  EXPECT_EQ(format_decimal(-99999999.99), "-99999999.99");
  EXPECT_EQ(format_decimal(22999999.99), "22999999.99");  // below 2^26 anyway
  EXPECT_EQ(format_decimal(122999999.98), "122999999.98");
  EXPECT_EQ(format_decimal(67108864.01), "67108864.01");
  EXPECT_EQ(format_decimal(67108863.99), "67108863.99");
  EXPECT_EQ(format_decimal(123456789.12345678), "123456789.12345678");
  EXPECT_EQ(format_decimal(9999999999.99), "9999999999.99");
  EXPECT_EQ(format_decimal(10000000000.5), "10000000000.5");
  EXPECT_EQ(format_decimal(12345678901.23), "12345678901.23");
  EXPECT_EQ(format_decimal(-98765432109876.54), "-98765432109876.55");
  // Integers beyond 2^53 keep every digit of their value, as before.
  EXPECT_EQ(format_decimal(9007199254740993.0), "9007199254740992");
  EXPECT_EQ(format_decimal(1e23), "99999999999999991611392");
  // A value whose shortest text has more than eight places is still
  // written with eight: 2^26 + 2^-26 is 67108864.0000000149011611938...
  EXPECT_EQ(format_decimal(67108864.0 + 1.0 / 67108864.0), "67108864.00000001");
  EXPECT_EQ(format_decimal(67108864.0 + 3.0 / 67108864.0), "67108864.00000004");
  EXPECT_EQ(format_decimal(HUGE_VAL), "inf");
  EXPECT_EQ(format_decimal(-HUGE_VAL), "-inf");
  // The short form agrees below 1e10.
  char buffer[kShortDecimalRoom];
  const std::size_t n = format_short_decimal(99999999.99, buffer);
  EXPECT_EQ(std::string(buffer, n), "99999999.99");
}

TEST(DecimalPlaces, KnownValues) {
  EXPECT_EQ(decimal_places(0.0), 0);
  EXPECT_EQ(decimal_places(-0.0), 0);
  EXPECT_EQ(decimal_places(100), 0);
  EXPECT_EQ(decimal_places(12.5), 1);
  EXPECT_EQ(decimal_places(-0.05), 2);
  // 0.30000000000000004
  EXPECT_EQ(decimal_places(0.1 + 0.2), kWrittenPlaces + 1);
  EXPECT_EQ(decimal_places(1.0 / 3.0), kWrittenPlaces + 1);
  EXPECT_EQ(decimal_places(0.12345678), 8);
  EXPECT_EQ(decimal_places(99999999.99), 2);
  // 122999999.97999999 reads back as the sum of the two doubles.
  EXPECT_EQ(decimal_places(99999999.99 + 22999999.99), 8);
  EXPECT_EQ(decimal_places(122999999.98), 2);
  EXPECT_EQ(decimal_places(1e23), 0);
  EXPECT_EQ(decimal_places(12345678901234.5), 1);
  EXPECT_EQ(decimal_places(HUGE_VAL), 0);
}

TEST(RoundToPlaces, KnownValues) {
  EXPECT_EQ(round_to_places(99999999.99 + 22999999.99, 2), 122999999.98);
  EXPECT_EQ(format_decimal(round_to_places(99999999.99 + 22999999.99, 2)),
            "122999999.98");
  EXPECT_EQ(round_to_places(0.1 + 0.2, 1), 0.3);
  EXPECT_EQ(round_to_places(2.675, 2), 2.68);  // the double's text, 2.675
  EXPECT_EQ(round_to_places(12.345, 0), 12.0);
  EXPECT_EQ(round_to_places(-1.5, 0), -2.0);
  EXPECT_TRUE(std::signbit(round_to_places(-0.001, 2)));  // -0, as printed
  EXPECT_EQ(round_to_places(1.0 / 3.0, 8), 0.33333333);
  // Other place counts and non-finite values are left alone.
  EXPECT_EQ(round_to_places(1.0 / 3.0, 9), 1.0 / 3.0);
  EXPECT_EQ(round_to_places(1.0 / 3.0, -1), 1.0 / 3.0);
  EXPECT_EQ(round_to_places(HUGE_VAL, 2), HUGE_VAL);
  EXPECT_TRUE(std::isnan(round_to_places(std::nan(""), 2)));
  // Beyond the direct range, through the text.
  EXPECT_EQ(round_to_places(123456789012345.67, 1), 123456789012345.7);
  EXPECT_EQ(round_to_places(1e300, 8), 1e300);
}

TEST(ParseInt, AcceptsWhatStrtolConsumesWhole) {
  std::int32_t value = -1;
  EXPECT_EQ(parse_int("12", &value), kNumberOk);
  EXPECT_EQ(value, 12);
  EXPECT_EQ(parse_int("  42", &value), kNumberOk);
  EXPECT_EQ(value, 42);
  EXPECT_EQ(parse_int("+7", &value), kNumberOk);
  EXPECT_EQ(value, 7);
  EXPECT_EQ(parse_int("-3", &value), kNumberOk);
  EXPECT_EQ(value, -3);
  // The empty text converts nothing but leaves nothing over.
  EXPECT_EQ(parse_int("", &value), kNumberOk);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(parse_int("5", nullptr), kNumberOk);
}

TEST(ParseInt, MalformedStoresNothing) {
  const char* const kMalformed[] = {
      "12x",   // trailing letter
      "0x10",  // base 10 only: stops at the x
      "42 ",   // trailing blank
      " ",     // only white space
      "nan",   // not a number
      "1.5",   // decimal
      "12,5",  // decimal comma
  };
  for (const char* text : kMalformed) {
    std::int32_t value = 99;
    EXPECT_EQ(parse_int(text, &value), kNumberMalformed) << text;
    EXPECT_EQ(value, 99) << text;
  }
  EXPECT_EQ(parse_int(nullptr, nullptr), kNumberMalformed);
}

TEST(ParseInt, OutOfRangeIsClamped) {
  std::int32_t value = 0;
  EXPECT_EQ(parse_int("99999999999", &value), kNumberOutOfRange);
  EXPECT_EQ(value, INT32_MAX);
  EXPECT_EQ(parse_int("-99999999999", &value), kNumberOutOfRange);
  EXPECT_EQ(value, INT32_MIN);
  EXPECT_EQ(parse_int("2147483647", &value), kNumberOk);
  EXPECT_EQ(value, INT32_MAX);
  EXPECT_EQ(parse_int("2147483648", &value), kNumberOutOfRange);
  EXPECT_EQ(value, INT32_MAX);
  EXPECT_EQ(parse_int("-2147483648", &value), kNumberOk);
  EXPECT_EQ(value, INT32_MIN);
}

TEST(ParseDecimal, AcceptsWhatStrtodConsumesWhole) {
  double value = -1;
  EXPECT_EQ(parse_decimal("12.50", &value), kNumberOk);
  EXPECT_EQ(value, 12.5);
  EXPECT_EQ(parse_decimal(" -0.5", &value), kNumberOk);
  EXPECT_EQ(value, -0.5);
  EXPECT_EQ(parse_decimal("+7", &value), kNumberOk);
  EXPECT_EQ(value, 7.0);
  EXPECT_EQ(parse_decimal("1e3", &value), kNumberOk);
  EXPECT_EQ(value, 1000.0);
  // strtod reads hexadecimal floating-point numbers.
  EXPECT_EQ(parse_decimal("0x10", &value), kNumberOk);
  EXPECT_EQ(value, 16.0);
  EXPECT_EQ(parse_decimal("", &value), kNumberOk);
  EXPECT_EQ(value, 0.0);
}

TEST(ParseDecimal, MalformedStoresNothing) {
  // The C locale's mark is the dot, so a comma is not a decimal mark.
  const char* const kMalformed[] = {"12x", "12,50", "1.2.3", " ", "1.5 ", "abc"};
  for (const char* text : kMalformed) {
    double value = 99;
    EXPECT_EQ(parse_decimal(text, &value), kNumberMalformed) << text;
    EXPECT_EQ(value, 99) << text;
  }
  EXPECT_EQ(parse_decimal(nullptr, nullptr), kNumberMalformed);
}

TEST(ParseDecimal, NonFiniteIsOutOfRange) {
  double value = 0;
  EXPECT_EQ(parse_decimal("nan", &value), kNumberOutOfRange);
  EXPECT_TRUE(std::isnan(value));
  EXPECT_EQ(parse_decimal("inf", &value), kNumberOutOfRange);
  EXPECT_EQ(value, HUGE_VAL);
  EXPECT_EQ(parse_decimal("-1e999", &value), kNumberOutOfRange);
  EXPECT_EQ(value, -HUGE_VAL);
}

// The readers take the common forms through a fast path and fall back on
// the C library for the rest. Over texts drawn from the characters of
// numbers and their neighbours, both readers (C string and view) must give
// the result and value of strtoll / strtod consuming the whole text.
TEST(ParseNumbers, AgreeWithTheCLibraryOnRandomTexts) {
  static constexpr char kChars[] = "0123456789999..--+eE xXpPnaifNAIF,\t";
  std::mt19937 random(99);
  int checked = 0;
  for (int i = 0; i < 200000; ++i) {
    std::string text;
    const std::size_t length = random() % 12;
    for (std::size_t k = 0; k < length; ++k)
      text.push_back(kChars[random() % (sizeof kChars - 1)]);
    if (i % 7 == 0) text = std::to_string(static_cast<std::int64_t>(random()) -
                                          (std::int64_t{1} << 31) * (i % 3));

    char* end = nullptr;
    errno = 0;
    const long long whole = std::strtoll(text.c_str(), &end, 10);
    int int_expected = kNumberMalformed;
    std::int32_t int_value = 0;
    if (*end == '\0') {
      const bool clamped =
          errno == ERANGE || whole > INT32_MAX || whole < INT32_MIN;
      int_expected = clamped ? kNumberOutOfRange : kNumberOk;
      int_value = clamped ? (whole < 0 ? INT32_MIN : INT32_MAX)
                          : static_cast<std::int32_t>(whole);
    }
    std::int32_t from_c = -7;
    std::int32_t from_view = -7;
    ASSERT_EQ(parse_int(text.c_str(), &from_c), int_expected) << text;
    ASSERT_EQ(parse_int(std::string_view(text), &from_view), int_expected)
        << text;
    if (int_expected != kNumberMalformed) {
      EXPECT_EQ(from_c, int_value) << text;
      EXPECT_EQ(from_view, int_value) << text;
    }

    const double real = std::strtod(text.c_str(), &end);
    int real_expected = kNumberMalformed;
    if (*end == '\0')
      real_expected = std::isfinite(real) ? kNumberOk : kNumberOutOfRange;
    double real_c = -7;
    double real_view = -7;
    ASSERT_EQ(parse_decimal(text.c_str(), &real_c), real_expected) << text;
    ASSERT_EQ(parse_decimal(std::string_view(text), &real_view), real_expected)
        << text;
    if (real_expected == kNumberOk) {
      const auto bits = std::bit_cast<std::uint64_t>(real);
      EXPECT_EQ(std::bit_cast<std::uint64_t>(real_c), bits) << text;
      EXPECT_EQ(std::bit_cast<std::uint64_t>(real_view), bits) << text;
      ++checked;
    }
  }
  EXPECT_GT(checked, 10000);
}

// The plain form is read without the C library only while the digits make
// an exact integer and the places an exact power of ten; at and beyond
// those limits the value must still be the C library's, bit for bit.
TEST(ParseDecimal, PlainFormsAtTheLimitsOfExactness) {
  const char* const kTexts[] = {
      "9007199254740992",     "9007199254740993",  "-9007199254740993",
      "900719925474099.3",    "9007199254740.9931", "1234567890123456789",
      "12345678901234567890", "0.0000000000000000000001",
      "0.00000000000000000000001", "1.00000000000000000000009",
      "-0",                   "-0.0",              "000123.4500",
      "0.1",                  "0.3",               "123456.789",
      "99999999.99999999",    "1.000000005",       "2.675"};
  for (const char* text : kTexts) {
    double expected = std::strtod(text, nullptr);
    double actual = 7;
    ASSERT_EQ(parse_decimal(std::string_view(text), &actual), kNumberOk)
        << text;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(actual),
              std::bit_cast<std::uint64_t>(expected))
        << text;
  }
}

TEST(ParseDecimal, PlainReaderTakesOnlyThePlainForm) {
  double value = 0;
  int places = -1;
  EXPECT_TRUE(parse_plain_decimal("-12.500", &value, &places));
  EXPECT_EQ(value, -12.5);
  EXPECT_EQ(places, 3);
  EXPECT_TRUE(parse_plain_decimal("42", &value, &places));
  EXPECT_EQ(places, 0);
  // Everything else is left to parse_decimal, and nothing is stored.
  for (const char* text : {"", "-", "1.", ".5", "+1", " 1", "1 ", "1e5",
                           "1.2.3", "--1", "0x10", "inf", "1,5",
                           "9007199254740993", "12345678901234567890",
                           "0.00000000000000000000001"}) {
    value = 7;
    places = -1;
    EXPECT_FALSE(parse_plain_decimal(text, &value, &places)) << text;
    EXPECT_EQ(value, 7) << text;
    EXPECT_EQ(places, -1) << text;
  }
}

TEST(ParseNumbers, ViewsReadTheWholeViewOnly) {
  std::int32_t value = 0;
  // The view ends before the text's NUL: "12" of "123".
  EXPECT_EQ(parse_int(std::string_view("123", 2), &value), kNumberOk);
  EXPECT_EQ(value, 12);
  double real = 0;
  EXPECT_EQ(parse_decimal(std::string_view("1.55", 3), &real), kNumberOk);
  EXPECT_EQ(real, 1.5);
  // A NUL inside a view is not a number, though the C readers would stop
  // there.
  EXPECT_EQ(parse_int(std::string_view("1\0" "2", 3), &value),
            kNumberMalformed);
  EXPECT_EQ(parse_decimal(std::string_view("1\0" "2", 3), &real),
            kNumberMalformed);
  EXPECT_EQ(parse_int(std::string_view(" 7", 2), &value), kNumberOk);
  EXPECT_EQ(value, 7);
}

TEST(FormatDecimal, ShortFormOnlyBelowTenBillion) {
  char buffer[kShortDecimalRoom];
  const double kShort[] = {0.0, -0.0, 12.5, -9999999999.999, 0.123456789};
  for (double value : kShort) {
    const std::size_t n = format_short_decimal(value, buffer);
    EXPECT_EQ(std::string(buffer, n), format_decimal(value)) << value;
  }
  for (double value : {1e10, -1e10, 1e300, HUGE_VAL, std::nan("")})
    EXPECT_EQ(format_short_decimal(value, buffer), 0u) << value;
  std::string text = "x=";
  append_decimal(text, 1e20);
  append_decimal(text, 0.25);
  EXPECT_EQ(text, "x=1000000000000000000000.25");
}

// printf "%.8f" with the trailing-zero rule, written independently of the
// writer under test.
std::string printf_decimal(double value) {
  char buffer[400];
  int n = std::snprintf(buffer, sizeof buffer, "%.8f", value);
  std::string text(buffer, static_cast<std::size_t>(n));
  std::size_t comma = text.rfind(',');
  if (comma != std::string::npos) text[comma] = '.';
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return text;
}

// The new rule for large values, written independently of the writer under
// test with printf and strtod: the text of "%.Nf" with the least N up to 8
// that reads back as the value; printf_decimal when there is none.
// shortest_places gives that N, or 9 when there is none.
int shortest_places(double value, std::string* text = nullptr) {
  char buffer[400];
  for (int places = 0; places <= 8; ++places) {
    std::snprintf(buffer, sizeof buffer, "%.*f", places, value);
    if (std::strtod(buffer, nullptr) == value) {
      if (text != nullptr) *text = buffer;
      return places;
    }
  }
  return 9;
}

std::string shortest_decimal(double value) {
  std::string text;
  if (shortest_places(value, &text) <= 8) return text;
  return printf_decimal(value);
}

// Below 2^26 every value is written as printf "%.8f" writes it, as before
// the shortest text was written; from there on as shortest_decimal says.
TEST(FormatDecimal, MatchesPrintfOverAMillionValues) {
  std::vector<double> values = {
      0.0, -0.0, 1.0, -1.0, 0.5e-8, -0.5e-8, 1.5e-8, 2.5e-8, 0.49999999e-8,
      4.9406564584124654e-324, -4.9406564584124654e-324,
      2.2250738585072014e-308, 1.7976931348623157e308, -1.7976931348623157e308,
      9999999999.999999, 9999999999.9999995, -9999999999.999999, 1e10, -1e10,
      std::nextafter(1e10, 0.0), std::nextafter(1e10, 2e10), 0.1, 0.7, 1.005,
      2.675, 1234567.12345678, 0.000000015, 0.000000025, 0.000000035,
      67108864.0, std::nextafter(67108864.0, 0.0), 99999999.99, 122999999.98,
      HUGE_VAL, -HUGE_VAL, std::nan(""), -std::nan("")};
  std::mt19937_64 random(20260107);
  auto signed_value = [&random](double magnitude) {
    return (random() & 1) != 0 ? -magnitude : magnitude;
  };
  // Random doubles of every magnitude from 2^-40 to 2^50: random mantissa
  // bits under a random exponent.
  for (int i = 0; i < 400000; ++i) {
    const std::uint64_t exponent = 1023 - 40 + random() % 91;
    const std::uint64_t bits =
        (exponent << 52) | (random() & ((std::uint64_t{1} << 52) - 1));
    values.push_back(signed_value(std::bit_cast<double>(bits)));
  }
  // Halfway cases: the doubles whose ninth decimal is an exact final 5 are
  // the odd multiples of 1/512. printf rounds them to even; their
  // neighbours one step away must round away from the tie.
  for (int i = 0; i < 100000; ++i) {
    const double whole = static_cast<double>(random() % 100000000);
    const double tie = whole + static_cast<double>(2 * (random() % 256) + 1) / 512;
    values.push_back(signed_value(tie));
    values.push_back(signed_value(std::nextafter(tie, 0.0)));
    values.push_back(signed_value(std::nextafter(tie, 1e11)));
  }
  // Amounts as people write them, and the decimal steps near each unit of
  // the eighth decimal.
  for (int k = 0; k < 100000; ++k) {
    values.push_back(0.1 * k);
    values.push_back(-static_cast<double>(k) / 100);
    values.push_back(static_cast<double>(k) * 1e-8);
    values.push_back(std::nextafter(static_cast<double>(k) * 1e-8 + 0.5e-8, 1.0));
    values.push_back(static_cast<double>(k) * 1e-8 - 0.5e-8);
    values.push_back(static_cast<double>(random() % 2000000) - 1000000);
  }
  // Amounts with two places up to and past 2^26, where the short path for
  // such amounts ends, and their neighbouring doubles.
  for (int k = 0; k < 20000; ++k) {
    const double cents = static_cast<double>(random() % 20000000000);
    const double amount = signed_value(cents / 100);
    values.push_back(amount);
    values.push_back(std::nextafter(amount, 0.0));
    const double edge = 67108864.0 + static_cast<double>(k - 10000) / 100;
    values.push_back(edge);
    values.push_back(std::nextafter(edge, 1e11));
  }
  // Amounts with two places below 2^26, read from their texts as every
  // amount is: the form that must not change at all.
  for (int k = 0; k < 200000; ++k) {
    const auto cents = static_cast<long long>(random() % 6710886400);
    const std::string text = std::to_string(cents / 100) + "." +
                             std::to_string(100 + cents % 100).substr(1);
    values.push_back(signed_value(std::strtod(text.c_str(), nullptr)));
  }
  // Amounts with up to eight places from 2^26 to 10^12, read from their
  // texts: each must be written as its text without trailing zeros.
  std::vector<std::string> large_texts;
  for (int k = 0; k < 50000; ++k) {
    const int places = static_cast<int>(random() % 9);
    const auto whole =
        static_cast<long long>(67108864 + random() % 999932891136);
    std::string text = std::to_string(whole);
    if (places != 0) {
      text += "." + std::to_string(1000000000 + random() % 1000000000)
                        .substr(1, static_cast<std::size_t>(places));
    }
    large_texts.push_back(text);
  }
  ASSERT_GE(values.size(), 1000000u);
  int mismatches = 0;
  long below_limit_two_places = 0;
  for (double value : values) {
    const bool below = !(std::fabs(value) >= 67108864.0);  // NaN too
    const std::string expected =
        below ? printf_decimal(value) : shortest_decimal(value);
    const std::string actual = format_decimal(value);
    if (below && std::fabs(value * 100 - std::nearbyint(value * 100)) < 1e-6)
      ++below_limit_two_places;
    if (actual != expected && ++mismatches <= 10) {
      ADD_FAILURE() << std::hexfloat << value << ": expected " << expected
                    << ", got " << actual;
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(below_limit_two_places, 400000);
  // decimal_places gives the places of the shortest text that reads back
  // (checked on every third value: the reference is slow).
  int place_mismatches = 0;
  for (std::size_t i = 0; i < values.size(); i += 3) {
    const double value = values[i];
    const int expected = std::isfinite(value) ? shortest_places(value) : 0;
    if (decimal_places(value) != expected && ++place_mismatches <= 10) {
      ADD_FAILURE() << std::hexfloat << value << ": shortest text has "
                    << expected << " places, decimal_places says "
                    << decimal_places(value);
    }
  }
  EXPECT_EQ(place_mismatches, 0);
  for (const std::string& text : large_texts) {
    std::string expected = text;
    if (expected.find('.') != std::string::npos) {
      while (expected.back() == '0') expected.pop_back();
      if (expected.back() == '.') expected.pop_back();
    }
    const double value = std::strtod(text.c_str(), nullptr);
    // A double holds 15 significant digits whatever they are; beyond that
    // the shortest text that reads back may be another.
    if (expected.size() - (expected.find('.') != std::string::npos) > 15)
      continue;
    EXPECT_EQ(format_decimal(value), expected) << text;
    EXPECT_EQ(format_decimal(-value), "-" + expected) << text;
  }
}

// Numbers are written and read as in the "C" locale whatever locale the
// program that links the library has set: under a comma locale and under
// one whose mark is U+066B, the same texts and values as under "C".
class NumbersInAnyLocale : public ::testing::TestWithParam<std::string> {};

TEST_P(NumbersInAnyLocale, SameTextsAndValuesAsInTheCLocale) {
  const double kValues[] = {
      0.0,   -0.0, 12.5, 1.0 / 3.0, 1e-9, -1250.4, 99999999.99, 9999999999.99,
      12345678901.25, -1e10, 1e20, 123456789012345.6, HUGE_VAL, -HUGE_VAL,
      1.7976931348623157e308};
  // With a no-break space (white space in some locales) and U+066B, in
  // octal escapes: C2 A0 and D9 AB.
  const char* const kTexts[] = {
      "12.34", " 12.5", "+7",   "1e5", "0x1p3",          "-0.000001",
      "12,34", "1.5 ",  "inf",  "12x", "1\302\2405", "\331\2535",
      "1\331\2535"};
  const char* const kInts[] = {"42", " 42", "+42", "-7", "1,000", "1.000",
                               "99999999999", "4\302\2402"};
  std::vector<std::string> texts;
  std::vector<std::pair<int, std::uint64_t>> decimals, ints;
  auto read_all = [&] {
    texts.clear();
    decimals.clear();
    ints.clear();
    for (double value : kValues) texts.push_back(format_decimal(value));
    for (const char* text : kTexts) {
      double value = -7;
      const int status = parse_decimal(text, &value);
      decimals.emplace_back(status, std::bit_cast<std::uint64_t>(value));
    }
    for (const char* text : kInts) {
      std::int32_t value = -7;
      const int status = parse_int(text, &value);
      ints.emplace_back(status, static_cast<std::uint64_t>(value));
    }
  };
  read_all();
  const std::vector<std::string> c_texts = texts;
  const auto c_decimals = decimals;
  const auto c_ints = ints;
  EXPECT_EQ(c_texts[8], "12345678901.25");
  EXPECT_EQ(c_decimals[6].first, kNumberMalformed);  // "12,34"

  testing::ScopedLocale locale(GetParam());
  if (!locale.ok()) GTEST_SKIP() << locale.why();
  ASSERT_NE(testing::ScopedLocale::decimal_mark(), ".");
  read_all();
  EXPECT_EQ(texts, c_texts);
  for (std::size_t i = 0; i < std::size(kTexts); ++i)
    EXPECT_EQ(decimals[i], c_decimals[i]) << kTexts[i];
  for (std::size_t i = 0; i < std::size(kInts); ++i)
    EXPECT_EQ(ints[i], c_ints[i]) << kInts[i];
  // The locale is still the caller's: the library changed nothing.
  EXPECT_NE(testing::ScopedLocale::decimal_mark(), ".");
}

INSTANTIATE_TEST_SUITE_P(
    Locales, NumbersInAnyLocale,
    ::testing::Values(testing::kCommaLocale, testing::kArabicMarkLocale),
    [](const auto& info) { return info.param; });

}  // namespace
}  // namespace zarnex::code
