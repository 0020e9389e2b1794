#include "xml/xml_text.h"

namespace zarnex::xml {

std::size_t first_unwritable(std::string_view text, std::size_t from) {
  std::size_t i = from;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x80) {  // the common case: printable ASCII
      ++i;
      continue;
    }
    const std::size_t length = character_length(text, i);
    if (length == 0) return i;
    i += length;
  }
  return std::string_view::npos;
}

}  // namespace zarnex::xml
