#ifndef ZARNEX_CODE_TEST_DOCUMENTS_H_
#define ZARNEX_CODE_TEST_DOCUMENTS_H_

// Documents and field sequences built in code for the tests of code/ and
// tests/. Used by tests only.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "code/field_sequence.h"
#include "model/invoice.h"
#include "model/invoice_items.h"
#include "model/pay.h"

namespace zarnex::code::testing {

/// A Pay that passes validation: one payment order of 100 EUR to one
/// account, with @a note as its PaymentNote.
inline std::unique_ptr<Pay> valid_pay(std::string note = "test") {
  auto pay = new_pay();
  pay->InvoiceID = "INV-1";
  auto payment = std::make_unique<Payment>();
  payment->PaymentOptions = kPaymentOrder;
  payment->Amount = 100.0;
  payment->CurrencyCode = "EUR";
  payment->PaymentDueDate = "2015-01-31";
  payment->VariableSymbol = "123";
  payment->PaymentNote = std::move(note);
  auto account = std::make_unique<BankAccount>();
  account->IBAN = "SK3112000000198742637541";
  account->BIC = "TATRSKBX";
  payment->BankAccounts.emplace();
  payment->BankAccounts->append(std::move(account));
  pay->Payments.emplace();
  pay->Payments->append(std::move(payment));
  return pay;
}

/// An Invoice that passes validation, with one tax category summary.
inline std::unique_ptr<Invoice> valid_invoice() {
  auto invoice = new_invoice();
  invoice->InvoiceID = "F2015-1";
  invoice->IssueDate = "2015-02-01";
  invoice->LocalCurrencyCode = "EUR";
  auto supplier = std::make_unique<SupplierParty>();
  supplier->PartyName = "Supplier Ltd";
  auto address = std::make_unique<PostalAddress>();
  address->StreetName = "Main";
  address->CityName = "Town";
  address->PostalZone = "81101";
  address->Country = "SVK";
  supplier->PostalAddress = std::move(address);
  invoice->SupplierParty = std::move(supplier);
  auto customer = std::make_unique<CustomerParty>();
  customer->PartyName = "Customer Inc";
  invoice->CustomerParty = std::move(customer);
  invoice->NumberOfInvoiceLines = 3;
  auto summary = std::make_unique<TaxCategorySummary>();
  summary->ClassifiedTaxCategory = 0.2;
  summary->TaxExclusiveAmount = 100.0;
  summary->TaxAmount = 20.0;
  summary->AlreadyClaimedTaxExclusiveAmount = 0.0;
  summary->AlreadyClaimedTaxAmount = 0.0;
  invoice->TaxCategorySummaries.emplace();
  invoice->TaxCategorySummaries->append(std::move(summary));
  auto money = std::make_unique<MonetarySummary>();
  money->PayableRoundingAmount = 0.0;
  money->PaidDepositsAmount = 0.0;
  invoice->MonetarySummary = std::move(money);
  invoice->PaymentMeans = 1;
  return invoice;
}

/// An InvoiceItems that passes validation, with one line.
inline std::unique_ptr<InvoiceItems> valid_invoice_items() {
  auto items = new_invoice_items();
  items->InvoiceID = "F1";
  items->FirstInvoiceLineID = "2";
  auto line = std::make_unique<InvoiceLine>();
  line->ItemName = "Pen";
  line->InvoicedQuantity = 10.0;
  line->UnitPriceTaxExclusiveAmount = 1.5;
  line->UnitPriceTaxAmount = 0.3;
  line->ClassifiedTaxCategory = 0.2;
  items->InvoiceLines.emplace();
  items->InvoiceLines->append(std::move(line));
  return items;
}

/// The fields that write_document gives for @a document.
inline std::vector<std::string> fields_of(const Document& document) {
  FieldSequence sequence;
  write_document(sequence, &document);
  return std::vector<std::string>(sequence.fields.begin(),
                                  sequence.fields.end());
}

/// A sequence of document type @a type holding @a fields, ready to read.
inline FieldSequence sequence_of(int type, std::vector<std::string> fields) {
  FieldSequence sequence;
  sequence.header.byte0 = static_cast<std::uint8_t>(type << 4);
  sequence.fields = FieldList(fields);
  return sequence;
}

}  // namespace zarnex::code::testing

#endif  // ZARNEX_CODE_TEST_DOCUMENTS_H_
