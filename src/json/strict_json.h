#ifndef ZARNEX_JSON_STRICT_JSON_H_
#define ZARNEX_JSON_STRICT_JSON_H_

#include <string_view>

#include "check/findings.h"

namespace zarnex::json {

/// Parses @a text and walks its members against the element tree of the
/// kind its "type" names, as xml::scan_xml() walks XML: the place of every
/// member (paths written the XML way, "Payments/Payment[2]/Amount"; lines
/// are 0) and, with @a strict, every problem strict reading refuses:
///   - a member of a name its object does not hold, a member given twice
///     (ERROR_JSON);
///   - a flag set holding a word that is no name, or a name twice;
///   - a value that breaks its form (check/values.h).
/// Members of the wrong JSON type are left to the default reader, which
/// refuses them. Returns 0, or the status of a text that is not JSON.
int scan_json(std::string_view text, bool strict, check::Scan& scan);

}  // namespace zarnex::json

#endif  // ZARNEX_JSON_STRICT_JSON_H_
