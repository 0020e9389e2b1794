#ifndef ZARNEX_CODE_PAYLOAD_H_
#define ZARNEX_CODE_PAYLOAD_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace zarnex::code {

// The compressed part of the envelope, from offset 2 on: the payload length
// P (2 bytes, little-endian) and the raw LZMA1 stream of the P payload bytes.

/// The room reserved for the compressed form of @a n payload bytes,
/// length field included: n + n / 3 + 130.
std::size_t payload_capacity(std::size_t n);

/// Appends the payload length and the LZMA stream of @a payload to @a out.
/// @a capacity is the room for both together; a stream that does not fit
/// fails, it is never cut. Error: 3 "Compression error. ".
int compress_payload(std::string_view payload, std::size_t capacity,
                     std::string* out);

/// Checks that @a bytes begin with the payload length field: 0, or 3
/// "Invalid compressed data. " for fewer than 2 bytes. The decoder checks it
/// with the header, before it decompresses anything (decompress_payload
/// checks it again).
int check_length_field(std::string_view bytes);

/// Reads the payload length and decompresses the stream after it into
/// @a out: the announced number of bytes, or fewer when the stream has an
/// end marker before them. Errors: 3 "Invalid compressed data. " for fewer
/// than 2 bytes; 3 "Decompression error. " for a stream that is corrupt,
/// shorter than 5 bytes or ends before the announced length.
int decompress_payload(std::string_view bytes, std::string* out);

}  // namespace zarnex::code

#endif  // ZARNEX_CODE_PAYLOAD_H_
