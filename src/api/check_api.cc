// Strict reading and check mode of the library.

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "check/findings.h"
#include "error/error.h"
#include "json/json.h"
#include "json/strict_json.h"
#include "model/document.h"
#include "validate/collect.h"
#include "validate/document_rules.h"
#include "xml/strict_xml.h"
#include "xml/xml.h"
#include "zarnex/zarnex.hpp"

namespace zarnex {
namespace {

enum class Syntax { kXml, kJson };

// The error text of the last recorded error without its name.
std::string recorded_message(int code) {
  std::string text = error_text();
  const std::string name = std::string(code_name(code)) + ": ";
  if (text.compare(0, name.size(), name) == 0) text.erase(0, name.size());
  return text;
}

// The first " line:N" of a parser's joined messages, or 0.
int parse_line(std::string_view message) {
  const std::size_t at = message.find(" line:");
  if (at == std::string_view::npos) return 0;
  return std::atoi(std::string(message.substr(at + 6, 12)).c_str());
}

Problem to_problem(check::Finding finding, Syntax syntax) {
  Problem problem;
  problem.path = syntax == Syntax::kJson ? check::json_path(finding.path)
                                         : std::move(finding.path);
  problem.line = finding.line;
  problem.status = finding.code;
  problem.error_name = code_name(finding.code);
  problem.subject = std::move(finding.subject);
  problem.message = std::move(finding.message);
  return problem;
}

// The recorded error as a finding about the element its subject names, at
// or below @a context; an element that is absent is named below the context.
check::Finding recorded_finding(const check::Scan& scan, std::string_view context) {
  check::Finding finding;
  finding.code = error_code();
  finding.subject = std::string(error_subject());
  finding.message = recorded_message(finding.code);
  const std::string& subject = finding.subject;
  const bool names_element =
      !subject.empty() && subject.find(' ') == std::string::npos &&
      subject != scan.root;
  std::string candidate(context);
  if (names_element) {
    if (!candidate.empty()) candidate.push_back('/');
    candidate.append(subject);
  }
  const check::Place* place = nullptr;
  for (const check::Place& p : scan.places) {
    if (p.path == candidate) place = &p;
  }
  if (place == nullptr && names_element) {
    std::string_view name = subject;
    name = name.substr(name.rfind('/') + 1);
    place = check::find_place(scan, context, name);
  }
  if (place == nullptr && !context.empty()) {
    for (const check::Place& p : scan.places) {
      if (p.path == context) place = &p;
    }
    finding.line = place ? place->line : 0;
    place = nullptr;
  }
  if (place != nullptr) {
    finding.path = place->path;
    finding.line = place->line;
  } else {
    finding.path = candidate.empty() ? scan.root : candidate;
  }
  return finding;
}

CheckResult check_document(std::string_view text, const ReadOptions& options,
                           Syntax syntax) {
  CheckResult result;
  check::Scan scan;
  DocumentPtr document;
  int status = syntax == Syntax::kXml
                   ? xml::document_from_xml(text, &document)
                   : json::document_from_json(text, &document);
  if (status != 0 && error_subject().rfind("Getting root element", 0) == 0) {
    // No tree: the parser's messages are all there is.
    check::Finding finding;
    finding.code = status;
    finding.subject = std::string(error_subject());
    finding.message = recorded_message(status);
    finding.line = parse_line(finding.message);
    finding.path = "(document)";
    result.problems.push_back(to_problem(std::move(finding), syntax));
    return result;
  }
  // The reading error is in the error state until the scan is made.
  Problem read_problem;
  const int read_code = status;
  const std::string read_subject(status != 0 ? error_subject() : "");
  const std::string read_message =
      status != 0 ? recorded_message(status) : std::string();
  const int scan_status = syntax == Syntax::kXml
                              ? xml::scan_xml(text, options.strict, scan)
                              : json::scan_json(text, options.strict, scan);
  if (scan_status != 0 && status == 0) {
    // The default reader took it, so this cannot be; keep its word.
    status = scan_status;
  }
  if (read_code != 0) {
    set_error(read_code, "");  // keep error_code() for recorded_finding
    check::Finding finding;
    // Put the reader's message at the first element of its name.
    finding.code = read_code;
    finding.subject = read_subject;
    finding.message = read_message;
    if (const check::Place* place = check::find_place(scan, "", read_subject)) {
      finding.path = place->path;
      finding.line = place->line;
    } else {
      finding.path = scan.root.empty() ? read_subject : scan.root;
    }
    bool known = false;
    for (const check::Finding& f : scan.findings)
      known |= f.path == finding.path && f.code == finding.code;
    if (!known) result.problems.push_back(to_problem(finding, syntax));
  }
  for (check::Finding& finding : scan.findings)
    result.problems.push_back(to_problem(std::move(finding), syntax));
  if (read_code != 0) return result;
  if (document == nullptr) {
    const int missing = document_validate(nullptr);
    check::Finding finding;
    finding.code = missing;
    finding.subject = std::string(error_subject());
    finding.message = recorded_message(missing);
    result.problems.push_back(to_problem(std::move(finding), syntax));
    return result;
  }
  validate::collect_failures(*document, [&](std::string_view context) {
    result.problems.push_back(
        to_problem(recorded_finding(scan, context), syntax));
  });
  return result;
}

// The first strict finding as the failure of an encoding call.
Result strict_failure(check::Finding finding, Syntax syntax) {
  Result result;
  result.status = finding.code;
  result.error_name = code_name(finding.code);
  result.subject = syntax == Syntax::kJson ? check::json_path(finding.path)
                                           : finding.path;
  result.error = result.error_name + ": " + result.subject;
  if (finding.line > 0)
    result.error += " (line " + std::to_string(finding.line) + ")";
  result.error += ": " + finding.message;
  return result;
}

// Strict reading before the default path: the first finding of a text that
// parses, or nothing (a text without a tree fails on the default path as it
// does without strict reading).
std::optional<Result> strict_refusal(const ReadOptions& options,
                                     std::string_view text, Syntax syntax) {
  if (!options.strict) return std::nullopt;
  check::Scan scan;
  const int parsed = syntax == Syntax::kJson ? json::scan_json(text, true, scan)
                                             : xml::scan_xml(text, true, scan);
  if (parsed != 0 || scan.findings.empty()) return std::nullopt;
  return strict_failure(std::move(scan.findings.front()), syntax);
}

// A *_into call's answer for a refused text: nothing appended, no id.
int refused_into(Result refused, Result* failure, DocumentId* id) {
  if (id != nullptr) *id = DocumentId{};
  const int status = refused.status;
  if (failure != nullptr) *failure = std::move(refused);
  return status;
}

}  // namespace

Result encode_xml(std::string_view xml, const ReadOptions& options,
                  bool with_invoice_id) {
  if (auto refused = strict_refusal(options, xml, Syntax::kXml)) return *refused;
  return encode_xml(xml, with_invoice_id);
}

Result encode_json(std::string_view json, const ReadOptions& options,
                   bool with_invoice_id) {
  if (auto refused = strict_refusal(options, json, Syntax::kJson))
    return *refused;
  return encode_json(json, with_invoice_id);
}

int encode_xml_into(std::string_view xml, const ReadOptions& options,
                    TextBuffer& out, bool with_invoice_id, Result* failure,
                    DocumentId* id) {
  if (auto refused = strict_refusal(options, xml, Syntax::kXml))
    return refused_into(std::move(*refused), failure, id);
  return encode_xml_into(xml, out, with_invoice_id, failure, id);
}

int encode_json_into(std::string_view json, const ReadOptions& options,
                     TextBuffer& out, bool with_invoice_id, Result* failure,
                     DocumentId* id) {
  if (auto refused = strict_refusal(options, json, Syntax::kJson))
    return refused_into(std::move(*refused), failure, id);
  return encode_json_into(json, out, with_invoice_id, failure, id);
}

CheckResult check_xml(std::string_view xml, const ReadOptions& options) {
  return check_document(xml, options, Syntax::kXml);
}

CheckResult check_json(std::string_view json, const ReadOptions& options) {
  return check_document(json, options, Syntax::kJson);
}

}  // namespace zarnex
