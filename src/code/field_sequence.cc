#include "code/field_sequence.h"

#include <algorithm>
#include <cstring>

#include "code/number.h"
#include "code/sequence_kinds.h"
#include "error/error.h"

namespace zarnex::code {
namespace {

constexpr char kTab = '\t';

// Detail of the error a strict sequence records for a malformed number.
constexpr std::string_view kMalformedNumber = " is a malformed number. ";

// Records the first malformed number of a strict sequence; later ones leave
// the recorded error alone, so the user sees the first field at fault.
void note_malformed(FieldSequence& sequence, std::string_view name) {
  if (sequence.status == 0) {
    sequence.status =
        set_error_detail(ErrorCode::kInvalidValue, name, kMalformedNumber);
  }
}

// The next field's text without copying it; null when the field is empty or
// the fields have run out. Moves the cursor like next_field().
const std::string* take_field(FieldSequence& sequence) {
  if (sequence.cursor >= sequence.fields.size()) return nullptr;
  const std::string& text = sequence.fields[sequence.cursor++];
  return text.empty() ? nullptr : &text;
}

}  // namespace

void add_field(FieldSequence& sequence, std::string_view text) {
  std::string& field = sequence.fields.emplace_back(text);
  std::replace(field.begin(), field.end(), kTab, ' ');
}

void add_field(FieldSequence& sequence, const StringValue& text) {
  if (text) {
    add_field(sequence, std::string_view(*text));
  } else {
    add_empty(sequence);
  }
}

void add_empty(FieldSequence& sequence) { sequence.fields.emplace_back(); }

void add_int(FieldSequence& sequence, std::int32_t value) {
  sequence.fields.push_back(std::to_string(value));
}

void add_optional_int(FieldSequence& sequence, const IntValue& value) {
  if (value) {
    add_int(sequence, *value);
  } else {
    add_empty(sequence);
  }
}

void add_decimal(FieldSequence& sequence, const DecimalValue& value) {
  if (value) {
    sequence.fields.push_back(format_decimal(*value));
  } else {
    add_empty(sequence);
  }
}

void add_date(FieldSequence& sequence, const StringValue& date) {
  if (!date || date->size() != 10) {
    add_empty(sequence);
    return;
  }
  // The separators at positions 4 and 7 are dropped whatever they hold.
  const std::string& d = *date;
  std::string& field = sequence.fields.emplace_back();
  field.reserve(8);
  field.append(d, 0, 4).append(d, 5, 2).append(d, 8, 2);
}

std::size_t text_length(const FieldSequence& sequence) {
  if (sequence.fields.empty()) return 0;
  std::size_t length = sequence.fields.size() - 1;
  for (const std::string& field : sequence.fields) length += field.size();
  return length;
}

std::string join(const FieldSequence& sequence) {
  std::string text;
  text.reserve(text_length(sequence));
  bool first = true;
  for (const std::string& field : sequence.fields) {
    if (!first) text.push_back(kTab);
    text.append(field);
    first = false;
  }
  return text;
}

int write_document(FieldSequence& sequence, const Document* document) {
  if (document == nullptr)
    return set_error(ErrorCode::kNullPointer, "Document cannot be NULL.");
  sequence.header = document->header;
  // The header's document type chooses the writer. The checked casts only
  // guard against a header that was changed to name another kind.
  switch (document->type()) {
    case DocumentType::kPay:
      if (auto* pay = dynamic_cast<const Pay*>(document)) {
        write_pay(sequence, *pay);
        return 0;
      }
      break;
    case DocumentType::kInvoice:
      if (auto* invoice = dynamic_cast<const Invoice*>(document)) {
        write_invoice(sequence, *invoice);
        return 0;
      }
      break;
    case DocumentType::kInvoiceItems:
      if (auto* items = dynamic_cast<const InvoiceItems*>(document)) {
        write_invoice_items(sequence, *items);
        return 0;
      }
      break;
  }
  return set_error(ErrorCode::kIllegalArgument,
                   "Document header does not match the document kind. ");
}

void split(FieldSequence& sequence, std::string_view text) {
  if (text.data() == nullptr) text = std::string_view();
  // The text ends at its first NUL byte.
  std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  std::size_t start = 0;
  while (true) {
    std::size_t tab = text.find(kTab, start);
    if (tab == std::string_view::npos) {
      sequence.fields.emplace_back(text.substr(start));
      return;
    }
    sequence.fields.emplace_back(text.substr(start, tab - start));
    start = tab + 1;
  }
}

StringValue next_field(FieldSequence& sequence) {
  const std::string* text = take_field(sequence);
  if (text == nullptr) return std::nullopt;
  return *text;
}

IntValue read_int(FieldSequence& sequence, std::string_view name) {
  const std::string* text = take_field(sequence);
  if (text == nullptr) return std::nullopt;
  std::int32_t value = 0;
  int result = parse_int(text->c_str(), &value);
  if (result == kNumberOk) return value;
  if (sequence.strict) {
    note_malformed(sequence, name);
    return 0;
  }
  // Lenient: a malformed number is a present 0, an out-of-range one is
  // kept as parse_int clamped it.
  return result == kNumberOutOfRange ? value : 0;
}

std::int32_t read_count(FieldSequence& sequence, std::string_view name) {
  IntValue value = read_int(sequence, name);
  return value.value_or(0);
}

// A code written by another encoder may carry more decimals than the XML
// form keeps (eight). Such a value is rounded as it is written, so that the
// amounts derived from it agree with the decoded XML and survive another trip.
static double keep_eight_decimals(const std::string& text, double value) {
  std::size_t dot = text.find('.');
  bool long_fraction = dot != std::string::npos && text.size() - dot - 1 > 8;
  if (!long_fraction && text.find_first_of("eE") == std::string::npos)
    return value;
  double rounded = value;
  parse_decimal(format_decimal(value).c_str(), &rounded);
  return rounded;
}

DecimalValue read_decimal(FieldSequence& sequence, std::string_view name) {
  const std::string* text = take_field(sequence);
  if (text == nullptr) return std::nullopt;
  double value = 0.0;
  int result = parse_decimal(text->c_str(), &value);
  if (result == kNumberOk) return keep_eight_decimals(*text, value);
  if (sequence.strict) {
    note_malformed(sequence, name);
    return 0.0;
  }
  // Lenient: a malformed number is a present 0.0. So is a non-finite one
  // (nan, inf): no document carries it, and its XML could not be read back.
  return 0.0;
}

StringValue read_date(FieldSequence& sequence) {
  const std::string* text = take_field(sequence);
  if (text == nullptr || text->size() <= 7) return std::nullopt;
  const std::string& t = *text;
  std::string date;
  date.reserve(10);
  date.append(t, 0, 4).append(1, '-').append(t, 4, 2).append(1, '-').append(
      t, 6, 2);
  return date;
}

std::int32_t read_entry_count(FieldSequence& sequence, std::string_view name) {
  std::int32_t count = read_count(sequence, name);
  if (count <= 0) return 0;
  std::size_t remaining = sequence.cursor < sequence.fields.size()
                              ? sequence.fields.size() - sequence.cursor
                              : 0;
  std::size_t bound = remaining + 1;
  return static_cast<std::size_t>(count) > bound
             ? static_cast<std::int32_t>(bound)
             : count;
}

int read_document(FieldSequence& sequence, DocumentPtr* document) {
  if (document == nullptr) {
    return set_error(ErrorCode::kNullPointer,
                     "Document pointer cannot be NULL. ");
  }
  DocumentPtr result;
  switch (sequence.header.type()) {
    case static_cast<int>(DocumentType::kPay):
      result = read_pay(sequence);
      break;
    case static_cast<int>(DocumentType::kInvoice):
      result = read_invoice(sequence);
      break;
    case static_cast<int>(DocumentType::kInvoiceItems):
      result = read_invoice_items(sequence);
      break;
    default:
      // No kind: nothing is built, and the caller's validation reports the
      // missing document.
      return 0;
  }
  if (sequence.status != 0) return sequence.status;
  *document = std::move(result);
  return 0;
}

}  // namespace zarnex::code
