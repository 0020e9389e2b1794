#ifndef ZARNEX_API_DECODE_APPEND_H_
#define ZARNEX_API_DECODE_APPEND_H_

#include <string_view>

#include "xml/text_buffer.h"

namespace zarnex::api {

/// decode() for the bulk loop: appends the document's XML to @a out instead
/// of handing out a new text, so that a run writes every result straight into
/// its output block. Returns 0, or the failing status with the error state
/// set and nothing appended.
int decode_append(std::string_view code_text, xml::TextBuffer& out);

/// The same, appending the document's JSON.
int decode_append_json(std::string_view code_text, xml::TextBuffer& out);

}  // namespace zarnex::api

#endif  // ZARNEX_API_DECODE_APPEND_H_
