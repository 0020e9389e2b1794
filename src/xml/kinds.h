#ifndef ZARNEX_XML_KINDS_H_
#define ZARNEX_XML_KINDS_H_

// The reader and the body writer of each document kind. Internal to xml/:
// document_from_xml() picks a reader by the root element's name,
// document_to_xml() a body writer by the header's document type.

#include <string>

#include "model/document.h"
#include "model/invoice.h"
#include "model/invoice_items.h"
#include "model/pay.h"
#include "model/vocabulary.h"
#include "xml/libxml.h"

namespace zarnex::xml {

class XmlOut;

/// Each reader checks the root's type attribute, builds a new document of
/// its kind from the root's children and hands it to @a out. On failure
/// nothing is handed out and the error state is set.
int pay_from_xml(const xmlNode* root, DocumentPtr* out);
int invoice_from_xml(const xmlNode* root, DocumentPtr* out);
int invoice_items_from_xml(const xmlNode* root, DocumentPtr* out);

/// Each body writer appends the elements of the document (everything inside
/// the root element) to @a out. A string that XML cannot carry is left out
/// and fails @a out (XmlOut::status()); nothing else fails.
void pay_to_xml(XmlOut& out, const Pay& pay);
void invoice_to_xml(XmlOut& out, const Invoice& invoice);
void invoice_items_to_xml(XmlOut& out, const InvoiceItems& items);

}  // namespace zarnex::xml

#endif  // ZARNEX_XML_KINDS_H_
