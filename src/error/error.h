#ifndef ZARNEX_ERROR_ERROR_H_
#define ZARNEX_ERROR_ERROR_H_

#include <string>
#include <string_view>

namespace zarnex {

/// Error codes. Every fallible operation returns one of these as an int
/// status (0 for success); the value is part of the tool's interface, as it
/// becomes the process exit status.
enum class ErrorCode : int {
  kIo = -3,
  kNullPointer = -2,
  kIllegalArgument = -1,
  kOk = 0,
  kBase32hex = 1,
  kChecksum = 2,
  kCompression = 3,
  kInvalidValue = 4,
  kBadFormat = 5,
  kMaxPriorityReached = 6,
  kSequenceLimitExceeded = 7,
  kUnknownDocument = 8,
  kXml = 9,
  kMissingLogo = 10,
  kQr = 11,
  /// Reading the input or writing the output failed (a closed or unreadable
  /// stream, a full disk, a reader that went away), or the input passed the
  /// tool's bound.
  kStream = 12,
  /// A JSON document that is not well-formed, or whose values have the wrong
  /// JSON type or name no document kind.
  kJson = 13,
};

/// The name of an error code ("ERROR_CHECKSUM"), a static text; "" for 0 and
/// "ZARNEX_ERROR_UNKNOWN" for codes outside -3..13. The error text begins
/// with it, followed by ": " for every code but 0, 11 (ERROR_QR) and the
/// unknown ones.
const char* code_name(int code);

/// Records @a code and @a subject with an empty detail and returns @a code.
/// The subject must stay alive until the next error is recorded (callers
/// pass string literals or other static texts).
int set_error(int code, std::string_view subject);
int set_error(ErrorCode code, std::string_view subject);

/// Records code, subject and a borrowed detail; returns @a code.
int set_error_detail(int code, std::string_view subject, std::string_view detail);
int set_error_detail(ErrorCode code, std::string_view subject,
                     std::string_view detail);

/// Records code and subject and hands the detail over to the error state,
/// which keeps it until another error replaces it.
int set_error_detail_owned(ErrorCode code, std::string_view subject,
                           std::string detail);

/// The code of the last recorded error (0 when none was recorded).
int error_code();

/// The subject of the last recorded error ("" when none was recorded).
std::string_view error_subject();

/// The error text of @a code, @a subject and @a detail: the name, ": " when
/// code_name's rule puts it there, the subject, one blank unless the detail
/// begins with a blank, and the detail. The one rule of every error text.
std::string compose_error_text(int code, std::string_view subject,
                               std::string_view detail);

/// The error text of the last recorded error. Reading it leaves the error
/// state as it is.
std::string error_text();

/// Puts the error state back to its initial value (code 0, empty texts).
/// Used by tests.
void reset_error();

}  // namespace zarnex

#endif  // ZARNEX_ERROR_ERROR_H_
