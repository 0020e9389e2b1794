#include "code/crc32.h"

#include <array>
#include <cstddef>

#if defined(__x86_64__)
#include <emmintrin.h>
#include <wmmintrin.h>
#endif

#include "code/crc32_simd.h"

namespace zarnex::code {
namespace {

constexpr std::uint32_t kPolynomial = 0xEDB88320u;

using Table = std::array<std::array<std::uint32_t, 256>, 8>;

// Table 0 is the usual byte-at-a-time table. Table k gives the CRC of a byte
// followed by k zero bytes, so that eight bytes can be folded in at once:
// each byte of a 64-bit word looks up the table of its distance to the end.
constexpr Table make_tables() {
  Table tables{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t value = i;
    for (int bit = 0; bit < 8; ++bit)
      value = (value & 1u) != 0 ? (value >> 1) ^ kPolynomial : value >> 1;
    tables[0][i] = value;
  }
  for (std::size_t k = 1; k < 8; ++k) {
    for (std::uint32_t i = 0; i < 256; ++i) {
      const std::uint32_t previous = tables[k - 1][i];
      tables[k][i] = (previous >> 8) ^ tables[0][previous & 0xFFu];
    }
  }
  return tables;
}

constexpr Table kTables = make_tables();

// Runs the CRC register @a crc (no initial or final XOR applied) over @a n
// bytes at @a p.
std::uint32_t update_by_tables(std::uint32_t crc, const unsigned char* p,
                               std::size_t n) {
  // Eight bytes a step, read as two little-endian words.
  for (; n >= 8; n -= 8, p += 8) {
    const std::uint32_t low =
        crc ^ (std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
               std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
    const std::uint32_t high = std::uint32_t{p[4]} | std::uint32_t{p[5]} << 8 |
                               std::uint32_t{p[6]} << 16 |
                               std::uint32_t{p[7]} << 24;
    crc = kTables[7][low & 0xFFu] ^ kTables[6][(low >> 8) & 0xFFu] ^
          kTables[5][(low >> 16) & 0xFFu] ^ kTables[4][low >> 24] ^
          kTables[3][high & 0xFFu] ^ kTables[2][(high >> 8) & 0xFFu] ^
          kTables[1][(high >> 16) & 0xFFu] ^ kTables[0][high >> 24];
  }
  for (; n > 0; --n, ++p) crc = (crc >> 8) ^ kTables[0][(crc ^ *p) & 0xFFu];
  return crc;
}

#if defined(__x86_64__)
// Folding with carry-less multiplication (PCLMULQDQ), for x86-64 processors
// that have it.
//
// The CRC register is the message, read as a polynomial over GF(2), times
// x^32 modulo the polynomial P, bit-reflected: the first bit of the first
// byte is the highest power. A 16-byte block loaded little-endian is thus a
// 128-bit polynomial whose low 64-bit half holds the high powers. Only the
// remainder modulo P counts, so a block X followed by t more message bits
// can be replaced by anything congruent to X * x^t lined up with the block
// where those t bits end. With X = H * x^64 + L that is
// H * (x^(t+64) mod P) + L * (x^t mod P): two products of at most 96 bits.
// A carry-less product of two reflected 64-bit numbers comes out one place
// short (times x), so the constants are those of t - 1.

// x^e modulo P, reflected in 32 bits (bit 31 - d stands for x^d).
constexpr std::uint32_t power_of_x(int e) {
  std::uint32_t value = 0x80000000u;
  for (; e > 0; --e)
    value = (value & 1u) != 0 ? (value >> 1) ^ kPolynomial : value >> 1;
  return value;
}

// The multipliers for a block followed by @a t bits: for its low half,
// x^(t+63) mod P, for its high half x^(t-1) mod P, each reflected in the top
// 32 bits of a 64-bit half.
constexpr std::array<std::uint64_t, 2> fold_constants(int t) {
  return {std::uint64_t{power_of_x(t + 63)} << 32,
          std::uint64_t{power_of_x(t - 1)} << 32};
}

constexpr auto kFold512 = fold_constants(512);  // by four blocks
constexpr auto kFold128 = fold_constants(128);  // by one block

// The folding starts from four blocks; shorter inputs go by the tables.
constexpr std::size_t kClmulMinimum = 64;

__attribute__((target("pclmul"))) __m128i fold(__m128i block, __m128i k) {
  return _mm_xor_si128(_mm_clmulepi64_si128(block, k, 0x00),
                       _mm_clmulepi64_si128(block, k, 0x11));
}

__m128i load(const unsigned char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// As update_by_tables(), for n >= kClmulMinimum.
__attribute__((target("pclmul"))) std::uint32_t update_by_clmul(
    std::uint32_t crc, const unsigned char* p, std::size_t n) {
  const __m128i k512 = _mm_set_epi64x(static_cast<std::int64_t>(kFold512[1]),
                                      static_cast<std::int64_t>(kFold512[0]));
  const __m128i k128 = _mm_set_epi64x(static_cast<std::int64_t>(kFold128[1]),
                                      static_cast<std::int64_t>(kFold128[0]));
  // The register enters as an XOR on the first four bytes.
  __m128i x0 = _mm_xor_si128(load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x1 = load(p + 16);
  __m128i x2 = load(p + 32);
  __m128i x3 = load(p + 48);
  p += 64;
  n -= 64;
  // Four blocks side by side, each moved 512 bits on at a step.
  for (; n >= 64; n -= 64, p += 64) {
    x0 = _mm_xor_si128(fold(x0, k512), load(p));
    x1 = _mm_xor_si128(fold(x1, k512), load(p + 16));
    x2 = _mm_xor_si128(fold(x2, k512), load(p + 32));
    x3 = _mm_xor_si128(fold(x3, k512), load(p + 48));
  }
  __m128i x = _mm_xor_si128(fold(x0, k128), x1);
  x = _mm_xor_si128(fold(x, k128), x2);
  x = _mm_xor_si128(fold(x, k128), x3);
  for (; n >= 16; n -= 16, p += 16) x = _mm_xor_si128(fold(x, k128), load(p));
  // What is left is the block x and fewer than 16 bytes: their CRC from a
  // zero register.
  unsigned char block[16];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(block), x);
  return update_by_tables(update_by_tables(0, block, 16), p, n);
}

bool have_clmul() { return __builtin_cpu_supports("pclmul"); }
#else
bool have_clmul() { return false; }
#endif

}  // namespace

std::uint32_t crc32(std::string_view bytes) {
  if (bytes.empty()) return 0;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
#if defined(__x86_64__)
  if (bytes.size() >= kClmulMinimum && have_clmul())
    return update_by_clmul(0xFFFFFFFFu, p, bytes.size()) ^ 0xFFFFFFFFu;
#endif
  return update_by_tables(0xFFFFFFFFu, p, bytes.size()) ^ 0xFFFFFFFFu;
}

std::uint32_t crc32_by_tables(std::string_view bytes) {
  if (bytes.empty()) return 0;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  return update_by_tables(0xFFFFFFFFu, p, bytes.size()) ^ 0xFFFFFFFFu;
}

bool crc32_uses_clmul() { return have_clmul(); }

}  // namespace zarnex::code
