#ifndef ZARNEX_CODE_LZMA_H_
#define ZARNEX_CODE_LZMA_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace zarnex::code {

// Raw LZMA1 streams with the fixed properties of every code: lc 3, lp 0,
// pb 2, dictionary 128 KiB (properties block 5D 00 00 02 00, never stored).
// Each thread keeps one encoder and one decoder and re-initialises them for
// every call, so bulk runs do not allocate the match finder again each time.
// Error reporting is left to the callers.

/// Compresses @a input at level 9 (32 fast bytes, BT4, normal mode, one
/// thread) into a raw stream without end marker, appended to @a out.
/// Returns false, leaving @a out as it was, when the encoder fails or the
/// stream would be longer than @a room bytes.
bool lzma_compress(std::string_view input, std::size_t room, std::string* out);

/// Decompresses the raw stream @a stream into @a out until @a expected bytes
/// are there; input left over after them is ignored. An end marker before
/// that ends the output early (success, shorter output). Returns false for
/// a stream shorter than 5 bytes, a stream that ends before @a expected
/// bytes, and corrupt data, leaving @a out as it was. An empty @a out is
/// written into directly, so that a caller can reuse its buffer.
bool lzma_decompress(std::string_view stream, std::size_t expected,
                     std::string* out);

}  // namespace zarnex::code

#endif  // ZARNEX_CODE_LZMA_H_
