#include "xml/xml_text.h"

#include <cstdint>

namespace zarnex::xml {

std::size_t first_unwritable(std::string_view text, std::size_t from) {
  std::size_t i = from;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x80) {  // the common case: printable ASCII
      ++i;
      continue;
    }
    std::uint32_t point;
    std::size_t length;
    if (c < 0x80) {
      point = c;
      length = 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
      point = c & 0x1F;
      length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      point = c & 0x0F;
      length = 3;
    } else if (c >= 0xF0 && c <= 0xF4) {
      point = c & 0x07;
      length = 4;
    } else {
      return i;  // a continuation byte, an overlong lead or beyond U+10FFFF
    }
    if (text.size() - i < length) return i;
    for (std::size_t k = 1; k < length; ++k) {
      unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return i;
      point = (point << 6) | (next & 0x3F);
    }
    bool shortest = length == 1 || (length == 2 && point >= 0x80) ||
                    (length == 3 && point >= 0x800) ||
                    (length == 4 && point >= 0x10000);
    bool allowed = point == 0x9 || point == 0xA || point == 0xD ||
                   (point >= 0x20 && point <= 0xD7FF) ||
                   (point >= 0xE000 && point <= 0xFFFD) ||
                   (point >= 0x10000 && point <= 0x10FFFF);
    if (!shortest || !allowed) return i;
    i += length;
  }
  return std::string_view::npos;
}

}  // namespace zarnex::xml
