// The validate and complete operations of an InvoiceItems document.

#include <string>

#include "model/invoice_items.h"
#include "validate/collect.h"
#include "validate/derived_amount.h"
#include "validate/validators.h"

namespace zarnex {
namespace {

using namespace validate;

int check_line(const InvoiceLine& line) {
  if (int rc = check_choice({{"ItemName", line.ItemName.has_value()},
                             {"ItemEANCode", line.ItemEANCode.has_value()}}))
    return rc;
  if (int rc = check_period(line.PeriodFromDate, line.PeriodToDate)) return rc;
  if (int rc = check_not_null("InvoicedQuantity", line.InvoicedQuantity))
    return rc;
  if (int rc = check_not_null("UnitPriceTaxExclusiveAmount",
                              line.UnitPriceTaxExclusiveAmount))
    return rc;
  if (int rc = check_not_null("UnitPriceTaxAmount", line.UnitPriceTaxAmount))
    return rc;
  return check_unit_interval("ClassifiedTaxCategory",
                             line.ClassifiedTaxCategory);
}

}  // namespace

int InvoiceItems::validate() const {
  // The document is this object, so it is always present; a missing
  // document is refused by document_validate before it gets here.
  if (int rc = check_not_null("InvoiceItems", true)) return rc;
  if (int rc = check_not_empty("InvoiceID", InvoiceID)) return rc;
  // A line number may be any text, so it is tested like InvoiceID.
  if (int rc = check_not_empty("FirstInvoiceLineID", FirstInvoiceLineID))
    return rc;
  if (int rc = check_list("InvoiceLines", InvoiceLines)) return rc;
  for (const auto& line : *InvoiceLines) {
    if (int rc = check_line(*line)) return rc;
  }
  return 0;
}

void InvoiceItems::complete() {
  if (!InvoiceLines) return;
  for (const auto& line : *InvoiceLines) {
    if (!line) continue;
    // Sums carry the most places of their terms, products the places of
    // their factors added up (DerivedAmount): the exact results of the
    // texts that were written.
    const DerivedAmount exclusive(line->UnitPriceTaxExclusiveAmount);
    const DerivedAmount tax(line->UnitPriceTaxAmount);
    const DerivedAmount quantity(line->InvoicedQuantity);
    // The inclusive line total multiplies the stored unit sum, so the two
    // agree exactly in the output.
    const DerivedAmount inclusive = exclusive + tax;
    set_decimal(line->UnitPriceTaxInclusiveAmount, inclusive.value());
    set_decimal(line->LineTaxExclusiveAmount, (exclusive * quantity).value());
    set_decimal(line->LineTaxInclusiveAmount, (inclusive * quantity).value());
    set_decimal(line->LineTaxAmount, (tax * quantity).value());
  }
}

}  // namespace zarnex

namespace zarnex::validate {

// The groups of InvoiceItems::validate(), in its order: one per line.
void collect_invoice_items_failures(const InvoiceItems& items,
                                    const RuleReport& report) {
  if (check_not_empty("InvoiceID", items.InvoiceID)) report("");
  if (check_not_empty("FirstInvoiceLineID", items.FirstInvoiceLineID))
    report("");
  if (check_list("InvoiceLines", items.InvoiceLines)) return report("");
  std::size_t index = 0;
  for (const auto& line : *items.InvoiceLines) {
    ++index;
    if (check_line(*line))
      report("InvoiceLines/InvoiceLine[" + std::to_string(index) + "]");
  }
}

}  // namespace zarnex::validate
