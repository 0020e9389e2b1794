#ifndef ZARNEX_API_SEQUENCE_PREFIX_H_
#define ZARNEX_API_SEQUENCE_PREFIX_H_

#include <cstddef>
#include <string_view>

#include "model/document.h"

namespace zarnex::api {

/// Reads the prefix of a field-sequence line: a type digit 0 to 2, a tab, a
/// sub-kind digit 0 to 4 and a tab (sub-kinds other than 0 only for
/// invoices). On success returns 0, fills @a header and sets @a position to
/// the start of the field sequence. Otherwise records ERROR_BAD_FORMAT,
/// returns 5 and sets @a position to the first byte that could not be read
/// as part of the prefix.
int read_sequence_prefix(std::string_view line, DocumentHeader* header,
                         std::size_t* position);

}  // namespace zarnex::api

#endif  // ZARNEX_API_SEQUENCE_PREFIX_H_
