#include "code/field_sequence.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/number.h"
#include "code/sequence_kinds.h"
#include "error/error.h"

namespace zarnex::code {
namespace {

constexpr char kTab = '\t';

// Detail of the error recorded for a number field that holds no number.
constexpr std::string_view kMalformedNumber = " is a malformed number. ";

// Records the first malformed number of a sequence; later ones leave the
// recorded error alone, so the error names the first field at fault.
void note_malformed(FieldSequence& sequence, std::string_view name) {
  if (sequence.status == 0) {
    sequence.status =
        set_error_detail(ErrorCode::kInvalidValue, name, kMalformedNumber);
  }
}

// The position of the first TAB in [from, size) of @a text, or size. Fields
// are short, so a call to memchr costs more than it saves; sixteen bytes are
// compared at once where the vector unit is there, the rest one by one.
std::size_t find_tab(const char* text, std::size_t from, std::size_t size) {
#if defined(__SSE2__)
  const __m128i tabs = _mm_set1_epi8(kTab);
  for (; from + 16 <= size; from += 16) {
    const __m128i chunk =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from));
    const auto mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(chunk, tabs)));
    if (mask != 0) return from + static_cast<std::size_t>(__builtin_ctz(mask));
  }
#endif
  while (from < size && text[from] != kTab) ++from;
  return from;
}

// The next field's text, a view into the sequence; empty when the field is
// empty or the fields have run out (the cursor then stays). Every reader
// takes both for an absent value.
std::string_view take_field(FieldSequence& sequence) {
  const std::string& text = sequence.fields.text();
  const std::size_t start = sequence.position;
  if (sequence.cursor >= sequence.fields.size() || start > text.size())
    return {};
  const char* base = text.data();
  const std::size_t stop = find_tab(base, start, text.size());
  sequence.position = stop + 1;
  ++sequence.cursor;
  return std::string_view(base + start, stop - start);
}

// A plain loop, which the compiler turns into vector code.
std::uint32_t count_tabs(std::string_view text) {
  std::uint32_t tabs = 0;
  for (char c : text) tabs += c == kTab ? 1 : 0;
  return tabs;
}

}  // namespace

FieldList::const_iterator::const_iterator(const std::string* text,
                                          std::size_t start)
    : text_(text), start_(start) {
  if (start_ <= text_->size()) {
    const std::size_t tab = text_->find(kTab, start_);
    stop_ = tab == std::string::npos ? text_->size() : tab;
  }
}

FieldList::const_iterator& FieldList::const_iterator::operator++() {
  *this = const_iterator(text_, stop_ + 1);
  return *this;
}

FieldList::FieldList(std::initializer_list<std::string_view> fields) {
  for (std::string_view field : fields) start_field().append(field);
}

FieldList::FieldList(const std::vector<std::string>& fields) {
  for (const std::string& field : fields) start_field().append(field);
}

FieldList::const_iterator FieldList::begin() const {
  return size_ == 0 ? end() : const_iterator(&text_, 0);
}

void FieldList::append_split(std::string_view text) {
  if (size_ != 0) text_.push_back(kTab);
  text_.append(text);
  size_ += 1 + count_tabs(text);
}

bool operator==(const FieldList& list, const std::vector<std::string>& texts) {
  if (list.size() != texts.size()) return false;
  auto text = texts.begin();
  for (std::string_view field : list) {
    if (field != *text++) return false;
  }
  return true;
}

void add_field(FieldSequence& sequence, std::string_view text) {
  std::string& out = sequence.fields.start_field();
  const std::size_t start = out.size();
  out.append(text);
  // A TAB would end the field early; most texts hold none.
  if (std::memchr(out.data() + start, kTab, text.size()) != nullptr)
    std::replace(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(),
                 kTab, ' ');
}

void add_field(FieldSequence& sequence, const StringValue& text) {
  if (text) {
    add_field(sequence, std::string_view(*text));
  } else {
    add_empty(sequence);
  }
}

void add_empty(FieldSequence& sequence) { sequence.fields.start_field(); }

void add_int(FieldSequence& sequence, std::int32_t value) {
  // The same text as printf "%i".
  char digits[16];
  auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  sequence.fields.start_field().append(digits, end);
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
    append_decimal(sequence.fields.start_field(), *value);
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
  sequence.fields.start_field().append(d, 0, 4).append(d, 5, 2).append(d, 8, 2);
}

std::size_t text_length(const FieldSequence& sequence) {
  return sequence.fields.text().size();
}

std::string join(const FieldSequence& sequence) {
  return sequence.fields.text();
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
  sequence.fields.append_split(text);
}

void read_string(FieldSequence& sequence, StringValue& value) {
  const std::string_view text = take_field(sequence);
  if (text.empty()) {
    value.reset();
  } else {
    value.emplace(text);
  }
}

IntValue read_int(FieldSequence& sequence, std::string_view name) {
  const std::string_view text = take_field(sequence);
  if (text.empty()) return std::nullopt;
  std::int32_t value = 0;
  if (parse_int(text, &value) == kNumberOk) return value;
  // Malformed, or beyond the 32-bit range: an error, not a silent 0 or a
  // clamped value. The reading goes on; read_document hands out nothing.
  note_malformed(sequence, name);
  return 0;
}

std::int32_t read_count(FieldSequence& sequence, std::string_view name) {
  IntValue value = read_int(sequence, name);
  return value.value_or(0);
}

// A code written by another encoder may carry more decimals than the XML
// form keeps (eight). Such a value is rounded as it is written, so that the
// amounts derived from it agree with the decoded XML and survive another trip.
static double keep_eight_decimals(std::string_view text, double value) {
  // One pass over the text: an exponent, or more than eight places after
  // the (first) dot.
  std::size_t dot = std::string_view::npos;
  bool exponent = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.' && dot == std::string_view::npos) dot = i;
    if (c == 'e' || c == 'E') exponent = true;
  }
  bool long_fraction =
      dot != std::string_view::npos && text.size() - dot - 1 > 8;
  if (!long_fraction && !exponent) return value;
  double rounded = value;
  parse_decimal(format_decimal(value).c_str(), &rounded);
  return rounded;
}

// A decimal with a comma as its decimal mark, as a program writing numbers
// in a locale with that mark makes it ("12,34"): the text with that one
// comma as a dot, when the text holds no dot and no other comma; empty
// otherwise. At most kCommaRoom bytes are taken.
constexpr std::size_t kCommaRoom = 64;
std::string_view comma_as_dot(std::string_view text,
                              char (&buffer)[kCommaRoom]) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos || text.size() > kCommaRoom ||
      text.find(',', comma + 1) != std::string_view::npos ||
      text.find('.') != std::string_view::npos)
    return {};
  std::memcpy(buffer, text.data(), text.size());
  buffer[comma] = '.';
  return std::string_view(buffer, text.size());
}

DecimalValue read_decimal(FieldSequence& sequence, std::string_view name) {
  const std::string_view text = take_field(sequence);
  if (text.empty()) return std::nullopt;
  double value = 0.0;
  // The plain form with eight places or fewer needs no rounding: the common
  // case, read without a second pass over the text.
  int places = 0;
  if (parse_plain_decimal(text, &value, &places) && places <= 8) return value;
  if (parse_decimal(text, &value) == kNumberOk)
    return keep_eight_decimals(text, value);
  char buffer[kCommaRoom];
  if (const std::string_view dotted = comma_as_dot(text, buffer);
      !dotted.empty() && parse_decimal(dotted, &value) == kNumberOk)
    return keep_eight_decimals(dotted, value);
  // Malformed, or not finite (nan, inf, an overflow): an error, not a
  // silent 0. No document carries a non-finite value, and its XML could not
  // be read back.
  note_malformed(sequence, name);
  return 0.0;
}

void read_date(FieldSequence& sequence, StringValue& value) {
  const std::string_view t = take_field(sequence);
  if (t.size() <= 7) {
    value.reset();
    return;
  }
  const char date[10] = {t[0], t[1], t[2], t[3], '-', t[4],
                         t[5], '-', t[6], t[7]};
  value.emplace(date, sizeof date);
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
  // A malformed number fails the whole reading: no document is handed out.
  if (sequence.status != 0) return sequence.status;
  *document = std::move(result);
  return 0;
}

}  // namespace zarnex::code
