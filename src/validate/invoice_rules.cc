// The rules and the derived amounts of an Invoice document.

#include "model/invoice.h"
#include "validate/collect.h"
#include "validate/derived_amount.h"
#include "validate/document_rules.h"
#include "validate/validators.h"

namespace zarnex::validate {
namespace {

// The number of PaymentMeans members.
constexpr int kPaymentMeansBits = 7;

int check_currencies(const Invoice& invoice) {
  if (int rc =
          check_currency_code("LocalCurrencyCode", invoice.LocalCurrencyCode))
    return rc;
  // A foreign currency comes with both of its rates, or not at all.
  if (invoice.ForeignCurrencyCode || invoice.CurrRate ||
      invoice.ReferenceCurrRate) {
    if (int rc = check_currency_code("ForeignCurrencyCode",
                                     invoice.ForeignCurrencyCode))
      return rc;
    if (int rc = check_not_null("CurrRate", invoice.CurrRate)) return rc;
    if (int rc = check_not_null("ReferenceCurrRate", invoice.ReferenceCurrRate))
      return rc;
  }
  return 0;
}

int check_supplier(const RecordValue<SupplierParty>& supplier) {
  if (int rc = check_not_null("SupplierParty", supplier)) return rc;
  if (int rc = check_not_null("SupplierParty/PartyName", supplier->PartyName))
    return rc;
  if (int rc = check_not_null("PostalAddress", supplier->PostalAddress))
    return rc;
  const PostalAddress& address = *supplier->PostalAddress;
  if (int rc = check_not_null("StreetName", address.StreetName)) return rc;
  if (int rc = check_not_null("CityName", address.CityName)) return rc;
  if (int rc = check_not_null("PostalZone", address.PostalZone)) return rc;
  return check_country_code("Country", address.Country);
}

int check_customer(const RecordValue<CustomerParty>& customer) {
  if (int rc = check_not_null("CustomerParty", customer)) return rc;
  return check_not_null("CustomerParty/PartyName", customer->PartyName);
}

// Either a count of lines (carried in separate InvoiceItems) or one line.
int check_lines(const Invoice& invoice) {
  if (int rc = check_choice(
          {{"NumberOfInvoiceLines", invoice.NumberOfInvoiceLines.has_value()},
           {"SingleInvoiceLine", invoice.SingleInvoiceLine != nullptr}}))
    return rc;
  if (const SingleInvoiceLine* line = invoice.SingleInvoiceLine.get()) {
    if (int rc = check_choice({{"ItemName", line->ItemName.has_value()},
                               {"ItemEANCode", line->ItemEANCode.has_value()}}))
      return rc;
    if (int rc = check_period(line->PeriodFromDate, line->PeriodToDate))
      return rc;
    if (int rc = check_not_null("InvoicedQuantity", line->InvoicedQuantity))
      return rc;
  }
  if (invoice.NumberOfInvoiceLines) {
    return check_non_negative_int("NumberOfInvoiceLines",
                                  invoice.NumberOfInvoiceLines);
  }
  return 0;
}

int check_summaries(const ListValue<TaxCategorySummary>& summaries) {
  if (int rc = check_list("TaxCategorySummaries", summaries)) return rc;
  for (const auto& summary : *summaries) {
    if (int rc = check_unit_interval("ClassifiedTaxCategory",
                                     summary->ClassifiedTaxCategory))
      return rc;
    if (int rc =
            check_not_null("TaxExclusiveAmount", summary->TaxExclusiveAmount))
      return rc;
    if (int rc = check_not_null("TaxAmount", summary->TaxAmount)) return rc;
    if (int rc = check_not_null("AlreadyClaimedTaxExclusiveAmount",
                                summary->AlreadyClaimedTaxExclusiveAmount))
      return rc;
    if (int rc = check_not_null("AlreadyClaimedTaxAmount",
                                summary->AlreadyClaimedTaxAmount))
      return rc;
  }
  return 0;
}

int check_monetary_summary(const RecordValue<MonetarySummary>& summary) {
  if (int rc = check_not_null("MonetarySummary", summary)) return rc;
  if (int rc = check_not_null("PayableRoundingAmount",
                              summary->PayableRoundingAmount))
    return rc;
  return check_not_null("PaidDepositsAmount", summary->PaidDepositsAmount);
}

// The nine amounts that a tax category summary and the monetary summary
// share: the carried pair of each kind, the inclusive sum, the differences.
// Each carries the places of the texts it was computed from
// (DerivedAmount), so that sums keep the digits that were written.
struct Amounts {
  DerivedAmount tax_exclusive;
  DerivedAmount tax_inclusive;
  DerivedAmount tax;
  DerivedAmount claimed_exclusive;
  DerivedAmount claimed_inclusive;
  DerivedAmount claimed_tax;
  DerivedAmount difference_exclusive;
  DerivedAmount difference_inclusive;
  DerivedAmount difference_tax;

  void add(const Amounts& other) {
    tax_exclusive += other.tax_exclusive;
    tax_inclusive += other.tax_inclusive;
    tax += other.tax;
    claimed_exclusive += other.claimed_exclusive;
    claimed_inclusive += other.claimed_inclusive;
    claimed_tax += other.claimed_tax;
    difference_exclusive += other.difference_exclusive;
    difference_inclusive += other.difference_inclusive;
    difference_tax += other.difference_tax;
  }
};

// Derives and stores the five computed amounts of @a summary; returns all
// nine for the totals.
Amounts complete_summary(TaxCategorySummary& summary) {
  Amounts a;
  a.tax_exclusive = DerivedAmount(summary.TaxExclusiveAmount);
  a.tax = DerivedAmount(summary.TaxAmount);
  a.claimed_exclusive = DerivedAmount(summary.AlreadyClaimedTaxExclusiveAmount);
  a.claimed_tax = DerivedAmount(summary.AlreadyClaimedTaxAmount);
  a.tax_inclusive = a.tax_exclusive + a.tax;
  a.claimed_inclusive = a.claimed_exclusive + a.claimed_tax;
  a.difference_exclusive = a.tax_exclusive - a.claimed_exclusive;
  a.difference_inclusive = a.tax_inclusive - a.claimed_inclusive;
  a.difference_tax = a.tax - a.claimed_tax;
  set_decimal(summary.TaxInclusiveAmount, a.tax_inclusive.value());
  set_decimal(summary.AlreadyClaimedTaxInclusiveAmount,
              a.claimed_inclusive.value());
  set_decimal(summary.DifferenceTaxExclusiveAmount,
              a.difference_exclusive.value());
  set_decimal(summary.DifferenceTaxInclusiveAmount,
              a.difference_inclusive.value());
  set_decimal(summary.DifferenceTaxAmount, a.difference_tax.value());
  return a;
}

}  // namespace

int validate_invoice(const Invoice& invoice) {
  if (int rc = check_not_empty("InvoiceID", invoice.InvoiceID)) return rc;
  if (int rc = check_required_date("IssueDate", invoice.IssueDate)) return rc;
  if (invoice.TaxPointDate) {
    if (int rc = check_date("TaxPointDate", *invoice.TaxPointDate)) return rc;
  }
  if (int rc = check_currencies(invoice)) return rc;
  if (int rc = check_supplier(invoice.SupplierParty)) return rc;
  if (int rc = check_customer(invoice.CustomerParty)) return rc;
  if (int rc = check_lines(invoice)) return rc;
  if (int rc = check_summaries(invoice.TaxCategorySummaries)) return rc;
  if (int rc = check_monetary_summary(invoice.MonetarySummary)) return rc;
  if (invoice.PaymentMeans) {
    return check_bits("PaymentMeans", invoice.PaymentMeans, kPaymentMeansBits);
  }
  return 0;
}

void complete_invoice(Invoice& invoice) {
  if (!invoice.TaxCategorySummaries) return;
  Amounts totals;
  for (const auto& summary : *invoice.TaxCategorySummaries) {
    if (!summary) continue;
    const Amounts amounts = complete_summary(*summary);
    if (invoice.MonetarySummary) totals.add(amounts);
  }
  if (!invoice.MonetarySummary) return;

  MonetarySummary& money = *invoice.MonetarySummary;
  set_decimal(money.TaxExclusiveAmount, totals.tax_exclusive.value());
  set_decimal(money.TaxInclusiveAmount, totals.tax_inclusive.value());
  set_decimal(money.TaxAmount, totals.tax.value());
  set_decimal(money.AlreadyClaimedTaxExclusiveAmount,
              totals.claimed_exclusive.value());
  set_decimal(money.AlreadyClaimedTaxInclusiveAmount,
              totals.claimed_inclusive.value());
  set_decimal(money.AlreadyClaimedTaxAmount, totals.claimed_tax.value());
  set_decimal(money.DifferenceTaxExclusiveAmount,
              totals.difference_exclusive.value());
  set_decimal(money.DifferenceTaxInclusiveAmount,
              totals.difference_inclusive.value());
  set_decimal(money.DifferenceTaxAmount, totals.difference_tax.value());
  const DerivedAmount payable = totals.difference_inclusive -
                                DerivedAmount(money.PaidDepositsAmount) +
                                DerivedAmount(money.PayableRoundingAmount);
  set_decimal(money.PayableAmount, payable.value());

  if (!invoice.SingleInvoiceLine) return;
  SingleInvoiceLine& line = *invoice.SingleInvoiceLine;
  const double quantity = decimal_or_zero(line.InvoicedQuantity);
  if (quantity == 0.0) {
    set_decimal(line.UnitPriceTaxExclusiveAmount, 0.0);
    set_decimal(line.UnitPriceTaxInclusiveAmount, 0.0);
    set_decimal(line.UnitPriceTaxAmount, 0.0);
  } else {
    // Quotients, not rounded: written with eight places at most. They
    // divide the totals as written.
    set_decimal(line.UnitPriceTaxExclusiveAmount,
                totals.tax_exclusive.value() / quantity);
    set_decimal(line.UnitPriceTaxInclusiveAmount,
                totals.tax_inclusive.value() / quantity);
    set_decimal(line.UnitPriceTaxAmount, totals.tax.value() / quantity);
  }
}

// The groups of validate_invoice(), in its order.
void collect_invoice_failures(const Invoice& invoice,
                              const RuleReport& report) {
  if (check_not_empty("InvoiceID", invoice.InvoiceID)) report("");
  if (check_required_date("IssueDate", invoice.IssueDate)) report("");
  if (invoice.TaxPointDate && check_date("TaxPointDate", *invoice.TaxPointDate))
    report("");
  if (check_currencies(invoice)) report("");
  if (check_supplier(invoice.SupplierParty)) report("SupplierParty");
  if (check_customer(invoice.CustomerParty)) report("CustomerParty");
  if (check_lines(invoice)) report("");
  if (check_summaries(invoice.TaxCategorySummaries))
    report("TaxCategorySummaries");
  if (check_monetary_summary(invoice.MonetarySummary))
    report("MonetarySummary");
  if (invoice.PaymentMeans &&
      check_bits("PaymentMeans", invoice.PaymentMeans, kPaymentMeansBits))
    report("");
}

}  // namespace zarnex::validate
