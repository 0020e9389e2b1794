#include "validate/collect.h"

#include "model/invoice.h"
#include "model/invoice_items.h"
#include "model/pay.h"

namespace zarnex::validate {

void collect_failures(const Document& document, const RuleReport& report) {
  switch (document.kind()) {
    case DocumentType::kPay:
      return collect_pay_failures(static_cast<const Pay&>(document), report);
    case DocumentType::kInvoice:
      return collect_invoice_failures(static_cast<const Invoice&>(document),
                                      report);
    case DocumentType::kInvoiceItems:
      return collect_invoice_items_failures(
          static_cast<const InvoiceItems&>(document), report);
  }
}

}  // namespace zarnex::validate
