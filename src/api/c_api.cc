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

int hand_out(const zarnex::Result& result, char** output, char** error) {
  if (result.ok()) {
    if (output != nullptr) *output = copy_text(result.output);
  } else if (error != nullptr) {
    *error = copy_text(result.error);
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
    if (error != nullptr) *error = copy_text(result.error);
    return result.status;
  }
  if (type != nullptr) *type = result.header.type;
  if (version != nullptr) *version = result.header.version;
  if (sub_kind != nullptr) *sub_kind = result.header.sub_kind;
  return 0;
}

void zarnex_free(char* text) { std::free(text); }

const char* zarnex_version(void) { return ZARNEX_VERSION; }

}  // extern "C"
