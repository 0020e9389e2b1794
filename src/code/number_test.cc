#include "code/number.h"

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

TEST(FormatDecimal, MatchesPrintfOverAMillionValues) {
  std::vector<double> values = {
      0.0, -0.0, 1.0, -1.0, 0.5e-8, -0.5e-8, 1.5e-8, 2.5e-8, 0.49999999e-8,
      4.9406564584124654e-324, -4.9406564584124654e-324,
      2.2250738585072014e-308, 1.7976931348623157e308, -1.7976931348623157e308,
      9999999999.999999, 9999999999.9999995, -9999999999.999999, 1e10, -1e10,
      std::nextafter(1e10, 0.0), std::nextafter(1e10, 2e10), 0.1, 0.7, 1.005,
      2.675, 1234567.12345678, 0.000000015, 0.000000025, 0.000000035,
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
  ASSERT_GE(values.size(), 1000000u);
  int mismatches = 0;
  for (double value : values) {
    const std::string expected = printf_decimal(value);
    const std::string actual = format_decimal(value);
    if (actual != expected && ++mismatches <= 10) {
      ADD_FAILURE() << std::hexfloat << value << ": expected " << expected
                    << ", got " << actual;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace zarnex::code
