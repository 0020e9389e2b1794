#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/number.h"
#include "error/error.h"
#include "model/invoice_items.h"
#include "validate/document_rules.h"

namespace zarnex {
namespace {

// A line of item Pen: quantity 3, unit price 10 and tax 2, rate 0.2.
std::unique_ptr<InvoiceLine> valid_line() {
  auto line = std::make_unique<InvoiceLine>();
  set_string(line->ItemName, "Pen");
  set_decimal(line->InvoicedQuantity, 3);
  set_decimal(line->UnitPriceTaxExclusiveAmount, 10);
  set_decimal(line->UnitPriceTaxAmount, 2);
  set_decimal(line->ClassifiedTaxCategory, 0.2);
  return line;
}

std::unique_ptr<InvoiceItems> valid_items() {
  auto items = new_invoice_items();
  set_string(items->InvoiceID, "F1");
  set_string(items->FirstInvoiceLineID, "2");
  items->InvoiceLines.emplace();
  items->InvoiceLines->append(valid_line());
  return items;
}

InvoiceLine& first_line(InvoiceItems& items) {
  return *items.InvoiceLines->get(0);
}

struct ItemsCase {
  const char* what;
  void (*change)(InvoiceItems&);
  const char* expected;  // "" when the document must pass
};

class InvoiceItemsRulesTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_error(); }

  static void expect_cases(std::initializer_list<ItemsCase> cases) {
    for (const ItemsCase& c : cases) {
      reset_error();
      auto items = valid_items();
      c.change(*items);
      const int rc = document_validate(items.get());
      EXPECT_EQ(rc, c.expected[0] ? error_code() : 0) << c.what;
      EXPECT_EQ(rc == 0 ? std::string() : error_text(), c.expected) << c.what;
    }
  }
};

TEST_F(InvoiceItemsRulesTest, DocumentFields) {
  expect_cases({
      {"valid", [](InvoiceItems&) {}, ""},
      {"no id", [](InvoiceItems& d) { d.InvoiceID.reset(); },
       "ERROR_INVALID_VALUE: InvoiceID cannot be NULL. "},
      {"blank id", [](InvoiceItems& d) { set_string(d.InvoiceID, "\r\n"); },
       "ERROR_INVALID_VALUE: InvoiceID cannot be empty. "},
      {"no first line", [](InvoiceItems& d) { d.FirstInvoiceLineID.reset(); },
       "ERROR_INVALID_VALUE: FirstInvoiceLineID cannot be NULL. "},
      {"empty first line",
       [](InvoiceItems& d) { set_string(d.FirstInvoiceLineID, ""); },
       "ERROR_INVALID_VALUE: FirstInvoiceLineID cannot be empty. "},
      {"first line is any text",
       [](InvoiceItems& d) { set_string(d.FirstInvoiceLineID, "A-7"); }, ""},
      {"no lines", [](InvoiceItems& d) { d.InvoiceLines.reset(); },
       "ERROR_INVALID_VALUE: InvoiceLines cannot be NULL. "},
      {"empty lines", [](InvoiceItems& d) { d.InvoiceLines.emplace(); },
       "ERROR_INVALID_VALUE: InvoiceLines list cannot be empty. "},
      {"null line", [](InvoiceItems& d) { d.InvoiceLines->append(nullptr); },
       "ERROR_INVALID_VALUE: InvoiceLines list cannot contain NULL value. "},
  });
}

TEST_F(InvoiceItemsRulesTest, LineRules) {
  expect_cases({
      {"no item", [](InvoiceItems& d) { first_line(d).ItemName.reset(); },
       "ERROR_INVALID_VALUE: ItemName or the other(s) choice field(s) cannot "
       "be NULL. "},
      {"item name and EAN",
       [](InvoiceItems& d) { set_string(first_line(d).ItemEANCode, "858"); },
       "ERROR_INVALID_VALUE: ItemEANCode conflicts with another field value. "},
      {"from date only",
       [](InvoiceItems& d) {
         set_string(first_line(d).PeriodFromDate, "2024-01-01");
       },
       "ERROR_INVALID_VALUE: PeriodToDate cannot be NULL. "},
      {"period",
       [](InvoiceItems& d) {
         set_string(first_line(d).PeriodFromDate, "2024-01-01");
         set_string(first_line(d).PeriodToDate, "2024-01-31");
       },
       ""},
      {"period range",
       [](InvoiceItems& d) {
         set_string(first_line(d).PeriodFromDate, "2024-01-32");
         set_string(first_line(d).PeriodToDate, "2024-02-01");
       },
       ""},  // month 01 takes any day
      {"period to date out of range",
       [](InvoiceItems& d) {
         set_string(first_line(d).PeriodFromDate, "2024-01-01");
         set_string(first_line(d).PeriodToDate, "2024-12-32");
       },
       "ERROR_XML: PeriodToDate is invalid date format. Day or month is out of "
       "range. "},
      {"no tax per unit",
       [](InvoiceItems& d) { first_line(d).UnitPriceTaxAmount.reset(); },
       "ERROR_INVALID_VALUE: UnitPriceTaxAmount cannot be NULL. "},
      {"no quantity and no tax per unit",
       [](InvoiceItems& d) {
         first_line(d).UnitPriceTaxAmount.reset();
         first_line(d).InvoicedQuantity.reset();
       },
       "ERROR_INVALID_VALUE: InvoicedQuantity cannot be NULL. "},
      {"no unit price",
       [](InvoiceItems& d) {
         first_line(d).UnitPriceTaxExclusiveAmount.reset();
       },
       "ERROR_INVALID_VALUE: UnitPriceTaxExclusiveAmount cannot be NULL. "},
      {"rate 1",
       [](InvoiceItems& d) { first_line(d).ClassifiedTaxCategory = 1; }, ""},
      {"rate 1.5",
       [](InvoiceItems& d) { first_line(d).ClassifiedTaxCategory = 1.5; },
       "ERROR_INVALID_VALUE: ClassifiedTaxCategory is invalid, value must be "
       "between 0 and 1 inclusive. "},
      {"rate -0.1",
       [](InvoiceItems& d) { first_line(d).ClassifiedTaxCategory = -0.1; },
       "ERROR_INVALID_VALUE: ClassifiedTaxCategory is invalid, value must be "
       "between 0 and 1 inclusive. "},
      {"no rate",
       [](InvoiceItems& d) { first_line(d).ClassifiedTaxCategory.reset(); },
       "ERROR_INVALID_VALUE: ClassifiedTaxCategory cannot be NULL. "},
      {"negative quantity and price",
       [](InvoiceItems& d) {
         first_line(d).InvoicedQuantity = -1;
         first_line(d).UnitPriceTaxExclusiveAmount = -10;
       },
       ""},
      {"rules run line by line",
       [](InvoiceItems& d) {
         auto second = valid_line();
         second->ItemName.reset();
         d.InvoiceLines->append(std::move(second));
         auto third = valid_line();
         third->InvoicedQuantity.reset();
         d.InvoiceLines->append(std::move(third));
       },
       "ERROR_INVALID_VALUE: ItemName or the other(s) choice field(s) cannot "
       "be NULL. "},
      {"a line's rules all run before the next line",
       [](InvoiceItems& d) {
         first_line(d).ClassifiedTaxCategory = 2;
         auto second = valid_line();
         second->ItemName.reset();
         d.InvoiceLines->append(std::move(second));
       },
       "ERROR_INVALID_VALUE: ClassifiedTaxCategory is invalid, value must be "
       "between 0 and 1 inclusive. "},
  });
}

TEST_F(InvoiceItemsRulesTest, CompleteDerivesLineAmounts) {
  auto items = valid_items();
  auto zero = valid_line();
  zero->InvoicedQuantity = 0;
  zero->LineTaxAmount = 99;  // replaced
  items->InvoiceLines->append(std::move(zero));
  items->InvoiceLines->append(nullptr);  // skipped
  auto negative = valid_line();
  negative->InvoicedQuantity = -2;
  items->InvoiceLines->append(std::move(negative));
  EXPECT_EQ(items->InvoiceLines->count(), 4u);

  document_complete(items.get());
  struct Expected {
    double unit_inclusive, line_exclusive, line_inclusive, line_tax;
  };
  const Expected expected[] = {
      {12, 30, 36, 6}, {12, 0, 0, 0}, {0, 0, 0, 0}, {12, -20, -24, -4}};
  for (int i : {0, 1, 3}) {
    const InvoiceLine& line = *items->InvoiceLines->get(i);
    EXPECT_EQ(line.UnitPriceTaxInclusiveAmount, expected[i].unit_inclusive)
        << i;
    EXPECT_EQ(line.LineTaxExclusiveAmount, expected[i].line_exclusive) << i;
    EXPECT_EQ(line.LineTaxInclusiveAmount, expected[i].line_inclusive) << i;
    EXPECT_EQ(line.LineTaxAmount, expected[i].line_tax) << i;
  }
  EXPECT_EQ(items->InvoiceLines->get(2), nullptr);
}

TEST_F(InvoiceItemsRulesTest, CompleteUsesStoredUnitSum) {
  // 0.1 + 0.2 is not 0.3 in doubles, but the sum of the texts 0.1 and 0.2
  // is: sums are rounded to the places of their terms. The inclusive line
  // total multiplies the stored sum.
  auto items = valid_items();
  InvoiceLine& line = first_line(*items);
  line.UnitPriceTaxExclusiveAmount = 0.1;
  line.UnitPriceTaxAmount = 0.2;
  line.InvoicedQuantity = 3;
  validate::complete_invoice_items(*items);
  EXPECT_EQ(line.UnitPriceTaxInclusiveAmount, 0.3);
  EXPECT_EQ(line.LineTaxInclusiveAmount, 0.9);
  EXPECT_EQ(line.LineTaxExclusiveAmount, 0.3);
  EXPECT_EQ(line.LineTaxAmount, 0.6);

  // Absent inputs count as 0.
  line.UnitPriceTaxAmount.reset();
  line.InvoicedQuantity.reset();
  validate::complete_invoice_items(*items);
  EXPECT_EQ(line.UnitPriceTaxInclusiveAmount, 0.1);
  EXPECT_EQ(line.LineTaxExclusiveAmount, 0.0);
  EXPECT_EQ(line.LineTaxAmount, 0.0);

  // An absent or empty list derives nothing and does not fail.
  auto empty = new_invoice_items();
  validate::complete_invoice_items(*empty);
  EXPECT_FALSE(empty->InvoiceLines);
  EXPECT_EQ(error_code(), 0);
}

// Line amounts are the exact results of the texts that were written: a sum
// has the most places of its terms, a product the places of its factors
// added up; more than eight are written with eight, as before.
TEST_F(InvoiceItemsRulesTest, CompleteKeepsTheDigitsOfLargeAmounts) {
  auto items = valid_items();
  InvoiceLine& line = first_line(*items);
  line.UnitPriceTaxExclusiveAmount = 99999999.99;
  line.UnitPriceTaxAmount = 22999999.99;
  line.InvoicedQuantity = 1.5;
  validate::complete_invoice_items(*items);
  EXPECT_EQ(line.UnitPriceTaxInclusiveAmount, 122999999.98);
  EXPECT_EQ(line.LineTaxExclusiveAmount, 149999999.985);
  EXPECT_EQ(line.LineTaxInclusiveAmount, 184499999.97);
  EXPECT_EQ(line.LineTaxAmount, 34499999.985);
  EXPECT_EQ(code::format_decimal(*line.LineTaxExclusiveAmount),
            "149999999.985");

  // Products keep the places of both factors: 0.05 * 0.5 is 0.025.
  line.UnitPriceTaxExclusiveAmount = 0.05;
  line.UnitPriceTaxAmount = 0.01;
  line.InvoicedQuantity = 0.5;
  validate::complete_invoice_items(*items);
  EXPECT_EQ(line.LineTaxExclusiveAmount, 0.025);
  EXPECT_EQ(line.LineTaxInclusiveAmount, 0.03);
  EXPECT_EQ(line.LineTaxAmount, 0.005);

  // Past eight places the product is left as computed and written with
  // eight.
  line.UnitPriceTaxExclusiveAmount = 1.23456;
  line.InvoicedQuantity = 0.3333;
  validate::complete_invoice_items(*items);
  EXPECT_EQ(line.LineTaxExclusiveAmount, 1.23456 * 0.3333);
  EXPECT_EQ(code::format_decimal(*line.LineTaxExclusiveAmount), "0.41147885");
}

TEST_F(InvoiceItemsRulesTest, ValidationLeavesDocumentUnchanged) {
  auto items = valid_items();
  set_string(first_line(*items).ItemEANCode, "858");  // fails V5
  EXPECT_EQ(validate::validate_invoice_items(*items), 4);
  EXPECT_EQ(validate::validate_invoice_items(*items), 4);
  const InvoiceLine& line = first_line(*items);
  EXPECT_EQ(line.ItemName, "Pen");
  EXPECT_EQ(line.ItemEANCode, "858");
  EXPECT_FALSE(line.UnitPriceTaxInclusiveAmount);
  EXPECT_FALSE(line.LineTaxExclusiveAmount);
  reset_error();
  first_line(*items).ItemEANCode.reset();
  EXPECT_EQ(validate::validate_invoice_items(*items), 0);
  EXPECT_FALSE(first_line(*items).LineTaxInclusiveAmount);
  EXPECT_EQ(first_line(*items).InvoicedQuantity, 3.0);
}

}  // namespace
}  // namespace zarnex
