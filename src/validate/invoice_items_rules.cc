// The rules and the derived amounts of an InvoiceItems document.

#include <string>

#include "model/invoice_items.h"
#include "validate/collect.h"
#include "validate/derived_amount.h"
#include "validate/document_rules.h"
#include "validate/validators.h"

namespace zarnex::validate {
namespace {

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

int validate_invoice_items(const InvoiceItems& items) {
  if (int rc = check_not_empty("InvoiceID", items.InvoiceID)) return rc;
  // A line number may be any text, so it is tested like InvoiceID.
  if (int rc = check_not_empty("FirstInvoiceLineID", items.FirstInvoiceLineID))
    return rc;
  if (int rc = check_list("InvoiceLines", items.InvoiceLines)) return rc;
  for (const auto& line : *items.InvoiceLines) {
    if (int rc = check_line(*line)) return rc;
  }
  return 0;
}

void complete_invoice_items(InvoiceItems& items) {
  if (!items.InvoiceLines) return;
  for (const auto& line : *items.InvoiceLines) {
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

// The groups of validate_invoice_items(), in its order: one per line.
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
