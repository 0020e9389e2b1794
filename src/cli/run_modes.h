#ifndef ZARNEX_CLI_RUN_MODES_H_
#define ZARNEX_CLI_RUN_MODES_H_

#include <string>

#include "cli/options.h"
#include "zarnex/zarnex.hpp"

namespace zarnex::cli {

/// A run-mode operation: one input text in, the library's result out. The
/// text may be rewritten (the sequence mode drops its prefix once it has
/// been accepted) so that an error line shows what the operation worked on.
using Operation = Result (*)(std::string& text);

/// XML text -> code.
Result encode_xml(std::string& text);
/// XML text -> InvoiceID, tab, code.
Result encode_xml_with_id(std::string& text);
/// Code -> one line of XML.
Result decode_to_xml(std::string& text);
/// Type digit, tab, sub-kind digit, tab, field sequence -> code. A malformed
/// prefix also writes a diagnostic with the unreadable rest of the line to
/// standard error.
Result encode_sequence(std::string& text);
/// As encode_sequence, with the InvoiceID and a tab before the code.
Result encode_sequence_with_id(std::string& text);

/// The operation of a mode; null for Mode::kNone.
Operation operation_for(Mode mode);

}  // namespace zarnex::cli

#endif  // ZARNEX_CLI_RUN_MODES_H_
