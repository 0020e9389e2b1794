#ifndef ZARNEX_TESTS_SEALED_CODE_H_
#define ZARNEX_TESTS_SEALED_CODE_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace zarnex::testing {

/// The code of a header and a field sequence, sealed as the encoder seals it
/// (CRC-32, LZMA, length, base32hex) but without its checks: what another
/// program could make.
std::string seal_code(std::uint8_t byte0, std::uint8_t byte1,
                      std::string_view sequence);

}  // namespace zarnex::testing

#endif  // ZARNEX_TESTS_SEALED_CODE_H_
