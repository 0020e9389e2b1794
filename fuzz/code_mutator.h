#ifndef ZARNEX_FUZZ_CODE_MUTATOR_H_
#define ZARNEX_FUZZ_CODE_MUTATOR_H_

// A structure-aware mutator for inputs that are codes. Byte-level mutation of
// a code almost never survives the LZMA stream and the CRC-32, so the decoder's
// later stages (splitting, reading the fields, validation, completion, XML
// writing) would see only the seeds. This mutator opens a code, mutates its
// header or its field sequence, and seals it again with a correct checksum and
// stream; one mutation in eight stays at byte level so that the base32hex,
// LZMA and CRC checks keep being exercised too.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "code/base32hex.h"
#include "code/crc32.h"
#include "code/payload.h"

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size,
                                        std::size_t max_size);

namespace zarnex::fuzzing {

/// The header bytes and field sequence of a code whose envelope is intact.
struct OpenCode {
  std::string header;    // 2 bytes
  std::string sequence;  // the payload after its CRC
};

inline bool open_code(std::string_view text, OpenCode* out) {
  std::string bytes;
  if (code::base32hex_decode(text, &bytes) != 0 || bytes.size() < 4)
    return false;
  std::string payload;
  if (code::decompress_payload(std::string_view(bytes).substr(2), &payload) !=
          0 ||
      payload.size() < 4)
    return false;
  out->header = bytes.substr(0, 2);
  out->sequence = payload.substr(4);
  return true;
}

/// The code of a header and a field sequence, with its CRC; empty when the
/// sequence cannot be compressed.
inline std::string seal_code(const OpenCode& open) {
  std::uint32_t crc = code::crc32(open.sequence);
  std::string payload;
  payload.reserve(4 + open.sequence.size());
  for (int i = 0; i < 4; ++i)
    payload.push_back(static_cast<char>((crc >> (8 * i)) & 0xFF));
  payload += open.sequence;
  std::string envelope = open.header;
  if (code::compress_payload(payload, code::payload_capacity(payload.size()),
                             &envelope) != 0)
    return {};
  std::string text;
  code::base32hex_encode(envelope, &text);
  return text;
}

/// Mutates @a data (a code, or anything else) in place; returns the new size.
inline std::size_t mutate_code(std::uint8_t* data, std::size_t size,
                               std::size_t max_size, unsigned int seed) {
  OpenCode open;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  if (seed % 8 == 0 || !open_code(text, &open))
    return LLVMFuzzerMutate(data, size, max_size);

  switch ((seed >> 3) % 8) {
    case 0:  // another document type, version or sub-kind
      open.header[0] = static_cast<char>(seed >> 8);
      break;
    case 1:
      open.header[1] = static_cast<char>(seed >> 8);
      break;
    default: {  // the field sequence, mutated as bytes
      // Room for growth, bounded so that the sealed code fits max_size
      // (base32hex takes 8 characters for 5 bytes, LZMA may expand a little).
      std::size_t room = max_size * 5 / 8;
      room = room > 64 ? room - 64 : 0;
      if (room > 4096) room = 4096;
      if (open.sequence.size() > room) open.sequence.resize(room);
      std::size_t length = open.sequence.size();
      open.sequence.resize(room);
      length = LLVMFuzzerMutate(
          reinterpret_cast<std::uint8_t*>(open.sequence.data()), length, room);
      open.sequence.resize(length);
      break;
    }
  }
  std::string sealed = seal_code(open);
  if (sealed.empty() || sealed.size() > max_size)
    return LLVMFuzzerMutate(data, size, max_size);
  std::memcpy(data, sealed.data(), sealed.size());
  return sealed.size();
}

}  // namespace zarnex::fuzzing

#endif  // ZARNEX_FUZZ_CODE_MUTATOR_H_
