#include "code/crc32.h"

#include <array>

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

}  // namespace

std::uint32_t crc32(std::string_view bytes) {
  if (bytes.empty()) return 0;
  std::uint32_t crc = 0xFFFFFFFFu;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t n = bytes.size();
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
  return crc ^ 0xFFFFFFFFu;
}

}  // namespace zarnex::code
