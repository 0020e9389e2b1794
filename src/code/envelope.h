#ifndef ZARNEX_CODE_ENVELOPE_H_
#define ZARNEX_CODE_ENVELOPE_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "model/document.h"

namespace zarnex::code {

// A Zarnex code is the base32hex text (alphabet 0-9 A-V, upper case, no "="
// padding) of this envelope:
//
//   offset 0  1 byte   header byte 0 (document type, version)
//   offset 1  1 byte   header byte 1 (sub-kind, reserved)
//   offset 2  2 bytes  payload length P, little-endian, before compression
//   offset 4  rest     raw LZMA1 stream of the payload, without properties
//                      block, size field or end marker
//
// The payload is the CRC-32 (IEEE, reflected, little-endian, 4 bytes) of the
// field sequence text, followed by that text. The CRC covers only the text,
// never the header or the length. LZMA properties are fixed: lc 3, lp 0,
// pb 2, dictionary 128 KiB (properties block 5D 00 00 02 00); the encoder
// runs at level 9 with 32 fast bytes, BT4, normal mode, one thread.

/// Largest field sequence a thread encodes unless it sets another limit.
inline constexpr std::uint32_t kDefaultSequenceLimit = 550;

/// The calling thread's field-sequence length limit in bytes.
std::uint32_t get_sequence_limit();
void set_sequence_limit(std::uint32_t limit);

/// Validates the document, writes its field sequence and builds its code.
/// Errors: -2 when @a out_text is null ("Base32hex pointer cannot be NULL.")
/// or the document is null; the rule's code when validation fails; 7 when
/// the sequence exceeds the limit; 3 when compression fails. Nothing is
/// written to @a out_text on failure.
int encode_document(const Document* document, std::string* out_text);

/// Decodes a code into a new, validated and completed document. Errors, in
/// the order checked: 8 fewer than 4 characters; -2 no place for the
/// document; 1 a character outside the alphabet; 8 fewer than 2 bytes;
/// 3 no payload length; 3 a corrupt stream; 2 no checksum or a checksum
/// mismatch; the header's faults (check_header: -2 an unknown document
/// type, 9 a sub-kind the type does not have, 9 a version other than 0);
/// then the rules of the document's kind.
int decode_document(std::string_view text, DocumentPtr* out_document);

/// The two header bytes of a code, without decompressing it: the checks of
/// decode_document() but those of the stream and its CRC, made by the same
/// functions, so a code whose stream is intact fails here with the status
/// and message decode_document() gives for its header, and a code refused
/// before its stream (too short, outside the alphabet, no payload length)
/// fails as it does there. -2 "Base32hex cannot be NULL. " for a null text.
/// @a out_header is set on success only.
int read_code_header(std::string_view text, DocumentHeader* out_header);

}  // namespace zarnex::code

#endif  // ZARNEX_CODE_ENVELOPE_H_
