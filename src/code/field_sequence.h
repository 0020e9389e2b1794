#ifndef ZARNEX_CODE_FIELD_SEQUENCE_H_
#define ZARNEX_CODE_FIELD_SEQUENCE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/document.h"
#include "model/value.h"

namespace zarnex::code {

/// A document's values as texts, in the fixed order of its kind. Joined with
/// TAB separators it is the payload of a code: no names, no nesting marks, no
/// terminator. No field text contains a TAB.
///
/// Value forms: a string as its bytes with TABs turned into blanks; counts,
/// flags and integers as printf "%i"; decimals as format_decimal(); a date
/// YYYY-MM-DD as its 8 digits YYYYMMDD. Every absent value is an empty field.
struct FieldSequence {
  DocumentHeader header;
  std::vector<std::string> fields;
  std::uint32_t cursor = 0;  // next field to read

  // Reading a field-sequence line typed by a user refuses malformed numbers
  // instead of reading them as 0: strict is set, and the first malformed
  // number records its error here (the reading itself goes on).
  bool strict = false;
  int status = 0;
};

// Writing. Each appends one field.
void add_field(FieldSequence& sequence, std::string_view text);
void add_field(FieldSequence& sequence, const StringValue& text);
void add_empty(FieldSequence& sequence);
void add_int(FieldSequence& sequence, std::int32_t value);
void add_optional_int(FieldSequence& sequence, const IntValue& value);
void add_decimal(FieldSequence& sequence, const DecimalValue& value);
/// A 10-byte text YYYY-MM-DD as YYYYMMDD; any other length gives an empty field.
void add_date(FieldSequence& sequence, const StringValue& date);

/// The length of the joined text: the field lengths plus one TAB between each two.
std::size_t text_length(const FieldSequence& sequence);
/// The fields joined by TABs.
std::string join(const FieldSequence& sequence);

/// Writes the document's fields in the order of its kind and copies its
/// header. A null document fails with -2 "Document cannot be NULL.".
int write_document(FieldSequence& sequence, const Document* document);

// Reading.
/// Cuts @a text (up to its first NUL byte) at every TAB and appends the
/// pieces as fields: n TABs give n + 1 fields.
void split(FieldSequence& sequence, std::string_view text);
/// The next field, absent when it is empty or when the fields have run out.
StringValue next_field(FieldSequence& sequence);
/// The next field as an integer; a malformed number reads as a present 0
/// (a strict sequence records an error naming @a name instead).
IntValue read_int(FieldSequence& sequence, std::string_view name);
/// A list count or presence flag: 0 when absent or malformed.
std::int32_t read_count(FieldSequence& sequence, std::string_view name);
/// The next field as a decimal; a malformed number reads as a present 0.0.
DecimalValue read_decimal(FieldSequence& sequence, std::string_view name);
/// YYYYMMDD (8 bytes or more; the rest ignored) as YYYY-MM-DD; absent when
/// the field holds 7 bytes or fewer.
StringValue read_date(FieldSequence& sequence);

/// Builds a new document of the kind named by the sequence's header (type 0
/// Pay, 1 Invoice, 2 InvoiceItems) and reads its fields. Any other type
/// builds nothing and returns 0. Returns 0, or for a strict sequence the
/// status of its first malformed number (no document is then handed out).
int read_document(FieldSequence& sequence, DocumentPtr* document);

}  // namespace zarnex::code

#endif  // ZARNEX_CODE_FIELD_SEQUENCE_H_
