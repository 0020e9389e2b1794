#include "api/sequence_prefix.h"

#include "error/error.h"

namespace zarnex::api {
namespace {

int reject(std::size_t at, std::size_t* position) {
  *position = at;
  return set_error(ErrorCode::kBadFormat,
                   "Malformed line prefix: expected a type digit 0 to 2, a "
                   "tab, a sub-kind digit 0 to 4 and a tab. ");
}

}  // namespace

int read_sequence_prefix(std::string_view line, DocumentHeader* header,
                         std::size_t* position) {
  // The line is read as a NUL-terminated text.
  line = line.substr(0, line.find('\0'));
  auto at = [line](std::size_t i) { return i < line.size() ? line[i] : '\0'; };

  // A missing or bad type digit still lets the sub-kind be examined, so a
  // rejection points at the first place that cannot be read.
  std::size_t p = 0;
  bool valid = true;
  int type = 0;
  if (at(0) >= '0' && at(0) <= '2') {
    type = at(0) - '0';
    p = 1;
    if (at(1) == '\t') {
      p = 2;
    } else {
      valid = false;
    }
  } else {
    valid = false;
    if (at(0) == '\t') p = 1;
  }
  char c = at(p);
  if (c == '\t') return reject(p + 1, position);
  if (c < '0' || c > '4') return reject(p, position);
  int sub_kind = c - '0';
  std::size_t sub_kind_position = p;
  ++p;
  if (at(p) != '\t') return reject(p, position);
  ++p;
  if (!valid) return reject(p, position);
  // Only invoices have sub-kinds; a code of another kind with a sub-kind
  // could never be decoded, so it is not made.
  if (type != static_cast<int>(DocumentType::kInvoice) && sub_kind != 0)
    return reject(sub_kind_position, position);

  header->byte0 = static_cast<std::uint8_t>(type << 4);
  header->byte1 = static_cast<std::uint8_t>(sub_kind << 4);
  *position = p;
  return 0;
}

}  // namespace zarnex::api
