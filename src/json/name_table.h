#ifndef ZARNEX_JSON_NAME_TABLE_H_
#define ZARNEX_JSON_NAME_TABLE_H_

#include <span>

namespace zarnex::json {

/// A table of names (or codes) shared by reader and writer: a name's
/// position is its value, and for a flag set name i stands for bit i.
using NameTable = std::span<const char* const>;

}  // namespace zarnex::json

#endif  // ZARNEX_JSON_NAME_TABLE_H_
