// Field order of an Invoice (40 fields plus 5 per tax category summary):
//
//    1-9   InvoiceID, IssueDate, TaxPointDate, OrderID, DeliveryNoteID,
//          LocalCurrencyCode, ForeignCurrencyCode, CurrRate,
//          ReferenceCurrRate
//   10-13  SupplierParty: PartyName, CompanyTaxID, CompanyVATID,
//          CompanyRegisterID
//   14-19  SupplierParty/PostalAddress: StreetName, BuildingNumber,
//          CityName, PostalZone, State, Country
//   20-22  SupplierParty/Contact: Name, Telephone, EMail
//   23-27  CustomerParty: PartyName, CompanyTaxID, CompanyVATID,
//          CompanyRegisterID, PartyIdentification
//   28-29  NumberOfInvoiceLines, InvoiceDescription
//   30-36  SingleInvoiceLine: OrderLineID, DeliveryNoteLineID, ItemName,
//          ItemEANCode, PeriodFromDate, PeriodToDate, InvoicedQuantity
//   37     number of TaxCategorySummaries, then per summary:
//          ClassifiedTaxCategory, TaxExclusiveAmount, TaxAmount,
//          AlreadyClaimedTaxExclusiveAmount, AlreadyClaimedTaxAmount
//   then   MonetarySummary: PayableRoundingAmount, PaidDepositsAmount;
//          PaymentMeans
//
// No sub-record has a presence flag: an absent one is written as empty
// fields in the number of its carried fields. Derived amounts are never
// written.

#include <memory>

#include "code/sequence_kinds.h"

namespace zarnex::code {
namespace {

constexpr int kPostalAddressFields = 6;
constexpr int kContactFields = 3;
constexpr int kSupplierPartyFields = 4 + kPostalAddressFields + kContactFields;
constexpr int kCustomerPartyFields = 5;
constexpr int kSingleInvoiceLineFields = 7;
constexpr int kTaxCategorySummaryFields = 5;
constexpr int kMonetarySummaryFields = 2;

void add_empties(FieldSequence& sequence, int n) {
  for (int i = 0; i < n; ++i) add_empty(sequence);
}

void write_supplier_party(FieldSequence& sequence, const SupplierParty* party) {
  if (party == nullptr) {
    add_empties(sequence, kSupplierPartyFields);
    return;
  }
  add_field(sequence, party->PartyName);
  add_field(sequence, party->CompanyTaxID);
  add_field(sequence, party->CompanyVATID);
  add_field(sequence, party->CompanyRegisterID);
  if (const PostalAddress* address = party->PostalAddress.get()) {
    add_field(sequence, address->StreetName);
    add_field(sequence, address->BuildingNumber);
    add_field(sequence, address->CityName);
    add_field(sequence, address->PostalZone);
    add_field(sequence, address->State);
    add_field(sequence, address->Country);
  } else {
    add_empties(sequence, kPostalAddressFields);
  }
  if (const Contact* contact = party->Contact.get()) {
    add_field(sequence, contact->Name);
    add_field(sequence, contact->Telephone);
    add_field(sequence, contact->EMail);
  } else {
    add_empties(sequence, kContactFields);
  }
}

void write_customer_party(FieldSequence& sequence, const CustomerParty* party) {
  if (party == nullptr) {
    add_empties(sequence, kCustomerPartyFields);
    return;
  }
  add_field(sequence, party->PartyName);
  add_field(sequence, party->CompanyTaxID);
  add_field(sequence, party->CompanyVATID);
  add_field(sequence, party->CompanyRegisterID);
  add_field(sequence, party->PartyIdentification);
}

void write_single_line(FieldSequence& sequence, const SingleInvoiceLine* line) {
  if (line == nullptr) {
    add_empties(sequence, kSingleInvoiceLineFields);
    return;
  }
  add_field(sequence, line->OrderLineID);
  add_field(sequence, line->DeliveryNoteLineID);
  add_field(sequence, line->ItemName);
  add_field(sequence, line->ItemEANCode);
  add_date(sequence, line->PeriodFromDate);
  add_date(sequence, line->PeriodToDate);
  add_decimal(sequence, line->InvoicedQuantity);
}

void write_summaries(FieldSequence& sequence,
                     const ListValue<TaxCategorySummary>& summaries) {
  add_int(sequence, static_cast<std::int32_t>(count(summaries)));
  if (!summaries) return;
  for (const auto& summary : *summaries) {
    if (summary == nullptr) {
      add_empties(sequence, kTaxCategorySummaryFields);
      continue;
    }
    add_decimal(sequence, summary->ClassifiedTaxCategory);
    add_decimal(sequence, summary->TaxExclusiveAmount);
    add_decimal(sequence, summary->TaxAmount);
    add_decimal(sequence, summary->AlreadyClaimedTaxExclusiveAmount);
    add_decimal(sequence, summary->AlreadyClaimedTaxAmount);
  }
}

void write_monetary_summary(FieldSequence& sequence,
                            const MonetarySummary* summary) {
  if (summary == nullptr) {
    add_empties(sequence, kMonetarySummaryFields);
    return;
  }
  add_decimal(sequence, summary->PayableRoundingAmount);
  add_decimal(sequence, summary->PaidDepositsAmount);
}

std::unique_ptr<SupplierParty> read_supplier_party(FieldSequence& sequence) {
  auto party = std::make_unique<SupplierParty>();
  read_string(sequence, party->PartyName);
  read_string(sequence, party->CompanyTaxID);
  read_string(sequence, party->CompanyVATID);
  read_string(sequence, party->CompanyRegisterID);
  auto address = std::make_unique<PostalAddress>();
  read_string(sequence, address->StreetName);
  read_string(sequence, address->BuildingNumber);
  read_string(sequence, address->CityName);
  read_string(sequence, address->PostalZone);
  read_string(sequence, address->State);
  read_string(sequence, address->Country);
  party->PostalAddress = std::move(address);
  auto contact = std::make_unique<Contact>();
  read_string(sequence, contact->Name);
  read_string(sequence, contact->Telephone);
  read_string(sequence, contact->EMail);
  party->Contact = std::move(contact);
  return party;
}

std::unique_ptr<CustomerParty> read_customer_party(FieldSequence& sequence) {
  auto party = std::make_unique<CustomerParty>();
  read_string(sequence, party->PartyName);
  read_string(sequence, party->CompanyTaxID);
  read_string(sequence, party->CompanyVATID);
  read_string(sequence, party->CompanyRegisterID);
  read_string(sequence, party->PartyIdentification);
  return party;
}

// The line is dropped again when none of its carried fields is present.
std::unique_ptr<SingleInvoiceLine> read_single_line(FieldSequence& sequence) {
  auto line = std::make_unique<SingleInvoiceLine>();
  read_string(sequence, line->OrderLineID);
  read_string(sequence, line->DeliveryNoteLineID);
  read_string(sequence, line->ItemName);
  read_string(sequence, line->ItemEANCode);
  read_date(sequence, line->PeriodFromDate);
  read_date(sequence, line->PeriodToDate);
  line->InvoicedQuantity = read_decimal(sequence, "InvoicedQuantity");
  bool any = line->OrderLineID || line->DeliveryNoteLineID || line->ItemName ||
             line->ItemEANCode || line->PeriodFromDate || line->PeriodToDate ||
             line->InvoicedQuantity;
  if (!any) return nullptr;
  return line;
}

std::unique_ptr<TaxCategorySummary> read_summary(FieldSequence& sequence) {
  auto summary = std::make_unique<TaxCategorySummary>();
  summary->ClassifiedTaxCategory =
      read_decimal(sequence, "ClassifiedTaxCategory");
  summary->TaxExclusiveAmount = read_decimal(sequence, "TaxExclusiveAmount");
  summary->TaxAmount = read_decimal(sequence, "TaxAmount");
  summary->AlreadyClaimedTaxExclusiveAmount =
      read_decimal(sequence, "AlreadyClaimedTaxExclusiveAmount");
  summary->AlreadyClaimedTaxAmount =
      read_decimal(sequence, "AlreadyClaimedTaxAmount");
  return summary;
}

}  // namespace

void write_invoice(FieldSequence& sequence, const Invoice& invoice) {
  add_field(sequence, invoice.InvoiceID);
  add_date(sequence, invoice.IssueDate);
  add_date(sequence, invoice.TaxPointDate);
  add_field(sequence, invoice.OrderID);
  add_field(sequence, invoice.DeliveryNoteID);
  add_field(sequence, invoice.LocalCurrencyCode);
  add_field(sequence, invoice.ForeignCurrencyCode);
  add_decimal(sequence, invoice.CurrRate);
  add_decimal(sequence, invoice.ReferenceCurrRate);
  write_supplier_party(sequence, invoice.SupplierParty.get());
  write_customer_party(sequence, invoice.CustomerParty.get());
  add_optional_int(sequence, invoice.NumberOfInvoiceLines);
  add_field(sequence, invoice.InvoiceDescription);
  write_single_line(sequence, invoice.SingleInvoiceLine.get());
  write_summaries(sequence, invoice.TaxCategorySummaries);
  write_monetary_summary(sequence, invoice.MonetarySummary.get());
  add_optional_int(sequence, invoice.PaymentMeans);
}

std::unique_ptr<Invoice> read_invoice(FieldSequence& sequence) {
  auto invoice = new_invoice();
  invoice->header = sequence.header;
  read_string(sequence, invoice->InvoiceID);
  read_date(sequence, invoice->IssueDate);
  read_date(sequence, invoice->TaxPointDate);
  read_string(sequence, invoice->OrderID);
  read_string(sequence, invoice->DeliveryNoteID);
  read_string(sequence, invoice->LocalCurrencyCode);
  read_string(sequence, invoice->ForeignCurrencyCode);
  invoice->CurrRate = read_decimal(sequence, "CurrRate");
  invoice->ReferenceCurrRate = read_decimal(sequence, "ReferenceCurrRate");
  invoice->SupplierParty = read_supplier_party(sequence);
  invoice->CustomerParty = read_customer_party(sequence);
  invoice->NumberOfInvoiceLines = read_int(sequence, "NumberOfInvoiceLines");
  read_string(sequence, invoice->InvoiceDescription);
  invoice->SingleInvoiceLine = read_single_line(sequence);
  std::int32_t summaries = read_entry_count(sequence, "TaxCategorySummaries");
  invoice->TaxCategorySummaries.emplace();
  invoice->TaxCategorySummaries->reserve(static_cast<std::size_t>(summaries));
  for (std::int32_t i = 0; i < summaries; ++i)
    invoice->TaxCategorySummaries->append(read_summary(sequence));
  auto monetary = std::make_unique<MonetarySummary>();
  monetary->PayableRoundingAmount =
      read_decimal(sequence, "PayableRoundingAmount");
  monetary->PaidDepositsAmount = read_decimal(sequence, "PaidDepositsAmount");
  invoice->MonetarySummary = std::move(monetary);
  invoice->PaymentMeans = read_int(sequence, "PaymentMeans");
  return invoice;
}

}  // namespace zarnex::code
