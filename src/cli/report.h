#ifndef ZARNEX_CLI_REPORT_H_
#define ZARNEX_CLI_REPORT_H_

// The report of a bulk run (--report): one JSON object per line of input
// that was not blank, in input order, then one summary object, each on a
// line of its own (JSON Lines):
//
//   {"line":1,"status":0,"invoice_id":"FV-2026-0142"}
//   {"line":3,"status":4,"error":"ERROR_INVALID_VALUE","message":"Amount is a malformed number. "}
//   {"summary":{"lines":3,"succeeded":1,"failed":1,"skipped":1}}
//
// "line" counts the input's lines from 1, blank lines included, as the QR
// file names do; "status" is 0 or the line's error code, "error" and
// "message" the name and the rest of its error line, and "invoice_id" is
// there when the line's document was read and has an InvoiceID. Texts that
// are not UTF-8 have each bad byte replaced by U+FFFD, so every line is
// valid JSON. The file is written under a temporary name and put in place
// when the run ends.

#include <cstddef>
#include <string>
#include <string_view>

#include "cli/replacement_file.h"
#include "zarnex/zarnex.hpp"

namespace zarnex::cli {

/// The counts of a bulk run.
struct LineCounts {
  std::size_t read = 0;       // every line, blank ones included
  std::size_t succeeded = 0;
  std::size_t failed = 0;
  std::size_t skipped = 0;    // blank lines
  int first_failure = 0;      // the status of the first failed line, or 0
};

/// Appends @a text to @a out as the body of a JSON string (without the
/// quotes): '"', '\\' and control characters escaped, each byte that is not
/// part of well-formed UTF-8 replaced by U+FFFD.
void append_json_text(std::string& out, std::string_view text);

class Report {
 public:
  Report() = default;
  Report(const Report&) = delete;
  Report& operator=(const Report&) = delete;

  /// Creates the file's temporary; false with reason() set.
  bool open(const std::string& path);

  /// One line's object. @a error_text is the whole error line ("ERROR_QR:
  /// Cannot write ..."); its name and separator are left out of "message".
  void succeeded(std::size_t line, const DocumentId* id);
  void failed(std::size_t line, int status, std::string_view error_text,
              const DocumentId* id);

  /// Writes the summary and puts the file in place; false with reason()
  /// set when a write or the rename failed.
  bool finish(const LineCounts& counts);

  const std::string& reason() const { return file_.reason(); }

 private:
  void start(std::size_t line, int status);
  void end(const DocumentId* id);
  bool flush();

  ReplacementFile file_;
  std::string buffer_;
  bool ok_ = true;
};

}  // namespace zarnex::cli

#endif  // ZARNEX_CLI_REPORT_H_
