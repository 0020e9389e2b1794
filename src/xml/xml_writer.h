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
#include <initializer_list>
#include <string>
#include <utility>

#include "model/value.h"
#include "xml/name_table.h"

namespace zarnex::xml {

/// The string with '&', '<' and '>' written as entity references.
void xml_write_string(std::string& out, const char* name,
                      const StringValue& value);

/// The value in decimal ("%i").
void xml_write_int(std::string& out, const char* name, const IntValue& value);

/// The value as format_decimal() gives it (at most eight decimals).
void xml_write_decimal(std::string& out, const char* name,
                       const DecimalValue& value);

/// The name at the value's position; nothing for a value outside the table.
void xml_write_enum(std::string& out, const char* name, const IntValue& value,
                    NameTable names);

/// The name at the position of the first entry of @a codes equal to the
/// code; nothing for a code that is in no entry.
void xml_write_code(std::string& out, const char* name,
                    const StringValue& code, NameTable names,
                    NameTable codes);

/// The names of the set bits from bit 0 upward, joined by single blanks;
/// bits beyond the table are ignored.
void xml_write_flags(std::string& out, const char* name,
                     const IntValue& value, NameTable names);

/// Several strings (decimals) in turn: (element name, value) pairs.
void xml_write_strings(
    std::string& out,
    std::initializer_list<std::pair<const char*, const StringValue*>> fields);
void xml_write_decimals(
    std::string& out,
    std::initializer_list<std::pair<const char*, const DecimalValue*>> fields);

/// An element whose content is what @a write_content(out) appends. When it
/// appends nothing, the start tag is taken back and no element is written.
/// The content goes straight into @a out, so nesting costs no copies.
template <class ContentWriter>
void xml_write_nested(std::string& out, const char* name,
                      ContentWriter&& write_content) {
  const std::size_t start = out.size();
  out.append(1, '<').append(name).append(1, '>');
  const std::size_t content = out.size();
  write_content(out);
  if (out.size() == content) {
    out.resize(start);
    return;
  }
  out.append("</").append(name).append(1, '>');
}

/// An element holding one item element per present entry of the list,
/// written by @a write_item(out, const T&); nothing for an absent list or
/// one whose items wrote nothing. Null entries write nothing.
template <class T, class ItemWriter>
void xml_write_list(std::string& out, const char* list_name,
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
