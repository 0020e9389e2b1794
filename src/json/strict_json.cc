#include "json/strict_json.h"

#include <set>
#include <string>
#include <utility>

#include "check/grammar.h"
#include "check/values.h"
#include "error/error.h"
#include "json/json_reader.h"

namespace zarnex::json {
namespace {

using check::Element;
using check::Form;

constexpr int kJson = static_cast<int>(ErrorCode::kJson);

// The kind a "type" value names.
std::string_view root_name(std::string_view type) {
  if (type == "Pay") return "Pay";
  if (type == "InvoiceItems") return "InvoiceItems";
  if (type == "Invoice" || type == "ProformaInvoice" || type == "CreditNote" ||
      type == "DebitNote" || type == "AdvanceInvoice")
    return "Invoice";
  return {};
}

class Walker {
 public:
  Walker(const JsonTree& tree, bool strict, check::Scan& scan)
      : tree_(tree), strict_(strict), scan_(scan) {}

  void root(const JsonValue& object, const Element& grammar) {
    scan_.root = grammar.name;
    record(object, grammar, "", true);
  }

 private:
  void report(std::string path, int code, std::string_view subject,
              std::string detail) {
    if (!strict_) return;
    check::Finding finding;
    finding.path = path.empty() ? scan_.root : std::move(path);
    finding.code = code;
    finding.subject = subject;
    finding.message = std::string(subject) + std::move(detail);
    scan_.findings.push_back(std::move(finding));
  }

  static std::string child_path(const std::string& parent,
                                std::string_view name) {
    return parent.empty() ? std::string(name)
                          : parent + "/" + std::string(name);
  }

  void record(const JsonValue& object, const Element& grammar,
              const std::string& path, bool is_root) {
    if (object.type != JsonType::kObject) return;
    std::set<std::string_view> seen;
    for (const JsonValue* member = tree_.first_child(object);
         member != nullptr; member = tree_.next_sibling(*member)) {
      const std::string_view name = member->key;
      const std::string path_here = child_path(path, name);
      if (is_root && name == "type") continue;
      const Element* element = check::find_child(grammar, name);
      if (element == nullptr) {
        report(path_here, kJson, name,
               " is not a member of " + std::string(grammar.name) + ". ");
        continue;
      }
      if (!seen.insert(element->name).second) {
        report(path_here, kJson, name,
               " is given more than once in " + std::string(grammar.name) +
                   "; only the first is read. ");
        continue;
      }
      scan_.places.push_back(check::Place{path_here, std::string(name), 0});
      value(*member, *element, path_here);
    }
  }

  void value(const JsonValue& member, const Element& element,
             const std::string& path) {
    switch (element.form) {
      case Form::kRecord:
        return record(member, element, path, false);
      case Form::kList: {
        if (member.type != JsonType::kArray) return;
        const Element& item = element.children.front();
        int index = 0;
        for (const JsonValue* entry = tree_.first_child(member);
             entry != nullptr; entry = tree_.next_sibling(*entry)) {
          const std::string path_here = child_path(path, item.name) + "[" +
                                        std::to_string(++index) + "]";
          scan_.places.push_back(
              check::Place{path_here, std::string(item.name), 0});
          record(*entry, item, path_here, false);
        }
        return;
      }
      case Form::kFlags: {
        if (member.type != JsonType::kArray) return;
        std::set<std::string_view> words;
        for (const JsonValue* entry = tree_.first_child(member);
             entry != nullptr; entry = tree_.next_sibling(*entry)) {
          if (entry->type != JsonType::kString) return;
          if (auto problem = check::check_flag_word(element, entry->text))
            return report(path, problem->code, element.name,
                          std::move(problem->detail));
          if (!words.insert(entry->text).second)
            return report(path, static_cast<int>(ErrorCode::kXml),
                          element.name, " Contains duplicate value.");
        }
        return;
      }
      default:
        break;
    }
    // Numbers and strings; a string "" is absent, as is null.
    if (member.type != JsonType::kString && member.type != JsonType::kNumber)
      return;
    if (member.text.empty()) return;
    if (auto problem = check::check_value(element, member.text))
      report(path, problem->code, element.name, std::move(problem->detail));
  }

  const JsonTree& tree_;
  bool strict_;
  check::Scan& scan_;
};

}  // namespace

int scan_json(std::string_view text, bool strict, check::Scan& scan) {
  JsonTree tree;
  if (int status = tree.parse(text)) return status;
  const JsonValue& root = tree.root();
  if (root.type != JsonType::kObject) return 0;
  const JsonValue* type = tree.member(root, "type");
  if (type == nullptr || type->type != JsonType::kString) return 0;
  if (const Element* grammar = check::document_grammar(root_name(type->text)))
    Walker(tree, strict, scan).root(root, *grammar);
  return 0;
}

}  // namespace zarnex::json
