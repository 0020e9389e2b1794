#ifndef ZARNEX_CODE_BASE32HEX_SIMD_H_
#define ZARNEX_CODE_BASE32HEX_SIMD_H_

#include <string>
#include <string_view>

namespace zarnex::code {

/// base32hex_decode() by the portable table-driven code, which targets
/// other than x86-64 run; on x86-64 base32hex_decode() uses SSE2. Used by
/// tests, to check both against each other on one machine.
int base32hex_decode_portable(std::string_view text, std::string* out);

}  // namespace zarnex::code

#endif  // ZARNEX_CODE_BASE32HEX_SIMD_H_
