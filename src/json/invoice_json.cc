// The JSON form of an Invoice document, member for member the XML element
// tree; "type" carries the sub-kind (Invoice, ProformaInvoice, CreditNote,
// DebitNote, AdvanceInvoice) and TaxCategorySummaries is an array of
// summary objects.
//
// The amounts that a code does not carry (the tax-inclusive and difference
// amounts, the unit prices of the single line, most of MonetarySummary) are
// never read: after decoding, document_complete() computes them, and the
// writer writes whatever the document holds.

#include <iterator>
#include <memory>
#include <utility>

#include "json/kinds.h"
#include "model/invoice.h"
#include "model/vocabulary.h"

namespace zarnex::json {
namespace {

int read_supplier(JsonObject node, SupplierParty& party) {
  if (int status = json_read_strings(
          node, {{"PartyName", &party.PartyName},
                 {"CompanyTaxID", &party.CompanyTaxID},
                 {"CompanyVATID", &party.CompanyVATID},
                 {"CompanyRegisterID", &party.CompanyRegisterID}}))
    return status;
  if (int status = json_read_record(
          node, "PostalAddress", party.PostalAddress,
          [](JsonObject address, PostalAddress& a) {
            return json_read_strings(address,
                                     {{"StreetName", &a.StreetName},
                                      {"BuildingNumber", &a.BuildingNumber},
                                      {"CityName", &a.CityName},
                                      {"PostalZone", &a.PostalZone},
                                      {"State", &a.State},
                                      {"Country", &a.Country}});
          }))
    return status;
  return json_read_record(
      node, "Contact", party.Contact, [](JsonObject contact, Contact& c) {
        return json_read_strings(contact, {{"Name", &c.Name},
                                           {"Telephone", &c.Telephone},
                                           {"EMail", &c.EMail}});
      });
}

int read_customer(JsonObject node, CustomerParty& party) {
  return json_read_strings(
      node, {{"PartyName", &party.PartyName},
             {"CompanyTaxID", &party.CompanyTaxID},
             {"CompanyVATID", &party.CompanyVATID},
             {"CompanyRegisterID", &party.CompanyRegisterID},
             {"PartyIdentification", &party.PartyIdentification}});
}

int read_single_line(JsonObject node, SingleInvoiceLine& line) {
  if (int status = json_read_strings(
          node, {{"OrderLineID", &line.OrderLineID},
                 {"DeliveryNoteLineID", &line.DeliveryNoteLineID},
                 {"ItemName", &line.ItemName},
                 {"ItemEANCode", &line.ItemEANCode},
                 {"PeriodFromDate", &line.PeriodFromDate},
                 {"PeriodToDate", &line.PeriodToDate}}))
    return status;
  return json_read_decimal(node, "InvoicedQuantity", line.InvoicedQuantity);
}

int read_tax_summary(JsonObject node, TaxCategorySummary& summary) {
  return json_read_decimals(
      node, {{"ClassifiedTaxCategory", &summary.ClassifiedTaxCategory},
             {"TaxExclusiveAmount", &summary.TaxExclusiveAmount},
             {"TaxAmount", &summary.TaxAmount},
             {"AlreadyClaimedTaxExclusiveAmount",
              &summary.AlreadyClaimedTaxExclusiveAmount},
             {"AlreadyClaimedTaxAmount", &summary.AlreadyClaimedTaxAmount}});
}

int read_monetary_summary(JsonObject node, MonetarySummary& summary) {
  return json_read_decimals(
      node, {{"PayableRoundingAmount", &summary.PayableRoundingAmount},
             {"PaidDepositsAmount", &summary.PaidDepositsAmount}});
}

int read_invoice(JsonObject root, Invoice& invoice) {
  if (int status = json_read_strings(
          root, {{"InvoiceID", &invoice.InvoiceID},
                 {"IssueDate", &invoice.IssueDate},
                 {"TaxPointDate", &invoice.TaxPointDate},
                 {"OrderID", &invoice.OrderID},
                 {"DeliveryNoteID", &invoice.DeliveryNoteID},
                 {"LocalCurrencyCode", &invoice.LocalCurrencyCode},
                 {"ForeignCurrencyCode", &invoice.ForeignCurrencyCode}}))
    return status;
  if (int status = json_read_decimals(
          root, {{"CurrRate", &invoice.CurrRate},
                 {"ReferenceCurrRate", &invoice.ReferenceCurrRate}}))
    return status;
  if (int status = json_read_record(root, "SupplierParty",
                                    invoice.SupplierParty, read_supplier))
    return status;
  if (int status = json_read_record(root, "CustomerParty",
                                    invoice.CustomerParty, read_customer))
    return status;
  if (int status = json_read_int(root, "NumberOfInvoiceLines",
                                 invoice.NumberOfInvoiceLines))
    return status;
  if (int status = json_read_string(root, "InvoiceDescription",
                                    invoice.InvoiceDescription))
    return status;
  if (int status =
          json_read_record(root, "SingleInvoiceLine", invoice.SingleInvoiceLine,
                           read_single_line))
    return status;
  if (int status =
          json_read_list(root, "TaxCategorySummaries",
                         invoice.TaxCategorySummaries, read_tax_summary))
    return status;
  if (int status =
          json_read_record(root, "MonetarySummary", invoice.MonetarySummary,
                           read_monetary_summary))
    return status;
  return json_read_flags(root, "PaymentMeans", invoice.PaymentMeans,
                         kPaymentMeansNames);
}

void write_supplier(JsonOut& out, const SupplierParty& party) {
  json_write_nested(out, "SupplierParty"_key, [&](JsonOut& content) {
    json_write_strings(content,
                       {{"PartyName"_key, &party.PartyName},
                        {"CompanyTaxID"_key, &party.CompanyTaxID},
                        {"CompanyVATID"_key, &party.CompanyVATID},
                        {"CompanyRegisterID"_key, &party.CompanyRegisterID}});
    if (const PostalAddress* a = party.PostalAddress.get()) {
      json_write_nested(content, "PostalAddress"_key, [&](JsonOut& address) {
        json_write_strings(address, {{"StreetName"_key, &a->StreetName},
                                     {"BuildingNumber"_key, &a->BuildingNumber},
                                     {"CityName"_key, &a->CityName},
                                     {"PostalZone"_key, &a->PostalZone},
                                     {"State"_key, &a->State},
                                     {"Country"_key, &a->Country}});
      });
    }
    if (const Contact* c = party.Contact.get()) {
      json_write_nested(content, "Contact"_key, [&](JsonOut& contact) {
        json_write_strings(contact, {{"Name"_key, &c->Name},
                                     {"Telephone"_key, &c->Telephone},
                                     {"EMail"_key, &c->EMail}});
      });
    }
  });
}

void write_customer(JsonOut& out, const CustomerParty& party) {
  json_write_nested(out, "CustomerParty"_key, [&](JsonOut& content) {
    json_write_strings(
        content, {{"PartyName"_key, &party.PartyName},
                  {"CompanyTaxID"_key, &party.CompanyTaxID},
                  {"CompanyVATID"_key, &party.CompanyVATID},
                  {"CompanyRegisterID"_key, &party.CompanyRegisterID},
                  {"PartyIdentification"_key, &party.PartyIdentification}});
  });
}

void write_single_line(JsonOut& out, const SingleInvoiceLine& line) {
  json_write_nested(out, "SingleInvoiceLine"_key, [&](JsonOut& content) {
    json_write_strings(content,
                       {{"OrderLineID"_key, &line.OrderLineID},
                        {"DeliveryNoteLineID"_key, &line.DeliveryNoteLineID},
                        {"ItemName"_key, &line.ItemName},
                        {"ItemEANCode"_key, &line.ItemEANCode},
                        {"PeriodFromDate"_key, &line.PeriodFromDate},
                        {"PeriodToDate"_key, &line.PeriodToDate}});
    json_write_decimals(
        content,
        {{"InvoicedQuantity"_key, &line.InvoicedQuantity},
         {"UnitPriceTaxExclusiveAmount"_key, &line.UnitPriceTaxExclusiveAmount},
         {"UnitPriceTaxInclusiveAmount"_key, &line.UnitPriceTaxInclusiveAmount},
         {"UnitPriceTaxAmount"_key, &line.UnitPriceTaxAmount}});
  });
}

void write_tax_summary(JsonOut& out, const TaxCategorySummary& s) {
  json_write_decimals(
      out,
      {{"ClassifiedTaxCategory"_key, &s.ClassifiedTaxCategory},
       {"TaxExclusiveAmount"_key, &s.TaxExclusiveAmount},
       {"TaxInclusiveAmount"_key, &s.TaxInclusiveAmount},
       {"TaxAmount"_key, &s.TaxAmount},
       {"AlreadyClaimedTaxExclusiveAmount"_key,
        &s.AlreadyClaimedTaxExclusiveAmount},
       {"AlreadyClaimedTaxInclusiveAmount"_key,
        &s.AlreadyClaimedTaxInclusiveAmount},
       {"AlreadyClaimedTaxAmount"_key, &s.AlreadyClaimedTaxAmount},
       {"DifferenceTaxExclusiveAmount"_key, &s.DifferenceTaxExclusiveAmount},
       {"DifferenceTaxInclusiveAmount"_key, &s.DifferenceTaxInclusiveAmount},
       {"DifferenceTaxAmount"_key, &s.DifferenceTaxAmount}});
}

void write_monetary_summary(JsonOut& out, const MonetarySummary& s) {
  json_write_nested(out, "MonetarySummary"_key, [&](JsonOut& content) {
    json_write_decimals(
        content,
        {{"TaxExclusiveAmount"_key, &s.TaxExclusiveAmount},
         {"TaxInclusiveAmount"_key, &s.TaxInclusiveAmount},
         {"TaxAmount"_key, &s.TaxAmount},
         {"AlreadyClaimedTaxExclusiveAmount"_key,
          &s.AlreadyClaimedTaxExclusiveAmount},
         {"AlreadyClaimedTaxInclusiveAmount"_key,
          &s.AlreadyClaimedTaxInclusiveAmount},
         {"AlreadyClaimedTaxAmount"_key, &s.AlreadyClaimedTaxAmount},
         {"DifferenceTaxExclusiveAmount"_key, &s.DifferenceTaxExclusiveAmount},
         {"DifferenceTaxInclusiveAmount"_key, &s.DifferenceTaxInclusiveAmount},
         {"DifferenceTaxAmount"_key, &s.DifferenceTaxAmount},
         {"PayableRoundingAmount"_key, &s.PayableRoundingAmount},
         {"PaidDepositsAmount"_key, &s.PaidDepositsAmount},
         {"PayableAmount"_key, &s.PayableAmount}});
  });
}

}  // namespace

int invoice_from_json(JsonObject root, int sub_kind, DocumentPtr* out) {
  std::unique_ptr<Invoice> invoice = new_invoice();
  invoice->header.set_sub_kind(sub_kind);
  if (int status = read_invoice(root, *invoice)) return status;
  *out = std::move(invoice);
  return 0;
}

void invoice_to_json(JsonOut& out, const Invoice& invoice) {
  json_write_strings(
      out, {{"InvoiceID"_key, &invoice.InvoiceID},
            {"IssueDate"_key, &invoice.IssueDate},
            {"TaxPointDate"_key, &invoice.TaxPointDate},
            {"OrderID"_key, &invoice.OrderID},
            {"DeliveryNoteID"_key, &invoice.DeliveryNoteID},
            {"LocalCurrencyCode"_key, &invoice.LocalCurrencyCode},
            {"ForeignCurrencyCode"_key, &invoice.ForeignCurrencyCode}});
  json_write_decimals(out,
                      {{"CurrRate"_key, &invoice.CurrRate},
                       {"ReferenceCurrRate"_key, &invoice.ReferenceCurrRate}});
  if (invoice.SupplierParty) write_supplier(out, *invoice.SupplierParty);
  if (invoice.CustomerParty) write_customer(out, *invoice.CustomerParty);
  json_write_int(out, "NumberOfInvoiceLines"_key, invoice.NumberOfInvoiceLines);
  json_write_string(out, "InvoiceDescription"_key, invoice.InvoiceDescription);
  if (invoice.SingleInvoiceLine)
    write_single_line(out, *invoice.SingleInvoiceLine);
  json_write_list(out, "TaxCategorySummaries"_key, invoice.TaxCategorySummaries,
                  write_tax_summary);
  if (invoice.MonetarySummary)
    write_monetary_summary(out, *invoice.MonetarySummary);
  json_write_flags(out, "PaymentMeans"_key, invoice.PaymentMeans,
                   kPaymentMeansNames);
}

}  // namespace zarnex::json
