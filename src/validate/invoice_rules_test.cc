#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/number.h"
#include "error/error.h"
#include "model/invoice.h"
#include "validate/document_rules.h"

namespace zarnex {
namespace {

std::unique_ptr<TaxCategorySummary> summary(double te, double ta, double ce,
                                            double ca) {
  auto s = std::make_unique<TaxCategorySummary>();
  set_decimal(s->ClassifiedTaxCategory, 0.2);
  set_decimal(s->TaxExclusiveAmount, te);
  set_decimal(s->TaxAmount, ta);
  set_decimal(s->AlreadyClaimedTaxExclusiveAmount, ce);
  set_decimal(s->AlreadyClaimedTaxAmount, ca);
  return s;
}

// An invoice with every required field and a count of separate lines.
std::unique_ptr<Invoice> valid_invoice() {
  auto invoice = new_invoice();
  set_string(invoice->InvoiceID, "F2024-1");
  set_string(invoice->IssueDate, "2024-05-06");
  set_string(invoice->LocalCurrencyCode, "EUR");
  invoice->SupplierParty = std::make_unique<SupplierParty>();
  set_string(invoice->SupplierParty->PartyName, "Supplier");
  invoice->SupplierParty->PostalAddress = std::make_unique<PostalAddress>();
  PostalAddress& address = *invoice->SupplierParty->PostalAddress;
  set_string(address.StreetName, "Main");
  set_string(address.CityName, "Town");
  set_string(address.PostalZone, "12345");
  set_string(address.Country, "SVK");
  invoice->CustomerParty = std::make_unique<CustomerParty>();
  set_string(invoice->CustomerParty->PartyName, "Customer");
  set_int(invoice->NumberOfInvoiceLines, 3);
  invoice->TaxCategorySummaries.emplace();
  invoice->TaxCategorySummaries->append(summary(100, 20, 0, 0));
  invoice->MonetarySummary = std::make_unique<MonetarySummary>();
  set_decimal(invoice->MonetarySummary->PayableRoundingAmount, 0);
  set_decimal(invoice->MonetarySummary->PaidDepositsAmount, 0);
  return invoice;
}

// Replaces the line count with a single line of item Pen, quantity 2.
SingleInvoiceLine& single_line(Invoice& invoice) {
  invoice.NumberOfInvoiceLines.reset();
  invoice.SingleInvoiceLine = std::make_unique<SingleInvoiceLine>();
  set_string(invoice.SingleInvoiceLine->ItemName, "Pen");
  set_decimal(invoice.SingleInvoiceLine->InvoicedQuantity, 2);
  return *invoice.SingleInvoiceLine;
}

TaxCategorySummary& first_summary(Invoice& invoice) {
  return *invoice.TaxCategorySummaries->get(0);
}

struct InvoiceCase {
  const char* what;
  void (*change)(Invoice&);
  const char* expected;  // "" when the invoice must pass
};

class InvoiceRulesTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_error(); }

  static void expect_cases(std::initializer_list<InvoiceCase> cases) {
    for (const InvoiceCase& c : cases) {
      reset_error();
      auto invoice = valid_invoice();
      c.change(*invoice);
      const int rc = document_validate(invoice.get());
      EXPECT_EQ(rc, c.expected[0] ? error_code() : 0) << c.what;
      EXPECT_EQ(rc == 0 ? std::string() : error_text(), c.expected) << c.what;
    }
  }
};

TEST_F(InvoiceRulesTest, HeaderFields) {
  expect_cases({
      {"valid", [](Invoice&) {}, ""},
      {"sub-kind is not examined",
       [](Invoice& i) { i.header.set_sub_kind(15); }, ""},
      {"no id", [](Invoice& i) { i.InvoiceID.reset(); },
       "ERROR_INVALID_VALUE: InvoiceID cannot be NULL. "},
      {"blank id", [](Invoice& i) { set_string(i.InvoiceID, " \t "); },
       "ERROR_INVALID_VALUE: InvoiceID cannot be empty. "},
      {"no issue date", [](Invoice& i) { i.IssueDate.reset(); },
       "ERROR_INVALID_VALUE: IssueDate cannot be NULL. "},
      {"issue date form",
       [](Invoice& i) { set_string(i.IssueDate, "6.5.2024"); },
       "ERROR_INVALID_VALUE: IssueDate is invalid date format. "},
      {"tax point date range",
       [](Invoice& i) { set_string(i.TaxPointDate, "2024-00-01"); },
       "ERROR_XML: TaxPointDate is invalid date format. Day or month is out of "
       "range. "},
      {"tax point date",
       [](Invoice& i) { set_string(i.TaxPointDate, "2024-05-31"); }, ""},
      {"no local currency", [](Invoice& i) { i.LocalCurrencyCode.reset(); },
       "ERROR_INVALID_VALUE: LocalCurrencyCode cannot be NULL. "},
      {"rate without foreign currency", [](Invoice& i) { i.CurrRate = 1.1; },
       "ERROR_INVALID_VALUE: ForeignCurrencyCode cannot be NULL. "},
      {"reference rate without foreign currency",
       [](Invoice& i) { i.ReferenceCurrRate = 1; },
       "ERROR_INVALID_VALUE: ForeignCurrencyCode cannot be NULL. "},
      {"foreign currency without rate",
       [](Invoice& i) { set_string(i.ForeignCurrencyCode, "USD"); },
       "ERROR_INVALID_VALUE: CurrRate cannot be NULL. "},
      {"foreign currency without reference rate",
       [](Invoice& i) {
         set_string(i.ForeignCurrencyCode, "USD");
         i.CurrRate = -3;  // any value is accepted
       },
       "ERROR_INVALID_VALUE: ReferenceCurrRate cannot be NULL. "},
      {"foreign currency lower case",
       [](Invoice& i) { set_string(i.ForeignCurrencyCode, "usd"); },
       "ERROR_INVALID_VALUE: ForeignCurrencyCode is invalid currency code. "},
      {"foreign currency complete",
       [](Invoice& i) {
         set_string(i.ForeignCurrencyCode, "USD");
         i.CurrRate = 1.1;
         i.ReferenceCurrRate = 1;
       },
       ""},
  });
}

TEST_F(InvoiceRulesTest, Parties) {
  expect_cases({
      {"no supplier", [](Invoice& i) { i.SupplierParty.reset(); },
       "ERROR_INVALID_VALUE: SupplierParty cannot be NULL. "},
      {"no supplier name",
       [](Invoice& i) { i.SupplierParty->PartyName.reset(); },
       "ERROR_INVALID_VALUE: SupplierParty/PartyName cannot be NULL. "},
      {"no address", [](Invoice& i) { i.SupplierParty->PostalAddress.reset(); },
       "ERROR_INVALID_VALUE: PostalAddress cannot be NULL. "},
      {"no street",
       [](Invoice& i) { i.SupplierParty->PostalAddress->StreetName.reset(); },
       "ERROR_INVALID_VALUE: StreetName cannot be NULL. "},
      {"no city",
       [](Invoice& i) { i.SupplierParty->PostalAddress->CityName.reset(); },
       "ERROR_INVALID_VALUE: CityName cannot be NULL. "},
      {"no postal zone",
       [](Invoice& i) { i.SupplierParty->PostalAddress->PostalZone.reset(); },
       "ERROR_INVALID_VALUE: PostalZone cannot be NULL. "},
      {"no country",
       [](Invoice& i) { i.SupplierParty->PostalAddress->Country.reset(); },
       "ERROR_INVALID_VALUE: Country cannot be NULL. "},
      {"two-letter country",
       [](Invoice& i) {
         set_string(i.SupplierParty->PostalAddress->Country, "SK");
       },
       "ERROR_INVALID_VALUE: Country is invalid country code. "},
      {"no customer", [](Invoice& i) { i.CustomerParty.reset(); },
       "ERROR_INVALID_VALUE: CustomerParty cannot be NULL. "},
      {"no customer name",
       [](Invoice& i) { i.CustomerParty->PartyName.reset(); },
       "ERROR_INVALID_VALUE: CustomerParty/PartyName cannot be NULL. "},
  });
}

TEST_F(InvoiceRulesTest, Lines) {
  expect_cases({
      {"neither count nor line",
       [](Invoice& i) { i.NumberOfInvoiceLines.reset(); },
       "ERROR_INVALID_VALUE: NumberOfInvoiceLines or the other(s) choice "
       "field(s) cannot be NULL. "},
      {"count and line",
       [](Invoice& i) {
         single_line(i);
         i.NumberOfInvoiceLines = 1;
       },
       "ERROR_INVALID_VALUE: SingleInvoiceLine conflicts with another field "
       "value. "},
      {"count 0", [](Invoice& i) { i.NumberOfInvoiceLines = 0; }, ""},
      {"count -1", [](Invoice& i) { i.NumberOfInvoiceLines = -1; },
       "ERROR_INVALID_VALUE: NumberOfInvoiceLines cannot be negative. "},
      {"single line", [](Invoice& i) { single_line(i); }, ""},
      {"item name and EAN",
       [](Invoice& i) { set_string(single_line(i).ItemEANCode, "123"); },
       "ERROR_INVALID_VALUE: ItemEANCode conflicts with another field value. "},
      {"EAN only",
       [](Invoice& i) {
         SingleInvoiceLine& l = single_line(i);
         l.ItemName.reset();
         set_string(l.ItemEANCode, "123");
       },
       ""},
      {"no item", [](Invoice& i) { single_line(i).ItemName.reset(); },
       "ERROR_INVALID_VALUE: ItemName or the other(s) choice field(s) cannot "
       "be NULL. "},
      {"reversed period",
       [](Invoice& i) {
         SingleInvoiceLine& l = single_line(i);
         set_string(l.PeriodFromDate, "2024-03-01");
         set_string(l.PeriodToDate, "2024-02-01");
       },
       "ERROR_INVALID_VALUE: PeriodFromDate is after PeriodToDate.  "},
      {"from date only",
       [](Invoice& i) {
         set_string(single_line(i).PeriodFromDate, "2024-03-01");
       },
       "ERROR_INVALID_VALUE: PeriodToDate cannot be NULL. "},
      {"no quantity",
       [](Invoice& i) { single_line(i).InvoicedQuantity.reset(); },
       "ERROR_INVALID_VALUE: InvoicedQuantity cannot be NULL. "},
      {"negative quantity",
       [](Invoice& i) { single_line(i).InvoicedQuantity = -2; }, ""},
      {"item before period",
       [](Invoice& i) {
         SingleInvoiceLine& l = single_line(i);
         l.ItemName.reset();
         set_string(l.PeriodFromDate, "x");
       },
       "ERROR_INVALID_VALUE: ItemName or the other(s) choice field(s) cannot "
       "be NULL. "},
  });
}

TEST_F(InvoiceRulesTest, SummariesAndMeans) {
  expect_cases({
      {"no summaries", [](Invoice& i) { i.TaxCategorySummaries.reset(); },
       "ERROR_INVALID_VALUE: TaxCategorySummaries cannot be NULL. "},
      {"empty summaries", [](Invoice& i) { i.TaxCategorySummaries.emplace(); },
       "ERROR_INVALID_VALUE: TaxCategorySummaries list cannot be empty. "},
      {"null summary",
       [](Invoice& i) { i.TaxCategorySummaries->append(nullptr); },
       "ERROR_INVALID_VALUE: TaxCategorySummaries list cannot contain NULL "
       "value. "},
      {"rate 20",
       [](Invoice& i) { first_summary(i).ClassifiedTaxCategory = 20; },
       "ERROR_INVALID_VALUE: ClassifiedTaxCategory is invalid, value must be "
       "between 0 and 1 inclusive. "},
      {"no rate",
       [](Invoice& i) { first_summary(i).ClassifiedTaxCategory.reset(); },
       "ERROR_INVALID_VALUE: ClassifiedTaxCategory cannot be NULL. "},
      {"no tax exclusive",
       [](Invoice& i) { first_summary(i).TaxExclusiveAmount.reset(); },
       "ERROR_INVALID_VALUE: TaxExclusiveAmount cannot be NULL. "},
      {"no tax", [](Invoice& i) { first_summary(i).TaxAmount.reset(); },
       "ERROR_INVALID_VALUE: TaxAmount cannot be NULL. "},
      {"no claimed exclusive",
       [](Invoice& i) {
         first_summary(i).AlreadyClaimedTaxExclusiveAmount.reset();
       },
       "ERROR_INVALID_VALUE: AlreadyClaimedTaxExclusiveAmount cannot be "
       "NULL. "},
      {"no claimed tax",
       [](Invoice& i) { first_summary(i).AlreadyClaimedTaxAmount.reset(); },
       "ERROR_INVALID_VALUE: AlreadyClaimedTaxAmount cannot be NULL. "},
      {"second summary checked",
       [](Invoice& i) {
         auto s = summary(1, 2, 3, 4);
         s->ClassifiedTaxCategory = -0.1;
         i.TaxCategorySummaries->append(std::move(s));
       },
       "ERROR_INVALID_VALUE: ClassifiedTaxCategory is invalid, value must be "
       "between 0 and 1 inclusive. "},
      {"negative amounts pass",
       [](Invoice& i) {
         i.TaxCategorySummaries->append(summary(-1, -2, -3, -4));
       },
       ""},
      {"no monetary summary", [](Invoice& i) { i.MonetarySummary.reset(); },
       "ERROR_INVALID_VALUE: MonetarySummary cannot be NULL. "},
      {"no rounding",
       [](Invoice& i) { i.MonetarySummary->PayableRoundingAmount.reset(); },
       "ERROR_INVALID_VALUE: PayableRoundingAmount cannot be NULL. "},
      {"no deposits",
       [](Invoice& i) { i.MonetarySummary->PaidDepositsAmount.reset(); },
       "ERROR_INVALID_VALUE: PaidDepositsAmount cannot be NULL. "},
      {"means 127", [](Invoice& i) { i.PaymentMeans = 127; }, ""},
      {"means 128", [](Invoice& i) { i.PaymentMeans = 128; },
       "ERROR_INVALID_VALUE: PaymentMeans contains invalid values. "},
      {"summary before monetary summary",
       [](Invoice& i) {
         first_summary(i).TaxAmount.reset();
         i.MonetarySummary.reset();
       },
       "ERROR_INVALID_VALUE: TaxAmount cannot be NULL. "},
  });
}

TEST_F(InvoiceRulesTest, ValidationLeavesDocumentUnchanged) {
  auto invoice = valid_invoice();
  single_line(*invoice);
  EXPECT_EQ(validate::validate_invoice(*invoice), 0);
  // Nothing is derived by validation.
  EXPECT_FALSE(first_summary(*invoice).TaxInclusiveAmount.has_value());
  EXPECT_FALSE(invoice->MonetarySummary->PayableAmount.has_value());
  EXPECT_FALSE(invoice->SingleInvoiceLine->UnitPriceTaxAmount.has_value());
  EXPECT_EQ(first_summary(*invoice).TaxExclusiveAmount, 100.0);
  EXPECT_EQ(invoice->SingleInvoiceLine->InvoicedQuantity, 2.0);
}

// The two-summary invoice from which every derived amount is computed.
std::unique_ptr<Invoice> invoice_to_complete() {
  auto invoice = valid_invoice();
  invoice->TaxCategorySummaries.emplace();
  invoice->TaxCategorySummaries->append(summary(100, 20, 0, 0));
  invoice->TaxCategorySummaries->append(summary(50, 5, 10, 1));
  invoice->MonetarySummary->PayableRoundingAmount = 0.5;
  invoice->MonetarySummary->PaidDepositsAmount = 10;
  return invoice;
}

TEST_F(InvoiceRulesTest, CompleteDerivesSummariesAndTotals) {
  auto invoice = invoice_to_complete();
  SingleInvoiceLine& line = single_line(*invoice);
  // Values already in derived fields are replaced.
  line.UnitPriceTaxAmount = 999;
  invoice->MonetarySummary->PayableAmount = 999;
  ASSERT_EQ(validate::validate_invoice(*invoice), 0);
  document_complete(invoice.get());

  struct Expected {
    double inclusive, claimed_inclusive, difference_exclusive,
        difference_inclusive, difference_tax;
  };
  const Expected per_summary[] = {{120, 0, 100, 120, 20}, {55, 11, 40, 44, 4}};
  for (int i = 0; i < 2; ++i) {
    const TaxCategorySummary& s = *invoice->TaxCategorySummaries->get(i);
    const Expected& e = per_summary[i];
    EXPECT_EQ(s.TaxInclusiveAmount, e.inclusive) << i;
    EXPECT_EQ(s.AlreadyClaimedTaxInclusiveAmount, e.claimed_inclusive) << i;
    EXPECT_EQ(s.DifferenceTaxExclusiveAmount, e.difference_exclusive) << i;
    EXPECT_EQ(s.DifferenceTaxInclusiveAmount, e.difference_inclusive) << i;
    EXPECT_EQ(s.DifferenceTaxAmount, e.difference_tax) << i;
  }
  const MonetarySummary& m = *invoice->MonetarySummary;
  EXPECT_EQ(m.TaxExclusiveAmount, 150.0);
  EXPECT_EQ(m.TaxInclusiveAmount, 175.0);
  EXPECT_EQ(m.TaxAmount, 25.0);
  EXPECT_EQ(m.AlreadyClaimedTaxExclusiveAmount, 10.0);
  EXPECT_EQ(m.AlreadyClaimedTaxInclusiveAmount, 11.0);
  EXPECT_EQ(m.AlreadyClaimedTaxAmount, 1.0);
  EXPECT_EQ(m.DifferenceTaxExclusiveAmount, 140.0);
  EXPECT_EQ(m.DifferenceTaxInclusiveAmount, 164.0);
  EXPECT_EQ(m.DifferenceTaxAmount, 24.0);
  EXPECT_EQ(m.PayableAmount, 154.5);
  EXPECT_EQ(m.PayableRoundingAmount, 0.5);
  EXPECT_EQ(m.PaidDepositsAmount, 10.0);

  EXPECT_EQ(line.UnitPriceTaxExclusiveAmount, 75.0);
  EXPECT_EQ(line.UnitPriceTaxInclusiveAmount, 87.5);
  EXPECT_EQ(line.UnitPriceTaxAmount, 12.5);
  EXPECT_EQ(error_code(), 0);
}

TEST_F(InvoiceRulesTest, CompleteEdgeCases) {
  // Quantity 0 gives unit prices of 0, not a division by zero.
  auto invoice = invoice_to_complete();
  single_line(*invoice).InvoicedQuantity = 0;
  validate::complete_invoice(*invoice);
  EXPECT_EQ(invoice->SingleInvoiceLine->UnitPriceTaxExclusiveAmount, 0.0);
  EXPECT_EQ(invoice->SingleInvoiceLine->UnitPriceTaxInclusiveAmount, 0.0);
  EXPECT_EQ(invoice->SingleInvoiceLine->UnitPriceTaxAmount, 0.0);

  // Without a monetary summary the summaries are still derived, the unit
  // prices are not.
  invoice = invoice_to_complete();
  single_line(*invoice);
  invoice->MonetarySummary.reset();
  validate::complete_invoice(*invoice);
  EXPECT_EQ(first_summary(*invoice).TaxInclusiveAmount, 120.0);
  EXPECT_EQ(invoice->TaxCategorySummaries->get(1)->DifferenceTaxInclusiveAmount,
            44.0);
  EXPECT_FALSE(invoice->SingleInvoiceLine->UnitPriceTaxExclusiveAmount);

  // Absent inputs count as 0; null entries are skipped; absent rounding and
  // deposits leave the payable amount at the difference total.
  invoice = invoice_to_complete();
  invoice->TaxCategorySummaries->append(nullptr);
  invoice->TaxCategorySummaries->get(1)->AlreadyClaimedTaxAmount.reset();
  invoice->MonetarySummary->PayableRoundingAmount.reset();
  invoice->MonetarySummary->PaidDepositsAmount.reset();
  validate::complete_invoice(*invoice);
  EXPECT_EQ(invoice->TaxCategorySummaries->get(1)->DifferenceTaxAmount, 5.0);
  EXPECT_EQ(invoice->MonetarySummary->DifferenceTaxInclusiveAmount, 165.0);
  EXPECT_EQ(invoice->MonetarySummary->PayableAmount, 165.0);

  // Without summaries nothing is derived.
  invoice = invoice_to_complete();
  invoice->TaxCategorySummaries.reset();
  validate::complete_invoice(*invoice);
  EXPECT_FALSE(invoice->MonetarySummary->TaxExclusiveAmount);
  EXPECT_FALSE(invoice->MonetarySummary->PayableAmount);
}

// Derived amounts are the exact results of the texts that were written,
// with no more places than those: 99999999.99 + 22999999.99 is
// 122999999.98, not the 122999999.97999999 of the doubles.
TEST_F(InvoiceRulesTest, CompleteKeepsTheDigitsOfLargeAmounts) {
  auto invoice = valid_invoice();
  invoice->TaxCategorySummaries.emplace();
  invoice->TaxCategorySummaries->append(
      summary(99999999.99, 22999999.99, 0.01, 0));
  invoice->TaxCategorySummaries->append(summary(0.1, 0.2, 0, 0));
  set_decimal(invoice->MonetarySummary->PaidDepositsAmount, 0.3);
  set_decimal(invoice->MonetarySummary->PayableRoundingAmount, -0.001);
  single_line(*invoice);
  set_decimal(invoice->SingleInvoiceLine->InvoicedQuantity, 3);
  ASSERT_EQ(validate::validate_invoice(*invoice), 0);
  validate::complete_invoice(*invoice);

  const TaxCategorySummary& big = first_summary(*invoice);
  EXPECT_EQ(big.TaxInclusiveAmount, 122999999.98);
  EXPECT_EQ(big.AlreadyClaimedTaxInclusiveAmount, 0.01);
  EXPECT_EQ(big.DifferenceTaxExclusiveAmount, 99999999.98);
  EXPECT_EQ(big.DifferenceTaxInclusiveAmount, 122999999.97);
  EXPECT_EQ(big.DifferenceTaxAmount, 22999999.99);
  const TaxCategorySummary& small = *invoice->TaxCategorySummaries->get(1);
  EXPECT_EQ(small.TaxInclusiveAmount, 0.3);  // not 0.30000000000000004

  const MonetarySummary& m = *invoice->MonetarySummary;
  EXPECT_EQ(m.TaxExclusiveAmount, 100000000.09);
  EXPECT_EQ(m.TaxInclusiveAmount, 123000000.28);
  EXPECT_EQ(m.TaxAmount, 23000000.19);
  EXPECT_EQ(m.AlreadyClaimedTaxExclusiveAmount, 0.01);
  EXPECT_EQ(m.DifferenceTaxInclusiveAmount, 123000000.27);
  // 123000000.27 - 0.3 + -0.001: three places, those of the rounding.
  EXPECT_EQ(m.PayableAmount, 122999999.969);
  EXPECT_EQ(code::format_decimal(*m.PayableAmount), "122999999.969");
  // Quotients keep the eight places of before.
  EXPECT_EQ(code::format_decimal(*invoice->SingleInvoiceLine
                                      ->UnitPriceTaxExclusiveAmount),
            "33333333.36333333");
}

}  // namespace
}  // namespace zarnex
