#include "code/envelope.h"

#include <cstddef>
#include <utility>

#include "code/base32hex.h"
#include "code/crc32.h"
#include "code/field_sequence.h"
#include "code/payload.h"
#include "error/error.h"
#include "validate/document_rules.h"

namespace zarnex::code {
namespace {

constexpr std::size_t kHeaderBytes = 2;
constexpr std::size_t kCrcBytes = 4;
// Fewer characters than this cannot hold the two header bytes.
constexpr std::size_t kMinCodeLength = 4;
// The payload length field is 16 bits wide, so no limit can let a longer
// field sequence through.
constexpr std::size_t kMaxSequenceLength = 0xFFFF - kCrcBytes;

thread_local std::uint32_t t_sequence_limit = kDefaultSequenceLimit;

std::uint32_t read_le32(std::string_view bytes) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i)
    value = (value << 8) |
            static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
  return value;
}

// The start of the envelope @a bytes, as the decoder reads it before it
// decompresses anything: the two header bytes (8 "Header not found. ") and
// the payload length after them (3 "Invalid compressed data. "). Sets
// @a header on success only. decode_document() and read_code_header() share
// it, and both judge the header itself with check_header() (type, sub-kind,
// version; the reserved bits travel unexamined), so that a header is called
// valid exactly when decoding accepts it.
int read_envelope_start(std::string_view bytes, DocumentHeader* header) {
  if (bytes.size() < kHeaderBytes)
    return set_error(ErrorCode::kUnknownDocument, "Header not found. ");
  if (int status = check_length_field(bytes.substr(kHeaderBytes)); status != 0)
    return status;
  header->byte0 = static_cast<std::uint8_t>(bytes[0]);
  header->byte1 = static_cast<std::uint8_t>(bytes[1]);
  return 0;
}

}  // namespace

std::uint32_t get_sequence_limit() { return t_sequence_limit; }

void set_sequence_limit(std::uint32_t limit) { t_sequence_limit = limit; }

namespace {

// Buffers that encoding and decoding reuse from one document to the next, so
// that a bulk run does not allocate them for every line.
struct EncodeBuffers {
  FieldSequence sequence;
  std::string payload;
  std::string envelope;
};

struct DecodeBuffers {
  std::string bytes;
  std::string payload;
  FieldSequence sequence;
};

// A buffer that one very large input made huge is given back rather than
// kept for the rest of the run.
constexpr std::size_t kKeptCapacity = 1 << 16;

void reuse(std::string& buffer) {
  if (buffer.capacity() > kKeptCapacity) {
    std::string().swap(buffer);
  } else {
    buffer.clear();
  }
}

void reuse(FieldList& fields) {
  if (fields.text().capacity() > kKeptCapacity) {
    fields = FieldList();
  } else {
    fields.clear();
  }
}

EncodeBuffers& thread_encode_buffers() {
  thread_local EncodeBuffers buffers;
  return buffers;
}

DecodeBuffers& thread_decode_buffers() {
  thread_local DecodeBuffers buffers;
  return buffers;
}

}  // namespace

int encode_document(const Document* document, std::string* out_text) {
  if (out_text == nullptr) {
    return set_error(ErrorCode::kNullPointer,
                     "Base32hex pointer cannot be NULL.");
  }
  if (int status = document_validate(document); status != 0) return status;

  EncodeBuffers& buffers = thread_encode_buffers();
  FieldSequence& sequence = buffers.sequence;
  reuse(sequence.fields);
  if (int status = write_document(sequence, document); status != 0)
    return status;
  const std::string& text = sequence.fields.text();
  if (text.size() > t_sequence_limit || text.size() > kMaxSequenceLength) {
    return set_error(ErrorCode::kSequenceLimitExceeded,
                     "Sequence limit exceeded.");
  }

  // Payload: CRC-32 of the text, low byte first, then the text.
  const std::uint32_t crc = crc32(text);
  std::string& payload = buffers.payload;
  reuse(payload);
  for (std::size_t i = 0; i < kCrcBytes; ++i)
    payload.push_back(static_cast<char>((crc >> (8 * i)) & 0xFF));
  payload.append(text);

  const std::size_t capacity = payload_capacity(payload.size());
  std::string& envelope = buffers.envelope;
  reuse(envelope);
  envelope.push_back(static_cast<char>(sequence.header.byte0));
  envelope.push_back(static_cast<char>(sequence.header.byte1));
  if (int status = compress_payload(payload, capacity, &envelope); status != 0)
    return status;
  return base32hex_encode(envelope, out_text);
}

int decode_document(std::string_view text, DocumentPtr* out_document) {
  if (text.size() < kMinCodeLength)
    return set_error(ErrorCode::kUnknownDocument, "Header not found. ");
  if (out_document == nullptr) {
    return set_error(ErrorCode::kNullPointer,
                     "Document pointer cannot be NULL. ");
  }
  DecodeBuffers& buffers = thread_decode_buffers();
  std::string& bytes = buffers.bytes;
  reuse(bytes);
  if (int status = base32hex_decode(text, &bytes); status != 0) return status;
  DocumentHeader header;
  if (int status = read_envelope_start(bytes, &header); status != 0)
    return status;

  // A fresh sequence every time, but with the fields' buffer of the last one.
  FieldSequence& sequence = buffers.sequence;
  reuse(sequence.fields);
  FieldList fields = std::move(sequence.fields);
  sequence = FieldSequence();
  sequence.fields = std::move(fields);
  sequence.header = header;

  std::string& payload = buffers.payload;
  reuse(payload);
  if (int status = decompress_payload(
          std::string_view(bytes).substr(kHeaderBytes), &payload);
      status != 0) {
    return status;
  }
  if (payload.size() < kCrcBytes)
    return set_error(ErrorCode::kChecksum, "Checksum not found. ");
  std::string_view sequence_text = std::string_view(payload).substr(kCrcBytes);
  if (read_le32(payload) != crc32(sequence_text))
    return set_error(ErrorCode::kChecksum, "Checksum mismatch. ");
  // The stream and its CRC first: a code that is not intact is reported as
  // such, whatever its header says. Then the header must name a document
  // that can be read and written.
  if (int status = check_header(header); status != 0) return status;

  split(sequence, sequence_text);
  DocumentPtr document;
  if (int status = read_document(sequence, &document); status != 0)
    return status;
  if (int status = document_validate(document.get()); status != 0)
    return status;
  document_complete(document.get());
  *out_document = std::move(document);
  return 0;
}

int read_code_header(std::string_view text, DocumentHeader* out_header) {
  if (text.data() == nullptr)
    return set_error(ErrorCode::kNullPointer, "Base32hex cannot be NULL. ");
  if (text.size() < kMinCodeLength)
    return set_error(ErrorCode::kUnknownDocument, "Header not found. ");
  std::string bytes;
  if (int status = base32hex_decode(text, &bytes); status != 0) return status;
  DocumentHeader header;
  if (int status = read_envelope_start(bytes, &header); status != 0)
    return status;
  if (int status = check_header(header); status != 0) return status;
  if (out_header != nullptr) *out_header = header;
  return 0;
}

}  // namespace zarnex::code
