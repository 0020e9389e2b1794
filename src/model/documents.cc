#include "model/invoice.h"
#include "model/invoice_items.h"
#include "model/pay.h"

namespace zarnex {

std::unique_ptr<Pay> new_pay() { return std::make_unique<Pay>(); }

std::unique_ptr<Invoice> new_invoice() { return std::make_unique<Invoice>(); }

std::unique_ptr<InvoiceItems> new_invoice_items() {
  return std::make_unique<InvoiceItems>();
}

}  // namespace zarnex
