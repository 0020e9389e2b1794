#ifndef ZARNEX_CODE_CRC32_H_
#define ZARNEX_CODE_CRC32_H_

#include <cstdint>
#include <string_view>

namespace zarnex::code {

/// The standard reflected CRC-32 (polynomial 0xEDB88320, initial value and
/// final XOR 0xFFFFFFFF), as zlib and IEEE 802.3 compute it. 0 for no bytes.
/// "123456789" gives 0xCBF43926.
std::uint32_t crc32(std::string_view bytes);

}  // namespace zarnex::code

#endif  // ZARNEX_CODE_CRC32_H_
