#ifndef ZARNEX_XML_LIBXML_H_
#define ZARNEX_XML_LIBXML_H_

// The one place that includes libxml2. Only files of xml/ include this
// header; the rest of the system sees documents and texts only.

#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <cstring>
#include <memory>

namespace zarnex::xml {

struct XmlDocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
/// A parsed tree, released with xmlFreeDoc.
using XmlDocPtr = std::unique_ptr<xmlDoc, XmlDocFree>;

struct XmlCharFree {
  void operator()(xmlChar* text) const { xmlFree(text); }
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
