// The JSON form of an InvoiceItems document, member for member the XML
// element tree; InvoiceLines is an array of line objects:
//
//   {"type": "InvoiceItems", "InvoiceID", "FirstInvoiceLineID",
//    "InvoiceLines": [{"OrderReference": {"OrderID", "OrderLineID"},
//      "DeliveryNoteReference": {"DeliveryNoteID", "DeliveryNoteLineID"},
//      "ItemName", "ItemEANCode", "PeriodFromDate", "PeriodToDate",
//      "InvoicedQuantity", "UnitPriceTaxExclusiveAmount",
//      "UnitPriceTaxInclusiveAmount", "UnitPriceTaxAmount",
//      "LineTaxExclusiveAmount", "LineTaxInclusiveAmount", "LineTaxAmount",
//      "ClassifiedTaxCategory"}]}
//
// The tax-inclusive unit price and the three line totals are never read:
// after decoding, document_complete() computes them.

#include <memory>
#include <utility>

#include "json/kinds.h"
#include "model/invoice_items.h"

namespace zarnex::json {
namespace {

int read_line(JsonObject node, InvoiceLine& line) {
  if (int status = json_read_record(
          node, "OrderReference", line.OrderReference,
          [](JsonObject order, OrderReference& r) {
            return json_read_strings(order, {{"OrderID", &r.OrderID},
                                             {"OrderLineID", &r.OrderLineID}});
          }))
    return status;
  if (int status = json_read_record(
          node, "DeliveryNoteReference", line.DeliveryNoteReference,
          [](JsonObject note, DeliveryNoteReference& r) {
            return json_read_strings(
                note, {{"DeliveryNoteID", &r.DeliveryNoteID},
                       {"DeliveryNoteLineID", &r.DeliveryNoteLineID}});
          }))
    return status;
  if (int status =
          json_read_strings(node, {{"ItemName", &line.ItemName},
                                   {"ItemEANCode", &line.ItemEANCode},
                                   {"PeriodFromDate", &line.PeriodFromDate},
                                   {"PeriodToDate", &line.PeriodToDate}}))
    return status;
  return json_read_decimals(
      node, {{"InvoicedQuantity", &line.InvoicedQuantity},
             {"UnitPriceTaxExclusiveAmount", &line.UnitPriceTaxExclusiveAmount},
             {"UnitPriceTaxAmount", &line.UnitPriceTaxAmount},
             {"ClassifiedTaxCategory", &line.ClassifiedTaxCategory}});
}

void write_line(JsonOut& content, const InvoiceLine& line) {
  if (const OrderReference* r = line.OrderReference.get()) {
    json_write_nested(content, "OrderReference"_key, [&](JsonOut& order) {
      json_write_strings(order, {{"OrderID"_key, &r->OrderID},
                                 {"OrderLineID"_key, &r->OrderLineID}});
    });
  }
  if (const DeliveryNoteReference* r = line.DeliveryNoteReference.get()) {
    json_write_nested(content, "DeliveryNoteReference"_key, [&](JsonOut& note) {
      json_write_strings(note,
                         {{"DeliveryNoteID"_key, &r->DeliveryNoteID},
                          {"DeliveryNoteLineID"_key, &r->DeliveryNoteLineID}});
    });
  }
  json_write_strings(content, {{"ItemName"_key, &line.ItemName},
                               {"ItemEANCode"_key, &line.ItemEANCode},
                               {"PeriodFromDate"_key, &line.PeriodFromDate},
                               {"PeriodToDate"_key, &line.PeriodToDate}});
  json_write_decimals(
      content,
      {{"InvoicedQuantity"_key, &line.InvoicedQuantity},
       {"UnitPriceTaxExclusiveAmount"_key, &line.UnitPriceTaxExclusiveAmount},
       {"UnitPriceTaxInclusiveAmount"_key, &line.UnitPriceTaxInclusiveAmount},
       {"UnitPriceTaxAmount"_key, &line.UnitPriceTaxAmount},
       {"LineTaxExclusiveAmount"_key, &line.LineTaxExclusiveAmount},
       {"LineTaxInclusiveAmount"_key, &line.LineTaxInclusiveAmount},
       {"LineTaxAmount"_key, &line.LineTaxAmount},
       {"ClassifiedTaxCategory"_key, &line.ClassifiedTaxCategory}});
}

}  // namespace

int invoice_items_from_json(JsonObject root, DocumentPtr* out) {
  std::unique_ptr<InvoiceItems> items = new_invoice_items();
  if (int status = json_read_strings(
          root, {{"InvoiceID", &items->InvoiceID},
                 {"FirstInvoiceLineID", &items->FirstInvoiceLineID}}))
    return status;
  if (int status =
          json_read_list(root, "InvoiceLines", items->InvoiceLines, read_line))
    return status;
  *out = std::move(items);
  return 0;
}

void invoice_items_to_json(JsonOut& out, const InvoiceItems& items) {
  json_write_strings(out,
                     {{"InvoiceID"_key, &items.InvoiceID},
                      {"FirstInvoiceLineID"_key, &items.FirstInvoiceLineID}});
  json_write_list(out, "InvoiceLines"_key, items.InvoiceLines, write_line);
}

}  // namespace zarnex::json
