#ifndef ZARNEX_JSON_JSON_READER_H_
#define ZARNEX_JSON_JSON_READER_H_

// The parsed form of a JSON document and the member-reading operations shared
// by the readers of the three kinds. Internal to json/.
//
// A JSON text is parsed whole into a JsonTree before any member is read, so a
// syntax error anywhere is reported before any value. The readers then look
// members up by name the way the XML readers look up child elements: the
// first member of the name wins, members may come in any order and members
// of other names are skipped. A member whose value is null, and a string
// member holding the empty string, are absent, as an empty element is in XML.
//
// Failures, with the member name as subject (so @a name must be a static
// text, a string literal):
//   - a value of the wrong JSON type: code 13 (ERROR_JSON), " must be a JSON
//     string." and the like;
//   - a string holding a character that a document cannot carry (a control
//     character other than tab, line feed and carriage return, or a
//     non-character): code 13;
//   - a value the XML reader refuses as well: code 9 (ERROR_XML) with the XML
//     reader's detail ("Invalid integer format.", "Invalid decimal format. Use
//     dot '.' as a decimal mark.", "Invalid enum value.", "Contains duplicate
//     value."), so that the same document fails alike in both forms.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "json/name_table.h"
#include "model/value.h"

namespace zarnex::json {

enum class JsonType : std::uint8_t {
  kNull,
  kFalse,
  kTrue,
  kNumber,
  kString,
  kObject,
  kArray,
};

/// One value of a parsed document. Texts point into the tree's copy of the
/// input: a string's contents with its escapes resolved, a number's text as
/// written. Children (members of an object, items of an array) are linked in
/// document order by index.
struct JsonValue {
  static constexpr std::uint32_t kNone = 0xFFFFFFFF;
  JsonType type = JsonType::kNull;
  std::string_view key;         // the member name; empty for items and the root
  std::string_view text;        // strings and numbers
  std::uint32_t first = kNone;  // first child
  std::uint32_t next = kNone;   // next sibling
};

/// A parsed JSON document. Parsing again reuses the storage.
class JsonTree {
 public:
  /// Parses @a text (one JSON value, white space around it allowed). Returns
  /// 0, or 13 (ERROR_JSON) with "JSON parse error at offset N (line L,
  /// column C): <reason>" recorded.
  int parse(std::string_view text);

  const JsonValue& root() const { return values_.front(); }
  const JsonValue* first_child(const JsonValue& value) const {
    return at(value.first);
  }
  const JsonValue* next_sibling(const JsonValue& value) const {
    return at(value.next);
  }
  /// The first member of the object @a object named @a name, or null.
  const JsonValue* member(const JsonValue& object, std::string_view name) const;

  /// The parser appends values here; for the parser only.
  std::vector<JsonValue>& values() { return values_; }

 private:
  const JsonValue* at(std::uint32_t index) const {
    return index == JsonValue::kNone ? nullptr : &values_[index];
  }

  std::vector<char> text_;  // the input, NUL-terminated, parsed in place
  std::vector<JsonValue> values_;
};

/// An object of a tree, as the readers see it.
struct JsonObject {
  const JsonTree& tree;
  const JsonValue& value;

  /// The member named @a name, or null when it is missing or null.
  const JsonValue* find(const char* name) const;
};

/// The deepest nesting of objects and arrays that a document may have.
inline constexpr std::size_t kMaxDepth = 64;

inline constexpr char kNotString[] = " must be a JSON string.";
inline constexpr char kNotNumber[] = " must be a JSON number.";
inline constexpr char kNotObject[] = " must be a JSON object.";
inline constexpr char kNotObjects[] = " must be a JSON array of objects.";
inline constexpr char kNotNames[] = " must be a JSON array of strings.";
inline constexpr char kUnwritable[] =
    " holds a character that a document cannot carry (a control character, "
    "or a non-character). ";

/// The member @a name of @a parent as a record: null when it is missing or
/// null, the object otherwise; @a status becomes non-zero (error recorded)
/// for a value that is not an object.
const JsonValue* json_find_record(JsonObject parent, const char* name,
                                  int& status);

/// Reads the object member @a name, when present, into a new T filled by
/// @a read(JsonObject, T&). A present member gives a record, even when it is
/// empty.
template <class T, class RecordReader>
int json_read_record(JsonObject parent, const char* name, RecordValue<T>& out,
                     RecordReader&& read) {
  int status = 0;
  const JsonValue* value = json_find_record(parent, name, status);
  if (value == nullptr) return status;
  out = std::make_unique<T>();
  return read(JsonObject{parent.tree, *value}, *out);
}

/// A string member.
int json_read_string(JsonObject parent, const char* name, StringValue& out);
/// A number member whose text is a base-10 32-bit integer.
int json_read_int(JsonObject parent, const char* name, IntValue& out);
/// A number member, read with the same decimal reader as XML text.
int json_read_decimal(JsonObject parent, const char* name, DecimalValue& out);
/// A string member, stored as its position in @a names.
int json_read_enum(JsonObject parent, const char* name, IntValue& out,
                   NameTable names);
/// A string member, stored as the entry of @a codes at its position in
/// @a names.
int json_read_code(JsonObject parent, const char* name, StringValue& out,
                   NameTable names, NameTable codes);
/// An array of strings, stored as the bit set of the names; strings that are
/// no name are skipped, a name given twice fails.
int json_read_flags(JsonObject parent, const char* name, IntValue& out,
                    NameTable names);

/// Several strings (decimals) in turn; the first failure ends the reading.
int json_read_strings(
    JsonObject parent,
    std::initializer_list<std::pair<const char*, StringValue*>> fields);
int json_read_decimals(
    JsonObject parent,
    std::initializer_list<std::pair<const char*, DecimalValue*>> fields);

/// 0 when @a list is an array of objects, else the recorded type error.
int check_list(const JsonTree& tree, const JsonValue& list, const char* name);

/// Reads the array member @a list_name: each item, an object, becomes a new
/// T filled by @a read_item(JsonObject, T&). The list is present (possibly
/// empty) whenever the member is; the first failing item ends the reading.
template <class T, class ItemReader>
int json_read_list(JsonObject parent, const char* list_name, ListValue<T>& out,
                   ItemReader&& read_item) {
  const JsonValue* list = parent.find(list_name);
  if (list == nullptr) return 0;
  int status = check_list(parent.tree, *list, list_name);
  if (status != 0) return status;
  out.emplace();
  for (const JsonValue* item = parent.tree.first_child(*list); item != nullptr;
       item = parent.tree.next_sibling(*item)) {
    auto record = std::make_unique<T>();
    if ((status = read_item(JsonObject{parent.tree, *item}, *record)))
      return status;
    out->append(std::move(record));
  }
  return 0;
}

}  // namespace zarnex::json

#endif  // ZARNEX_JSON_JSON_READER_H_
