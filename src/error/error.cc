#include "error/error.h"

#include <iterator>
#include <utility>

namespace zarnex {
namespace {

// The last recorded error. Subject and detail are borrowed static texts,
// except the owned detail, which the state keeps in owned_detail.
struct ErrorState {
  int code = 0;
  std::string_view subject = "";
  std::string_view detail = "";
  std::string owned_detail;
};

// Each thread has its own error state, so library calls on several threads
// do not see each other's errors.
thread_local ErrorState g_error_state;

// The name of each code from -3 to 13, and whether the error text puts
// ": " after it (ERROR_QR and the empty name of 0 stand alone).
struct ErrorName {
  const char* name;
  bool colon;
};
constexpr ErrorName kErrorNames[] = {
    {"ERROR_IO", true},                     // -3
    {"ERROR_NULL_POINTER", true},           // -2
    {"ERROR_ILLEGAL_ARGUMENT", true},       // -1
    {"", false},                            // 0
    {"ERROR_BASE32HEX", true},              // 1
    {"ERROR_CHECKSUM", true},               // 2
    {"ERROR_COMPRESSION", true},            // 3
    {"ERROR_INVALID_VALUE", true},          // 4
    {"ERROR_BAD_FORMAT", true},             // 5
    {"ERROR_MAX_PRIORITY_REACHED", true},   // 6
    {"ERROR_SEQUENCE_LIMIT_EXCEEDED", true},  // 7
    {"ERROR_UNKNOWN_DOCUMENT", true},       // 8
    {"ERROR_XML", true},                    // 9
    {"ERROR_MISSING_LOGO", true},           // 10
    {"ERROR_QR", false},                    // 11
    {"ERROR_STREAM", true},                 // 12
    {"ERROR_JSON", true},                   // 13
};
constexpr int kFirstCode = -3;
constexpr int kLastCode = 13;
static_assert(std::size(kErrorNames) == kLastCode - kFirstCode + 1);

const ErrorName& name_of(int code) {
  static constexpr ErrorName kUnknown{"ZARNEX_ERROR_UNKNOWN", false};
  if (code < kFirstCode || code > kLastCode) return kUnknown;
  return kErrorNames[code - kFirstCode];
}

}  // namespace

const char* code_name(int code) { return name_of(code).name; }

int set_error(int code, std::string_view subject) {
  return set_error_detail(code, subject, "");
}

int set_error(ErrorCode code, std::string_view subject) {
  return set_error(static_cast<int>(code), subject);
}

int set_error_detail(int code, std::string_view subject,
                     std::string_view detail) {
  ErrorState& s = g_error_state;
  s.code = code;
  s.subject = subject;
  s.detail = detail;
  s.owned_detail.clear();
  return code;
}

int set_error_detail(ErrorCode code, std::string_view subject,
                     std::string_view detail) {
  return set_error_detail(static_cast<int>(code), subject, detail);
}

int set_error_detail_owned(ErrorCode code, std::string_view subject,
                           std::string detail) {
  ErrorState& s = g_error_state;
  s.code = static_cast<int>(code);
  s.subject = subject;
  s.owned_detail = std::move(detail);
  s.detail = s.owned_detail;
  return s.code;
}

int error_code() { return g_error_state.code; }

std::string_view error_subject() { return g_error_state.subject; }

std::string compose_error_text(int code, std::string_view subject,
                               std::string_view detail) {
  const ErrorName& name = name_of(code);
  std::string_view colon = name.colon ? ": " : "";
  std::string_view separator =
      (!detail.empty() && detail.front() == ' ') ? "" : " ";
  std::string text;
  text.reserve(std::char_traits<char>::length(name.name) + colon.size() +
               subject.size() + separator.size() + detail.size());
  text.append(name.name).append(colon).append(subject).append(separator);
  text.append(detail);
  return text;
}

std::string error_text() {
  const ErrorState& s = g_error_state;
  return compose_error_text(s.code, s.subject, s.detail);
}

void reset_error() {
  g_error_state.owned_detail.clear();
  g_error_state = ErrorState{};
}

}  // namespace zarnex
