#ifndef ZARNEX_XML_STRICT_XML_H_
#define ZARNEX_XML_STRICT_XML_H_

#include <string_view>

#include "check/findings.h"

namespace zarnex::xml {

/// Parses @a text and walks its elements against the element tree of its
/// kind (check/grammar.h), filling @a scan with the place of every element
/// and, with @a strict, with every problem strict reading refuses:
///   - an element outside the document namespace (urn:zarnex:document:1),
///     the root included; a document without a namespace is refused;
///   - an element of a name its parent does not hold, and a second element
///     of a name that does not repeat;
///   - text where elements belong, elements where text belongs;
///   - a value that breaks its form (check/values.h).
/// Returns 0, or the status of a text that gives no tree (the error
/// recorded as document_from_xml records it). A root of no kind gives an
/// empty scan.
int scan_xml(std::string_view text, bool strict, check::Scan& scan);

}  // namespace zarnex::xml

#endif  // ZARNEX_XML_STRICT_XML_H_
