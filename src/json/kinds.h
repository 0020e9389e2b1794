#ifndef ZARNEX_JSON_KINDS_H_
#define ZARNEX_JSON_KINDS_H_

// The reader and the body writer of each document kind. Internal to json/:
// document_from_json() picks a reader by the root's "type",
// document_to_json() a body writer by the header's document type.

#include "json/json_reader.h"
#include "json/json_writer.h"
#include "model/document.h"
#include "model/invoice.h"
#include "model/invoice_items.h"
#include "model/pay.h"

namespace zarnex::json {

/// Each reader builds a new document of its kind from the root's members
/// and hands it to @a out. On failure nothing is handed out and the error
/// state is set.
int pay_from_json(JsonObject root, DocumentPtr* out);
int invoice_from_json(JsonObject root, int sub_kind, DocumentPtr* out);
int invoice_items_from_json(JsonObject root, DocumentPtr* out);

/// Each body writer appends the members of the document after "type".
void pay_to_json(JsonOut& out, const Pay& pay);
void invoice_to_json(JsonOut& out, const Invoice& invoice);
void invoice_items_to_json(JsonOut& out, const InvoiceItems& items);

}  // namespace zarnex::json

#endif  // ZARNEX_JSON_KINDS_H_
