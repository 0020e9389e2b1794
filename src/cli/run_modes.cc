#include "cli/run_modes.h"

#include <cstdio>
#include <string_view>

#include "code/envelope.h"
#include "code/field_sequence.h"
#include "error/error.h"
#include "model/document.h"
#include "xml/xml.h"

namespace zarnex::cli {
namespace {

// Replaces the code in @a out by "InvoiceID<TAB>code". A document without
// InvoiceID fails with -2 and a message naming the field.
int prepend_invoice_id(const Document& document, std::string* out) {
  if (!document.InvoiceID)
    return set_error_detail(ErrorCode::kNullPointer, "InvoiceID",
                            " cannot be NULL. ");
  std::string line;
  line.reserve(document.InvoiceID->size() + 1 + out->size());
  line.append(*document.InvoiceID).append(1, '\t').append(*out);
  *out = std::move(line);
  return 0;
}

int encode_xml_document(const std::string& text, std::string* out,
                        bool with_id) {
  if (out == nullptr)
    return set_error(ErrorCode::kNullPointer, "Base32hex cannot be NULL. ");
  DocumentPtr document;
  int status = xml::document_from_xml(text, &document);
  if (status != 0) return status;
  std::string code;
  status = code::encode_document(document.get(), &code);
  if (status != 0) return status;
  if (with_id) {
    status = prepend_invoice_id(*document, &code);
    if (status != 0) return status;
  }
  *out = std::move(code);
  return 0;
}

// Writes the diagnostic of a malformed prefix: the text from the position
// where the prefix went wrong.
int reject_prefix(const std::string& text, std::size_t position) {
  std::string_view rest = position < text.size()
                              ? std::string_view(text).substr(position)
                              : std::string_view();
  rest = rest.substr(0, rest.find('\0'));
  std::fputs("bad input format \n ", stderr);
  std::fwrite(rest.data(), 1, rest.size(), stderr);
  std::fputs(" \n\n", stderr);
  std::fputs("Bad format input data", stderr);
  return set_error(ErrorCode::kBadFormat,
                   "Malformed line prefix: expected a type digit 0 to 2, a "
                   "tab, a sub-kind digit 0 to 4 and a tab. ");
}

int encode_typed_sequence(std::string& text, std::string* out, bool with_id) {
  if (out == nullptr) return static_cast<int>(ErrorCode::kNullPointer);
  auto at = [&text](std::size_t i) { return i < text.size() ? text[i] : '\0'; };

  // Prefix: type digit, tab, sub-kind digit, tab. A missing or bad type
  // still lets the sub-kind be examined, so the diagnostic points at the
  // first place that cannot be read.
  std::size_t p = 0;
  bool valid = true;
  int type = 0;
  if (at(0) >= '0' && at(0) <= '2') {
    type = at(0) - '0';
    p = 1;
    if (at(1) == '\t') {
      p = 2;
    } else {
      valid = false;
    }
  } else {
    valid = false;
    if (at(0) == '\t') p = 1;
  }
  char c = at(p);
  if (c == '\t') return reject_prefix(text, p + 1);
  if (c < '0' || c > '4') return reject_prefix(text, p);
  int sub_kind = c - '0';
  std::size_t sub_kind_position = p;
  ++p;
  if (at(p) != '\t') return reject_prefix(text, p);
  ++p;
  if (!valid) return reject_prefix(text, p);
  // Only invoices have sub-kinds; a code with another combination could
  // never be decoded, so it is not made.
  if (type != static_cast<int>(DocumentType::kInvoice) && sub_kind != 0)
    return reject_prefix(text, sub_kind_position);

  text.erase(0, p);
  code::FieldSequence sequence;
  sequence.header.byte0 = static_cast<std::uint8_t>(type << 4);
  sequence.header.byte1 = static_cast<std::uint8_t>(sub_kind << 4);
  sequence.strict = true;
  code::split(sequence, text);
  DocumentPtr document;
  int status = code::read_document(sequence, &document);
  if (status != 0) return status;
  std::string code;
  status = code::encode_document(document.get(), &code);
  if (status != 0) return status;
  if (with_id) {
    status = prepend_invoice_id(*document, &code);
    if (status != 0) return status;
  }
  *out = std::move(code);
  return 0;
}

}  // namespace

int encode_xml(std::string& text, std::string* out) {
  return encode_xml_document(text, out, false);
}

int encode_xml_with_id(std::string& text, std::string* out) {
  return encode_xml_document(text, out, true);
}

int decode_to_xml(std::string& text, std::string* out) {
  if (out == nullptr)
    return set_error(ErrorCode::kNullPointer, "XML pointer cannot be NULL. ");
  DocumentPtr document;
  int status = code::decode_document(text, &document);
  if (status != 0) return status;
  return xml::document_to_xml(*document, out);
}

int encode_sequence(std::string& text, std::string* out) {
  return encode_typed_sequence(text, out, false);
}

int encode_sequence_with_id(std::string& text, std::string* out) {
  return encode_typed_sequence(text, out, true);
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
