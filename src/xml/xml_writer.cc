#include "xml/xml_writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/number.h"
#include "error/error.h"
#include "model/invoice.h"
#include "model/invoice_items.h"
#include "model/pay.h"
#include "xml/kinds.h"
#include "xml/xml.h"
#include "xml/xml_text.h"

namespace zarnex::xml {
namespace {

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
static_assert(sizeof kDeclaration - 1 == 38, "the declaration is 38 bytes");

constexpr std::size_t kInitialCapacity = 4096;

constexpr char kSchemaInstanceNamespace[] =
    "http://www.w3.org/2001/XMLSchema-instance";

// Bytes that character data cannot hold as they are: the three characters
// that XML reserves there; the carriage return, which a parser turns into a
// line feed, so that the text would not read back unchanged; and the line
// feed, so that a document is one line. Each is written as a reference.
//
// Bytes to look at before a text is written: those, every other control
// byte but the tab (XML carries none of them, not even as a reference) and
// every byte of a multi-byte character (which must be well-formed UTF-8 of
// a character XML allows). A text without any, the usual case, is copied
// as it is.
#if !defined(__SSE2__)
constexpr std::array<bool, 256> make_special() {
  std::array<bool, 256> special{};
  for (unsigned char c : {'&', '<', '>', '\r', '\n'}) special[c] = true;
  return special;
}
constexpr std::array<bool, 256> kSpecial = make_special();

constexpr std::array<bool, 256> make_suspect() {
  std::array<bool, 256> suspect = make_special();
  for (int c = 0; c < 0x20; ++c) suspect[c] = c != '\t';
  for (int c = 0x80; c < 0x100; ++c) suspect[c] = true;
  return suspect;
}
constexpr std::array<bool, 256> kSuspect = make_suspect();
#endif

std::string_view reference_for(char c) {
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '\n': return "&#10;";
    default: return "&#13;";
  }
}

#if defined(__SSE2__)
// One bit per byte of the sixteen at @a p: set for a special byte.
unsigned special_mask(const char* p) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  // '<' and '>' differ in bit 1 alone: with it set, both are '>'.
  const __m128i angles =
      _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(2)), _mm_set1_epi8('>'));
  const __m128i hits = _mm_or_si128(
      _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('&')), angles),
      _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')),
                   _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))));
  return static_cast<unsigned>(_mm_movemask_epi8(hits));
}

// One bit per byte of the sixteen at @a p: set for a byte to look at.
unsigned suspect_mask(const char* p) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  // Compared as signed bytes, 0x80..0xFF are below 0x20 too.
  const __m128i low_or_high = _mm_andnot_si128(
      _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')),
      _mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20)));
  const __m128i angles =
      _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(2)), _mm_set1_epi8('>'));
  const __m128i hits = _mm_or_si128(
      low_or_high,
      _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('&')), angles));
  return static_cast<unsigned>(_mm_movemask_epi8(hits));
}
#endif

// The position of the first byte of @a text from @a from on that @a mask
// (special_mask or suspect_mask) marks, or the text's size. Most texts hold
// none, so the whole text is usually looked at: sixteen bytes at a time where
// the vector unit is there (a short text through a copy of sixteen bytes, a
// long one with a last look that overlaps the one before), else byte by byte
// through a table (kSpecial or kSuspect).
#if defined(__SSE2__)
template <unsigned (*mask_of)(const char*)>
std::size_t next_marked(std::string_view text, std::size_t from) {
  const char* p = text.data();
  const std::size_t size = text.size();
  if (size - from < 16) {
    char chunk[16] = {};
    copy_bytes(chunk, p + from, size - from);
    // The zero bytes after the text are control bytes: not looked at.
    const unsigned mask =
        mask_of(chunk) & ((1u << (size - from)) - 1);
    return mask == 0 ? size : from + static_cast<std::size_t>(__builtin_ctz(mask));
  }
  for (; from + 16 <= size; from += 16) {
    if (const unsigned mask = mask_of(p + from); mask != 0)
      return from + static_cast<std::size_t>(__builtin_ctz(mask));
  }
  if (from == size) return size;
  // The last sixteen bytes, of which those before @a from were looked at.
  const std::size_t last = size - 16;
  const unsigned mask = mask_of(p + last) >> (from - last);
  return mask == 0 ? size : from + static_cast<std::size_t>(__builtin_ctz(mask));
}

std::size_t next_special(std::string_view text, std::size_t from) {
  return next_marked<special_mask>(text, from);
}
std::size_t next_suspect(std::string_view text, std::size_t from) {
  return next_marked<suspect_mask>(text, from);
}
#else
std::size_t next_marked(const std::array<bool, 256>& table,
                        std::string_view text, std::size_t from) {
  while (from < text.size() && !table[static_cast<unsigned char>(text[from])])
    ++from;
  return from;
}

std::size_t next_special(std::string_view text, std::size_t from) {
  return next_marked(kSpecial, text, from);
}
std::size_t next_suspect(std::string_view text, std::size_t from) {
  return next_marked(kSuspect, text, from);
}
#endif

bool is_special(char c) {
  return c == '&' || c == '<' || c == '>' || c == '\r' || c == '\n';
}

// Looks at every byte of @a text from @a from on that suspect_mask marks
// (@a from is one of them, or the text's end): each must start a character
// that XML carries. Returns false at the first that does not. Otherwise
// returns true and sets @a first_special to the first byte to be written as
// a reference, or to the text's size when there is none.
[[gnu::noinline]] bool check_marked(std::string_view text, std::size_t from,
                                   std::size_t* first_special) {
  const std::size_t size = text.size();
  *first_special = size;
  auto look_at = [&](std::size_t at) {  // the length of its character, or 0
    const std::size_t length = character_length(text, at);
    if (length == 1 && *first_special == size && is_special(text[at]))
      *first_special = at;
    return length;
  };
#if defined(__SSE2__)
  // Sixteen bytes at a time; within them, only the marked bytes are looked
  // at, each once, and a character's continuation bytes are passed over.
  const char* p = text.data();
  std::size_t i = from;
  while (i < size) {
    const std::size_t n = size - i < 16 ? size - i : 16;
    unsigned mask;
    if (n == 16) {
      mask = suspect_mask(p + i);
    } else {
      char chunk[16] = {};
      copy_bytes(chunk, p + i, n);
      mask = suspect_mask(chunk) & ((1u << n) - 1);
    }
    std::size_t next = i + n;  // where the next sixteen bytes start
    while (mask != 0) {
      const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
      const std::size_t length = look_at(at);
      if (length == 0) return false;
      if (at + length >= i + n) {  // the character ends these sixteen bytes
        next = at + length;
        break;
      }
      mask &= ~0u << (at + length - i);
    }
    i = next;
  }
#else
  for (std::size_t i = from; i < size;) {
    if (!kSuspect[static_cast<unsigned char>(text[i])]) {
      ++i;
      continue;
    }
    const std::size_t length = look_at(i);
    if (length == 0) return false;
    i += length;
  }
#endif
  return true;
}

// One element written in place: the start tag's block, then the content (at
// most the room asked for, written by the caller at content()), then the end
// tag's block. Blocks are copied whole, and what the element does not use is
// taken back.
class ElementInPlace {
 public:
  ElementInPlace(XmlOut& out, const ElementTags& name, std::size_t room)
      : out_(out),
        name_(name),
        before_(out.size()),
        start_(out.extend(2 * ElementTags::kBlock + room)) {
    std::memcpy(start_, name.open, ElementTags::kBlock);
  }
  ElementInPlace(const ElementInPlace&) = delete;
  ElementInPlace& operator=(const ElementInPlace&) = delete;

  char* content() const { return start_ + name_.open_size; }
  /// Ends the element after its content, which ends at @a end.
  void finish(char* end) {
    std::memcpy(end, name_.close, ElementTags::kBlock);
    out_.truncate(before_ +
                  static_cast<std::size_t>(end + name_.close_size - start_));
  }
  /// Takes the whole element back.
  void cancel() { out_.truncate(before_); }

 private:
  XmlOut& out_;
  const ElementTags& name_;
  std::size_t before_;
  char* start_;
};

// <name>content</name>.
void append_element(XmlOut& out, const ElementTags& name,
                    std::string_view content) {
  ElementInPlace element(out, name, content.size());
  char* p = element.content();
  copy_bytes(p, content.data(), content.size());
  element.finish(p + content.size());
}

// Character data with the special bytes escaped, as runs between them.
void append_escaped(XmlOut& out, std::string_view text,
                    std::size_t first_special) {
  std::size_t done = 0;
  for (std::size_t i = first_special; i < text.size();
       i = next_special(text, done)) {
    out.append(text.substr(done, i - done));
    out.append(reference_for(text[i]));
    done = i + 1;
  }
  out.append(text.substr(done));
}

// The declaration and the root's start tag with its attributes.
std::string make_document_start(std::string_view root,
                                std::string_view type_name) {
  std::string start(kDeclaration);
  start.append(1, '<').append(root);
  start.append(" xmlns:xsi=\"").append(kSchemaInstanceNamespace);
  start.append("\" xsi:type=\"").append(type_name);
  start.append("\" xmlns=\"").append(kDocumentNamespace).append("\">");
  return start;
}

// Positions in document_starts(): Pay, InvoiceItems, then the invoice
// sub-kinds in order.
constexpr std::size_t kPayStart = 0;
constexpr std::size_t kInvoiceItemsStart = 1;
constexpr std::size_t kFirstInvoiceStart = 2;
static_assert(std::size(kInvoiceTypeNames) == kInvoiceKinds,
              "check_header admits exactly the sub-kinds that have a name");

using DocumentStarts =
    std::array<std::string, kFirstInvoiceStart + std::size(kInvoiceTypeNames)>;

// make_document_start() of every root and type, built once.
const DocumentStarts& document_starts() {
  static const DocumentStarts kStarts = [] {
    DocumentStarts starts;
    starts[kPayStart] = make_document_start("Pay", "Pay");
    starts[kInvoiceItemsStart] =
        make_document_start("InvoiceItems", "InvoiceItems");
    for (std::size_t i = 0; i < std::size(kInvoiceTypeNames); ++i) {
      starts[kFirstInvoiceStart + i] =
          make_document_start("Invoice", kInvoiceTypeNames[i]);
    }
    return starts;
  }();
  return kStarts;
}

// Records that the element's text cannot be written and fails @a out.
[[gnu::noinline]] void refuse(XmlOut& out, const ElementTags& name) {
  out.fail(
      set_error_detail(ErrorCode::kInvalidValue, name.name(), kNotXmlText));
}

// <name>text</name> with the special bytes escaped, the first at @a special.
[[gnu::noinline]] void write_escaped(XmlOut& out, const ElementTags& name,
                                     std::string_view text,
                                     std::size_t special) {
  xml_append_tag(out, name);
  append_escaped(out, text, special);
  xml_append_tag(out, name, /*end=*/true);
}

}  // namespace

void xml_write_string(XmlOut& out, const ElementTags& name,
                      const StringValue& value) {
  if (is_blank(value)) return;
  const std::string_view text = *value;
  std::size_t special = 0;
#if defined(__SSE2__)
  if (text.size() < 16) {
    // Most texts are short and plain ASCII: such a text is written as it is
    // and looked at where it was written, in one look, since the end tag's
    // block after it makes sixteen bytes there readable. One with other
    // characters stays as written once they are checked.
    ElementInPlace element(out, name, text.size());
    char* const written = element.content();
    copy_bytes(written, text.data(), text.size());
    element.finish(written + text.size());
    const unsigned mask = suspect_mask(written) & ((1u << text.size()) - 1);
    if (mask == 0) return;
    const bool writable = check_marked(
        text, static_cast<std::size_t>(__builtin_ctz(mask)), &special);
    if (writable && special == text.size()) return;
    element.cancel();
    if (!writable) {
      refuse(out, name);
      return;
    }
    write_escaped(out, name, text, special);
    return;
  }
#endif
  const std::size_t suspect = next_suspect(text, 0);
  if (suspect != text.size() && !check_marked(text, suspect, &special)) {
    refuse(out, name);
    return;
  }
  if (suspect == text.size() || special == text.size()) {
    append_element(out, name, text);
    return;
  }
  write_escaped(out, name, text, special);
}

void xml_write_int(XmlOut& out, const ElementTags& name,
                   const IntValue& value) {
  if (!value) return;
  // The same text as printf "%i", written in place between the tags.
  constexpr std::size_t kIntRoom = 11;  // "-2147483648"
  ElementInPlace element(out, name, kIntRoom);
  char* const digits = element.content();
  element.finish(std::to_chars(digits, digits + kIntRoom, *value).ptr);
}

void xml_write_decimal(XmlOut& out, const ElementTags& name,
                       const DecimalValue& value) {
  if (!value) return;
  // The digits are written in place, between the tags.
  ElementInPlace element(out, name, code::kShortDecimalRoom);
  char* const digits = element.content();
  if (const std::size_t n = code::format_short_decimal(*value, digits);
      n != 0) {
    element.finish(digits + n);
    return;
  }
  element.cancel();
  append_element(out, name, code::format_decimal(*value));
}

void xml_write_enum(XmlOut& out, const ElementTags& name,
                    const IntValue& value, NameTable names) {
  if (!value || *value < 0 || static_cast<std::size_t>(*value) >= names.size())
    return;
  const char* text = names[static_cast<std::size_t>(*value)];
  if (text == nullptr || *text == '\0') return;
  append_element(out, name, text);
}

void xml_write_code(XmlOut& out, const ElementTags& name,
                    const StringValue& code, NameTable names,
                    NameTable codes) {
  if (!code) return;
  for (std::size_t i = 0; i < codes.size() && i < names.size(); ++i) {
    if (codes[i] == nullptr || *code != codes[i]) continue;
    if (names[i] != nullptr && *names[i] != '\0')
      append_element(out, name, names[i]);
    return;
  }
}

void xml_write_flags(XmlOut& out, const ElementTags& name,
                     const IntValue& value, NameTable names) {
  if (!value) return;
  const auto bits = static_cast<std::uint32_t>(*value);
  const std::size_t start = out.size();
  xml_append_tag(out, name);
  const std::size_t content = out.size();
  for (std::size_t i = 0; i < names.size() && i < 32; ++i) {
    if ((bits & (std::uint32_t{1} << i)) == 0 || names[i] == nullptr) continue;
    if (out.size() != content) out.append(' ');
    out.append(names[i]);
  }
  if (out.size() == content) {
    out.truncate(start);
    return;
  }
  xml_append_tag(out, name, /*end=*/true);
}

void xml_write_strings(
    XmlOut& out,
    std::initializer_list<std::pair<const ElementTags&, const StringValue*>>
        fields) {
  for (const auto& [name, value] : fields) xml_write_string(out, name, *value);
}

void xml_write_decimals(
    XmlOut& out,
    std::initializer_list<std::pair<const ElementTags&, const DecimalValue*>>
        fields) {
  for (const auto& [name, value] : fields)
    xml_write_decimal(out, name, *value);
}

int document_to_xml(const Document& document, TextBuffer& out) {
  const DocumentHeader& header = document.header;
  std::string_view end_tag;  // empty: no kind that can be written
  std::size_t start = 0;  // in document_starts()
  const Pay* pay = nullptr;
  const Invoice* invoice = nullptr;
  const InvoiceItems* items = nullptr;
  // The header decides the kind: it must name one that can be written
  // (check_header, as the decoder checks a code's header) and match the
  // record it sits in.
  const int type = header.type();
  if (type != static_cast<int>(DocumentType::kPay) &&
      type != static_cast<int>(DocumentType::kInvoice) &&
      type != static_cast<int>(DocumentType::kInvoiceItems))
    return set_error(ErrorCode::kXml, "Error in getting root and type");
  if (int status = check_header(header); status != 0) return status;
  switch (type) {
    case static_cast<int>(DocumentType::kPay):
      pay = dynamic_cast<const Pay*>(&document);
      if (pay != nullptr) {
        end_tag = "</Pay>";
        start = kPayStart;
      }
      break;
    case static_cast<int>(DocumentType::kInvoice):
      invoice = dynamic_cast<const Invoice*>(&document);
      if (invoice != nullptr) {
        end_tag = "</Invoice>";
        start = kFirstInvoiceStart +
                static_cast<std::size_t>(header.sub_kind());
      }
      break;
    default:
      items = dynamic_cast<const InvoiceItems*>(&document);
      if (items != nullptr) {
        end_tag = "</InvoiceItems>";
        start = kInvoiceItemsStart;
      }
      break;
  }
  if (end_tag.empty())
    return set_error(ErrorCode::kXml, "Error in getting root and type");

  XmlOut xml(out);
  xml.append(document_starts()[start]);
  if (pay != nullptr) {
    pay_to_xml(xml, *pay);
  } else if (invoice != nullptr) {
    invoice_to_xml(xml, *invoice);
  } else {
    invoice_items_to_xml(xml, *items);
  }
  xml.append(end_tag);
  if (const int status = xml.status(); status != 0) {
    xml.clear();
    return status;
  }
  return 0;
}

int document_to_xml(const Document& document, std::string* out) {
  // One buffer per thread, kept: most documents fit in what the ones before
  // left, so writing allocates nothing but the result.
  thread_local TextBuffer text(kInitialCapacity);
  text.clear();
  if (int status = document_to_xml(document, text); status != 0) return status;
  if (out != nullptr) out->assign(text.data(), text.size());
  return 0;
}

}  // namespace zarnex::xml
