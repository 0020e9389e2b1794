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
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "base/text_buffer.h"
#include "model/value.h"
#include "xml/name_table.h"

namespace zarnex::xml {

// The short copies of the public buffer, for the writers' own copies.
using zarnex::detail::copy_bytes;

/// Where one document's text is written: the end of a TextBuffer, which may
/// already hold other texts (bulk mode writes every result of a block into
/// one buffer). clear() takes back only what was written through this XmlOut.
///
/// A value that XML cannot carry is not written: the writer records the
/// error (the first one only) and the document's writing fails as a whole
/// once its elements are written, so no element writer returns a status.
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
  /// Takes back everything written through this XmlOut, and its failure.
  void clear() {
    text_.truncate(start_);
    status_ = 0;
  }

  /// Keeps @a status as the failure of the writing, unless one was kept
  /// before; the caller has recorded the error.
  void fail(int status) {
    if (status_ == 0) status_ = status;
  }
  /// 0, or the first failure: the text written is then not a document.
  int status() const { return status_; }

 private:
  TextBuffer& text_;
  std::size_t start_;  // the buffer's size when writing began
  int status_ = 0;
};

/// The tags of one element, "<Name>" and "</Name>", built at compile time by
/// "Name"_tag. Each tag sits at the start of a block of kBlock bytes that is
/// copied whole, with a few fixed-size moves: the bytes after the tag are
/// overwritten by what is written next or taken back.
struct ElementTags {
  static constexpr std::size_t kBlock = 48;
  char open[kBlock];
  char close[kBlock];
  std::uint8_t open_size;
  std::uint8_t close_size;

  /// The element's name: the start tag without its angle brackets. The tags
  /// are constants, so the name lives as long as the program (the error
  /// state borrows it).
  constexpr std::string_view name() const {
    return std::string_view(open + 1, open_size - 2u);
  }
};

/// An element name as a template argument: the characters of a string
/// literal, its terminating NUL included.
template <std::size_t N>
struct ElementName {
  // Not explicit: made from the string literal in front of _tag.
  consteval ElementName(const char (&name)[N]) {
    for (std::size_t i = 0; i < N; ++i) text[i] = name[i];
  }
  char text[N];
};

template <std::size_t N>
consteval ElementTags make_element_tags(const ElementName<N>& name) {
  static_assert(N + 2 <= ElementTags::kBlock, "element name too long");
  ElementTags tags{};
  tags.open[0] = '<';
  tags.close[0] = '<';
  tags.close[1] = '/';
  for (std::size_t i = 0; i + 1 < N; ++i) {
    tags.open[1 + i] = name.text[i];
    tags.close[2 + i] = name.text[i];
  }
  tags.open[N] = '>';
  tags.close[N + 1] = '>';
  tags.open_size = static_cast<std::uint8_t>(N + 1);
  tags.close_size = static_cast<std::uint8_t>(N + 2);
  return tags;
}

template <ElementName Name>
inline constexpr ElementTags kElementTags = make_element_tags(Name);

/// "Name"_tag: the tags of the element Name, one constant per name.
template <ElementName Name>
constexpr const ElementTags& operator""_tag() {
  return kElementTags<Name>;
}

/// Appends "<name>" (or "</name>" with @a end).
inline void xml_append_tag(XmlOut& out, const ElementTags& tags,
                           bool end = false) {
  const std::size_t before = out.size();
  char* p = out.extend(ElementTags::kBlock);
  std::memcpy(p, end ? tags.close : tags.open, ElementTags::kBlock);
  out.truncate(before + (end ? tags.close_size : tags.open_size));
}

/// The string with '&', '<' and '>' written as entity references, and the
/// carriage return and the line feed as character references (a parser
/// would turn a carriage return into a line feed, and a document stays on
/// one line). A string that is not UTF-8 text of characters XML allows (see
/// character_length()) is not written: it records ERROR_INVALID_VALUE with
/// the element's name and fails @a out.
void xml_write_string(XmlOut& out, const ElementTags& name,
                      const StringValue& value);

/// The value in decimal ("%i").
void xml_write_int(XmlOut& out, const ElementTags& name,
                   const IntValue& value);

/// The value as format_decimal() gives it (at most eight decimals).
void xml_write_decimal(XmlOut& out, const ElementTags& name,
                       const DecimalValue& value);

/// The name at the value's position; nothing for a value outside the table.
void xml_write_enum(XmlOut& out, const ElementTags& name,
                    const IntValue& value, NameTable names);

/// The name at the position of the first entry of @a codes equal to the
/// code; nothing for a code that is in no entry.
void xml_write_code(XmlOut& out, const ElementTags& name,
                    const StringValue& code, NameTable names,
                    NameTable codes);

/// The names of the set bits from bit 0 upward, joined by single blanks;
/// bits beyond the table are ignored.
void xml_write_flags(XmlOut& out, const ElementTags& name,
                     const IntValue& value, NameTable names);

/// Several strings (decimals) in turn: (element tags, value) pairs.
void xml_write_strings(
    XmlOut& out,
    std::initializer_list<std::pair<const ElementTags&, const StringValue*>>
        fields);
void xml_write_decimals(
    XmlOut& out,
    std::initializer_list<std::pair<const ElementTags&, const DecimalValue*>>
        fields);

/// An element whose content is what @a write_content(out) appends. When it
/// appends nothing, the start tag is taken back and no element is written.
/// The content goes straight into @a out, so nesting costs no copies.
template <class ContentWriter>
void xml_write_nested(XmlOut& out, const ElementTags& name,
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
void xml_write_list(XmlOut& out, const ElementTags& list_name,
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
