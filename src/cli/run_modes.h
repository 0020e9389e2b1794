#ifndef ZARNEX_CLI_RUN_MODES_H_
#define ZARNEX_CLI_RUN_MODES_H_

#include <string>

#include "cli/options.h"
#include "zarnex/zarnex.hpp"

namespace zarnex::cli {

/// What an operation leaves beside its output: the Result of a failed
/// call (the error line's text in failure.error), a note that goes to
/// standard error before the error line (the sequence mode's diagnostic of
/// a malformed prefix; empty otherwise), and, when want_id is set, the
/// document's InvoiceID. A run keeps one Outcome per thread for all its
/// inputs.
struct Outcome {
  Result failure;
  std::string note;
  bool want_id = false;
  DocumentId id;
};

/// A run-mode operation: one input text in; on success the output is
/// appended to @a out and 0 returned, otherwise the failing status is
/// returned, its error put into outcome.failure and nothing appended.
/// The text may be rewritten (the sequence mode drops its prefix once it has
/// been accepted) so that an error line shows what the operation worked on.
/// Operations write nothing themselves, so they may run on several threads
/// at once, each with its own Outcome.
using Operation = int (*)(std::string& text, TextBuffer& out, Outcome& outcome);

/// XML text -> code.
int encode_xml(std::string& text, TextBuffer& out, Outcome& outcome);
/// XML text -> InvoiceID, tab, code.
int encode_xml_with_id(std::string& text, TextBuffer& out, Outcome& outcome);
/// Code -> one line of XML.
int decode_to_xml(std::string& text, TextBuffer& out, Outcome& outcome);
/// JSON text -> code.
int encode_json(std::string& text, TextBuffer& out, Outcome& outcome);
/// JSON text -> InvoiceID, tab, code.
int encode_json_with_id(std::string& text, TextBuffer& out, Outcome& outcome);
/// Code -> one line of JSON.
int decode_to_json(std::string& text, TextBuffer& out, Outcome& outcome);
/// Type digit, tab, sub-kind digit, tab, field sequence -> code. A malformed
/// prefix also leaves a diagnostic with the unreadable rest of the line in
/// outcome.note.
int encode_sequence(std::string& text, TextBuffer& out, Outcome& outcome);
/// As encode_sequence, with the InvoiceID and a tab before the code.
int encode_sequence_with_id(std::string& text, TextBuffer& out,
                            Outcome& outcome);

/// The operation of a mode; null for Mode::kNone. With @a json the XML
/// operations are replaced by their JSON counterparts; the sequence modes
/// stay as they are.
Operation operation_for(Mode mode, bool json = false);

/// As operation_for, with strict reading for the encoding modes of XML and
/// JSON (zarnex::ReadOptions); the other modes are those of operation_for.
Operation strict_operation_for(Mode mode, bool json = false);

}  // namespace zarnex::cli

#endif  // ZARNEX_CLI_RUN_MODES_H_
