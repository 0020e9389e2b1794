// Reading and writing whole documents: the root object, its "type" and the
// choice of the kind's reader or body writer.

#include <iterator>
#include <string_view>

#include "error/error.h"
#include "json/json.h"
#include "json/kinds.h"
#include "model/vocabulary.h"

namespace zarnex::json {
namespace {

constexpr char kBadType[] =
    " must name the document kind: Pay, Invoice, ProformaInvoice, "
    "CreditNote, DebitNote, AdvanceInvoice or InvoiceItems. ";

constexpr std::size_t kInitialCapacity = 4096;

int read_document(JsonObject root, DocumentPtr* out) {
  if (root.value.type != JsonType::kObject)
    return set_error(ErrorCode::kJson, "The document must be a JSON object.");
  const JsonValue* type = root.find("type");
  if (type == nullptr || type->type != JsonType::kString)
    return set_error_detail(ErrorCode::kJson, "type", kBadType);
  if (type->text == "Pay") return pay_from_json(root, out);
  if (type->text == "InvoiceItems") return invoice_items_from_json(root, out);
  // The values of "type" for invoices are the XML root's xsi:type names of
  // the sub-kinds, in the order of their numbers.
  for (std::size_t i = 0; i < std::size(kInvoiceTypeNames); ++i) {
    if (type->text == kInvoiceTypeNames[i])
      return invoice_from_json(root, static_cast<int>(i), out);
  }
  return set_error_detail(ErrorCode::kJson, "type", kBadType);
}

}  // namespace

int document_from_json(std::string_view text, DocumentPtr* out) {
  if (text.data() == nullptr)
    return set_error(ErrorCode::kNullPointer, "JSON cannot be NULL.");
  // One tree per thread, kept: parsing the next document reuses its storage.
  thread_local JsonTree tree;
  if (int status = tree.parse(text)) return status;
  DocumentPtr document;
  if (int status = read_document(JsonObject{tree, tree.root()}, &document))
    return status;
  if (out != nullptr) *out = std::move(document);
  return 0;
}

int document_to_json(const Document& document, TextBuffer& out) {
  const DocumentHeader& header = document.header;
  std::string_view type_name;  // empty: no kind that can be written
  const Pay* pay = nullptr;
  const Invoice* invoice = nullptr;
  const InvoiceItems* items = nullptr;
  // The same checks, in the same order and with the same messages, as the
  // XML writer makes, so that a code fails alike in both forms.
  switch (header.type()) {
    case static_cast<int>(DocumentType::kPay):
      pay = dynamic_cast<const Pay*>(&document);
      if (header.sub_kind() == 0 && pay != nullptr) type_name = "Pay";
      break;
    case static_cast<int>(DocumentType::kInvoice):
      if (static_cast<std::size_t>(header.sub_kind()) >=
          std::size(kInvoiceTypeNames))
        return set_error(ErrorCode::kXml, "Error wrong invoice document type");
      invoice = dynamic_cast<const Invoice*>(&document);
      if (invoice != nullptr) type_name = kInvoiceTypeNames[header.sub_kind()];
      break;
    case static_cast<int>(DocumentType::kInvoiceItems):
      items = dynamic_cast<const InvoiceItems*>(&document);
      if (header.sub_kind() == 0 && items != nullptr)
        type_name = "InvoiceItems";
      break;
    default:
      break;
  }
  if (type_name.empty())
    return set_error(ErrorCode::kXml, "Error in getting root and type");
  if (header.version() != 0)
    return set_error(ErrorCode::kXml, "Unsupported document version. ");

  JsonOut json(out);
  json.append("{\"type\":");
  json_append_string(json, type_name);
  if (pay != nullptr) {
    pay_to_json(json, *pay);
  } else if (invoice != nullptr) {
    invoice_to_json(json, *invoice);
  } else {
    invoice_items_to_json(json, *items);
  }
  json.append('}');
  return 0;
}

int document_to_json(const Document& document, std::string* out) {
  thread_local TextBuffer text(kInitialCapacity);
  text.clear();
  if (int status = document_to_json(document, text); status != 0) return status;
  if (out != nullptr) out->assign(text.data(), text.size());
  return 0;
}

}  // namespace zarnex::json
