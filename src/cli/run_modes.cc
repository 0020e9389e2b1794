#include "cli/run_modes.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <utility>

#include "api/decode_append.h"
#include "api/sequence_prefix.h"
#include "error/error.h"
#include "model/document.h"
#include "zarnex/zarnex.hpp"

namespace zarnex::cli {
namespace {

// Hands a library result to the caller of an operation.
int deliver(Result result, xml::TextBuffer& out, std::string& error) {
  if (result.ok()) {
    out.append(result.output);
  } else {
    error = std::move(result.error);
  }
  return result.status;
}

int encode_typed_sequence(std::string& text, xml::TextBuffer& out,
                          std::string& error, bool with_id) {
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
    error = error_text();
    return status;
  }
  status = deliver(zarnex::encode_sequence(text, with_id), out, error);
  // From here on the line is the field sequence alone.
  text.erase(0, position);
  return status;
}

}  // namespace

int encode_xml(std::string& text, xml::TextBuffer& out, std::string& error) {
  return deliver(zarnex::encode_xml(text, false), out, error);
}

int encode_xml_with_id(std::string& text, xml::TextBuffer& out,
                       std::string& error) {
  return deliver(zarnex::encode_xml(text, true), out, error);
}

int decode_to_xml(std::string& text, xml::TextBuffer& out,
                  std::string& error) {
  const int status = api::decode_append(text, out);
  if (status != 0) error = error_text();
  return status;
}

int encode_json(std::string& text, xml::TextBuffer& out, std::string& error) {
  return deliver(zarnex::encode_json(text, false), out, error);
}

int encode_json_with_id(std::string& text, xml::TextBuffer& out,
                        std::string& error) {
  return deliver(zarnex::encode_json(text, true), out, error);
}

int decode_to_json(std::string& text, xml::TextBuffer& out,
                   std::string& error) {
  const int status = api::decode_append_json(text, out);
  if (status != 0) error = error_text();
  return status;
}

int encode_sequence(std::string& text, xml::TextBuffer& out,
                    std::string& error) {
  return encode_typed_sequence(text, out, error, false);
}

int encode_sequence_with_id(std::string& text, xml::TextBuffer& out,
                            std::string& error) {
  return encode_typed_sequence(text, out, error, true);
}

namespace {

constexpr ReadOptions kStrict{true};

int encode_xml_strict(std::string& text, xml::TextBuffer& out,
                      std::string& error) {
  return deliver(zarnex::encode_xml(text, kStrict, false), out, error);
}

int encode_xml_with_id_strict(std::string& text, xml::TextBuffer& out,
                              std::string& error) {
  return deliver(zarnex::encode_xml(text, kStrict, true), out, error);
}

int encode_json_strict(std::string& text, xml::TextBuffer& out,
                       std::string& error) {
  return deliver(zarnex::encode_json(text, kStrict, false), out, error);
}

int encode_json_with_id_strict(std::string& text, xml::TextBuffer& out,
                               std::string& error) {
  return deliver(zarnex::encode_json(text, kStrict, true), out, error);
}

}  // namespace

Operation strict_operation_for(Mode mode, bool json) {
  switch (mode) {
    case Mode::kEncodeXml: return json ? encode_json_strict : encode_xml_strict;
    case Mode::kEncodeXmlWithId:
      return json ? encode_json_with_id_strict : encode_xml_with_id_strict;
    default: return operation_for(mode, json);
  }
}

Operation operation_for(Mode mode, bool json) {
  switch (mode) {
    case Mode::kEncodeXml: return json ? encode_json : encode_xml;
    case Mode::kEncodeXmlWithId:
      return json ? encode_json_with_id : encode_xml_with_id;
    case Mode::kDecodeToXml: return json ? decode_to_json : decode_to_xml;
    case Mode::kEncodeSequence: return encode_sequence;
    case Mode::kEncodeSequenceWithId: return encode_sequence_with_id;
    case Mode::kCheck:
    case Mode::kNone: break;
  }
  return nullptr;
}

}  // namespace zarnex::cli
