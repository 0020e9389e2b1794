#ifndef ZARNEX_XML_XML_WRITER_H_
#define ZARNEX_XML_XML_WRITER_H_

// Element-writing operations shared by the body writers of the three kinds.
// Internal to xml/.
//
// Every operation appends one element, <name>content</name>, to @a out, or
// nothing at all: an absent value, an empty text and a record or list whose
// content came out empty write no element. No blank or line break is ever
// put between elements.

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "model/value.h"
#include "xml/name_table.h"

namespace zarnex::xml {

/// Makes room for @a n more bytes at the end of @a out and returns where
/// they start; the caller writes all of them.
inline char* xml_extend(std::string& out, std::size_t n) {
  const std::size_t size = out.size();
  out.resize(size + n);
  return out.data() + size;
}

/// Appends "<name>" (or "</name>" with @a end) in one step.
inline void xml_append_tag(std::string& out, std::string_view name,
                           bool end = false) {
  char* p = xml_extend(out, name.size() + (end ? 3 : 2));
  *p++ = '<';
  if (end) *p++ = '/';
  std::memcpy(p, name.data(), name.size());
  p[name.size()] = '>';
}

/// The string with '&', '<' and '>' written as entity references.
void xml_write_string(std::string& out, std::string_view name,
                      const StringValue& value);

/// The value in decimal ("%i").
void xml_write_int(std::string& out, std::string_view name,
                   const IntValue& value);

/// The value as format_decimal() gives it (at most eight decimals).
void xml_write_decimal(std::string& out, std::string_view name,
                       const DecimalValue& value);

/// The name at the value's position; nothing for a value outside the table.
void xml_write_enum(std::string& out, std::string_view name,
                    const IntValue& value, NameTable names);

/// The name at the position of the first entry of @a codes equal to the
/// code; nothing for a code that is in no entry.
void xml_write_code(std::string& out, std::string_view name,
                    const StringValue& code, NameTable names,
                    NameTable codes);

/// The names of the set bits from bit 0 upward, joined by single blanks;
/// bits beyond the table are ignored.
void xml_write_flags(std::string& out, std::string_view name,
                     const IntValue& value, NameTable names);

/// Several strings (decimals) in turn: (element name, value) pairs.
void xml_write_strings(
    std::string& out,
    std::initializer_list<std::pair<std::string_view, const StringValue*>>
        fields);
void xml_write_decimals(
    std::string& out,
    std::initializer_list<std::pair<std::string_view, const DecimalValue*>>
        fields);

/// An element whose content is what @a write_content(out) appends. When it
/// appends nothing, the start tag is taken back and no element is written.
/// The content goes straight into @a out, so nesting costs no copies.
template <class ContentWriter>
void xml_write_nested(std::string& out, std::string_view name,
                      ContentWriter&& write_content) {
  const std::size_t start = out.size();
  xml_append_tag(out, name);
  const std::size_t content = out.size();
  write_content(out);
  if (out.size() == content) {
    out.resize(start);
    return;
  }
  xml_append_tag(out, name, /*end=*/true);
}

/// An element holding one item element per present entry of the list,
/// written by @a write_item(out, const T&); nothing for an absent list or
/// one whose items wrote nothing. Null entries write nothing.
template <class T, class ItemWriter>
void xml_write_list(std::string& out, std::string_view list_name,
                    const ListValue<T>& list, ItemWriter&& write_item) {
  if (!list) return;
  xml_write_nested(out, list_name, [&](std::string& content) {
    for (const auto& item : *list) {
      if (item != nullptr) write_item(content, *item);
    }
  });
}

}  // namespace zarnex::xml

#endif  // ZARNEX_XML_XML_WRITER_H_
