#ifndef ZARNEX_XML_XML_READER_H_
#define ZARNEX_XML_XML_READER_H_

// Element-reading operations shared by the readers of the three kinds.
// Internal to xml/.
//
// Every operation looks for the first element child of @a parent whose name
// equals @a name (case-sensitive; namespaces and prefixes play no part).
// When there is none, or it has no text, the target is left untouched and
// the status is 0. A failure records code 9 (ERROR_XML) with the element
// name as subject, so @a name must be a static text (a string literal).
//
// An element's text is its character data with character and entity
// references replaced; white space is kept as it is. Texts are bounded:
// one element's text may not exceed kMaxTextBytes or be made of more than
// kMaxTextParts pieces, and the entity references of one document may not
// expand to more than kMaxEntityBytes in all.

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "model/value.h"
#include "xml/libxml.h"
#include "xml/name_table.h"

namespace zarnex::xml {

inline constexpr std::size_t kMaxTextBytes = 64 * 1024;
inline constexpr std::size_t kMaxTextParts = 1024;
inline constexpr std::size_t kMaxEntityBytes = 1024 * 1024;

inline constexpr char kInvalidInteger[] = "Invalid integer format.";
inline constexpr char kInvalidDecimal[] =
    "Invalid decimal format. Use dot '.' as a decimal mark.";
inline constexpr char kInvalidEnum[] = "Invalid enum value.";
inline constexpr char kDuplicateFlag[] = "Contains duplicate value.";
inline constexpr char kTextTooLong[] =
    "Text too long: more than 65536 bytes or 1024 parts after entity "
    "expansion.";
inline constexpr char kEntitiesTooLong[] =
    "Entity references of the document expand to more than 1048576 bytes.";

/// The first element child of @a parent named @a name, or null.
const xmlNode* xml_find_child(const xmlNode* parent, const char* name);

/// The child's text as a string. Fails only for an over-long text.
int xml_read_string(const xmlNode* parent, const char* name, StringValue& out);

/// The child's text as a base-10 32-bit integer: optional leading white
/// space, optional sign, digits and nothing after them.
int xml_read_int(const xmlNode* parent, const char* name, IntValue& out);

/// The child's text as a finite decimal number with a dot as decimal mark.
int xml_read_decimal(const xmlNode* parent, const char* name,
                     DecimalValue& out);

/// The position of the child's text in @a names.
int xml_read_enum(const xmlNode* parent, const char* name, IntValue& out,
                  NameTable names);

/// The entry of @a codes at the position of the child's text in @a names.
int xml_read_code(const xmlNode* parent, const char* name, StringValue& out,
                  NameTable names, NameTable codes);

/// The names in the child's text, separated by runs of spaces (tabs and
/// line breaks are part of a word), as a bit set. Words that are no name
/// are skipped; a name given twice fails.
int xml_read_flags(const xmlNode* parent, const char* name, IntValue& out,
                   NameTable names);

/// Several strings (decimals) in turn: (element name, target) pairs. The
/// first failure ends the reading with its status.
int xml_read_strings(
    const xmlNode* parent,
    std::initializer_list<std::pair<const char*, StringValue*>> fields);
int xml_read_decimals(
    const xmlNode* parent,
    std::initializer_list<std::pair<const char*, DecimalValue*>> fields);

/// Reads the first child named @a list_name as a list: every element child
/// named @a item_name in document order becomes a new T filled by
/// @a read_item(item element, T&), which returns a status. The list is
/// present (possibly empty) whenever the list element is; the first failing
/// item ends the reading with its status.
template <class T, class ItemReader>
int xml_read_list(const xmlNode* parent, const char* list_name,
                  const char* item_name, ListValue<T>& out,
                  ItemReader&& read_item) {
  const xmlNode* list = xml_find_child(parent, list_name);
  if (list == nullptr) return 0;
  out.emplace();
  for (const xmlNode* child = list->children; child != nullptr;
       child = child->next) {
    if (child->type != XML_ELEMENT_NODE || !node_name_is(child, item_name))
      continue;
    auto item = std::make_unique<T>();
    if (int status = read_item(child, *item)) return status;
    out->append(std::move(item));
  }
  return 0;
}

/// Checks the root's attribute of local name "type" (in any namespace)
/// against the values a kind accepts. A missing attribute is accepted as
/// the first value. Stores the matching position in @a index (when not
/// null); fails with "Attribute 'type' in root element has invalid value."
int xml_check_root_type(const xmlNode* root, NameTable accepted, int* index);

// The gathered parser messages, exposed for tests. The log is kept per
// thread and is emptied at the start of every document_from_xml().

/// While it lives, the calling thread's libxml2 error handlers are the
/// generic and the structured handler that gather the parser's messages into
/// the log (both with a null context). When it ends, on every path, the
/// thread's handlers, their contexts and its last error (xmlGetLastError())
/// are again what they were when it was made: a host program that uses
/// libxml2 itself keeps receiving its own messages after a call of this
/// library, and finds libxml2 as it left it. libxml2 keeps all of these per
/// thread, so scopes on different threads do not meet; nothing else of
/// libxml2's settings is touched. Made and ended on one thread.
class ErrorHandlerScope {
 public:
  explicit ErrorHandlerScope(const LibXml2& lib);
  ~ErrorHandlerScope();
  ErrorHandlerScope(const ErrorHandlerScope&) = delete;
  ErrorHandlerScope& operator=(const ErrorHandlerScope&) = delete;

 private:
  const LibXml2& lib_;
  xmlGenericErrorFunc generic_;
  void* generic_context_;
  xmlStructuredErrorFunc structured_;
  void* structured_context_;
  xmlError last_error_{};  // a copy; code XML_ERR_OK when there was none
};

/// Drops every gathered message.
void clear_parse_log();

/// Every message followed by " line:", its line number (0 for a message
/// without one), a comma and a line break; empties the log. Null when the
/// log holds no message.
std::optional<std::string> join_parse_log();

}  // namespace zarnex::xml

#endif  // ZARNEX_XML_XML_READER_H_
