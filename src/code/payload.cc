#include "code/payload.h"

#include "code/lzma.h"
#include "error/error.h"

namespace zarnex::code {
namespace {

constexpr std::size_t kLengthBytes = 2;
constexpr std::size_t kMaxPayload = 0xFFFF;  // what the length field holds

}  // namespace

std::size_t payload_capacity(std::size_t n) { return n + n / 3 + 130; }

int compress_payload(std::string_view payload, std::size_t capacity,
                     std::string* out) {
  if (capacity < kLengthBytes || payload.size() > kMaxPayload)
    return set_error(ErrorCode::kCompression, "Compression error. ");
  const std::size_t start = out->size();
  const std::size_t length = payload.size();
  out->push_back(static_cast<char>(length & 0xFF));
  out->push_back(static_cast<char>((length >> 8) & 0xFF));
  if (!lzma_compress(payload, capacity - kLengthBytes, out)) {
    out->resize(start);
    return set_error(ErrorCode::kCompression, "Compression error. ");
  }
  return 0;
}

int check_length_field(std::string_view bytes) {
  if (bytes.size() < kLengthBytes)
    return set_error(ErrorCode::kCompression, "Invalid compressed data. ");
  return 0;
}

int decompress_payload(std::string_view bytes, std::string* out) {
  if (int status = check_length_field(bytes); status != 0) return status;
  const std::size_t expected = static_cast<unsigned char>(bytes[0]) +
                               256u * static_cast<unsigned char>(bytes[1]);
  if (!lzma_decompress(bytes.substr(kLengthBytes), expected, out))
    return set_error(ErrorCode::kCompression, "Decompression error. ");
  return 0;
}

}  // namespace zarnex::code
