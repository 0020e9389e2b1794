#ifndef ZARNEX_XML_XML_TEXT_H_
#define ZARNEX_XML_XML_TEXT_H_

#include <cstddef>
#include <string_view>

namespace zarnex::xml {

/// Where @a text stops being text that an XML document can carry: the
/// offset of the first byte that does not start a well-formed, shortest
/// UTF-8 sequence of a character XML 1.0 allows (tab, line feed, carriage
/// return, U+0020..U+D7FF, U+E000..U+FFFD, U+10000..U+10FFFF), or npos when
/// the whole text is fine. The XML writer copies string values byte for
/// byte, so only such texts give decoded documents that parsers accept.
/// Looking starts at @a from, which must be the start of a character (the
/// writer knows the bytes before it to be plain ASCII).
std::size_t first_unwritable(std::string_view text, std::size_t from = 0);

/// The second part of the error that refuses such a text, after the name of
/// the element or field that holds it.
inline constexpr std::string_view kNotXmlText =
    " is not UTF-8 text without control characters. ";

}  // namespace zarnex::xml

#endif  // ZARNEX_XML_XML_TEXT_H_
