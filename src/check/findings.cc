#include "check/findings.h"

namespace zarnex::check {
namespace {

// Whether @a path is @a context or lies below it.
bool within(std::string_view path, std::string_view context) {
  if (context.empty()) return true;
  if (path.substr(0, context.size()) != context) return false;
  return path.size() == context.size() || path[context.size()] == '/';
}

}  // namespace

const Place* find_place(const Scan& scan, std::string_view context,
                        std::string_view name) {
  for (const Place& place : scan.places) {
    if (place.name == name && within(place.path, context)) return &place;
  }
  return nullptr;
}

std::string json_path(std::string_view path) {
  // An item segment ("Payment[2]") becomes the index of its list.
  std::string out;
  while (!path.empty()) {
    const std::size_t slash = path.find('/');
    std::string_view segment = path.substr(0, slash);
    path.remove_prefix(slash == std::string_view::npos ? path.size()
                                                       : slash + 1);
    const std::size_t bracket = segment.find('[');
    if (bracket != std::string_view::npos && !out.empty()) {
      out.append(segment.substr(bracket));
    } else {
      if (!out.empty()) out.push_back('.');
      out.append(segment);
    }
  }
  return out;
}

}  // namespace zarnex::check
