#ifndef ZARNEX_CODE_BASE32HEX_H_
#define ZARNEX_CODE_BASE32HEX_H_

#include <string>
#include <string_view>

namespace zarnex::code {

/// Writes @a bytes as base32hex (alphabet "0-9A-V", upper case, five bits a
/// character, most significant first) into @a out, without "=" padding: n
/// bytes give ceil(8n / 5) characters. Always returns 0.
int base32hex_encode(std::string_view bytes, std::string* out);

/// Reads a base32hex text into bytes. Trailing "=" are dropped; of the L
/// characters left, floor(5L / 8) bytes are kept and the unused low bits of
/// a last partial group are not checked. Errors (with @a out untouched):
/// 1 "Base32hex cannot be NULL. " for a text whose data is null;
/// 1 "Invalid base32hex string. " for any character outside the alphabet
/// (lower case, "=" before the end, blanks and line ends included).
int base32hex_decode(std::string_view text, std::string* out);

}  // namespace zarnex::code

#endif  // ZARNEX_CODE_BASE32HEX_H_
