#include "code/base32hex.h"

#include <array>
#include <cstdint>

#include "error/error.h"

namespace zarnex::code {
namespace {

constexpr char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
constexpr std::int8_t kInvalid = -1;

constexpr std::array<std::int8_t, 256> make_values() {
  std::array<std::int8_t, 256> values{};
  for (auto& v : values) v = kInvalid;
  for (int i = 0; i < 32; ++i)
    values[static_cast<unsigned char>(kAlphabet[i])] =
        static_cast<std::int8_t>(i);
  return values;
}

constexpr std::array<std::int8_t, 256> kValues = make_values();

}  // namespace

int base32hex_encode(std::string_view bytes, std::string* out) {
  const std::size_t n = bytes.size();
  std::string text;
  text.reserve((8 * n + 4) / 5);
  for (std::size_t i = 0; i < n; i += 5) {
    // A last partial group is filled with zero bytes; of its 8 characters
    // only ceil(8r / 5) are kept.
    std::size_t r = n - i < 5 ? n - i : 5;
    std::uint64_t group = 0;
    for (std::size_t k = 0; k < 5; ++k) {
      std::uint64_t byte = k < r ? static_cast<unsigned char>(bytes[i + k]) : 0;
      group = (group << 8) | byte;
    }
    std::size_t chars = (8 * r + 4) / 5;
    for (std::size_t k = 0; k < chars; ++k)
      text.push_back(kAlphabet[(group >> (35 - 5 * k)) & 0x1F]);
  }
  *out = std::move(text);
  return 0;
}

int base32hex_decode(std::string_view text, std::string* out) {
  if (text.data() == nullptr)
    return set_error(ErrorCode::kBase32hex, "Base32hex cannot be NULL. ");
  while (!text.empty() && text.back() == '=') text.remove_suffix(1);
  const std::size_t length = text.size();
  std::string bytes;
  bytes.reserve(5 * length / 8);
  for (std::size_t i = 0; i < length; i += 8) {
    std::size_t r = length - i < 8 ? length - i : 8;
    std::uint64_t group = 0;
    for (std::size_t k = 0; k < 8; ++k) {
      std::uint64_t value = 0;
      if (k < r) {
        std::int8_t v = kValues[static_cast<unsigned char>(text[i + k])];
        if (v == kInvalid)
          return set_error(ErrorCode::kBase32hex, "Invalid base32hex string. ");
        value = static_cast<std::uint64_t>(v);
      }
      group = (group << 5) | value;
    }
    std::size_t keep = 5 * r / 8;
    for (std::size_t k = 0; k < keep; ++k)
      bytes.push_back(static_cast<char>((group >> (32 - 8 * k)) & 0xFF));
  }
  *out = std::move(bytes);
  return 0;
}

}  // namespace zarnex::code
