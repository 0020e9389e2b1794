#include "xml/xml_reader.h"

#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

#include "base/number.h"
#include "error/error.h"
#include "xml/kinds.h"
#include "xml/xml.h"

namespace zarnex::xml {
namespace {

static_assert(kMaxTextBytes == 65536 && kMaxTextParts == 1024 &&
                  kMaxEntityBytes == 1048576,
              "the error details name the limits");

// One message of the parser. Messages of the generic channel carry no line
// number and are shown with line 0.
struct ParseMessage {
  std::string text;
  int line = 0;
};

// The parse-error log, filled by the libxml2 handlers while a text is parsed.
// Like libxml2's handler settings and the error state, it is kept per thread,
// so documents may be read on several threads at once.
thread_local std::vector<ParseMessage> g_parse_log;

// Whether libxml2 reported an error that stops the parse (a fatal error, or
// running out of memory) while the text was parsed. It stops
// at such an error but can still hand back the tree built so far (a text
// node beyond its size limit, say); that tree lacks the rest of the document
// and must not be read as the whole of it.
thread_local bool g_fatal_error = false;

// What the entity references of the document being read may still expand
// to; reset for every document.
thread_local std::size_t g_entity_bytes_left = kMaxEntityBytes;

void log_message(const char* text, int line) {
  if (text == nullptr) {
    g_parse_log.clear();
    return;
  }
  try {
    g_parse_log.push_back(ParseMessage{text, line});
  } catch (const std::bad_alloc&) {
    // A log that cannot be kept whole is not kept at all.
    g_parse_log.clear();
  }
}

std::string vformat(const char* format, va_list args) {
  va_list again;
  va_copy(again, args);
  char small[256];
  int n = std::vsnprintf(small, sizeof small, format, args);
  std::string text;
  if (n >= 0 && static_cast<std::size_t>(n) < sizeof small) {
    text.assign(small, static_cast<std::size_t>(n));
  } else if (n >= 0) {
    text.resize(static_cast<std::size_t>(n));
    std::vsnprintf(text.data(), text.size() + 1, format, again);
  }
  va_end(again);
  return text;
}

__attribute__((format(printf, 2, 3))) void gather_generic_message(
    void* /*context*/, const char* format, ...) {
  if (format == nullptr) {
    log_message(nullptr, 0);
    return;
  }
  va_list args;
  va_start(args, format);
  try {
    log_message(vformat(format, args).c_str(), 0);
  } catch (const std::bad_alloc&) {
    g_parse_log.clear();
  }
  va_end(args);
}

void gather_structured_message(void* /*context*/, xmlErrorPtr error) {
  if (error == nullptr) {
    log_message(nullptr, 0);
    return;
  }
  // libxml2 reports a text node beyond its size limit as a memory error of
  // level "error", and stops there all the same.
  if (error->level == XML_ERR_FATAL || error->code == XML_ERR_NO_MEMORY)
    g_fatal_error = true;
  log_message(error->message, error->line);
}

// The size of an element's text before it is built, counted the way
// xmlNodeListGetString() builds it: the text of text and CDATA nodes, and
// for an entity reference the text of the entity's own node list. Counting
// stops as soon as a limit is passed, so an entity bomb costs little.
struct TextMeasure {
  std::size_t bytes_left = kMaxTextBytes;
  std::size_t parts_left = kMaxTextParts;
  std::size_t expanded = 0;  // bytes that come from entity references
};

bool measure_text(const xmlDoc* doc, const xmlNode* list, bool in_entity,
                  TextMeasure& measure) {
  for (const xmlNode* node = list; node != nullptr; node = node->next) {
    if (measure.parts_left == 0) return false;
    --measure.parts_left;
    const xmlChar* content = nullptr;
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
      content = node->content;
    } else if (node->type == XML_ENTITY_REF_NODE) {
      const xmlEntity* entity =
          loaded_libxml2().xmlGetDocEntity(doc, node->name);
      if (entity != nullptr) {
        if (!measure_text(doc, entity->children, true, measure)) return false;
        continue;
      }
      content = node->content;
    } else {
      continue;
    }
    std::size_t length = content ? std::strlen(as_chars(content)) : 0;
    if (length > measure.bytes_left) return false;
    measure.bytes_left -= length;
    if (in_entity) measure.expanded += length;
  }
  return true;
}

// An element's text: borrowed from the tree when the element holds a single
// text node (the usual case), otherwise built by libxml2.
struct ElementText {
  const char* chars = nullptr;  // null when there is no text
  XmlCharPtr built;
};

// The text of the child named @a name, with entity references replaced.
// @a text stays empty when the child is missing or has no text.
int read_child_text(const xmlNode* parent, const char* name,
                    ElementText& text) {
  const xmlNode* child = xml_find_child(parent, name);
  if (child == nullptr || child->children == nullptr) return 0;
  TextMeasure measure;
  if (!measure_text(child->doc, child->children, false, measure))
    return set_error_detail(ErrorCode::kXml, name, kTextTooLong);
  if (measure.expanded > g_entity_bytes_left)
    return set_error_detail(ErrorCode::kXml, name, kEntitiesTooLong);
  g_entity_bytes_left -= measure.expanded;
  const xmlNode* first = child->children;
  if (first->next == nullptr && (first->type == XML_TEXT_NODE ||
                                 first->type == XML_CDATA_SECTION_NODE)) {
    text.chars = as_chars(first->content);
  } else {
    text.built.reset(
        loaded_libxml2().xmlNodeListGetString(child->doc, first, 1));
    text.chars = as_chars(text.built.get());
  }
  if (text.chars != nullptr && text.chars[0] == '\0') text.chars = nullptr;
  return 0;
}

// The position of the first entry of @a names equal to @a word, or -1.
int find_name(std::string_view word, NameTable names) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] != nullptr && word == names[i]) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

const xmlNode* xml_find_child(const xmlNode* parent, const char* name) {
  if (parent == nullptr) return nullptr;
  for (const xmlNode* child = parent->children; child != nullptr;
       child = child->next) {
    // Only elements: an entity reference node shares the name of its entity
    // and points at the declaration, not at elements.
    if (child->type == XML_ELEMENT_NODE && node_name_is(child, name))
      return child;
  }
  return nullptr;
}

int xml_read_string(const xmlNode* parent, const char* name,
                    StringValue& out) {
  ElementText text;
  if (int status = read_child_text(parent, name, text)) return status;
  if (text.chars != nullptr) set_string(out, text.chars);
  return 0;
}

int xml_read_int(const xmlNode* parent, const char* name, IntValue& out) {
  ElementText text;
  if (int status = read_child_text(parent, name, text)) return status;
  if (text.chars == nullptr) return 0;
  std::int32_t value = 0;
  // A number beyond the 32-bit range is refused like a malformed one.
  if (code::parse_int(text.chars, &value) != code::kNumberOk)
    return set_error_detail(ErrorCode::kXml, name, kInvalidInteger);
  set_int(out, value);
  return 0;
}

int xml_read_decimal(const xmlNode* parent, const char* name,
                     DecimalValue& out) {
  ElementText text;
  if (int status = read_child_text(parent, name, text)) return status;
  if (text.chars == nullptr) return 0;
  double value = 0.0;
  // Not-a-number and infinities are refused like malformed numbers.
  if (code::parse_decimal(text.chars, &value) != code::kNumberOk)
    return set_error_detail(ErrorCode::kXml, name, kInvalidDecimal);
  set_decimal(out, value);
  return 0;
}

int xml_read_enum(const xmlNode* parent, const char* name, IntValue& out,
                  NameTable names) {
  ElementText text;
  if (int status = read_child_text(parent, name, text)) return status;
  if (text.chars == nullptr) return 0;
  int index = find_name(text.chars, names);
  if (index < 0) return set_error_detail(ErrorCode::kXml, name, kInvalidEnum);
  set_int(out, index);
  return 0;
}

int xml_read_code(const xmlNode* parent, const char* name, StringValue& out,
                  NameTable names, NameTable codes) {
  ElementText text;
  if (int status = read_child_text(parent, name, text)) return status;
  if (text.chars == nullptr) return 0;
  int index = find_name(text.chars, names);
  if (index < 0 || static_cast<std::size_t>(index) >= codes.size() ||
      codes[static_cast<std::size_t>(index)] == nullptr)
    return set_error_detail(ErrorCode::kXml, name, kInvalidEnum);
  set_string(out, codes[static_cast<std::size_t>(index)]);
  return 0;
}

int xml_read_flags(const xmlNode* parent, const char* name, IntValue& out,
                   NameTable names) {
  ElementText text;
  if (int status = read_child_text(parent, name, text)) return status;
  if (text.chars == nullptr) return 0;
  std::string_view rest = text.chars;
  std::uint32_t bits = 0;
  while (!rest.empty()) {
    // Words are separated by runs of spaces only.
    std::size_t start = rest.find_first_not_of(' ');
    if (start == std::string_view::npos) break;
    rest.remove_prefix(start);
    std::size_t end = rest.find(' ');
    std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
    int index = find_name(word, names);
    if (index < 0 || index >= 32) continue;
    std::uint32_t bit = std::uint32_t{1} << index;
    if (bits & bit)
      return set_error_detail(ErrorCode::kXml, name, kDuplicateFlag);
    bits |= bit;
  }
  set_int(out, static_cast<std::int32_t>(bits));
  return 0;
}

int xml_read_strings(
    const xmlNode* parent,
    std::initializer_list<std::pair<const char*, StringValue*>> fields) {
  for (const auto& [name, value] : fields) {
    if (int status = xml_read_string(parent, name, *value)) return status;
  }
  return 0;
}

int xml_read_decimals(
    const xmlNode* parent,
    std::initializer_list<std::pair<const char*, DecimalValue*>> fields) {
  for (const auto& [name, value] : fields) {
    if (int status = xml_read_decimal(parent, name, *value)) return status;
  }
  return 0;
}

int xml_check_root_type(const xmlNode* root, NameTable accepted, int* index) {
  const LibXml2& lib = loaded_libxml2();
  XmlCharPtr value(lib.xmlGetProp(root, as_xml_chars("type")));
  int position = 0;
  if (value != nullptr) {
    position = -1;
    for (std::size_t i = 0; i < accepted.size(); ++i) {
      if (lib.xmlStrcmp(value.get(), as_xml_chars(accepted[i])) == 0) {
        position = static_cast<int>(i);
        break;
      }
    }
    if (position < 0)
      return set_error(ErrorCode::kXml,
                       "Attribute 'type' in root element has invalid value.");
  }
  if (index != nullptr) *index = position;
  return 0;
}

ErrorHandlerScope::ErrorHandlerScope(const LibXml2& lib)
    : lib_(lib),
      generic_(*lib.__xmlGenericError()),
      generic_context_(*lib.__xmlGenericErrorContext()),
      structured_(*lib.__xmlStructuredError()),
      structured_context_(*lib.__xmlStructuredErrorContext()) {
  // Copied before any message of ours can replace it. Should the copy fail
  // for want of memory, the error is put back without its texts.
  xmlError* last = lib.__xmlLastError();
  if (last->code != XML_ERR_OK) lib.xmlCopyError(last, &last_error_);
  lib.xmlSetGenericErrorFunc(nullptr, gather_generic_message);
  lib.xmlSetStructuredErrorFunc(nullptr, gather_structured_message);
}

ErrorHandlerScope::~ErrorHandlerScope() {
  // The last error first, while a message that copying it might raise still
  // lands in our log rather than with the host.
  xmlError* last = lib_.__xmlLastError();
  if (last_error_.code == XML_ERR_OK) {
    lib_.xmlResetError(last);
  } else {
    lib_.xmlCopyError(&last_error_, last);
    lib_.xmlResetError(&last_error_);
  }
  // Written back as they were read: xmlSetGenericErrorFunc() would turn a
  // null handler into libxml2's default one.
  *lib_.__xmlGenericError() = generic_;
  *lib_.__xmlGenericErrorContext() = generic_context_;
  *lib_.__xmlStructuredError() = structured_;
  *lib_.__xmlStructuredErrorContext() = structured_context_;
}

void clear_parse_log() {
  g_parse_log.clear();
  g_parse_log.shrink_to_fit();
}

std::optional<std::string> join_parse_log() {
  if (g_parse_log.empty()) return std::nullopt;
  std::string joined;
  try {
    std::size_t size = 0;
    for (const ParseMessage& message : g_parse_log)
      size += message.text.size() + 20;
    joined.reserve(size);
    for (const ParseMessage& message : g_parse_log) {
      joined.append(message.text);
      joined.append(" line:");
      joined.append(std::to_string(message.line));
      joined.append(",\n");
    }
  } catch (const std::bad_alloc&) {
    clear_parse_log();
    return std::nullopt;
  }
  clear_parse_log();
  return joined;
}

int document_from_xml(std::string_view text, DocumentPtr* out) {
  clear_parse_log();
  if (text.data() == nullptr)
    return set_error(ErrorCode::kNullPointer, "XML cannot be NULL.");
  std::string why;
  const LibXml2* lib = libxml2(&why);
  if (lib == nullptr)
    return set_error_detail_owned(ErrorCode::kXml, "Cannot load libxml2:",
                                  why + ". ");
  // Ends after the tree is released (doc is declared after it), on every
  // path: the host's handlers are back before the caller sees the result.
  ErrorHandlerScope handlers(*lib);
  g_entity_bytes_left = kMaxEntityBytes;
  g_fatal_error = false;

  XmlDocPtr doc;
  // The parser takes an int length; a longer text gets no tree.
  if (text.size() <= static_cast<std::size_t>(INT_MAX)) {
    // Options 0: no DTD is loaded, no external entity is fetched, and
    // entity references stay references until an element's text is read.
    doc.reset(lib->xmlReadMemory(text.data(),
                                 static_cast<int>(text.size()), "noname.xml",
                                 nullptr, 0));
  }
  const xmlNode* root = doc ? lib->xmlDocGetRootElement(doc.get()) : nullptr;
  if (root == nullptr || g_fatal_error) {
    doc.reset();
    if (std::optional<std::string> joined = join_parse_log())
      return set_error_detail_owned(ErrorCode::kXml,
                                    "Getting root element error\n",
                                    std::move(*joined));
    return set_error(ErrorCode::kXml, "Getting root element error");
  }
  // Warnings of a parse that produced a tree are not reported.
  clear_parse_log();

  DocumentPtr document;
  int status = 0;
  if (node_name_is(root, "Pay")) {
    status = pay_from_xml(root, &document);
  } else if (node_name_is(root, "Invoice")) {
    status = invoice_from_xml(root, &document);
  } else if (node_name_is(root, "InvoiceItems")) {
    status = invoice_items_from_xml(root, &document);
  }
  if (status == 0 && document != nullptr && out != nullptr)
    *out = std::move(document);
  return status;
}

}  // namespace zarnex::xml
