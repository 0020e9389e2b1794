#include "code/base32hex.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "error/error.h"

namespace zarnex::code {
namespace {

constexpr char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
// Any value with one of these bits set is no character of the alphabet.
constexpr std::uint8_t kInvalid = 0xFF;
constexpr std::uint8_t kInvalidBits = 0xE0;

constexpr std::array<std::uint8_t, 256> make_values() {
  std::array<std::uint8_t, 256> values{};
  for (auto& v : values) v = kInvalid;
  for (int i = 0; i < 32; ++i)
    values[static_cast<unsigned char>(kAlphabet[i])] =
        static_cast<std::uint8_t>(i);
  return values;
}

constexpr std::array<std::uint8_t, 256> kValues = make_values();

// Writes the 8 characters of the 5 bytes in @a group (its low 40 bits).
void encode_block(std::uint64_t group, char* text) {
  for (int k = 0; k < 8; ++k)
    text[k] = kAlphabet[(group >> (35 - 5 * k)) & 0x1F];
}

// Decodes 8 characters into 5 bytes; false for a character outside the
// alphabet.
bool decode_block(const char* text, char* bytes) {
  std::uint64_t group = 0;
  std::uint8_t seen = 0;
  for (int k = 0; k < 8; ++k) {
    const std::uint8_t value = kValues[static_cast<unsigned char>(text[k])];
    seen |= value;
    group = (group << 5) | value;
  }
  if ((seen & kInvalidBits) != 0) return false;
  for (int k = 0; k < 5; ++k)
    bytes[k] = static_cast<char>((group >> (32 - 8 * k)) & 0xFF);
  return true;
}

}  // namespace

int base32hex_encode(std::string_view bytes, std::string* out) {
  const std::size_t n = bytes.size();
  out->resize((8 * n + 4) / 5);
  char* text = out->data();
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t i = 0;
  for (; i + 5 <= n; i += 5, text += 8) {
    const std::uint64_t group =
        (std::uint64_t{in[i]} << 32) | (std::uint64_t{in[i + 1]} << 24) |
        (std::uint64_t{in[i + 2]} << 16) | (std::uint64_t{in[i + 3]} << 8) |
        in[i + 4];
    encode_block(group, text);
  }
  if (i < n) {
    // A last partial group is filled with zero bytes; of its 8 characters
    // only ceil(8r / 5) are kept.
    const std::size_t r = n - i;
    std::uint64_t group = 0;
    for (std::size_t k = 0; k < 5; ++k)
      group = (group << 8) | (k < r ? in[i + k] : 0u);
    char block[8];
    encode_block(group, block);
    std::memcpy(text, block, (8 * r + 4) / 5);
  }
  return 0;
}

int base32hex_decode(std::string_view text, std::string* out) {
  if (text.data() == nullptr)
    return set_error(ErrorCode::kBase32hex, "Base32hex cannot be NULL. ");
  while (!text.empty() && text.back() == '=') text.remove_suffix(1);
  const std::size_t length = text.size();
  // An empty @a out is decoded into directly and emptied again on failure;
  // otherwise a new buffer replaces it only on success.
  std::string other;
  std::string& bytes = out->empty() ? *out : other;
  bytes.resize(5 * length / 8);
  char* dest = bytes.data();
  bool valid = true;
  std::size_t i = 0;
  for (; i + 8 <= length && valid; i += 8, dest += 5)
    valid = decode_block(text.data() + i, dest);
  if (valid && i < length) {
    // A short last group reads as if filled up with '0' characters.
    char group[8] = {'0', '0', '0', '0', '0', '0', '0', '0'};
    std::memcpy(group, text.data() + i, length - i);
    char block[5];
    valid = decode_block(group, block);
    if (valid) std::memcpy(dest, block, 5 * (length - i) / 8);
  }
  if (!valid) {
    bytes.clear();
    return set_error(ErrorCode::kBase32hex, "Invalid base32hex string. ");
  }
  if (&bytes == &other) *out = std::move(other);
  return 0;
}

}  // namespace zarnex::code
