#ifndef ZARNEX_CODE_CRC32_SIMD_H_
#define ZARNEX_CODE_CRC32_SIMD_H_

#include <cstdint>
#include <string_view>

namespace zarnex::code {

/// crc32() by the lookup tables alone, as processors without carry-less
/// multiplication and targets other than x86-64 compute it. Used by tests,
/// to check both ways against each other on one machine.
std::uint32_t crc32_by_tables(std::string_view bytes);

/// Whether crc32() folds long inputs with carry-less multiplication
/// (PCLMULQDQ) on this processor. Used by tests.
bool crc32_uses_clmul();

}  // namespace zarnex::code

#endif  // ZARNEX_CODE_CRC32_SIMD_H_
