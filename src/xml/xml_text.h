#ifndef ZARNEX_XML_XML_TEXT_H_
#define ZARNEX_XML_XML_TEXT_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zarnex::xml {

/// The length in bytes of the character at @a at of @a text (which must be
/// a valid position), or 0 when the bytes there are not the well-formed,
/// shortest UTF-8 sequence of a character that XML 1.0 allows: a tab, line
/// feed or carriage return, U+0020..U+D7FF, U+E000..U+FFFD or
/// U+10000..U+10FFFF. XML has no place for the other control characters,
/// not even as character references.
inline std::size_t character_length(std::string_view text, std::size_t at) {
  const std::size_t size = text.size();
  auto byte = [&text](std::size_t i) {
    return static_cast<unsigned char>(text[i]);
  };
  // Whether the byte at @a i exists and is a continuation byte.
  auto continues = [&](std::size_t i) {
    return i < size && (byte(i) & 0xC0) == 0x80;
  };
  const unsigned char c = byte(at);
  if (c < 0x80) {  // ASCII: printable, or a tab, line feed or carriage return
    return c >= 0x20 || c == '\t' || c == '\n' || c == '\r' ? 1 : 0;
  }
  if (c < 0xC2) return 0;  // a continuation byte, or an overlong form's lead
  if (c < 0xE0) {
    // Two bytes: U+0080..U+07FF, all of them characters.
    return continues(at + 1) ? 2 : 0;
  }
  if (c < 0xF0) {
    // Three bytes: U+0800..U+FFFF less the surrogates, U+FFFE and U+FFFF.
    if (!continues(at + 1) || !continues(at + 2)) return 0;
    const std::uint32_t point = (std::uint32_t{c & 0x0Fu} << 12) |
                                (std::uint32_t{byte(at + 1) & 0x3Fu} << 6) |
                                (byte(at + 2) & 0x3Fu);
    const bool allowed = point >= 0x800 &&
                         (point < 0xD800 || point > 0xDFFF) && point < 0xFFFE;
    return allowed ? 3 : 0;
  }
  if (c < 0xF5) {
    // Four bytes: U+10000..U+10FFFF.
    if (!continues(at + 1) || !continues(at + 2) || !continues(at + 3))
      return 0;
    const std::uint32_t point = (std::uint32_t{c & 0x07u} << 18) |
                                (std::uint32_t{byte(at + 1) & 0x3Fu} << 12) |
                                (std::uint32_t{byte(at + 2) & 0x3Fu} << 6) |
                                (byte(at + 3) & 0x3Fu);
    return point >= 0x10000 && point <= 0x10FFFF ? 4 : 0;
  }
  return 0;  // the lead of a form beyond U+10FFFF
}

/// Where @a text stops being text that an XML document can carry: the
/// offset of the first byte that does not start a character that
/// character_length() accepts, or npos when the whole text is fine. Looking
/// starts at @a from, which must be the start of a character. The XML
/// writer refuses string values that are not such texts (it checks them
/// with character_length() as it scans them), and a field-sequence line is
/// refused before it is encoded, so that no code decodes to XML that
/// parsers reject.
std::size_t first_unwritable(std::string_view text, std::size_t from = 0);

/// The second part of the error that refuses such a text, after the name of
/// the element or field that holds it.
inline constexpr std::string_view kNotXmlText =
    " is not UTF-8 text without control characters. ";

}  // namespace zarnex::xml

#endif  // ZARNEX_XML_XML_TEXT_H_
