#include "xml/strict_xml.h"

#include <climits>
#include <set>
#include <string>
#include <utility>

#include "check/grammar.h"
#include "check/values.h"
#include "error/error.h"
#include "xml/libxml.h"
#include "xml/xml_reader.h"

namespace zarnex::xml {
namespace {

using check::Element;
using check::Finding;
using check::Form;

constexpr int kXml = static_cast<int>(ErrorCode::kXml);

class Walker {
 public:
  Walker(const LibXml2& lib, bool strict, check::Scan& scan)
      : lib_(lib), strict_(strict), scan_(scan) {}

  void root(const xmlNode* node, const Element& grammar) {
    scan_.root = as_chars(node->name);
    check_namespace(node, scan_.root, grammar.name);
    record(node, grammar, "");
  }

 private:
  int line_of(const xmlNode* node) const {
    return static_cast<int>(lib_.xmlGetLineNo(node));
  }

  void report(const xmlNode* node, std::string path, int code,
              std::string_view subject, std::string detail) {
    if (!strict_) return;
    Finding finding;
    finding.path = path.empty() ? scan_.root : std::move(path);
    finding.line = line_of(node);
    finding.code = code;
    finding.subject = subject;
    finding.message = std::string(subject) + std::move(detail);
    scan_.findings.push_back(std::move(finding));
  }

  void check_namespace(const xmlNode* node, const std::string& path,
                       std::string_view name) {
    if (node->ns != nullptr && node->ns->href != nullptr &&
        as_chars(node->ns->href) == check::kDocumentNamespace)
      return;
    report(node, path, kXml, name,
           " is not in the document namespace " +
               std::string(check::kDocumentNamespace) + ". ");
  }

  // Non-blank character data (or an entity reference) among elements.
  static bool is_stray_text(const xmlNode* node) {
    if (node->type == XML_ENTITY_REF_NODE) return true;
    if (node->type != XML_TEXT_NODE && node->type != XML_CDATA_SECTION_NODE)
      return false;
    for (const char* c = as_chars(node->content); c && *c; ++c) {
      if (*c != ' ' && *c != '\t' && *c != '\n' && *c != '\r') return true;
    }
    return false;
  }

  static std::string child_path(const std::string& parent,
                                std::string_view name) {
    std::string path = parent;
    if (!path.empty()) path.push_back('/');
    path.append(name);
    return path;
  }

  void place(const xmlNode* node, const std::string& path,
             std::string_view name) {
    scan_.places.push_back(check::Place{path, std::string(name),
                                        line_of(node)});
  }

  // Reports text among the elements of a record or list, once per parent.
  // At the line of the element that holds the text: libxml2 puts a text
  // node at the line where it ends.
  void stray_text(const xmlNode* node, const xmlNode* child,
                  const Element& grammar, const std::string& path,
                  bool& text_reported) {
    if (text_reported || !is_stray_text(child)) return;
    report(node, path, kXml, grammar.name, " holds text where elements belong. ");
    text_reported = true;
  }

  void record(const xmlNode* node, const Element& grammar,
              const std::string& path) {
    std::set<std::string_view> seen;
    bool text_reported = false;
    for (const xmlNode* child = node->children; child != nullptr;
         child = child->next) {
      if (child->type != XML_ELEMENT_NODE) {
        stray_text(node, child, grammar, path, text_reported);
        continue;
      }
      const std::string_view name = as_chars(child->name);
      const std::string path_here = child_path(path, name);
      const Element* element = check::find_child(grammar, name);
      if (element == nullptr) {
        report(child, path_here, kXml, name,
               " is not an element of " + std::string(grammar.name) + ". ");
        continue;
      }
      check_namespace(child, path_here, name);
      if (!seen.insert(element->name).second) {
        report(child, path_here, kXml, name,
               " is given more than once in " + std::string(grammar.name) +
                   "; only the first is read. ");
        continue;
      }
      place(child, path_here, name);
      member(child, *element, path_here);
    }
  }

  void list(const xmlNode* node, const Element& grammar,
            const std::string& path) {
    const Element& item = grammar.children.front();
    int index = 0;
    bool text_reported = false;
    for (const xmlNode* child = node->children; child != nullptr;
         child = child->next) {
      if (child->type != XML_ELEMENT_NODE) {
        stray_text(node, child, grammar, path, text_reported);
        continue;
      }
      const std::string_view name = as_chars(child->name);
      if (name != item.name) {
        report(child, child_path(path, name), kXml, name,
               " is not an element of " + std::string(grammar.name) + ". ");
        continue;
      }
      const std::string path_here = child_path(path, name) + "[" +
                                    std::to_string(++index) + "]";
      check_namespace(child, path_here, name);
      place(child, path_here, name);
      record(child, item, path_here);
    }
  }

  void member(const xmlNode* node, const Element& element,
              const std::string& path) {
    if (element.form == Form::kRecord) return record(node, element, path);
    if (element.form == Form::kList) return list(node, element, path);
    for (const xmlNode* child = node->children; child != nullptr;
         child = child->next) {
      if (child->type == XML_ELEMENT_NODE) {
        return report(child, path, kXml, element.name,
                      " holds elements where text belongs. ");
      }
    }
    if (node->children == nullptr) return;  // absent, as in default reading
    XmlCharPtr text(lib_.xmlNodeListGetString(node->doc, node->children, 1));
    if (text == nullptr || *text == '\0') return;
    if (auto problem = check::check_value(element, as_chars(text.get())))
      report(node, path, problem->code, element.name,
             std::move(problem->detail));
  }

  const LibXml2& lib_;
  bool strict_;
  check::Scan& scan_;
};

}  // namespace

int scan_xml(std::string_view text, bool strict, check::Scan& scan) {
  clear_parse_log();
  if (text.data() == nullptr)
    return set_error(ErrorCode::kNullPointer, "XML cannot be NULL.");
  std::string why;
  const LibXml2* lib = libxml2(&why);
  if (lib == nullptr)
    return set_error_detail_owned(ErrorCode::kXml, "Cannot load libxml2:",
                                  why + ". ");
  ErrorHandlerScope handlers(*lib);
  XmlDocPtr doc;
  if (text.size() <= static_cast<std::size_t>(INT_MAX)) {
    doc.reset(lib->xmlReadMemory(text.data(), static_cast<int>(text.size()),
                                 "noname.xml", nullptr, 0));
  }
  const xmlNode* root = doc ? lib->xmlDocGetRootElement(doc.get()) : nullptr;
  clear_parse_log();
  if (root == nullptr)
    return set_error(ErrorCode::kXml, "Getting root element error");
  if (const Element* grammar = check::document_grammar(as_chars(root->name)))
    Walker(*lib, strict, scan).root(root, *grammar);
  return 0;
}

}  // namespace zarnex::xml
