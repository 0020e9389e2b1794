#include "base/format_text.h"

#include <cstdarg>
#include <cstdio>

namespace zarnex {
namespace {

std::string vformat_text(std::size_t size_hint, const char* format,
                         va_list args) {
  std::string text(size_hint, '\0');
  va_list again;
  va_copy(again, args);
  int n = std::vsnprintf(text.data(), size_hint + 1, format, args);
  if (n < 0) {
    va_end(again);
    return std::string();
  }
  if (static_cast<std::size_t>(n) > size_hint) {
    text.resize(static_cast<std::size_t>(n));
    std::vsnprintf(text.data(), text.size() + 1, format, again);
  } else {
    text.resize(static_cast<std::size_t>(n));
  }
  va_end(again);
  return text;
}

}  // namespace

std::string format_text(std::size_t size_hint, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = vformat_text(size_hint, format, args);
  va_end(args);
  return text;
}

}  // namespace zarnex
