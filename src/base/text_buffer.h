#ifndef ZARNEX_BASE_TEXT_BUFFER_H_
#define ZARNEX_BASE_TEXT_BUFFER_H_

// The text buffer of the library is the public type, zarnex::TextBuffer of
// include/zarnex/text_buffer.hpp: the writers build their texts in it, so
// that a caller's buffer is written to directly. Its members that are not
// inline are defined in text_buffer.cc, which the library carries.
#include "zarnex/text_buffer.hpp"

#endif  // ZARNEX_BASE_TEXT_BUFFER_H_
