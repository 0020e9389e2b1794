// The C interface: thin wrappers that copy results into malloc'ed texts the
// caller releases with zarnex_free().

#include "zarnex/zarnex.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "zarnex/zarnex.hpp"

namespace {

char* copy_text(const std::string& text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy != nullptr) std::memcpy(copy, text.data(), text.size() + 1);
  return copy;
}

std::string_view view(const char* text, size_t length) {
  return text == nullptr ? std::string_view() : std::string_view(text, length);
}

// The subject of the calling thread's last failed call.
thread_local std::string t_subject;

// The values of the two interfaces' error codes are one list.
static_assert(ZARNEX_ERROR_IO == static_cast<int>(zarnex::Error::kIo));
static_assert(ZARNEX_ERROR_NULL_POINTER == static_cast<int>(zarnex::Error::kNullPointer));
static_assert(ZARNEX_ERROR_ILLEGAL_ARGUMENT ==
              static_cast<int>(zarnex::Error::kIllegalArgument));
static_assert(ZARNEX_OK == static_cast<int>(zarnex::Error::kOk));
static_assert(ZARNEX_ERROR_BASE32HEX == static_cast<int>(zarnex::Error::kBase32hex));
static_assert(ZARNEX_ERROR_CHECKSUM == static_cast<int>(zarnex::Error::kChecksum));
static_assert(ZARNEX_ERROR_COMPRESSION == static_cast<int>(zarnex::Error::kCompression));
static_assert(ZARNEX_ERROR_INVALID_VALUE == static_cast<int>(zarnex::Error::kInvalidValue));
static_assert(ZARNEX_ERROR_BAD_FORMAT == static_cast<int>(zarnex::Error::kBadFormat));
static_assert(ZARNEX_ERROR_MAX_PRIORITY_REACHED ==
              static_cast<int>(zarnex::Error::kMaxPriorityReached));
static_assert(ZARNEX_ERROR_SEQUENCE_LIMIT_EXCEEDED ==
              static_cast<int>(zarnex::Error::kSequenceLimitExceeded));
static_assert(ZARNEX_ERROR_UNKNOWN_DOCUMENT ==
              static_cast<int>(zarnex::Error::kUnknownDocument));
static_assert(ZARNEX_ERROR_XML == static_cast<int>(zarnex::Error::kXml));
static_assert(ZARNEX_ERROR_MISSING_LOGO == static_cast<int>(zarnex::Error::kMissingLogo));
static_assert(ZARNEX_ERROR_QR == static_cast<int>(zarnex::Error::kQr));
static_assert(ZARNEX_ERROR_STREAM == static_cast<int>(zarnex::Error::kStream));
static_assert(ZARNEX_ERROR_JSON == static_cast<int>(zarnex::Error::kJson));

int hand_out(const zarnex::Result& result, char** output, char** error) {
  if (result.ok()) {
    if (output != nullptr) *output = copy_text(result.output);
  } else {
    t_subject = result.subject;
    if (error != nullptr) *error = copy_text(result.error);
  }
  return result.status;
}

}  // namespace

extern "C" {

int zarnex_encode_xml(const char* xml, size_t length, int with_invoice_id,
                      char** output, char** error) {
  return hand_out(zarnex::encode_xml(view(xml, length), with_invoice_id != 0),
                  output, error);
}

int zarnex_encode_json(const char* json, size_t length, int with_invoice_id,
                       char** output, char** error) {
  return hand_out(zarnex::encode_json(view(json, length), with_invoice_id != 0),
                  output, error);
}

int zarnex_encode_sequence(const char* line, size_t length, int with_invoice_id,
                           char** output, char** error) {
  return hand_out(
      zarnex::encode_sequence(view(line, length), with_invoice_id != 0), output,
      error);
}

const char* zarnex_error_name(int status) { return zarnex::error_name(status); }

const char* zarnex_error_subject(void) { return t_subject.c_str(); }

int zarnex_validate_xml(const char* xml, size_t length, char** error) {
  return hand_out(zarnex::validate_xml(view(xml, length)), nullptr, error);
}

int zarnex_validate_sequence(const char* line, size_t length, char** error) {
  return hand_out(zarnex::validate_sequence(view(line, length)), nullptr, error);
}

int zarnex_decode(const char* code, size_t length, char** output, char** error) {
  return hand_out(zarnex::decode(view(code, length)), output, error);
}

int zarnex_decode_to_json(const char* code, size_t length, char** output,
                          char** error) {
  return hand_out(zarnex::decode_to_json(view(code, length)), output, error);
}

int zarnex_decode_header(const char* code, size_t length, int* type,
                         int* version, int* sub_kind, char** error) {
  zarnex::HeaderResult result = zarnex::decode_header(view(code, length));
  if (!result.ok()) {
    t_subject = result.subject;
    if (error != nullptr) *error = copy_text(result.error);
    return result.status;
  }
  if (type != nullptr) *type = result.header.type;
  if (version != nullptr) *version = result.header.version;
  if (sub_kind != nullptr) *sub_kind = result.header.sub_kind;
  return 0;
}

int zarnex_render_qr(const char* code, size_t length, int format, char level,
                     int module_size, int margin, char** image,
                     size_t* image_size, char** error) {
  zarnex::QrOptions options;
  options.format = static_cast<zarnex::QrFormat>(format);
  switch (level) {
    case 'L': case 'l': options.level = zarnex::QrLevel::kL; break;
    case 'M': case 'm': options.level = zarnex::QrLevel::kM; break;
    case 'Q': case 'q': options.level = zarnex::QrLevel::kQ; break;
    case 'H': case 'h': options.level = zarnex::QrLevel::kH; break;
    default: options.level = static_cast<zarnex::QrLevel>(-1); break;
  }
  options.module_size = module_size;
  options.margin = margin;
  zarnex::Result result = zarnex::render_qr(view(code, length), options);
  if (result.ok() && image_size != nullptr) *image_size = result.output.size();
  return hand_out(result, image, error);
}

void zarnex_free(char* text) { std::free(text); }

const char* zarnex_version(void) { return ZARNEX_VERSION; }

}  // extern "C"
