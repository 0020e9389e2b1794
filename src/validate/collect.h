#ifndef ZARNEX_VALIDATE_COLLECT_H_
#define ZARNEX_VALIDATE_COLLECT_H_

// Check mode: the rules of a document run group by group, and every group
// that fails is reported, not only the first. A group is a run of rules
// about one record that document_validate() runs in turn (the currencies
// of an invoice, one bank account); within a group the first failure still
// ends the group, since later rules of a group rely on the earlier ones (a
// present list, a present PaymentOptions). The first failure reported is
// the one document_validate() returns, which is not changed by any of
// this.

#include <functional>
#include <string_view>

#include "model/document.h"

namespace zarnex {
class Pay;
class Invoice;
class InvoiceItems;
}  // namespace zarnex

namespace zarnex::validate {

/// Called for each failing group, with the failure in the error state and
/// the path of the record the group is about ("Payments/Payment[2]"; empty
/// for the document itself).
using RuleReport = std::function<void(std::string_view context)>;

/// Runs every group of the rules of @a document's kind.
void collect_failures(const Document& document, const RuleReport& report);

void collect_pay_failures(const Pay& pay, const RuleReport& report);
void collect_invoice_failures(const Invoice& invoice, const RuleReport& report);
void collect_invoice_items_failures(const InvoiceItems& items,
                                    const RuleReport& report);

}  // namespace zarnex::validate

#endif  // ZARNEX_VALIDATE_COLLECT_H_
