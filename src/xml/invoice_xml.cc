// The XML form of an Invoice document. The root element is Invoice for every
// sub-kind; the sub-kind travels as the root's xsi:type (kInvoiceTypeNames).
//
// The amounts that a code does not carry (the tax-inclusive and difference
// amounts, the unit prices of the single line, most of MonetarySummary) are
// never read from XML: after decoding, document_complete() computes them,
// and the writer writes whatever the document holds.

#include <iterator>
#include <memory>
#include <utility>

#include "model/invoice.h"
#include "model/vocabulary.h"
#include "xml/kinds.h"
#include "xml/xml_reader.h"
#include "xml/xml_writer.h"

namespace zarnex::xml {
namespace {

static_assert(std::size(kPaymentMeansNames) == kPaymentMeansCount);

int read_supplier(const xmlNode* node, SupplierParty& party) {
  if (int status = xml_read_strings(
          node, {{"PartyName", &party.PartyName},
                 {"CompanyTaxID", &party.CompanyTaxID},
                 {"CompanyVATID", &party.CompanyVATID},
                 {"CompanyRegisterID", &party.CompanyRegisterID}}))
    return status;
  if (const xmlNode* address = xml_find_child(node, "PostalAddress")) {
    party.PostalAddress = std::make_unique<PostalAddress>();
    PostalAddress& a = *party.PostalAddress;
    if (int status =
            xml_read_strings(address, {{"StreetName", &a.StreetName},
                                       {"BuildingNumber", &a.BuildingNumber},
                                       {"CityName", &a.CityName},
                                       {"PostalZone", &a.PostalZone},
                                       {"State", &a.State},
                                       {"Country", &a.Country}}))
      return status;
  }
  if (const xmlNode* contact = xml_find_child(node, "Contact")) {
    party.Contact = std::make_unique<Contact>();
    Contact& c = *party.Contact;
    if (int status = xml_read_strings(contact, {{"Name", &c.Name},
                                            {"Telephone", &c.Telephone},
                                            {"EMail", &c.EMail}}))
      return status;
  }
  return 0;
}

int read_customer(const xmlNode* node, CustomerParty& party) {
  return xml_read_strings(node,
                      {{"PartyName", &party.PartyName},
                       {"CompanyTaxID", &party.CompanyTaxID},
                       {"CompanyVATID", &party.CompanyVATID},
                       {"CompanyRegisterID", &party.CompanyRegisterID},
                       {"PartyIdentification", &party.PartyIdentification}});
}

int read_single_line(const xmlNode* node, SingleInvoiceLine& line) {
  if (int status =
          xml_read_strings(node, {{"OrderLineID", &line.OrderLineID},
                              {"DeliveryNoteLineID", &line.DeliveryNoteLineID},
                              {"ItemName", &line.ItemName},
                              {"ItemEANCode", &line.ItemEANCode},
                              {"PeriodFromDate", &line.PeriodFromDate},
                              {"PeriodToDate", &line.PeriodToDate}}))
    return status;
  return xml_read_decimal(node, "InvoicedQuantity", line.InvoicedQuantity);
}

int read_tax_summary(const xmlNode* node, TaxCategorySummary& summary) {
  return xml_read_decimals(
      node,
      {{"ClassifiedTaxCategory", &summary.ClassifiedTaxCategory},
       {"TaxExclusiveAmount", &summary.TaxExclusiveAmount},
       {"TaxAmount", &summary.TaxAmount},
       {"AlreadyClaimedTaxExclusiveAmount",
        &summary.AlreadyClaimedTaxExclusiveAmount},
       {"AlreadyClaimedTaxAmount", &summary.AlreadyClaimedTaxAmount}});
}

int read_monetary_summary(const xmlNode* node, MonetarySummary& summary) {
  return xml_read_decimals(
      node, {{"PayableRoundingAmount", &summary.PayableRoundingAmount},
             {"PaidDepositsAmount", &summary.PaidDepositsAmount}});
}

int read_invoice(const xmlNode* root, Invoice& invoice) {
  if (int status = xml_read_strings(
          root, {{"InvoiceID", &invoice.InvoiceID},
                 {"IssueDate", &invoice.IssueDate},
                 {"TaxPointDate", &invoice.TaxPointDate},
                 {"OrderID", &invoice.OrderID},
                 {"DeliveryNoteID", &invoice.DeliveryNoteID},
                 {"LocalCurrencyCode", &invoice.LocalCurrencyCode},
                 {"ForeignCurrencyCode", &invoice.ForeignCurrencyCode}}))
    return status;
  if (int status = xml_read_decimals(
          root, {{"CurrRate", &invoice.CurrRate},
                 {"ReferenceCurrRate", &invoice.ReferenceCurrRate}}))
    return status;
  if (const xmlNode* node = xml_find_child(root, "SupplierParty")) {
    invoice.SupplierParty = std::make_unique<SupplierParty>();
    if (int status = read_supplier(node, *invoice.SupplierParty)) return status;
  }
  if (const xmlNode* node = xml_find_child(root, "CustomerParty")) {
    invoice.CustomerParty = std::make_unique<CustomerParty>();
    if (int status = read_customer(node, *invoice.CustomerParty)) return status;
  }
  if (int status = xml_read_int(root, "NumberOfInvoiceLines",
                                invoice.NumberOfInvoiceLines))
    return status;
  if (int status = xml_read_string(root, "InvoiceDescription",
                                   invoice.InvoiceDescription))
    return status;
  if (const xmlNode* node = xml_find_child(root, "SingleInvoiceLine")) {
    invoice.SingleInvoiceLine = std::make_unique<SingleInvoiceLine>();
    if (int status = read_single_line(node, *invoice.SingleInvoiceLine))
      return status;
  }
  if (int status =
          xml_read_list(root, "TaxCategorySummaries", "TaxCategorySummary",
                        invoice.TaxCategorySummaries, read_tax_summary))
    return status;
  if (const xmlNode* node = xml_find_child(root, "MonetarySummary")) {
    invoice.MonetarySummary = std::make_unique<MonetarySummary>();
    if (int status = read_monetary_summary(node, *invoice.MonetarySummary))
      return status;
  }
  return xml_read_flags(root, "PaymentMeans", invoice.PaymentMeans,
                        kPaymentMeansNames);
}

void write_supplier(XmlOut& out, const SupplierParty& party) {
  xml_write_nested(out, "SupplierParty"_tag, [&](XmlOut& content) {
    xml_write_strings(content, {{"PartyName"_tag, &party.PartyName},
                            {"CompanyTaxID"_tag, &party.CompanyTaxID},
                            {"CompanyVATID"_tag, &party.CompanyVATID},
                            {"CompanyRegisterID"_tag, &party.CompanyRegisterID}});
    if (const PostalAddress* a = party.PostalAddress.get()) {
      xml_write_nested(content, "PostalAddress"_tag, [&](XmlOut& address) {
        xml_write_strings(address, {{"StreetName"_tag, &a->StreetName},
                                {"BuildingNumber"_tag, &a->BuildingNumber},
                                {"CityName"_tag, &a->CityName},
                                {"PostalZone"_tag, &a->PostalZone},
                                {"State"_tag, &a->State},
                                {"Country"_tag, &a->Country}});
      });
    }
    if (const Contact* c = party.Contact.get()) {
      xml_write_nested(content, "Contact"_tag, [&](XmlOut& contact) {
        xml_write_strings(contact, {{"Name"_tag, &c->Name},
                                {"Telephone"_tag, &c->Telephone},
                                {"EMail"_tag, &c->EMail}});
      });
    }
  });
}

void write_customer(XmlOut& out, const CustomerParty& party) {
  xml_write_nested(out, "CustomerParty"_tag, [&](XmlOut& content) {
    xml_write_strings(content,
                  {{"PartyName"_tag, &party.PartyName},
                   {"CompanyTaxID"_tag, &party.CompanyTaxID},
                   {"CompanyVATID"_tag, &party.CompanyVATID},
                   {"CompanyRegisterID"_tag, &party.CompanyRegisterID},
                   {"PartyIdentification"_tag, &party.PartyIdentification}});
  });
}

void write_single_line(XmlOut& out, const SingleInvoiceLine& line) {
  xml_write_nested(out, "SingleInvoiceLine"_tag, [&](XmlOut& content) {
    xml_write_strings(content, {{"OrderLineID"_tag, &line.OrderLineID},
                            {"DeliveryNoteLineID"_tag, &line.DeliveryNoteLineID},
                            {"ItemName"_tag, &line.ItemName},
                            {"ItemEANCode"_tag, &line.ItemEANCode},
                            {"PeriodFromDate"_tag, &line.PeriodFromDate},
                            {"PeriodToDate"_tag, &line.PeriodToDate}});
    xml_write_decimals(
        content,
        {{"InvoicedQuantity"_tag, &line.InvoicedQuantity},
         {"UnitPriceTaxExclusiveAmount"_tag, &line.UnitPriceTaxExclusiveAmount},
         {"UnitPriceTaxInclusiveAmount"_tag, &line.UnitPriceTaxInclusiveAmount},
         {"UnitPriceTaxAmount"_tag, &line.UnitPriceTaxAmount}});
  });
}

void write_tax_summary(XmlOut& out, const TaxCategorySummary& s) {
  xml_write_nested(out, "TaxCategorySummary"_tag, [&](XmlOut& content) {
    xml_write_decimals(
        content,
        {{"ClassifiedTaxCategory"_tag, &s.ClassifiedTaxCategory},
         {"TaxExclusiveAmount"_tag, &s.TaxExclusiveAmount},
         {"TaxInclusiveAmount"_tag, &s.TaxInclusiveAmount},
         {"TaxAmount"_tag, &s.TaxAmount},
         {"AlreadyClaimedTaxExclusiveAmount"_tag,
          &s.AlreadyClaimedTaxExclusiveAmount},
         {"AlreadyClaimedTaxInclusiveAmount"_tag,
          &s.AlreadyClaimedTaxInclusiveAmount},
         {"AlreadyClaimedTaxAmount"_tag, &s.AlreadyClaimedTaxAmount},
         {"DifferenceTaxExclusiveAmount"_tag, &s.DifferenceTaxExclusiveAmount},
         {"DifferenceTaxInclusiveAmount"_tag, &s.DifferenceTaxInclusiveAmount},
         {"DifferenceTaxAmount"_tag, &s.DifferenceTaxAmount}});
  });
}

void write_monetary_summary(XmlOut& out, const MonetarySummary& s) {
  xml_write_nested(out, "MonetarySummary"_tag, [&](XmlOut& content) {
    xml_write_decimals(
        content,
        {{"TaxExclusiveAmount"_tag, &s.TaxExclusiveAmount},
         {"TaxInclusiveAmount"_tag, &s.TaxInclusiveAmount},
         {"TaxAmount"_tag, &s.TaxAmount},
         {"AlreadyClaimedTaxExclusiveAmount"_tag,
          &s.AlreadyClaimedTaxExclusiveAmount},
         {"AlreadyClaimedTaxInclusiveAmount"_tag,
          &s.AlreadyClaimedTaxInclusiveAmount},
         {"AlreadyClaimedTaxAmount"_tag, &s.AlreadyClaimedTaxAmount},
         {"DifferenceTaxExclusiveAmount"_tag, &s.DifferenceTaxExclusiveAmount},
         {"DifferenceTaxInclusiveAmount"_tag, &s.DifferenceTaxInclusiveAmount},
         {"DifferenceTaxAmount"_tag, &s.DifferenceTaxAmount},
         {"PayableRoundingAmount"_tag, &s.PayableRoundingAmount},
         {"PaidDepositsAmount"_tag, &s.PaidDepositsAmount},
         {"PayableAmount"_tag, &s.PayableAmount}});
  });
}

}  // namespace

int invoice_from_xml(const xmlNode* root, DocumentPtr* out) {
  int sub_kind = 0;
  if (int status = xml_check_root_type(root, kInvoiceTypeNames, &sub_kind))
    return status;
  std::unique_ptr<Invoice> invoice = new_invoice();
  invoice->header.set_sub_kind(sub_kind);
  if (int status = read_invoice(root, *invoice)) return status;
  *out = std::move(invoice);
  return 0;
}

void invoice_to_xml(XmlOut& out, const Invoice& invoice) {
  xml_write_strings(out, {{"InvoiceID"_tag, &invoice.InvoiceID},
                      {"IssueDate"_tag, &invoice.IssueDate},
                      {"TaxPointDate"_tag, &invoice.TaxPointDate},
                      {"OrderID"_tag, &invoice.OrderID},
                      {"DeliveryNoteID"_tag, &invoice.DeliveryNoteID},
                      {"LocalCurrencyCode"_tag, &invoice.LocalCurrencyCode},
                      {"ForeignCurrencyCode"_tag, &invoice.ForeignCurrencyCode}});
  xml_write_decimals(out, {{"CurrRate"_tag, &invoice.CurrRate},
                       {"ReferenceCurrRate"_tag, &invoice.ReferenceCurrRate}});
  if (invoice.SupplierParty) write_supplier(out, *invoice.SupplierParty);
  if (invoice.CustomerParty) write_customer(out, *invoice.CustomerParty);
  xml_write_int(out, "NumberOfInvoiceLines"_tag, invoice.NumberOfInvoiceLines);
  xml_write_string(out, "InvoiceDescription"_tag, invoice.InvoiceDescription);
  if (invoice.SingleInvoiceLine)
    write_single_line(out, *invoice.SingleInvoiceLine);
  xml_write_list(out, "TaxCategorySummaries"_tag, invoice.TaxCategorySummaries,
                 write_tax_summary);
  if (invoice.MonetarySummary)
    write_monetary_summary(out, *invoice.MonetarySummary);
  xml_write_flags(out, "PaymentMeans"_tag, invoice.PaymentMeans,
                  kPaymentMeansNames);
}

}  // namespace zarnex::xml
