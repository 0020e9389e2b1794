#include "zarnex/zarnex.hpp"

#include <algorithm>
#include <string>
#include <utility>

#include "api/failure.h"
#include "api/sequence_prefix.h"
#include "code/envelope.h"
#include "code/field_sequence.h"
#include "error/error.h"
#include "json/json.h"
#include "model/document.h"
#include "validate/document_rules.h"
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

// Encodes a document into @a code; with @a with_invoice_id also checks that
// its InvoiceID can stand in front of the code. Returns 0 or the failing
// status, with the error recorded.
int encode_checked(const Document* document, bool with_invoice_id,
                   std::string* code) {
  int status = code::encode_document(document, code);
  if (status != 0 || !with_invoice_id) return status;
  if (!document->InvoiceID)
    return set_error_detail(ErrorCode::kNullPointer, "InvoiceID",
                            " cannot be NULL. ");
  if (breaks_id_line(*document->InvoiceID))
    return set_error_detail(
        ErrorCode::kInvalidValue, "InvoiceID",
        " holds a tab or a line break and cannot stand in front of the "
        "code. ");
  return 0;
}

// Encodes a document, with the InvoiceID and a tab in front when asked.
Result encode(const Document* document, bool with_invoice_id) {
  Result result;
  int status = encode_checked(document, with_invoice_id, &result.output);
  if (status != 0) return failure(status);
  if (with_invoice_id) {
    std::string line;
    line.reserve(document->InvoiceID->size() + 1 + result.output.size());
    line.append(*document->InvoiceID).append(1, '\t').append(result.output);
    result.output = std::move(line);
  }
  return result;
}

// Returns @a status, with the recorded error put into @a result when given.
int failed_into(int status, Result* result) {
  if (result != nullptr) *result = failure(status);
  return status;
}

// The same as encode, appending the output to @a out.
int encode_into(const Document* document, bool with_invoice_id,
                TextBuffer& out, Result* result) {
  std::string code;
  int status = encode_checked(document, with_invoice_id, &code);
  if (status != 0) return failed_into(status, result);
  if (with_invoice_id) {
    out.append(*document->InvoiceID);
    out.append('\t');
  }
  out.append(code);
  return 0;
}

// A document read from XML, JSON or a field-sequence line.
using Reader = int (*)(std::string_view text, DocumentPtr* document);

int document_from_xml(std::string_view text, DocumentPtr* document) {
  return xml::document_from_xml(text, document);
}

int document_from_json(std::string_view text, DocumentPtr* document) {
  return json::document_from_json(text, document);
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

// A document read from @a text and encoded, as a new text or appended.
Result encode_text(Reader read, std::string_view text, bool with_invoice_id) {
  DocumentPtr document;
  int status = read(text, &document);
  if (status != 0) return failure(status);
  return encode(document.get(), with_invoice_id);
}

// Tells @a id the InvoiceID of @a document (none when there is no
// document); nothing without an @a id.
void tell_id(const Document* document, DocumentId* id) {
  if (id == nullptr) return;
  id->found = document != nullptr && document->InvoiceID.has_value();
  if (id->found)
    id->invoice_id = *document->InvoiceID;
  else
    id->invoice_id.clear();
}

int encode_text_into(Reader read, std::string_view text, bool with_invoice_id,
                     TextBuffer& out, Result* result, DocumentId* id) {
  DocumentPtr document;
  int status = read(text, &document);
  tell_id(document.get(), id);
  if (status != 0) return failed_into(status, result);
  return encode_into(document.get(), with_invoice_id, out, result);
}

// A code decoded and written by @a write into @a out (a std::string* or a
// TextBuffer&). Returns 0 or the failing status, with the error put into
// @a result when given.
template <typename Out>
int decode_with(int (*write)(const Document&, Out), std::string_view code_text,
                Out out, Result* result, DocumentId* id = nullptr) {
  DocumentPtr document;
  int status = code::decode_document(code_text, &document);
  tell_id(document.get(), id);
  if (status == 0) status = write(*document, out);
  if (status != 0) return failed_into(status, result);
  return 0;
}

// Completes a result that carries a header (HeaderResult, SequencePrefix)
// whose status is set: the recorded error on failure, else the header.
template <typename HeaderOutcome>
void fill_header_result(HeaderOutcome& result, const DocumentHeader& header) {
  if (result.status != 0) {
    Result failed = failure(result.status);
    result.error_name = std::move(failed.error_name);
    result.subject = std::move(failed.subject);
    result.error = std::move(failed.error);
    return;
  }
  result.header.type = header.type();
  result.header.version = header.version();
  result.header.sub_kind = header.sub_kind();
}

}  // namespace

const char* error_name(int status) { return code_name(status); }

std::string error_text(int status, std::string_view subject,
                       std::string_view detail) {
  return compose_error_text(status, subject, detail);
}

Result encode_xml(std::string_view xml, bool with_invoice_id) {
  return encode_text(document_from_xml, xml, with_invoice_id);
}

Result encode_json(std::string_view json, bool with_invoice_id) {
  return encode_text(document_from_json, json, with_invoice_id);
}

Result encode_sequence(std::string_view line, bool with_invoice_id) {
  return encode_text(document_from_sequence, line, with_invoice_id);
}

int encode_xml_into(std::string_view xml, TextBuffer& out,
                    bool with_invoice_id, Result* failure) {
  return encode_xml_into(xml, out, with_invoice_id, failure, nullptr);
}

int encode_json_into(std::string_view json, TextBuffer& out,
                     bool with_invoice_id, Result* failure) {
  return encode_json_into(json, out, with_invoice_id, failure, nullptr);
}

int encode_sequence_into(std::string_view line, TextBuffer& out,
                         bool with_invoice_id, Result* failure) {
  return encode_sequence_into(line, out, with_invoice_id, failure, nullptr);
}

int encode_xml_into(std::string_view xml, TextBuffer& out,
                    bool with_invoice_id, Result* failure, DocumentId* id) {
  return encode_text_into(document_from_xml, xml, with_invoice_id, out, failure,
                          id);
}

int encode_json_into(std::string_view json, TextBuffer& out,
                     bool with_invoice_id, Result* failure, DocumentId* id) {
  return encode_text_into(document_from_json, json, with_invoice_id, out, failure,
                          id);
}

int encode_sequence_into(std::string_view line, TextBuffer& out,
                         bool with_invoice_id, Result* failure, DocumentId* id) {
  return encode_text_into(document_from_sequence, line, with_invoice_id, out,
                          failure, id);
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
  Result result;
  decode_with<std::string*>(xml::document_to_xml, code_text, &result.output,
                            &result);
  return result;
}

Result decode_to_json(std::string_view code_text) {
  Result result;
  decode_with<std::string*>(json::document_to_json, code_text, &result.output,
                            &result);
  return result;
}

int decode_into(std::string_view code_text, TextBuffer& out, Result* failure) {
  return decode_with<TextBuffer&>(xml::document_to_xml, code_text, out, failure);
}

int decode_to_json_into(std::string_view code_text, TextBuffer& out,
                        Result* failure) {
  return decode_with<TextBuffer&>(json::document_to_json, code_text, out,
                                  failure);
}

int decode_into(std::string_view code_text, TextBuffer& out, Result* failure,
                DocumentId* id) {
  return decode_with<TextBuffer&>(xml::document_to_xml, code_text, out, failure,
                                  id);
}

int decode_to_json_into(std::string_view code_text, TextBuffer& out,
                        Result* failure, DocumentId* id) {
  return decode_with<TextBuffer&>(json::document_to_json, code_text, out,
                                  failure, id);
}

SequencePrefix read_sequence_prefix(std::string_view line) {
  SequencePrefix prefix;
  DocumentHeader header;
  prefix.status = api::read_sequence_prefix(line, &header, &prefix.position);
  fill_header_result(prefix, header);
  return prefix;
}

HeaderResult decode_header(std::string_view code_text) {
  HeaderResult result;
  DocumentHeader header;
  result.status = code::read_code_header(code_text, &header);
  fill_header_result(result, header);
  return result;
}

const char* version() { return ZARNEX_VERSION; }

}  // namespace zarnex
