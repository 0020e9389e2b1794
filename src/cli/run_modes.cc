#include "cli/run_modes.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "api/sequence_prefix.h"
#include "error/error.h"
#include "model/document.h"

namespace zarnex::cli {
namespace {

Result encode_typed_sequence(std::string& text, bool with_id) {
  DocumentHeader header;
  std::size_t position = 0;
  int status = api::read_sequence_prefix(text, &header, &position);
  if (status != 0) {
    std::string_view rest = std::string_view(text).substr(
        std::min(position, text.size()));
    rest = rest.substr(0, rest.find('\0'));
    std::fputs("bad input format \n ", stderr);
    std::fwrite(rest.data(), 1, rest.size(), stderr);
    std::fputs(" \n\nBad format input data", stderr);
    return Result{status, std::string(), error_text()};
  }
  Result result = zarnex::encode_sequence(text, with_id);
  // From here on the line is the field sequence alone.
  text.erase(0, position);
  return result;
}

}  // namespace

Result encode_xml(std::string& text) { return zarnex::encode_xml(text, false); }

Result encode_xml_with_id(std::string& text) {
  return zarnex::encode_xml(text, true);
}

Result decode_to_xml(std::string& text) { return zarnex::decode(text); }

Result encode_sequence(std::string& text) {
  return encode_typed_sequence(text, false);
}

Result encode_sequence_with_id(std::string& text) {
  return encode_typed_sequence(text, true);
}

Operation operation_for(Mode mode) {
  switch (mode) {
    case Mode::kEncodeXml: return encode_xml;
    case Mode::kEncodeXmlWithId: return encode_xml_with_id;
    case Mode::kDecodeToXml: return decode_to_xml;
    case Mode::kEncodeSequence: return encode_sequence;
    case Mode::kEncodeSequenceWithId: return encode_sequence_with_id;
    case Mode::kNone: break;
  }
  return nullptr;
}

}  // namespace zarnex::cli
