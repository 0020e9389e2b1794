#include "model/document.h"

#include "error/error.h"

namespace zarnex {

void document_destroy(DocumentPtr& document) { document.reset(); }

int check_header(const DocumentHeader& header) {
  switch (header.type()) {
    case static_cast<int>(DocumentType::kPay):
    case static_cast<int>(DocumentType::kInvoiceItems):
      if (header.sub_kind() != 0)
        return set_error(ErrorCode::kXml, "Error in getting root and type");
      break;
    case static_cast<int>(DocumentType::kInvoice):
      if (header.sub_kind() >= kInvoiceKinds)
        return set_error(ErrorCode::kXml, "Error wrong invoice document type");
      break;
    default:
      return set_error(ErrorCode::kNullPointer, kNoDocument);
  }
  // Only version 0 has a known layout; nothing else is read as if it were.
  if (header.version() != 0)
    return set_error(ErrorCode::kXml, "Unsupported document version. ");
  return 0;
}

}  // namespace zarnex
