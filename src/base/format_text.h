#ifndef ZARNEX_BASE_FORMAT_TEXT_H_
#define ZARNEX_BASE_FORMAT_TEXT_H_

#include <cstddef>
#include <string>

namespace zarnex {

/// printf-style formatting into a new string holding the whole output. The
/// size hint is the first guess of the length; longer output is formatted
/// again into a buffer of the exact size. An encoding error of the format
/// gives the empty string.
std::string format_text(std::size_t size_hint, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

}  // namespace zarnex

#endif  // ZARNEX_BASE_FORMAT_TEXT_H_
