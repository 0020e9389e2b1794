#include "validate/document_rules.h"

#include "error/error.h"
#include "model/invoice.h"
#include "model/invoice_items.h"
#include "model/pay.h"

namespace zarnex {

int document_validate(const Document* document) {
  if (document == nullptr)
    return set_error(ErrorCode::kNullPointer, kNoDocument);
  switch (document->kind()) {
    case DocumentType::kPay:
      return validate::validate_pay(static_cast<const Pay&>(*document));
    case DocumentType::kInvoice:
      return validate::validate_invoice(
          static_cast<const Invoice&>(*document));
    case DocumentType::kInvoiceItems:
      return validate::validate_invoice_items(
          static_cast<const InvoiceItems&>(*document));
  }
  // Not reached: every document is of one of the three kinds.
  return set_error(ErrorCode::kNullPointer, kNoDocument);
}

void document_complete(Document* document) {
  if (document == nullptr) return;
  switch (document->kind()) {
    case DocumentType::kPay:
      return;
    case DocumentType::kInvoice:
      return validate::complete_invoice(static_cast<Invoice&>(*document));
    case DocumentType::kInvoiceItems:
      return validate::complete_invoice_items(
          static_cast<InvoiceItems&>(*document));
  }
}

}  // namespace zarnex
