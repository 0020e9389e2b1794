#include "zarnex/zarnex.hpp"

#include <algorithm>
#include <string>
#include <utility>

#include "api/decode_append.h"
#include "api/failure.h"
#include "api/sequence_prefix.h"
#include "code/envelope.h"
#include "code/field_sequence.h"
#include "error/error.h"
#include "json/json.h"
#include "model/document.h"
#include "xml/xml.h"
#include "xml/xml_text.h"

namespace zarnex {

Result api::failure(int status) {
  Result result;
  result.status = status;
  result.error_name = code_name(status);
  result.subject = error_subject();
  result.error = error_text();
  return result;
}

namespace {

using api::failure;

// Whether the InvoiceID holds a byte that would break its line in front of
// the code: the tab that separates the two, or a line end.
bool breaks_id_line(std::string_view id) {
  return id.find_first_of("\t\n\r") != std::string_view::npos;
}

// Encodes a document, with the InvoiceID and a tab in front when asked.
Result encode(const Document* document, bool with_invoice_id) {
  Result result;
  int status = code::encode_document(document, &result.output);
  if (status != 0) return failure(status);
  if (with_invoice_id) {
    if (!document->InvoiceID)
      return failure(set_error_detail(ErrorCode::kNullPointer, "InvoiceID",
                                      " cannot be NULL. "));
    if (breaks_id_line(*document->InvoiceID))
      return failure(set_error_detail(
          ErrorCode::kInvalidValue, "InvoiceID",
          " holds a tab or a line break and cannot stand in front of the "
          "code. "));
    std::string line;
    line.reserve(document->InvoiceID->size() + 1 + result.output.size());
    line.append(*document->InvoiceID).append(1, '\t').append(result.output);
    result.output = std::move(line);
  }
  return result;
}

// Refuses a field-sequence text that holds bytes XML cannot carry (not UTF-8,
// or control characters): the decoded document's XML would not be
// well-formed, so such a code could never be read back as a document. XML
// input cannot hold them, since the parser refuses them. The text ends at its
// first NUL, as the fields are split.
int check_field_texts(std::string_view fields) {
  fields = fields.substr(0, fields.find('\0'));
  std::size_t bad = xml::first_unwritable(fields);
  if (bad == std::string_view::npos) return 0;
  auto before = fields.substr(0, bad);
  std::size_t field = 1 + std::count(before.begin(), before.end(), '\t');
  std::string detail = " ";
  detail.append(std::to_string(field)).append(xml::kNotXmlText);
  return set_error_detail_owned(ErrorCode::kInvalidValue, "Field",
                                std::move(detail));
}

int document_from_sequence(std::string_view line, DocumentPtr* document) {
  DocumentHeader header;
  std::size_t start = 0;
  int status = api::read_sequence_prefix(line, &header, &start);
  if (status != 0) return status;
  status = check_field_texts(line.substr(start));
  if (status != 0) return status;
  code::FieldSequence sequence;
  sequence.header = header;
  code::split(sequence, line.substr(start));
  return code::read_document(sequence, document);
}

// The outcome of checking a document that was read with @a status.
Result validated(int status, const DocumentPtr& document) {
  if (status == 0) status = document_validate(document.get());
  if (status != 0) return failure(status);
  return Result{};
}

}  // namespace

const char* error_name(int status) { return code_name(status); }

Result encode_xml(std::string_view xml, bool with_invoice_id) {
  DocumentPtr document;
  int status = xml::document_from_xml(xml, &document);
  if (status != 0) return failure(status);
  return encode(document.get(), with_invoice_id);
}

Result encode_json(std::string_view json, bool with_invoice_id) {
  DocumentPtr document;
  int status = json::document_from_json(json, &document);
  if (status != 0) return failure(status);
  return encode(document.get(), with_invoice_id);
}

Result encode_sequence(std::string_view line, bool with_invoice_id) {
  DocumentPtr document;
  int status = document_from_sequence(line, &document);
  if (status != 0) return failure(status);
  return encode(document.get(), with_invoice_id);
}

Result validate_xml(std::string_view xml) {
  DocumentPtr document;
  const int status = xml::document_from_xml(xml, &document);
  return validated(status, document);
}

Result validate_sequence(std::string_view line) {
  DocumentPtr document;
  const int status = document_from_sequence(line, &document);
  return validated(status, document);
}

Result decode(std::string_view code_text) {
  DocumentPtr document;
  int status = code::decode_document(code_text, &document);
  if (status != 0) return failure(status);
  Result result;
  status = xml::document_to_xml(*document, &result.output);
  if (status != 0) return failure(status);
  return result;
}

Result decode_to_json(std::string_view code_text) {
  DocumentPtr document;
  int status = code::decode_document(code_text, &document);
  if (status != 0) return failure(status);
  Result result;
  status = json::document_to_json(*document, &result.output);
  if (status != 0) return failure(status);
  return result;
}

namespace api {

int decode_append(std::string_view code_text, xml::TextBuffer& out) {
  DocumentPtr document;
  int status = code::decode_document(code_text, &document);
  if (status != 0) return status;
  return xml::document_to_xml(*document, out);
}

int decode_append_json(std::string_view code_text, xml::TextBuffer& out) {
  DocumentPtr document;
  int status = code::decode_document(code_text, &document);
  if (status != 0) return status;
  return json::document_to_json(*document, out);
}

}  // namespace api

HeaderResult decode_header(std::string_view code_text) {
  HeaderResult result;
  DocumentHeader header;
  result.status = code::read_code_header(code_text, &header);
  if (result.status != 0) {
    Result failed = failure(result.status);
    result.error_name = std::move(failed.error_name);
    result.subject = std::move(failed.subject);
    result.error = std::move(failed.error);
    return result;
  }
  result.header.type = header.type();
  result.header.version = header.version();
  result.header.sub_kind = header.sub_kind();
  return result;
}

const char* version() { return ZARNEX_VERSION; }

}  // namespace zarnex
