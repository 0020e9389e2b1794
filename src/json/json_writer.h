#ifndef ZARNEX_JSON_JSON_WRITER_H_
#define ZARNEX_JSON_JSON_WRITER_H_

// Member-writing operations shared by the body writers of the three kinds.
// Internal to json/.
//
// Every operation appends one member, "Name":value, to the object being
// written, or nothing at all: an absent value, an empty text and a record or
// list whose content came out empty write no member, as in XML. Members are
// separated by commas and nothing else: the text is one line.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "base/text_buffer.h"
#include "json/name_table.h"
#include "model/value.h"

namespace zarnex::json {

/// Where one document's text is written: the end of a TextBuffer, which may
/// already hold other texts (bulk mode writes every result of a block into
/// one buffer).
class JsonOut {
 public:
  explicit JsonOut(TextBuffer& text) : text_(text) {}
  JsonOut(const JsonOut&) = delete;
  JsonOut& operator=(const JsonOut&) = delete;

  char* extend(std::size_t n) { return text_.extend(n); }
  void append(std::string_view text) { text_.append(text); }
  void append(char c) { text_.append(c); }
  std::size_t size() const { return text_.size(); }
  void truncate(std::size_t size) { text_.truncate(size); }
  /// True when the next member or item needs a comma before it: something
  /// other than the opening brace or bracket precedes it.
  bool after_value() const {
    const char last = text_.view().back();
    return last != '{' && last != '[';
  }

 private:
  TextBuffer& text_;
};

/// A member name as the writer puts it before a value: ,"Name": with the
/// comma that separates it from the member before. Built at compile time by
/// "Name"_key.
struct MemberKey {
  static constexpr std::size_t kRoom = 64;
  char text[kRoom];
  std::uint8_t size;
};

template <std::size_t N>
struct KeyName {
  // Not explicit: made from the string literal in front of _key.
  consteval KeyName(const char (&name)[N]) {
    for (std::size_t i = 0; i < N; ++i) text[i] = name[i];
  }
  char text[N];
};

template <std::size_t N>
consteval MemberKey make_member_key(const KeyName<N>& name) {
  static_assert(N + 4 <= MemberKey::kRoom, "member name too long");
  MemberKey key{};
  key.text[0] = ',';
  key.text[1] = '"';
  for (std::size_t i = 0; i + 1 < N; ++i) key.text[2 + i] = name.text[i];
  key.text[N + 1] = '"';
  key.text[N + 2] = ':';
  key.size = static_cast<std::uint8_t>(N + 3);
  return key;
}

template <KeyName Name>
inline constexpr MemberKey kMemberKey = make_member_key(Name);

/// "Name"_key: the key of the member Name, one constant per name.
template <KeyName Name>
constexpr const MemberKey& operator""_key() {
  return kMemberKey<Name>;
}

/// Appends the member's key, with a comma before it when a value precedes.
inline void json_append_key(JsonOut& out, const MemberKey& key) {
  const std::string_view text(key.text, key.size);
  out.append(out.after_value() ? text : text.substr(1));
}

/// Appends @a text as a JSON string: quoted, with the quotation mark and the
/// backslash escaped and control characters as \u00XX. Bytes that are not
/// UTF-8 are written as U+FFFD, so that the output stays valid JSON.
void json_append_string(JsonOut& out, std::string_view text);

/// Strings, integers, decimals, enumerations, codes and flag sets, as the
/// XML writer writes them: decimals with the decimal text of the XML form,
/// enumerations and codes as the name, flag sets as an array of the names of
/// the set bits from bit 0 upward. What the XML writer leaves out (an empty
/// string, a value outside its table, a flag set without names) is left out.
void json_write_string(JsonOut& out, const MemberKey& key,
                       const StringValue& value);
void json_write_int(JsonOut& out, const MemberKey& key, const IntValue& value);
void json_write_decimal(JsonOut& out, const MemberKey& key,
                        const DecimalValue& value);
void json_write_enum(JsonOut& out, const MemberKey& key, const IntValue& value,
                     NameTable names);
void json_write_code(JsonOut& out, const MemberKey& key,
                     const StringValue& code, NameTable names, NameTable codes);
void json_write_flags(JsonOut& out, const MemberKey& key, const IntValue& value,
                      NameTable names);

void json_write_strings(
    JsonOut& out,
    std::initializer_list<std::pair<const MemberKey&, const StringValue*>>
        fields);
void json_write_decimals(
    JsonOut& out,
    std::initializer_list<std::pair<const MemberKey&, const DecimalValue*>>
        fields);

/// An object member whose members are what @a write_content(out) appends;
/// nothing when it appends nothing.
template <class ContentWriter>
void json_write_nested(JsonOut& out, const MemberKey& key,
                       ContentWriter&& write_content) {
  const std::size_t start = out.size();
  json_append_key(out, key);
  out.append('{');
  const std::size_t content = out.size();
  write_content(out);
  if (out.size() == content) {
    out.truncate(start);
    return;
  }
  out.append('}');
}

/// An array member with one object per present entry of the list, whose
/// members @a write_item(out, const T&) appends. Entries that are null or
/// write nothing are left out, and so is a list with nothing to write.
template <class T, class ItemWriter>
void json_write_list(JsonOut& out, const MemberKey& key,
                     const ListValue<T>& list, ItemWriter&& write_item) {
  if (!list) return;
  const std::size_t start = out.size();
  json_append_key(out, key);
  out.append('[');
  const std::size_t content = out.size();
  for (const auto& item : *list) {
    if (item == nullptr) continue;
    const std::size_t item_start = out.size();
    if (out.size() != content) out.append(',');
    out.append('{');
    const std::size_t members = out.size();
    write_item(out, *item);
    if (out.size() == members)
      out.truncate(item_start);
    else
      out.append('}');
  }
  if (out.size() == content) {
    out.truncate(start);
    return;
  }
  out.append(']');
}

}  // namespace zarnex::json

#endif  // ZARNEX_JSON_JSON_WRITER_H_
