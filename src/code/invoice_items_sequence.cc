// Field order of an InvoiceItems (3 fields plus 12 per line):
//
//   InvoiceID, FirstInvoiceLineID, number of InvoiceLines, then per line:
//     OrderReference/OrderID, OrderReference/OrderLineID,
//     DeliveryNoteReference/DeliveryNoteID,
//     DeliveryNoteReference/DeliveryNoteLineID, ItemName, ItemEANCode,
//     PeriodFromDate, PeriodToDate, InvoicedQuantity,
//     UnitPriceTaxExclusiveAmount, UnitPriceTaxAmount, ClassifiedTaxCategory
//
// An absent reference is two empty fields, a null line twelve. The derived
// per-line amounts are never written.

#include <memory>

#include "code/sequence_kinds.h"

namespace zarnex::code {
namespace {

constexpr int kInvoiceLineFields = 12;

void write_line(FieldSequence& sequence, const InvoiceLine* line) {
  if (line == nullptr) {
    for (int i = 0; i < kInvoiceLineFields; ++i) add_empty(sequence);
    return;
  }
  if (const OrderReference* order = line->OrderReference.get()) {
    add_field(sequence, order->OrderID);
    add_field(sequence, order->OrderLineID);
  } else {
    add_empty(sequence);
    add_empty(sequence);
  }
  if (const DeliveryNoteReference* note = line->DeliveryNoteReference.get()) {
    add_field(sequence, note->DeliveryNoteID);
    add_field(sequence, note->DeliveryNoteLineID);
  } else {
    add_empty(sequence);
    add_empty(sequence);
  }
  add_field(sequence, line->ItemName);
  add_field(sequence, line->ItemEANCode);
  add_date(sequence, line->PeriodFromDate);
  add_date(sequence, line->PeriodToDate);
  add_decimal(sequence, line->InvoicedQuantity);
  add_decimal(sequence, line->UnitPriceTaxExclusiveAmount);
  add_decimal(sequence, line->UnitPriceTaxAmount);
  add_decimal(sequence, line->ClassifiedTaxCategory);
}

// Both references are always created, even when their fields are absent.
std::unique_ptr<InvoiceLine> read_line(FieldSequence& sequence) {
  auto line = std::make_unique<InvoiceLine>();
  auto order = std::make_unique<OrderReference>();
  read_string(sequence, order->OrderID);
  read_string(sequence, order->OrderLineID);
  line->OrderReference = std::move(order);
  auto note = std::make_unique<DeliveryNoteReference>();
  read_string(sequence, note->DeliveryNoteID);
  read_string(sequence, note->DeliveryNoteLineID);
  line->DeliveryNoteReference = std::move(note);
  read_string(sequence, line->ItemName);
  read_string(sequence, line->ItemEANCode);
  read_date(sequence, line->PeriodFromDate);
  read_date(sequence, line->PeriodToDate);
  line->InvoicedQuantity = read_decimal(sequence, "InvoicedQuantity");
  line->UnitPriceTaxExclusiveAmount =
      read_decimal(sequence, "UnitPriceTaxExclusiveAmount");
  line->UnitPriceTaxAmount = read_decimal(sequence, "UnitPriceTaxAmount");
  line->ClassifiedTaxCategory = read_decimal(sequence, "ClassifiedTaxCategory");
  return line;
}

}  // namespace

void write_invoice_items(FieldSequence& sequence, const InvoiceItems& items) {
  add_field(sequence, items.InvoiceID);
  add_field(sequence, items.FirstInvoiceLineID);
  add_int(sequence, static_cast<std::int32_t>(count(items.InvoiceLines)));
  if (!items.InvoiceLines) return;
  for (const auto& line : *items.InvoiceLines) write_line(sequence, line.get());
}

std::unique_ptr<InvoiceItems> read_invoice_items(FieldSequence& sequence) {
  auto items = new_invoice_items();
  items->header = sequence.header;
  read_string(sequence, items->InvoiceID);
  read_string(sequence, items->FirstInvoiceLineID);
  std::int32_t lines = read_entry_count(sequence, "InvoiceLines");
  items->InvoiceLines.emplace();
  items->InvoiceLines->reserve(static_cast<std::size_t>(lines));
  for (std::int32_t i = 0; i < lines; ++i)
    items->InvoiceLines->append(read_line(sequence));
  return items;
}

}  // namespace zarnex::code
