#include "json/json_writer.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

#include "base/number.h"

namespace zarnex::json {
namespace {

// Bytes that a JSON string cannot hold as they are (the quotation mark, the
// backslash and the control characters), and the bytes from 0x80 up, whose
// UTF-8 sequences are checked.
constexpr std::array<bool, 256> make_special() {
  std::array<bool, 256> special{};
  for (int c = 0; c < 0x20; ++c) special[c] = true;
  special['"'] = true;
  special['\\'] = true;
  for (int c = 0x80; c < 0x100; ++c) special[c] = true;
  return special;
}
constexpr std::array<bool, 256> kSpecial = make_special();

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// The length of the well-formed, shortest UTF-8 sequence at @a i, or 0.
std::size_t utf8_length(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) {
    return static_cast<unsigned char>(text[k]);
  };
  const unsigned char c = byte(i);
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3;
    if (c == 0xE0) low = 0xA0;   // no overlong form
    if (c == 0xED) high = 0x9F;  // no surrogate
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
  } else {
    return 0;
  }
  if (text.size() - i < length) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  }
  return length;
}

}  // namespace

void json_append_string(JsonOut& out, std::string_view text) {
  out.append('"');
  std::size_t done = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (!kSpecial[c]) {
      ++i;
      continue;
    }
    if (c >= 0x80) {
      if (const std::size_t length = utf8_length(text, i); length != 0) {
        i += length;
        continue;
      }
    }
    out.append(text.substr(done, i - done));
    if (c == '"') {
      out.append("\\\"");
    } else if (c == '\\') {
      out.append("\\\\");
    } else if (c < 0x20) {
      static constexpr char kHex[] = "0123456789abcdef";
      char escape[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0x0F]};
      out.append(std::string_view(escape, sizeof escape));
    } else {
      out.append(kReplacement);
    }
    done = ++i;
  }
  out.append(text.substr(done));
  out.append('"');
}

void json_write_string(JsonOut& out, const MemberKey& key,
                       const StringValue& value) {
  if (is_blank(value)) return;
  json_append_key(out, key);
  json_append_string(out, *value);
}

void json_write_int(JsonOut& out, const MemberKey& key, const IntValue& value) {
  if (!value) return;
  json_append_key(out, key);
  constexpr std::size_t kIntRoom = 11;  // "-2147483648"
  const std::size_t before = out.size();
  char* const digits = out.extend(kIntRoom);
  const char* end = std::to_chars(digits, digits + kIntRoom, *value).ptr;
  out.truncate(before + static_cast<std::size_t>(end - digits));
}

void json_write_decimal(JsonOut& out, const MemberKey& key,
                        const DecimalValue& value) {
  // The text of a value that is not finite is no JSON number; a validated
  // document holds none.
  if (!value || !std::isfinite(*value)) return;
  json_append_key(out, key);
  // The XML writer's decimal text, written in place when it is short.
  const std::size_t before = out.size();
  char* const digits = out.extend(code::kShortDecimalRoom);
  if (const std::size_t n = code::format_short_decimal(*value, digits);
      n != 0) {
    out.truncate(before + n);
    return;
  }
  out.truncate(before);
  out.append(code::format_decimal(*value));
}

void json_write_enum(JsonOut& out, const MemberKey& key, const IntValue& value,
                     NameTable names) {
  if (!value || *value < 0 || static_cast<std::size_t>(*value) >= names.size())
    return;
  const char* name = names[static_cast<std::size_t>(*value)];
  if (name == nullptr || *name == '\0') return;
  json_append_key(out, key);
  json_append_string(out, name);
}

void json_write_code(JsonOut& out, const MemberKey& key,
                     const StringValue& code, NameTable names,
                     NameTable codes) {
  if (!code) return;
  for (std::size_t i = 0; i < codes.size() && i < names.size(); ++i) {
    if (codes[i] == nullptr || *code != codes[i]) continue;
    if (names[i] != nullptr && *names[i] != '\0') {
      json_append_key(out, key);
      json_append_string(out, names[i]);
    }
    return;
  }
}

void json_write_flags(JsonOut& out, const MemberKey& key, const IntValue& value,
                      NameTable names) {
  if (!value) return;
  const auto bits = static_cast<std::uint32_t>(*value);
  const std::size_t start = out.size();
  json_append_key(out, key);
  out.append('[');
  const std::size_t content = out.size();
  for (std::size_t i = 0; i < names.size() && i < 32; ++i) {
    if ((bits & (std::uint32_t{1} << i)) == 0 || names[i] == nullptr) continue;
    if (out.size() != content) out.append(',');
    json_append_string(out, names[i]);
  }
  if (out.size() == content) {
    out.truncate(start);
    return;
  }
  out.append(']');
}

void json_write_strings(
    JsonOut& out,
    std::initializer_list<std::pair<const MemberKey&, const StringValue*>>
        fields) {
  for (const auto& [key, value] : fields) json_write_string(out, key, *value);
}

void json_write_decimals(
    JsonOut& out,
    std::initializer_list<std::pair<const MemberKey&, const DecimalValue*>>
        fields) {
  for (const auto& [key, value] : fields) json_write_decimal(out, key, *value);
}

}  // namespace zarnex::json
