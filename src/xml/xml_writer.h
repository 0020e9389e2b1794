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
#include "xml/text_buffer.h"

namespace zarnex::xml {

/// Where one document's text is written: the end of a TextBuffer, which may
/// already hold other texts (bulk mode writes every result of a block into
/// one buffer). clear() takes back only what was written through this XmlOut.
class XmlOut {
 public:
  explicit XmlOut(TextBuffer& text) : text_(text), start_(text.size()) {}
  XmlOut(const XmlOut&) = delete;
  XmlOut& operator=(const XmlOut&) = delete;

  /// Makes room for @a n more bytes and returns where they start; the
  /// caller writes all of them.
  char* extend(std::size_t n) { return text_.extend(n); }
  void append(std::string_view text) { text_.append(text); }
  void append(char c) { text_.append(c); }

  std::size_t size() const { return text_.size(); }
  /// The buffer's text so far: what it held before and what was written.
  std::string_view view() const { return text_.view(); }
  /// Takes back everything after the first @a size bytes of the buffer.
  void truncate(std::size_t size) { text_.truncate(size); }
  /// Takes back everything written through this XmlOut.
  void clear() { text_.truncate(start_); }

 private:
  TextBuffer& text_;
  std::size_t start_;  // the buffer's size when writing began
};

/// Appends "<name>" (or "</name>" with @a end) in one step.
inline void xml_append_tag(XmlOut& out, std::string_view name,
                           bool end = false) {
  char* p = out.extend(name.size() + (end ? 3 : 2));
  *p++ = '<';
  if (end) *p++ = '/';
  copy_bytes(p, name.data(), name.size());
  p[name.size()] = '>';
}

/// The string with '&', '<' and '>' written as entity references.
void xml_write_string(XmlOut& out, std::string_view name,
                      const StringValue& value);

/// The value in decimal ("%i").
void xml_write_int(XmlOut& out, std::string_view name,
                   const IntValue& value);

/// The value as format_decimal() gives it (at most eight decimals).
void xml_write_decimal(XmlOut& out, std::string_view name,
                       const DecimalValue& value);

/// The name at the value's position; nothing for a value outside the table.
void xml_write_enum(XmlOut& out, std::string_view name,
                    const IntValue& value, NameTable names);

/// The name at the position of the first entry of @a codes equal to the
/// code; nothing for a code that is in no entry.
void xml_write_code(XmlOut& out, std::string_view name,
                    const StringValue& code, NameTable names,
                    NameTable codes);

/// The names of the set bits from bit 0 upward, joined by single blanks;
/// bits beyond the table are ignored.
void xml_write_flags(XmlOut& out, std::string_view name,
                     const IntValue& value, NameTable names);

/// Several strings (decimals) in turn: (element name, value) pairs.
void xml_write_strings(
    XmlOut& out,
    std::initializer_list<std::pair<std::string_view, const StringValue*>>
        fields);
void xml_write_decimals(
    XmlOut& out,
    std::initializer_list<std::pair<std::string_view, const DecimalValue*>>
        fields);

/// An element whose content is what @a write_content(out) appends. When it
/// appends nothing, the start tag is taken back and no element is written.
/// The content goes straight into @a out, so nesting costs no copies.
template <class ContentWriter>
void xml_write_nested(XmlOut& out, std::string_view name,
                      ContentWriter&& write_content) {
  const std::size_t start = out.size();
  xml_append_tag(out, name);
  const std::size_t content = out.size();
  write_content(out);
  if (out.size() == content) {
    out.truncate(start);
    return;
  }
  xml_append_tag(out, name, /*end=*/true);
}

/// An element holding one item element per present entry of the list,
/// written by @a write_item(out, const T&); nothing for an absent list or
/// one whose items wrote nothing. Null entries write nothing.
template <class T, class ItemWriter>
void xml_write_list(XmlOut& out, std::string_view list_name,
                    const ListValue<T>& list, ItemWriter&& write_item) {
  if (!list) return;
  xml_write_nested(out, list_name, [&](XmlOut& content) {
    for (const auto& item : *list) {
      if (item != nullptr) write_item(content, *item);
    }
  });
}

}  // namespace zarnex::xml

#endif  // ZARNEX_XML_XML_WRITER_H_
