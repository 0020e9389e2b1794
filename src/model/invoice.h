#ifndef ZARNEX_MODEL_INVOICE_H_
#define ZARNEX_MODEL_INVOICE_H_

#include <memory>

#include "model/document.h"
#include "model/value.h"

namespace zarnex {

struct PostalAddress {
  StringValue StreetName;
  StringValue BuildingNumber;
  StringValue CityName;
  StringValue PostalZone;
  StringValue State;
  StringValue Country;
};

struct Contact {
  StringValue Name;
  StringValue Telephone;
  StringValue EMail;
};

struct SupplierParty {
  StringValue PartyName;
  StringValue CompanyTaxID;
  StringValue CompanyVATID;
  StringValue CompanyRegisterID;
  RecordValue<zarnex::PostalAddress> PostalAddress;
  RecordValue<zarnex::Contact> Contact;
};

struct CustomerParty {
  StringValue PartyName;
  StringValue CompanyTaxID;
  StringValue CompanyVATID;
  StringValue CompanyRegisterID;
  StringValue PartyIdentification;
};

struct SingleInvoiceLine {
  StringValue OrderLineID;
  StringValue DeliveryNoteLineID;
  StringValue ItemName;
  StringValue ItemEANCode;
  StringValue PeriodFromDate;  // YYYY-MM-DD
  StringValue PeriodToDate;    // YYYY-MM-DD
  DecimalValue InvoicedQuantity;
  DecimalValue UnitPriceTaxExclusiveAmount;  // derived
  DecimalValue UnitPriceTaxInclusiveAmount;  // derived
  DecimalValue UnitPriceTaxAmount;           // derived
};

struct TaxCategorySummary {
  DecimalValue ClassifiedTaxCategory;             // a rate from 0 to 1
  DecimalValue TaxExclusiveAmount;
  DecimalValue TaxInclusiveAmount;                // derived
  DecimalValue TaxAmount;
  DecimalValue AlreadyClaimedTaxExclusiveAmount;
  DecimalValue AlreadyClaimedTaxInclusiveAmount;  // derived
  DecimalValue AlreadyClaimedTaxAmount;
  DecimalValue DifferenceTaxExclusiveAmount;      // derived
  DecimalValue DifferenceTaxInclusiveAmount;      // derived
  DecimalValue DifferenceTaxAmount;               // derived
};

struct MonetarySummary {
  DecimalValue TaxExclusiveAmount;                // derived
  DecimalValue TaxInclusiveAmount;                // derived
  DecimalValue TaxAmount;                         // derived
  DecimalValue AlreadyClaimedTaxExclusiveAmount;  // derived
  DecimalValue AlreadyClaimedTaxInclusiveAmount;  // derived
  DecimalValue AlreadyClaimedTaxAmount;           // derived
  DecimalValue DifferenceTaxExclusiveAmount;      // derived
  DecimalValue DifferenceTaxInclusiveAmount;      // derived
  DecimalValue DifferenceTaxAmount;               // derived
  DecimalValue PayableRoundingAmount;
  DecimalValue PaidDepositsAmount;
  DecimalValue PayableAmount;                     // derived
};

/// PaymentMeans bits.
inline constexpr int kPaymentMeansCount = 7;

/// An invoice of one of the five sub-kinds (header byte 1).
class Invoice : public Document {
 public:
  Invoice() : Document(DocumentType::kInvoice) {}

  // InvoiceID is the frame's first field.
  StringValue IssueDate;     // YYYY-MM-DD
  StringValue TaxPointDate;  // YYYY-MM-DD
  StringValue OrderID;
  StringValue DeliveryNoteID;
  StringValue LocalCurrencyCode;
  StringValue ForeignCurrencyCode;
  DecimalValue CurrRate;
  DecimalValue ReferenceCurrRate;
  RecordValue<zarnex::SupplierParty> SupplierParty;
  RecordValue<zarnex::CustomerParty> CustomerParty;
  IntValue NumberOfInvoiceLines;
  StringValue InvoiceDescription;
  RecordValue<zarnex::SingleInvoiceLine> SingleInvoiceLine;
  ListValue<TaxCategorySummary> TaxCategorySummaries;
  RecordValue<zarnex::MonetarySummary> MonetarySummary;
  IntValue PaymentMeans;  // bit set, moneyTransfer = 1 ... other = 64
};

/// A new, empty Invoice (header 0x10 0x00, every field absent).
std::unique_ptr<Invoice> new_invoice();

}  // namespace zarnex

#endif  // ZARNEX_MODEL_INVOICE_H_
