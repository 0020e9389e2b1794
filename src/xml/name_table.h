#ifndef ZARNEX_XML_NAME_TABLE_H_
#define ZARNEX_XML_NAME_TABLE_H_

#include <span>

namespace zarnex::xml {

/// A table of names (or codes) shared by reader and writer: a name's
/// position is its value, and for a flag set name i stands for bit i.
using NameTable = std::span<const char* const>;

}  // namespace zarnex::xml

#endif  // ZARNEX_XML_NAME_TABLE_H_
