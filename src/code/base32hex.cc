#include "code/base32hex.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "code/base32hex_simd.h"
#include "error/error.h"

namespace zarnex::code {
namespace {

constexpr char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUV";

// Writes the 8 characters of the 5 bytes in @a group (its low 40 bits).
void encode_block(std::uint64_t group, char* text) {
  for (int k = 0; k < 8; ++k)
    text[k] = kAlphabet[(group >> (35 - 5 * k)) & 0x1F];
}

// Decoding writes each group's bytes with 8-byte stores, so a group may
// write up to kSlack bytes past its own; the output keeps that many spare
// bytes at its end while decoding.
constexpr std::size_t kSlack = 3;

// Writes @a value to the 8 bytes at @a p, the high byte first.
void store_big_endian(std::uint64_t value, unsigned char* p) {
  if constexpr (std::endian::native == std::endian::little) {
    // Compilers turn this into a byte swap instruction.
    value = (value >> 56) | ((value >> 40) & 0xFF00u) |
            ((value >> 24) & 0xFF0000u) | ((value >> 8) & 0xFF000000u) |
            ((value & 0xFF000000u) << 8) | ((value & 0xFF0000u) << 24) |
            ((value & 0xFF00u) << 40) | (value << 56);
    std::memcpy(p, &value, 8);
  } else if constexpr (std::endian::native == std::endian::big) {
    std::memcpy(p, &value, 8);
  } else {
    for (int k = 0; k < 8; ++k)
      p[k] = static_cast<unsigned char>(value >> (56 - 8 * k));
  }
}

// A character's value among four (kPlaced[k][c] holds that of character c
// as the k-th of four, at bits 15 - 5k to 19 - 5k), so that four characters
// come together by ORs alone. Characters outside the alphabet have the high
// bit, which no value reaches.
constexpr std::uint32_t kOutside = 0x80000000u;

using PlacedValues = std::array<std::array<std::uint32_t, 256>, 4>;

constexpr PlacedValues make_placed_values() {
  PlacedValues placed{};
  for (auto& table : placed)
    for (auto& value : table) value = kOutside;
  for (int k = 0; k < 4; ++k)
    for (std::uint32_t i = 0; i < 32; ++i)
      placed[k][static_cast<unsigned char>(kAlphabet[i])] = i << (15 - 5 * k);
  return placed;
}

constexpr PlacedValues kPlaced = make_placed_values();

// Decodes groups of 8 characters into 5 bytes by table lookups. Validity is
// gathered over all groups and asked for at the end: the bytes of a text
// with a bad character are thrown away anyway.
class TableDecoder {
 public:
  static constexpr std::size_t kChars = 8;

  // Reads 8 characters at @a text and writes 8 bytes at @a bytes: the 5 of
  // the group and 3 more that the caller overwrites or drops.
  void decode(const unsigned char* text, unsigned char* bytes) {
    const std::uint32_t first = kPlaced[0][text[0]] | kPlaced[1][text[1]] |
                                kPlaced[2][text[2]] | kPlaced[3][text[3]];
    const std::uint32_t second = kPlaced[0][text[4]] | kPlaced[1][text[5]] |
                                 kPlaced[2][text[6]] | kPlaced[3][text[7]];
    outside_ |= first | second;
    // The group's 40 bits at the top of the word.
    store_big_endian(
        (std::uint64_t{first} << 44) | (std::uint64_t{second} << 24), bytes);
  }

  bool valid() const { return (outside_ & kOutside) == 0; }

 private:
  std::uint32_t outside_ = 0;
};

#if defined(__x86_64__)
// The same for 16 characters into 10 bytes with SSE2, which every x86-64
// processor has.
class Sse2Decoder {
 public:
  static constexpr std::size_t kChars = 16;

  // Reads 16 characters at @a text and writes 13 bytes at @a bytes: the 10
  // of the two groups and 3 more that the caller overwrites or drops.
  void decode(const unsigned char* text, unsigned char* bytes) {
    const __m128i chars =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
    // Moved so that a range starts at -128, a byte lies in it when it is
    // below -128 plus the range's width as a signed byte.
    const __m128i digits = _mm_cmplt_epi8(
        _mm_add_epi8(chars, _mm_set1_epi8(static_cast<char>(0x80 - '0'))),
        _mm_set1_epi8(-128 + 10));
    const __m128i letters = _mm_cmplt_epi8(
        _mm_add_epi8(chars, _mm_set1_epi8(static_cast<char>(0x80 - 'A'))),
        _mm_set1_epi8(-128 + 22));
    valid_ = _mm_and_si128(valid_, _mm_or_si128(digits, letters));

    const __m128i values =
        _mm_sub_epi8(_mm_sub_epi8(chars, _mm_set1_epi8('0')),
                     _mm_and_si128(letters, _mm_set1_epi8(7)));
    // Each 16-bit lane holds a pair, its first character in the low byte:
    // first * 32 + second gives 10 bits.
    const __m128i pairs = _mm_or_si128(
        _mm_slli_epi16(_mm_and_si128(values, _mm_set1_epi16(0xFF)), 5),
        _mm_srli_epi16(values, 8));
    // first pair * 1024 + second pair: 20 bits in each 32-bit lane.
    const __m128i quads = _mm_madd_epi16(pairs, _mm_set1_epi32(0x00010400));
    // The 40 bits of a group at the top of its 64-bit lane: the first quad
    // (the low half) shifted up to bit 44, the second down to bit 24. That
    // second shift also brings the first quad's high bits into bits 0..11,
    // which end up in the 3 bytes past the group.
    const __m128i groups =
        _mm_or_si128(_mm_slli_epi64(quads, 44), _mm_srli_epi64(quads, 8));
    store_big_endian(static_cast<std::uint64_t>(_mm_cvtsi128_si64(groups)),
                     bytes);
    store_big_endian(static_cast<std::uint64_t>(
                         _mm_cvtsi128_si64(_mm_unpackhi_epi64(groups, groups))),
                     bytes + 5);
  }

  bool valid() const { return _mm_movemask_epi8(valid_) == 0xFFFF; }

 private:
  __m128i valid_ = _mm_set1_epi8(-1);
};
#endif

// base32hex_decode() with the group decoder @a Decoder.
template <typename Decoder>
int decode_with(std::string_view text, std::string* out) {
  if (text.data() == nullptr)
    return set_error(ErrorCode::kBase32hex, "Base32hex cannot be NULL. ");
  while (!text.empty() && text.back() == '=') text.remove_suffix(1);
  constexpr std::size_t kChars = Decoder::kChars;
  constexpr std::size_t kBytes = 5 * kChars / 8;
  const std::size_t length = text.size();
  const std::size_t size = 5 * length / 8;
  // An empty @a out is decoded into directly and emptied again on failure;
  // otherwise a new buffer replaces it only on success.
  std::string other;
  std::string& bytes = out->empty() ? *out : other;
  bytes.resize(size + kSlack);
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  auto* dest = reinterpret_cast<unsigned char*>(bytes.data());
  Decoder decoder;
  std::size_t i = 0;
  for (; i + kChars <= length; i += kChars, dest += kBytes)
    decoder.decode(in + i, dest);
  if (i < length) {
    // A short last group reads as if filled up with '0' characters.
    unsigned char group[kChars];
    std::memset(group, '0', kChars);
    std::memcpy(group, in + i, length - i);
    unsigned char block[kBytes + kSlack];
    decoder.decode(group, block);
    std::memcpy(dest, block, 5 * (length - i) / 8);
  }
  if (!decoder.valid()) {
    bytes.clear();
    return set_error(ErrorCode::kBase32hex, "Invalid base32hex string. ");
  }
  bytes.resize(size);
  if (&bytes == &other) *out = std::move(other);
  return 0;
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
#if defined(__x86_64__)
  return decode_with<Sse2Decoder>(text, out);
#else
  return decode_with<TableDecoder>(text, out);
#endif
}

int base32hex_decode_portable(std::string_view text, std::string* out) {
  return decode_with<TableDecoder>(text, out);
}

}  // namespace zarnex::code
