#include "validate/document_rules.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "error/error.h"
#include "model/invoice.h"
#include "model/invoice_items.h"
#include "model/pay.h"
#include "validate/collect.h"

namespace zarnex {
namespace {

class DocumentRulesTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_error(); }

  // The status and error text of document_validate().
  static std::string outcome(const Document& document) {
    reset_error();
    const int status = document_validate(&document);
    return std::to_string(status) + " " + (status ? error_text() : "");
  }
};

TEST_F(DocumentRulesTest, NullDocument) {
  document_complete(nullptr);
  EXPECT_EQ(document_validate(nullptr), -2);
  EXPECT_EQ(error_text(), "ERROR_NULL_POINTER: Document cannot be null.  ");
}

// Each kind gets its own rules: the first failure of an empty document tells
// which rules ran.
TEST_F(DocumentRulesTest, EachKindGetsItsRules) {
  auto pay = new_pay();
  EXPECT_EQ(outcome(*pay), "4 ERROR_INVALID_VALUE: Payments cannot be NULL. ");
  EXPECT_EQ(validate::validate_pay(*pay), 4);

  auto invoice = new_invoice();
  set_string(invoice->InvoiceID, "F1");
  EXPECT_EQ(outcome(*invoice),
            "4 ERROR_INVALID_VALUE: IssueDate cannot be NULL. ");

  auto items = new_invoice_items();
  set_string(items->InvoiceID, "F1");
  EXPECT_EQ(outcome(*items),
            "4 ERROR_INVALID_VALUE: FirstInvoiceLineID cannot be NULL. ");
}

// A header changed to name another type does not change which rules run or
// what is completed: both go by the document's class, as the readers and
// writers check the class before they touch a kind's fields.
TEST_F(DocumentRulesTest, DispatchGoesByKindNotByHeader) {
  auto pay = new_pay();
  pay->header = DocumentHeader{0x10, 0x00};  // names an Invoice
  EXPECT_EQ(outcome(*pay), "4 ERROR_INVALID_VALUE: Payments cannot be NULL. ");
  document_complete(pay.get());  // a Pay has nothing to complete

  auto invoice = new_invoice();
  invoice->header = DocumentHeader{0x00, 0x00};  // names a Pay
  invoice->TaxCategorySummaries.emplace();
  auto summary = std::make_unique<TaxCategorySummary>();
  set_decimal(summary->TaxExclusiveAmount, 10);
  set_decimal(summary->TaxAmount, 2);
  invoice->TaxCategorySummaries->append(std::move(summary));
  EXPECT_EQ(outcome(*invoice),
            "4 ERROR_INVALID_VALUE: InvoiceID cannot be NULL. ");
  document_complete(invoice.get());
  EXPECT_EQ(invoice->TaxCategorySummaries->get(0)->TaxInclusiveAmount, 12.0);

  auto items = new_invoice_items();
  items->header = DocumentHeader{0x30, 0x00};  // names no kind at all
  items->InvoiceLines.emplace();
  auto line = std::make_unique<InvoiceLine>();
  set_decimal(line->InvoicedQuantity, 3);
  set_decimal(line->UnitPriceTaxExclusiveAmount, 10);
  set_decimal(line->UnitPriceTaxAmount, 1);
  items->InvoiceLines->append(std::move(line));
  set_string(items->InvoiceID, "F1");
  EXPECT_EQ(outcome(*items),
            "4 ERROR_INVALID_VALUE: FirstInvoiceLineID cannot be NULL. ");
  document_complete(items.get());
  EXPECT_EQ(items->InvoiceLines->get(0)->LineTaxInclusiveAmount, 33.0);

  // Check mode picks its groups the same way.
  std::vector<std::string> failures;
  validate::collect_failures(*items, [&](std::string_view) {
    failures.push_back(error_text());
  });
  ASSERT_FALSE(failures.empty());
  EXPECT_EQ(failures.front(),
            "ERROR_INVALID_VALUE: FirstInvoiceLineID cannot be NULL. ");
}

// Completion runs only on what validation passed, and it never changes what
// validation says about the document.
TEST_F(DocumentRulesTest, CompletedDocumentStaysValid) {
  auto items = new_invoice_items();
  set_string(items->InvoiceID, "F1");
  set_string(items->FirstInvoiceLineID, "1");
  items->InvoiceLines.emplace();
  auto line = std::make_unique<InvoiceLine>();
  set_string(line->ItemName, "Pen");
  set_decimal(line->InvoicedQuantity, 2);
  set_decimal(line->UnitPriceTaxExclusiveAmount, 1.25);
  set_decimal(line->UnitPriceTaxAmount, 0.25);
  set_decimal(line->ClassifiedTaxCategory, 0.2);
  items->InvoiceLines->append(std::move(line));
  ASSERT_EQ(outcome(*items), "0 ");
  document_complete(items.get());
  EXPECT_EQ(outcome(*items), "0 ");
  const InvoiceLine& done = *items->InvoiceLines->get(0);
  EXPECT_EQ(done.UnitPriceTaxInclusiveAmount, 1.5);
  EXPECT_EQ(done.LineTaxExclusiveAmount, 2.5);
  EXPECT_EQ(done.LineTaxInclusiveAmount, 3.0);
  EXPECT_EQ(done.LineTaxAmount, 0.5);
}

}  // namespace
}  // namespace zarnex
