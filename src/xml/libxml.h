#ifndef ZARNEX_XML_LIBXML_H_
#define ZARNEX_XML_LIBXML_H_

// The one place that includes libxml2. Only files of xml/ include this
// header; the rest of the system sees documents and texts only.
//
// libxml2 (and ICU, which it loads in turn) is loaded on first use, not at
// the start of the process: only reading XML needs it, and loading it cost
// more than decoding a code. Its functions are called through the table
// that libxml2() fills.

#include <libxml/entities.h>
#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <cstring>
#include <memory>
#include <string>

namespace zarnex::platform {
class SharedLibrary;
}

namespace zarnex::xml {

/// The libxml2 functions the system calls, by their libxml2 names.
struct LibXml2 {
  decltype(&::xmlInitParser) xmlInitParser;
  decltype(&::xmlSetGenericErrorFunc) xmlSetGenericErrorFunc;
  decltype(&::xmlSetStructuredErrorFunc) xmlSetStructuredErrorFunc;
  /// The calling thread's error handlers and their contexts (libxml2 keeps
  /// them per thread; its xmlGenericError and the others are macros over
  /// these), read and put back around every parse.
  decltype(&::__xmlGenericError) __xmlGenericError;
  decltype(&::__xmlGenericErrorContext) __xmlGenericErrorContext;
  decltype(&::__xmlStructuredError) __xmlStructuredError;
  decltype(&::__xmlStructuredErrorContext) __xmlStructuredErrorContext;
  /// The calling thread's last error (xmlGetLastError()), kept and put back
  /// the same way.
  decltype(&::__xmlLastError) __xmlLastError;
  decltype(&::xmlCopyError) xmlCopyError;
  decltype(&::xmlResetError) xmlResetError;
  decltype(&::xmlReadMemory) xmlReadMemory;
  decltype(&::xmlDocGetRootElement) xmlDocGetRootElement;
  decltype(&::xmlGetProp) xmlGetProp;
  decltype(&::xmlNodeListGetString) xmlNodeListGetString;
  decltype(&::xmlGetDocEntity) xmlGetDocEntity;
  decltype(&::xmlFreeDoc) xmlFreeDoc;
  decltype(&::xmlStrcmp) xmlStrcmp;
  /// The line of a node, also beyond the 65535 that a node itself holds
  /// (strict reading names the line of every element it refuses).
  decltype(&::xmlGetLineNo) xmlGetLineNo;
  /// libxml2's variable holding the function that frees its texts.
  xmlFreeFunc* xmlFree;
};

/// Loads libxml2 the first time and returns its functions, the same table on
/// every call; nullptr when the library or one of the functions cannot be
/// found, with the reason in @a why (when given).
const LibXml2* libxml2(std::string* why = nullptr);

/// Resolves every entry of @a table from @a library (libxml2 itself, or in
/// tests a library that lacks some of them).
void fill_libxml2(platform::SharedLibrary& library, LibXml2& table);

/// The table of a libxml2 already loaded: only code that holds something
/// libxml2 made (a tree, a text) calls this.
inline const LibXml2& loaded_libxml2() { return *libxml2(); }

struct XmlDocFree {
  void operator()(xmlDoc* doc) const { loaded_libxml2().xmlFreeDoc(doc); }
};
/// A parsed tree, released with xmlFreeDoc.
using XmlDocPtr = std::unique_ptr<xmlDoc, XmlDocFree>;

struct XmlCharFree {
  void operator()(xmlChar* text) const { (*loaded_libxml2().xmlFree)(text); }
};
/// A text allocated by libxml2, released with xmlFree.
using XmlCharPtr = std::unique_ptr<xmlChar, XmlCharFree>;

/// libxml2 texts are UTF-8 bytes typed as unsigned char.
inline const char* as_chars(const xmlChar* text) {
  return reinterpret_cast<const char*>(text);
}
inline const xmlChar* as_xml_chars(const char* text) {
  return reinterpret_cast<const xmlChar*>(text);
}

/// True when the node's name equals @a name byte for byte.
inline bool node_name_is(const xmlNode* node, const char* name) {
  return node->name != nullptr && std::strcmp(as_chars(node->name), name) == 0;
}

}  // namespace zarnex::xml

#endif  // ZARNEX_XML_LIBXML_H_
