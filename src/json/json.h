#ifndef ZARNEX_JSON_JSON_H_
#define ZARNEX_JSON_JSON_H_

// The JSON form of the documents: one JSON object that mirrors the XML
// element tree (docs/json.md describes it). Its member "type" names the kind
// and sub-kind as the XML root's xsi:type does; the other members bear the
// XML element names; a list element becomes an array of objects under the
// list's name, a flag set an array of names.

#include <string>
#include <string_view>

#include "base/text_buffer.h"
#include "model/document.h"

namespace zarnex::json {

/// Parses a JSON text into a new document of the kind its "type" names.
/// Errors: -2 for a null text; 13 (ERROR_JSON) for text that is not
/// well-formed JSON (with the offset, line and column), a root that is not an
/// object, a "type" that names no kind or a value of the wrong JSON type;
/// 9 (ERROR_XML) for the values that the XML reader refuses as well, with
/// the same messages.
int document_from_json(std::string_view text, DocumentPtr* out);

/// Writes the document as one line of JSON. Errors: those of the XML writer
/// (9 for a header that names no writable kind or version).
int document_to_json(const Document& document, std::string* out);
/// As above, appending the text to @a out; on failure nothing is appended.
int document_to_json(const Document& document, TextBuffer& out);

}  // namespace zarnex::json

#endif  // ZARNEX_JSON_JSON_H_
