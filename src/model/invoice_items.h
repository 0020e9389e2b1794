#ifndef ZARNEX_MODEL_INVOICE_ITEMS_H_
#define ZARNEX_MODEL_INVOICE_ITEMS_H_

#include <memory>

#include "model/document.h"
#include "model/value.h"

namespace zarnex {

struct OrderReference {
  StringValue OrderID;
  StringValue OrderLineID;
};

struct DeliveryNoteReference {
  StringValue DeliveryNoteID;
  StringValue DeliveryNoteLineID;
};

struct InvoiceLine {
  RecordValue<zarnex::OrderReference> OrderReference;
  RecordValue<zarnex::DeliveryNoteReference> DeliveryNoteReference;
  StringValue ItemName;
  StringValue ItemEANCode;
  StringValue PeriodFromDate;  // YYYY-MM-DD
  StringValue PeriodToDate;    // YYYY-MM-DD
  DecimalValue InvoicedQuantity;
  DecimalValue UnitPriceTaxExclusiveAmount;
  DecimalValue UnitPriceTaxInclusiveAmount;  // derived
  DecimalValue UnitPriceTaxAmount;
  DecimalValue LineTaxExclusiveAmount;       // derived
  DecimalValue LineTaxInclusiveAmount;       // derived
  DecimalValue LineTaxAmount;                // derived
  DecimalValue ClassifiedTaxCategory;        // a rate from 0 to 1
};

/// Invoice lines that belong to an invoice, numbered from FirstInvoiceLineID.
class InvoiceItems : public Document {
 public:
  InvoiceItems() : Document(DocumentType::kInvoiceItems) {}

  // InvoiceID is the frame's first field.
  StringValue FirstInvoiceLineID;
  ListValue<InvoiceLine> InvoiceLines;
};

/// A new, empty InvoiceItems (header 0x20 0x00, every field absent).
std::unique_ptr<InvoiceItems> new_invoice_items();

}  // namespace zarnex

#endif  // ZARNEX_MODEL_INVOICE_ITEMS_H_
