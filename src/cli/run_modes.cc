#include "cli/run_modes.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <utility>

#include "zarnex/zarnex.hpp"

namespace zarnex::cli {
namespace {

int encode_typed_sequence(std::string& text, TextBuffer& out,
                          Result& failure, bool with_id) {
  SequencePrefix prefix = read_sequence_prefix(text);
  if (!prefix.ok()) {
    std::string_view rest = std::string_view(text).substr(
        std::min(prefix.position, text.size()));
    rest = rest.substr(0, rest.find('\0'));
    std::fputs("bad input format \n ", stderr);
    std::fwrite(rest.data(), 1, rest.size(), stderr);
    std::fputs(" \n\nBad format input data", stderr);
    failure.status = prefix.status;
    failure.error = std::move(prefix.error);
    failure.error_name = std::move(prefix.error_name);
    failure.subject = std::move(prefix.subject);
    return prefix.status;
  }
  const int status = encode_sequence_into(text, out, with_id, &failure);
  // From here on the line is the field sequence alone.
  text.erase(0, prefix.position);
  return status;
}

}  // namespace

int encode_xml(std::string& text, TextBuffer& out, Result& failure) {
  return encode_xml_into(text, out, false, &failure);
}

int encode_xml_with_id(std::string& text, TextBuffer& out,
                       Result& failure) {
  return encode_xml_into(text, out, true, &failure);
}

int decode_to_xml(std::string& text, TextBuffer& out, Result& failure) {
  return decode_into(text, out, &failure);
}

int encode_json(std::string& text, TextBuffer& out, Result& failure) {
  return encode_json_into(text, out, false, &failure);
}

int encode_json_with_id(std::string& text, TextBuffer& out,
                        Result& failure) {
  return encode_json_into(text, out, true, &failure);
}

int decode_to_json(std::string& text, TextBuffer& out, Result& failure) {
  return decode_to_json_into(text, out, &failure);
}

int encode_sequence(std::string& text, TextBuffer& out, Result& failure) {
  return encode_typed_sequence(text, out, failure, false);
}

int encode_sequence_with_id(std::string& text, TextBuffer& out,
                            Result& failure) {
  return encode_typed_sequence(text, out, failure, true);
}

namespace {

constexpr ReadOptions kStrict{true};

// Hands a strict reading's result to the caller of an operation.
int deliver(Result result, TextBuffer& out, Result& failure) {
  if (result.ok()) {
    out.append(result.output);
    return 0;
  }
  failure = std::move(result);
  return failure.status;
}

int encode_xml_strict(std::string& text, TextBuffer& out, Result& failure) {
  return deliver(zarnex::encode_xml(text, kStrict, false), out, failure);
}

int encode_xml_with_id_strict(std::string& text, TextBuffer& out,
                              Result& failure) {
  return deliver(zarnex::encode_xml(text, kStrict, true), out, failure);
}

int encode_json_strict(std::string& text, TextBuffer& out, Result& failure) {
  return deliver(zarnex::encode_json(text, kStrict, false), out, failure);
}

int encode_json_with_id_strict(std::string& text, TextBuffer& out,
                               Result& failure) {
  return deliver(zarnex::encode_json(text, kStrict, true), out, failure);
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
