#ifndef ZARNEX_CODE_SEQUENCE_KINDS_H_
#define ZARNEX_CODE_SEQUENCE_KINDS_H_

// The writer and reader of each document kind, used by write_document and
// read_document to dispatch on the header's document type. Internal to
// code/.

#include <cstdint>
#include <memory>
#include <string_view>

#include "code/field_sequence.h"
#include "model/invoice.h"
#include "model/invoice_items.h"
#include "model/pay.h"

namespace zarnex::code {

void write_pay(FieldSequence& sequence, const Pay& pay);
void write_invoice(FieldSequence& sequence, const Invoice& invoice);
void write_invoice_items(FieldSequence& sequence, const InvoiceItems& items);

/// Each reader creates its document (with the sequence's header) and reads
/// the kind's fields from the cursor on. It never fails; the first malformed
/// number is recorded in the sequence's status.
std::unique_ptr<Pay> read_pay(FieldSequence& sequence);
std::unique_ptr<Invoice> read_invoice(FieldSequence& sequence);
std::unique_ptr<InvoiceItems> read_invoice_items(FieldSequence& sequence);

/// Reads a list count and bounds it by the fields that remain: at most one
/// entry more than there are fields after the count, so a count announcing
/// billions of entries costs memory in proportion to the input only. A
/// count of 0 or below gives 0.
std::int32_t read_entry_count(FieldSequence& sequence, std::string_view name);

}  // namespace zarnex::code

#endif  // ZARNEX_CODE_SEQUENCE_KINDS_H_
