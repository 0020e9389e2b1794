#ifndef ZARNEX_CHECK_FINDINGS_H_
#define ZARNEX_CHECK_FINDINGS_H_

// What a walk of a document against its element tree gives: the problems of
// strict reading, and the place (path and line) of every element, by which
// the messages of the default reader and rules, which name an element only,
// are put at their element.

#include <string>
#include <string_view>
#include <vector>

namespace zarnex::check {

/// One problem. Paths are written the XML way, from below the root:
/// "Payments/Payment[2]/Amount" (items counted from 1); the root's own
/// problems have the root's name as path. JSON paths are made from these
/// (json_path()).
struct Finding {
  std::string path;
  int line = 0;  // 0 when unknown (JSON)
  int code = 0;
  std::string subject;  // the element name, or the sentence of a message
  std::string message;  // the error text without its name
};

/// An element that the walk met.
struct Place {
  std::string path;
  std::string name;
  int line = 0;
};

struct Scan {
  std::vector<Finding> findings;  // in document order
  std::vector<Place> places;      // in document order
  std::string root;               // the root element's name
};

/// The first element named @a name at or below @a context (a path; empty
/// for the whole document), or null.
const Place* find_place(const Scan& scan, std::string_view context,
                        std::string_view name);

/// "Payments/Payment[2]/Amount" as a JSON path: "Payments[2].Amount".
std::string json_path(std::string_view path);

}  // namespace zarnex::check

#endif  // ZARNEX_CHECK_FINDINGS_H_
