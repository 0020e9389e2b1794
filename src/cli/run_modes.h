#ifndef ZARNEX_CLI_RUN_MODES_H_
#define ZARNEX_CLI_RUN_MODES_H_

#include <string>

#include "cli/options.h"

namespace zarnex::cli {

/// A run-mode operation: one input text in, a status out, and on status 0
/// the output text in @a out. @a text may be rewritten (the sequence mode
/// drops its prefix) so that an error line shows what the operation saw.
/// Every failure records its error, except the sequence mode's malformed
/// prefix, which also writes its own diagnostic to standard error.
using Operation = int (*)(std::string& text, std::string* out);

/// XML text -> code.
int encode_xml(std::string& text, std::string* out);
/// XML text -> InvoiceID, tab, code.
int encode_xml_with_id(std::string& text, std::string* out);
/// Code -> one line of XML.
int decode_to_xml(std::string& text, std::string* out);
/// Type digit, tab, sub-kind digit, tab, field sequence -> code.
int encode_sequence(std::string& text, std::string* out);
/// As encode_sequence, with the InvoiceID and a tab before the code.
int encode_sequence_with_id(std::string& text, std::string* out);

/// The operation of a mode; null for Mode::kNone.
Operation operation_for(Mode mode);

}  // namespace zarnex::cli

#endif  // ZARNEX_CLI_RUN_MODES_H_
