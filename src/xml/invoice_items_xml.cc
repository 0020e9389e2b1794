// The XML form of an InvoiceItems document:
//
//   InvoiceItems
//     InvoiceID, FirstInvoiceLineID
//     InvoiceLines / InvoiceLine*
//       OrderReference (OrderID, OrderLineID),
//       DeliveryNoteReference (DeliveryNoteID, DeliveryNoteLineID),
//       ItemName, ItemEANCode, PeriodFromDate, PeriodToDate,
//       InvoicedQuantity, UnitPriceTaxExclusiveAmount,
//       UnitPriceTaxInclusiveAmount, UnitPriceTaxAmount,
//       LineTaxExclusiveAmount, LineTaxInclusiveAmount, LineTaxAmount,
//       ClassifiedTaxCategory
//
// The tax-inclusive unit price and the three line totals are never read:
// after decoding, document_complete() computes them.

#include <memory>
#include <utility>

#include "model/invoice_items.h"
#include "xml/kinds.h"
#include "xml/xml_reader.h"
#include "xml/xml_writer.h"

namespace zarnex::xml {
namespace {

constexpr const char* kInvoiceItemsTypes[] = {"InvoiceItems"};

int read_line(const xmlNode* node, InvoiceLine& line) {
  if (const xmlNode* order = xml_find_child(node, "OrderReference")) {
    line.OrderReference = std::make_unique<OrderReference>();
    OrderReference& r = *line.OrderReference;
    if (int status = xml_read_strings(
            order, {{"OrderID", &r.OrderID}, {"OrderLineID", &r.OrderLineID}}))
      return status;
  }
  if (const xmlNode* note = xml_find_child(node, "DeliveryNoteReference")) {
    line.DeliveryNoteReference = std::make_unique<DeliveryNoteReference>();
    DeliveryNoteReference& r = *line.DeliveryNoteReference;
    if (int status = xml_read_strings(
            note, {{"DeliveryNoteID", &r.DeliveryNoteID},
                   {"DeliveryNoteLineID", &r.DeliveryNoteLineID}}))
      return status;
  }
  if (int status =
          xml_read_strings(node, {{"ItemName", &line.ItemName},
                                  {"ItemEANCode", &line.ItemEANCode},
                                  {"PeriodFromDate", &line.PeriodFromDate},
                                  {"PeriodToDate", &line.PeriodToDate}}))
    return status;
  return xml_read_decimals(
      node,
      {{"InvoicedQuantity", &line.InvoicedQuantity},
       {"UnitPriceTaxExclusiveAmount", &line.UnitPriceTaxExclusiveAmount},
       {"UnitPriceTaxAmount", &line.UnitPriceTaxAmount},
       {"ClassifiedTaxCategory", &line.ClassifiedTaxCategory}});
}

void write_line(XmlOut& out, const InvoiceLine& line) {
  xml_write_nested(out, "InvoiceLine"_tag, [&](XmlOut& content) {
    if (const OrderReference* r = line.OrderReference.get()) {
      xml_write_nested(content, "OrderReference"_tag, [&](XmlOut& order) {
        xml_write_strings(order, {{"OrderID"_tag, &r->OrderID},
                                  {"OrderLineID"_tag, &r->OrderLineID}});
      });
    }
    if (const DeliveryNoteReference* r = line.DeliveryNoteReference.get()) {
      xml_write_nested(content, "DeliveryNoteReference"_tag,
                       [&](XmlOut& note) {
                         xml_write_strings(
                             note,
                             {{"DeliveryNoteID"_tag, &r->DeliveryNoteID},
                              {"DeliveryNoteLineID"_tag, &r->DeliveryNoteLineID}});
                       });
    }
    xml_write_strings(content, {{"ItemName"_tag, &line.ItemName},
                                {"ItemEANCode"_tag, &line.ItemEANCode},
                                {"PeriodFromDate"_tag, &line.PeriodFromDate},
                                {"PeriodToDate"_tag, &line.PeriodToDate}});
    xml_write_decimals(
        content,
        {{"InvoicedQuantity"_tag, &line.InvoicedQuantity},
         {"UnitPriceTaxExclusiveAmount"_tag, &line.UnitPriceTaxExclusiveAmount},
         {"UnitPriceTaxInclusiveAmount"_tag, &line.UnitPriceTaxInclusiveAmount},
         {"UnitPriceTaxAmount"_tag, &line.UnitPriceTaxAmount},
         {"LineTaxExclusiveAmount"_tag, &line.LineTaxExclusiveAmount},
         {"LineTaxInclusiveAmount"_tag, &line.LineTaxInclusiveAmount},
         {"LineTaxAmount"_tag, &line.LineTaxAmount},
         {"ClassifiedTaxCategory"_tag, &line.ClassifiedTaxCategory}});
  });
}

}  // namespace

int invoice_items_from_xml(const xmlNode* root, DocumentPtr* out) {
  if (int status = xml_check_root_type(root, kInvoiceItemsTypes, nullptr))
    return status;
  std::unique_ptr<InvoiceItems> items = new_invoice_items();
  if (int status = xml_read_strings(
          root, {{"InvoiceID", &items->InvoiceID},
                 {"FirstInvoiceLineID", &items->FirstInvoiceLineID}}))
    return status;
  if (int status = xml_read_list(root, "InvoiceLines", "InvoiceLine",
                                 items->InvoiceLines, read_line))
    return status;
  *out = std::move(items);
  return 0;
}

void invoice_items_to_xml(XmlOut& out, const InvoiceItems& items) {
  xml_write_strings(out, {{"InvoiceID"_tag, &items.InvoiceID},
                          {"FirstInvoiceLineID"_tag, &items.FirstInvoiceLineID}});
  xml_write_list(out, "InvoiceLines"_tag, items.InvoiceLines, write_line);
}

}  // namespace zarnex::xml
