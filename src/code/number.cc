#include "code/number.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace zarnex::code {

std::string format_decimal(double value) {
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
  // A locale with a decimal comma still gives a dot.
  std::size_t comma = text.rfind(',');
  if (comma != std::string::npos) text[comma] = '.';
  if (text.find('.') == std::string::npos) return text;
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
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
