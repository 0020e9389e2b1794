#ifndef ZARNEX_VALIDATE_DOCUMENT_RULES_H_
#define ZARNEX_VALIDATE_DOCUMENT_RULES_H_

// Validation and completion of documents. The rules of each kind live in
// pay_rules.cc, invoice_rules.cc and invoice_items_rules.cc; the two
// dispatchers pick them by the document's kind (Document::kind()), so that
// the documents of model/ stay plain data.

#include "model/document.h"

namespace zarnex {

class Pay;
class Invoice;
class InvoiceItems;

/// Checks @a document by the rules of its kind: 0, or the code of the first
/// failing rule with the error state set. Never changes the document. A
/// null document fails with -2 and kNoDocument.
int document_validate(const Document* document);

/// Computes the amounts that a code does not carry, for the kinds that have
/// them (Invoice, InvoiceItems). Runs only on a decoded document that passed
/// document_validate(); does nothing for a Pay and for a null document.
void document_complete(Document* document);

}  // namespace zarnex

namespace zarnex::validate {

/// The rules of each kind, first failure wins (document_validate's
/// contract).
int validate_pay(const Pay& pay);
int validate_invoice(const Invoice& invoice);
int validate_invoice_items(const InvoiceItems& items);

/// The derived amounts of an invoice: the inclusive amounts and differences
/// of every tax category summary, the totals and payable amount of the
/// monetary summary, the unit prices of the single invoice line.
void complete_invoice(Invoice& invoice);

/// The derived amounts of every invoice line: the inclusive unit price and
/// the three line totals.
void complete_invoice_items(InvoiceItems& items);

}  // namespace zarnex::validate

#endif  // ZARNEX_VALIDATE_DOCUMENT_RULES_H_
