#include "json/json_reader.h"

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <cstring>

#include "base/format_text.h"
#include "base/number.h"
#include "error/error.h"
#include "xml/xml_text.h"

namespace zarnex::json {
namespace {

// The complaints of the XML reader, word for word, for the values that both
// forms refuse.
constexpr char kInvalidInteger[] = "Invalid integer format.";
constexpr char kInvalidDecimal[] =
    "Invalid decimal format. Use dot '.' as a decimal mark.";
constexpr char kInvalidEnum[] = "Invalid enum value.";
constexpr char kDuplicateFlag[] = "Contains duplicate value.";

// A document has a few hundred values at most; far more can only be a
// hostile or mistaken input, refused before it costs much memory.
constexpr std::size_t kMaxValues = std::size_t{1} << 20;

// Strings in place (their escapes resolved in the tree's copy of the text),
// numbers as their text, so that amounts are read by the same decimal reader
// as in XML; text that is not UTF-8 is refused.
constexpr unsigned kParseFlags = rapidjson::kParseInsituFlag |
                                 rapidjson::kParseValidateEncodingFlag |
                                 rapidjson::kParseNumbersAsStringsFlag;

// Builds the tree from the parser's events. Returning false stops the
// parser; why is then in @a refusal.
class TreeBuilder
    : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, TreeBuilder> {
 public:
  explicit TreeBuilder(std::vector<JsonValue>& values) : values_(values) {}

  const char* refusal() const { return refusal_; }

  bool Null() { return add(JsonType::kNull) != JsonValue::kNone; }
  bool Bool(bool b) {
    return add(b ? JsonType::kTrue : JsonType::kFalse) != JsonValue::kNone;
  }
  bool RawNumber(const char* text, rapidjson::SizeType length, bool) {
    return add(JsonType::kNumber, std::string_view(text, length)) !=
           JsonValue::kNone;
  }
  bool String(const char* text, rapidjson::SizeType length, bool) {
    return add(JsonType::kString, std::string_view(text, length)) !=
           JsonValue::kNone;
  }
  bool Key(const char* text, rapidjson::SizeType length, bool) {
    key_ = std::string_view(text, length);
    return true;
  }
  bool StartObject() { return open(JsonType::kObject); }
  bool EndObject(rapidjson::SizeType) { return close(); }
  bool StartArray() { return open(JsonType::kArray); }
  bool EndArray(rapidjson::SizeType) { return close(); }
  // Numbers arrive as text only (kParseNumbersAsStringsFlag).
  bool Default() { return false; }

 private:
  struct Open {
    std::uint32_t index;
    std::uint32_t last = JsonValue::kNone;
  };

  std::uint32_t add(JsonType type, std::string_view text = {}) {
    if (values_.size() >= kMaxValues) {
      refusal_ = "The document holds more than 1048576 values.";
      return JsonValue::kNone;
    }
    const auto index = static_cast<std::uint32_t>(values_.size());
    values_.push_back(JsonValue{type, key_, text});
    key_ = {};
    if (!open_.empty()) {
      Open& parent = open_.back();
      if (parent.last == JsonValue::kNone)
        values_[parent.index].first = index;
      else
        values_[parent.last].next = index;
      parent.last = index;
    }
    return index;
  }
  bool open(JsonType type) {
    if (open_.size() >= kMaxDepth) {
      refusal_ = "Objects and arrays are nested more than 64 deep.";
      return false;
    }
    const std::uint32_t index = add(type);
    if (index == JsonValue::kNone) return false;
    open_.push_back(Open{index});
    return true;
  }
  bool close() {
    open_.pop_back();
    return true;
  }

  std::vector<JsonValue>& values_;
  std::vector<Open> open_;
  std::string_view key_;
  const char* refusal_ = "";
};

int parse_error(std::string_view text, std::size_t offset, const char* reason) {
  std::size_t line = 1;
  std::size_t line_start = 0;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      line_start = i + 1;
    }
  }
  return set_error_detail_owned(
      ErrorCode::kJson, "JSON parse error",
      format_text(64 + std::strlen(reason),
                  " at offset %zu (line %zu, column %zu): %s", offset, line,
                  offset - line_start + 1, reason));
}

// The position of the first entry of @a names equal to @a word, or -1.
int find_name(std::string_view word, NameTable names) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] != nullptr && word == names[i]) return static_cast<int>(i);
  }
  return -1;
}

// The text of a string member: null when the member is missing, null or the
// empty string; @a status becomes non-zero for any other type and for a text
// that a document cannot carry.
const JsonValue* find_text(JsonObject parent, const char* name, int& status) {
  const JsonValue* value = parent.find(name);
  if (value == nullptr) return nullptr;
  if (value->type != JsonType::kString) {
    status = set_error_detail(ErrorCode::kJson, name, kNotString);
    return nullptr;
  }
  if (value->text.empty()) return nullptr;
  if (xml::first_unwritable(value->text) != std::string_view::npos) {
    status = set_error_detail(ErrorCode::kJson, name, kUnwritable);
    return nullptr;
  }
  return value;
}

const JsonValue* find_number(JsonObject parent, const char* name, int& status) {
  const JsonValue* value = parent.find(name);
  if (value == nullptr || value->type == JsonType::kNumber) return value;
  status = set_error_detail(ErrorCode::kJson, name, kNotNumber);
  return nullptr;
}

}  // namespace

int JsonTree::parse(std::string_view text) {
  values_.clear();
  if (const void* nul = std::memchr(text.data(), '\0', text.size())) {
    return parse_error(
        text,
        static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()),
        "A NUL byte is not allowed in JSON text.");
  }
  text_.assign(text.begin(), text.end());
  text_.push_back('\0');
  TreeBuilder builder(values_);
  rapidjson::Reader reader;
  rapidjson::InsituStringStream stream(text_.data());
  rapidjson::ParseResult result = reader.Parse<kParseFlags>(stream, builder);
  if (result.IsError()) {
    const char* reason = result.Code() == rapidjson::kParseErrorTermination
                             ? builder.refusal()
                             : rapidjson::GetParseError_En(result.Code());
    return parse_error(text, result.Offset(), reason);
  }
  return 0;
}

const JsonValue* JsonTree::member(const JsonValue& object,
                                  std::string_view name) const {
  if (object.type != JsonType::kObject) return nullptr;
  for (const JsonValue* child = first_child(object); child != nullptr;
       child = next_sibling(*child)) {
    if (child->key == name) return child;
  }
  return nullptr;
}

const JsonValue* JsonObject::find(const char* name) const {
  const JsonValue* member = tree.member(value, name);
  if (member == nullptr || member->type == JsonType::kNull) return nullptr;
  return member;
}

const JsonValue* json_find_record(JsonObject parent, const char* name,
                                  int& status) {
  const JsonValue* value = parent.find(name);
  if (value == nullptr || value->type == JsonType::kObject) return value;
  status = set_error_detail(ErrorCode::kJson, name, kNotObject);
  return nullptr;
}

int json_read_string(JsonObject parent, const char* name, StringValue& out) {
  int status = 0;
  if (const JsonValue* value = find_text(parent, name, status))
    set_string(out, value->text);
  return status;
}

int json_read_int(JsonObject parent, const char* name, IntValue& out) {
  int status = 0;
  const JsonValue* value = find_number(parent, name, status);
  if (value == nullptr) return status;
  std::int32_t number = 0;
  // A number beyond the 32-bit range, or with a fraction or an exponent, is
  // refused as XML refuses it.
  if (code::parse_int(value->text, &number) != code::kNumberOk)
    return set_error_detail(ErrorCode::kXml, name, kInvalidInteger);
  set_int(out, number);
  return 0;
}

int json_read_decimal(JsonObject parent, const char* name, DecimalValue& out) {
  int status = 0;
  const JsonValue* value = find_number(parent, name, status);
  if (value == nullptr) return status;
  double number = 0.0;
  // A number too large for a double is refused as XML refuses it.
  if (code::parse_decimal(value->text, &number) != code::kNumberOk)
    return set_error_detail(ErrorCode::kXml, name, kInvalidDecimal);
  set_decimal(out, number);
  return 0;
}

int json_read_enum(JsonObject parent, const char* name, IntValue& out,
                   NameTable names) {
  int status = 0;
  const JsonValue* value = find_text(parent, name, status);
  if (value == nullptr) return status;
  const int index = find_name(value->text, names);
  if (index < 0) return set_error_detail(ErrorCode::kXml, name, kInvalidEnum);
  set_int(out, index);
  return 0;
}

int json_read_code(JsonObject parent, const char* name, StringValue& out,
                   NameTable names, NameTable codes) {
  int status = 0;
  const JsonValue* value = find_text(parent, name, status);
  if (value == nullptr) return status;
  const int index = find_name(value->text, names);
  if (index < 0 || static_cast<std::size_t>(index) >= codes.size() ||
      codes[static_cast<std::size_t>(index)] == nullptr)
    return set_error_detail(ErrorCode::kXml, name, kInvalidEnum);
  set_string(out, codes[static_cast<std::size_t>(index)]);
  return 0;
}

int json_read_flags(JsonObject parent, const char* name, IntValue& out,
                    NameTable names) {
  const JsonValue* list = parent.find(name);
  if (list == nullptr) return 0;
  if (list->type != JsonType::kArray)
    return set_error_detail(ErrorCode::kJson, name, kNotNames);
  std::uint32_t bits = 0;
  for (const JsonValue* item = parent.tree.first_child(*list); item != nullptr;
       item = parent.tree.next_sibling(*item)) {
    if (item->type != JsonType::kString)
      return set_error_detail(ErrorCode::kJson, name, kNotNames);
    const int index = find_name(item->text, names);
    if (index < 0 || index >= 32) continue;  // no name: skipped, as in XML
    const std::uint32_t bit = std::uint32_t{1} << index;
    if (bits & bit)
      return set_error_detail(ErrorCode::kXml, name, kDuplicateFlag);
    bits |= bit;
  }
  set_int(out, static_cast<std::int32_t>(bits));
  return 0;
}

int json_read_strings(
    JsonObject parent,
    std::initializer_list<std::pair<const char*, StringValue*>> fields) {
  for (const auto& [name, value] : fields) {
    if (int status = json_read_string(parent, name, *value)) return status;
  }
  return 0;
}

int json_read_decimals(
    JsonObject parent,
    std::initializer_list<std::pair<const char*, DecimalValue*>> fields) {
  for (const auto& [name, value] : fields) {
    if (int status = json_read_decimal(parent, name, *value)) return status;
  }
  return 0;
}

int check_list(const JsonTree& tree, const JsonValue& list, const char* name) {
  if (list.type != JsonType::kArray)
    return set_error_detail(ErrorCode::kJson, name, kNotObjects);
  for (const JsonValue* item = tree.first_child(list); item != nullptr;
       item = tree.next_sibling(*item)) {
    if (item->type != JsonType::kObject)
      return set_error_detail(ErrorCode::kJson, name, kNotObjects);
  }
  return 0;
}

}  // namespace zarnex::json
