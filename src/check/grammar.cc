#include "check/grammar.h"

#include "model/vocabulary.h"

namespace zarnex::check {
namespace {

// Shorthands for the tables below.
constexpr Element text(std::string_view name) { return {name, Form::kText}; }
constexpr Element decimal(std::string_view name) {
  return {name, Form::kDecimal};
}
constexpr Element date(std::string_view name) { return {name, Form::kDate}; }

// Pay.
constexpr Element kBankAccount[] = {{"IBAN", Form::kIban}, {"BIC", Form::kBic}};
constexpr Element kBankAccountItem[] = {
    {"BankAccount", Form::kRecord, kBankAccount}};
constexpr Element kStandingOrder[] = {
    {"Day", Form::kInteger},
    {"Month", Form::kFlags, {}, kMonthNames},
    {"Periodicity", Form::kEnum, {}, kPeriodicityNames},
    date("LastDate")};
constexpr Element kDirectDebit[] = {
    {"DirectDebitScheme", Form::kEnum, {}, kDirectDebitSchemeNames},
    {"DirectDebitType", Form::kEnum, {}, kDirectDebitTypeNames},
    text("VariableSymbol"),
    text("SpecificSymbol"),
    text("MandateID"),
    text("CreditorID"),
    text("ContractID"),
    text("OriginatorsReferenceInformation"),
    decimal("MaxAmount"),
    date("ValidTillDate")};
constexpr Element kPayment[] = {
    {"PaymentOptions", Form::kFlags, {}, kPaymentOptionsNames},
    decimal("Amount"),
    {"CurrencyCode", Form::kCurrency},
    date("PaymentDueDate"),
    text("VariableSymbol"),
    text("ConstantSymbol"),
    text("SpecificSymbol"),
    text("OriginatorsReferenceInformation"),
    text("PaymentNote"),
    {"BankAccounts", Form::kList, kBankAccountItem},
    {"StandingOrderExt", Form::kRecord, kStandingOrder},
    {"DirectDebitExt", Form::kRecord, kDirectDebit}};
constexpr Element kPaymentItem[] = {{"Payment", Form::kRecord, kPayment}};
constexpr Element kPay[] = {text("InvoiceID"),
                            {"Payments", Form::kList, kPaymentItem}};

// Invoice. The amounts that decoding computes are accepted (a decoded
// document must read back) although no reader takes them.
constexpr Element kPostalAddress[] = {
    text("StreetName"), text("BuildingNumber"), text("CityName"),
    text("PostalZone"), text("State"),          {"Country", Form::kCountry}};
constexpr Element kContact[] = {text("Name"), text("Telephone"),
                                text("EMail")};
constexpr Element kSupplierParty[] = {
    text("PartyName"),
    text("CompanyTaxID"),
    text("CompanyVATID"),
    text("CompanyRegisterID"),
    {"PostalAddress", Form::kRecord, kPostalAddress},
    {"Contact", Form::kRecord, kContact}};
constexpr Element kCustomerParty[] = {
    text("PartyName"), text("CompanyTaxID"), text("CompanyVATID"),
    text("CompanyRegisterID"), text("PartyIdentification")};
constexpr Element kSingleInvoiceLine[] = {
    text("OrderLineID"),
    text("DeliveryNoteLineID"),
    text("ItemName"),
    text("ItemEANCode"),
    date("PeriodFromDate"),
    date("PeriodToDate"),
    decimal("InvoicedQuantity"),
    decimal("UnitPriceTaxExclusiveAmount"),
    decimal("UnitPriceTaxInclusiveAmount"),
    decimal("UnitPriceTaxAmount")};
constexpr Element kTaxCategorySummary[] = {
    decimal("ClassifiedTaxCategory"),
    decimal("TaxExclusiveAmount"),
    decimal("TaxInclusiveAmount"),
    decimal("TaxAmount"),
    decimal("AlreadyClaimedTaxExclusiveAmount"),
    decimal("AlreadyClaimedTaxInclusiveAmount"),
    decimal("AlreadyClaimedTaxAmount"),
    decimal("DifferenceTaxExclusiveAmount"),
    decimal("DifferenceTaxInclusiveAmount"),
    decimal("DifferenceTaxAmount")};
constexpr Element kTaxCategorySummaryItem[] = {
    {"TaxCategorySummary", Form::kRecord, kTaxCategorySummary}};
constexpr Element kMonetarySummary[] = {
    decimal("TaxExclusiveAmount"),
    decimal("TaxInclusiveAmount"),
    decimal("TaxAmount"),
    decimal("AlreadyClaimedTaxExclusiveAmount"),
    decimal("AlreadyClaimedTaxInclusiveAmount"),
    decimal("AlreadyClaimedTaxAmount"),
    decimal("DifferenceTaxExclusiveAmount"),
    decimal("DifferenceTaxInclusiveAmount"),
    decimal("DifferenceTaxAmount"),
    decimal("PayableRoundingAmount"),
    decimal("PaidDepositsAmount"),
    decimal("PayableAmount")};
constexpr Element kInvoice[] = {
    text("InvoiceID"),
    date("IssueDate"),
    date("TaxPointDate"),
    text("OrderID"),
    text("DeliveryNoteID"),
    {"LocalCurrencyCode", Form::kCurrency},
    {"ForeignCurrencyCode", Form::kCurrency},
    decimal("CurrRate"),
    decimal("ReferenceCurrRate"),
    {"SupplierParty", Form::kRecord, kSupplierParty},
    {"CustomerParty", Form::kRecord, kCustomerParty},
    {"NumberOfInvoiceLines", Form::kInteger},
    text("InvoiceDescription"),
    {"SingleInvoiceLine", Form::kRecord, kSingleInvoiceLine},
    {"TaxCategorySummaries", Form::kList, kTaxCategorySummaryItem},
    {"MonetarySummary", Form::kRecord, kMonetarySummary},
    {"PaymentMeans", Form::kFlags, {}, kPaymentMeansNames}};

// InvoiceItems.
constexpr Element kOrderReference[] = {text("OrderID"), text("OrderLineID")};
constexpr Element kDeliveryNoteReference[] = {text("DeliveryNoteID"),
                                              text("DeliveryNoteLineID")};
constexpr Element kInvoiceLine[] = {
    {"OrderReference", Form::kRecord, kOrderReference},
    {"DeliveryNoteReference", Form::kRecord, kDeliveryNoteReference},
    text("ItemName"),
    text("ItemEANCode"),
    date("PeriodFromDate"),
    date("PeriodToDate"),
    decimal("InvoicedQuantity"),
    decimal("UnitPriceTaxExclusiveAmount"),
    decimal("UnitPriceTaxInclusiveAmount"),
    decimal("UnitPriceTaxAmount"),
    decimal("LineTaxExclusiveAmount"),
    decimal("LineTaxInclusiveAmount"),
    decimal("LineTaxAmount"),
    decimal("ClassifiedTaxCategory")};
constexpr Element kInvoiceLineItem[] = {
    {"InvoiceLine", Form::kRecord, kInvoiceLine}};
constexpr Element kInvoiceItems[] = {
    text("InvoiceID"), text("FirstInvoiceLineID"),
    {"InvoiceLines", Form::kList, kInvoiceLineItem}};

constexpr Element kRoots[] = {{"Pay", Form::kRecord, kPay},
                              {"Invoice", Form::kRecord, kInvoice},
                              {"InvoiceItems", Form::kRecord, kInvoiceItems}};

}  // namespace

const Element* document_grammar(std::string_view root_name) {
  for (const Element& root : kRoots) {
    if (root.name == root_name) return &root;
  }
  return nullptr;
}

const Element* find_child(const Element& parent, std::string_view name) {
  for (const Element& child : parent.children) {
    if (child.name == name) return &child;
  }
  return nullptr;
}

}  // namespace zarnex::check
