#ifndef ZARNEX_XML_XML_H_
#define ZARNEX_XML_XML_H_

#include <string>
#include <string_view>

#include "base/text_buffer.h"
#include "model/document.h"

namespace zarnex::xml {

/// The namespace of every document element the writer produces.
inline constexpr char kDocumentNamespace[] = "urn:zarnex:document:1";

/// Parses an XML text into a new document of the kind its root element
/// names (Pay, Invoice or InvoiceItems). A root of any other name gives
/// status 0 and leaves @a out untouched. Errors: -2 for a null text; 9 for
/// text that is not well-formed XML (with the parser's messages), a wrong
/// type attribute or a malformed element value.
int document_from_xml(std::string_view text, DocumentPtr* out);

/// Writes the document as one line of XML: the declaration, the root element
/// with its xmlns:xsi, xsi:type and xmlns attributes, and the kind's elements.
/// Errors: 9 for a header that names no writable kind or version; 4 for a
/// string that is not UTF-8 text without control characters (subject: its
/// element's name), which no parser would read.
int document_to_xml(const Document& document, std::string* out);
/// As above, appending the text to @a out; on failure nothing is appended.
int document_to_xml(const Document& document, TextBuffer& out);

}  // namespace zarnex::xml

#endif  // ZARNEX_XML_XML_H_
