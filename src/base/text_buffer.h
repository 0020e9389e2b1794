#ifndef ZARNEX_XML_TEXT_BUFFER_H_
#define ZARNEX_XML_TEXT_BUFFER_H_

// The writers build their texts in the public buffer type, so that a caller's
// buffer is written to directly.
#include "zarnex/text_buffer.hpp"

namespace zarnex::xml {

using zarnex::TextBuffer;
using zarnex::detail::copy_bytes;

}  // namespace zarnex::xml

#endif  // ZARNEX_XML_TEXT_BUFFER_H_
