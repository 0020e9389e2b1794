#include "cli/run_modes.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "zarnex/zarnex.hpp"

namespace zarnex::cli {
namespace {

// Where a call puts the document's InvoiceID: nowhere unless asked.
DocumentId* id_of(Outcome& outcome) {
  return outcome.want_id ? &outcome.id : nullptr;
}

int encode_typed_sequence(std::string& text, TextBuffer& out, Outcome& outcome,
                          bool with_id) {
  SequencePrefix prefix = read_sequence_prefix(text);
  if (!prefix.ok()) {
    std::string_view rest = std::string_view(text).substr(
        std::min(prefix.position, text.size()));
    rest = rest.substr(0, rest.find('\0'));
    outcome.note.assign("bad input format \n ");
    outcome.note.append(rest).append(" \n\nBad format input data");
    if (outcome.want_id) outcome.id = DocumentId{};
    Result& failure = outcome.failure;
    failure.status = prefix.status;
    failure.error = std::move(prefix.error);
    failure.error_name = std::move(prefix.error_name);
    failure.subject = std::move(prefix.subject);
    return prefix.status;
  }
  const int status =
      encode_sequence_into(text, out, with_id, &outcome.failure, id_of(outcome));
  // From here on the line is the field sequence alone.
  text.erase(0, prefix.position);
  return status;
}

}  // namespace

int encode_xml(std::string& text, TextBuffer& out, Outcome& outcome) {
  return encode_xml_into(text, out, false, &outcome.failure, id_of(outcome));
}

int encode_xml_with_id(std::string& text, TextBuffer& out, Outcome& outcome) {
  return encode_xml_into(text, out, true, &outcome.failure, id_of(outcome));
}

int decode_to_xml(std::string& text, TextBuffer& out, Outcome& outcome) {
  return decode_into(text, out, &outcome.failure, id_of(outcome));
}

int encode_json(std::string& text, TextBuffer& out, Outcome& outcome) {
  return encode_json_into(text, out, false, &outcome.failure, id_of(outcome));
}

int encode_json_with_id(std::string& text, TextBuffer& out, Outcome& outcome) {
  return encode_json_into(text, out, true, &outcome.failure, id_of(outcome));
}

int decode_to_json(std::string& text, TextBuffer& out, Outcome& outcome) {
  return decode_to_json_into(text, out, &outcome.failure, id_of(outcome));
}

int encode_sequence(std::string& text, TextBuffer& out, Outcome& outcome) {
  return encode_typed_sequence(text, out, outcome, false);
}

int encode_sequence_with_id(std::string& text, TextBuffer& out,
                            Outcome& outcome) {
  return encode_typed_sequence(text, out, outcome, true);
}

namespace {

constexpr ReadOptions kStrict{true};

int encode_xml_strict(std::string& text, TextBuffer& out, Outcome& outcome) {
  return encode_xml_into(text, kStrict, out, false, &outcome.failure,
                         id_of(outcome));
}

int encode_xml_with_id_strict(std::string& text, TextBuffer& out,
                              Outcome& outcome) {
  return encode_xml_into(text, kStrict, out, true, &outcome.failure,
                         id_of(outcome));
}

int encode_json_strict(std::string& text, TextBuffer& out, Outcome& outcome) {
  return encode_json_into(text, kStrict, out, false, &outcome.failure,
                          id_of(outcome));
}

int encode_json_with_id_strict(std::string& text, TextBuffer& out,
                               Outcome& outcome) {
  return encode_json_into(text, kStrict, out, true, &outcome.failure,
                          id_of(outcome));
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
