// zarnex: XML (or JSON) payment orders, invoices and invoice lines to Zarnex
// codes and back. The C++ interface of the library.
//
// Every function is independent of the others and keeps no state between
// calls that a caller can see. Calls may run concurrently on different
// threads: each thread has its own error state, parser message log and
// compression streams.
#ifndef ZARNEX_ZARNEX_HPP_
#define ZARNEX_ZARNEX_HPP_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "zarnex/text_buffer.hpp"

namespace zarnex {

/// The error codes: the status of every call, and the exit status of the
/// command-line tool. The C interface has the same values (ZARNEX_ERROR_...).
enum class Error : int {
  kIo = -3,               // reserved
  kNullPointer = -2,      // a missing document, input or InvoiceID
  kIllegalArgument = -1,  // reserved
  kOk = 0,
  kBase32hex = 1,         // a character outside the code's alphabet
  kChecksum = 2,          // a checksum that is missing or does not match
  kCompression = 3,       // compressed data that is missing or corrupt
  kInvalidValue = 4,      // a value that breaks the rules of its document
  kBadFormat = 5,         // a field-sequence line with a malformed prefix
  kMaxPriorityReached = 6,  // reserved
  kSequenceLimitExceeded = 7,  // a document longer than 550 bytes
  kUnknownDocument = 8,   // a code too short to hold a header
  kXml = 9,               // XML that cannot be read or written
  kMissingLogo = 10,      // reserved
  kQr = 11,               // a QR symbol that cannot be made or written
  kStream = 12,           // input that cannot be read, output not written
  kJson = 13,             // JSON that cannot be read
};

/// The name of an error code without its separator ("ERROR_CHECKSUM");
/// "" for 0 and "ZARNEX_ERROR_UNKNOWN" for any code not listed above.
ZARNEX_API const char* error_name(int status);

/// The one-line error text of @a status: its name, ": " (not after
/// ERROR_QR, nor after the name of an unknown code), @a subject, one blank
/// unless @a detail begins with a blank, and @a detail. Every error text of
/// the library is made by this rule; front-ends that report failures of
/// their own (a stream that cannot be read, an option out of range) make
/// theirs with it too: error_text(12, "Cannot read", " standard input: Is
/// a directory. ") is "ERROR_STREAM: Cannot read standard input: Is a
/// directory. ".
ZARNEX_API std::string error_text(int status, std::string_view subject,
                                  std::string_view detail = {});

/// The outcome of one call: status 0 and the output, or a non-zero error
/// code with its one-line error text ("ERROR_CHECKSUM: Checksum mismatch.  ").
/// The codes are those the command-line tool exits with. On failure the
/// error is also given in parts: its name and its subject, the field or
/// element the message is about ("IBAN" for "ERROR_INVALID_VALUE: IBAN cannot
/// be NULL. "), or the whole sentence of a message that names none.
struct Result {
  int status = 0;
  std::string output;
  std::string error;       // the whole error text
  std::string error_name;  // "ERROR_INVALID_VALUE"; empty on success
  std::string subject;     // "IBAN"; empty on success

  bool ok() const { return status == 0; }
  explicit operator bool() const { return ok(); }
  Error code() const { return static_cast<Error>(status); }
};

/// Encodes an XML document (root Pay, Invoice or InvoiceItems) into a code.
/// With @a with_invoice_id the output is the document's InvoiceID, a tab and
/// the code.
ZARNEX_API Result encode_xml(std::string_view xml, bool with_invoice_id = false);

/// Encodes a JSON document (docs/json.md: one object whose "type" names the
/// kind, with the XML element names as member names) into a code. The same
/// document gives the same code as in XML. With @a with_invoice_id the output
/// is the document's InvoiceID, a tab and the code.
ZARNEX_API Result encode_json(std::string_view json, bool with_invoice_id = false);

/// Encodes a field-sequence line: a type digit (0 Pay, 1 Invoice,
/// 2 InvoiceItems), a tab, a sub-kind digit, a tab and the document's values
/// separated by tabs.
ZARNEX_API Result encode_sequence(std::string_view line, bool with_invoice_id = false);

/// How a document is read. The default reading finds the elements it knows
/// and skips the rest (an older tool reads newer documents). Strict reading
/// refuses what the default one skips (elements of unknown names or outside
/// the namespace urn:zarnex:document:1, a second element of a name that does
/// not repeat, unknown words or separators other than a single blank in a
/// flag set, text where elements belong) and checks what the rules let
/// through: dates of the calendar, IBAN check digits (ISO 13616) and length
/// per country, the ISO 9362 form of a BIC, active ISO 4217 currency codes,
/// ISO 3166-1 alpha-3 country codes, and decimals of at most the eight
/// places a code carries. A document that strict reading accepts gives the
/// same code as in default reading.
struct ReadOptions {
  bool strict = false;
};

/// encode_xml and encode_json with a choice of reading. Strict reading
/// refuses the first problem it finds with ERROR_XML (ERROR_JSON for the
/// structure of JSON) or ERROR_INVALID_VALUE, naming the element by its
/// path from below the root and, for XML, its line: "ERROR_INVALID_VALUE:
/// Payments/Payment[1]/BankAccounts/BankAccount[1]/IBAN (line 9): IBAN has
/// wrong check digits (ISO 13616 modulo 97). ", subject the path.
ZARNEX_API Result encode_xml(std::string_view xml, const ReadOptions& options,
                             bool with_invoice_id = false);
ZARNEX_API Result encode_json(std::string_view json, const ReadOptions& options,
                              bool with_invoice_id = false);

/// One problem of a checked document.
struct Problem {
  std::string path;        // "Payments/Payment[2]/Amount"; JSON:
                           // "Payments[2].Amount"; items counted from 1
  int line = 0;            // the XML line; 0 for JSON and when unknown
  int status = 0;          // the error code
  std::string error_name;  // "ERROR_INVALID_VALUE"
  std::string subject;     // the element name, or the message's sentence
  std::string message;     // the error text without its name
};

/// Every problem of a document, in this order: one that ends reading (the
/// text is not XML or JSON, a value the default reader refuses), then, with
/// strict reading, the findings of strict reading in document order, then
/// the failing rules of the document's kind. Once a rule of a group of
/// rules fails, the rest of that group (one payment's bank account, the
/// supplier, ...) is not examined, since it relies on what failed.
struct CheckResult {
  std::vector<Problem> problems;
  bool ok() const { return problems.empty(); }
  explicit operator bool() const { return ok(); }
  /// 0, or the first problem's code (what encoding would refuse with).
  int status() const { return problems.empty() ? 0 : problems.front().status; }
};

/// Reads and validates a document without encoding it and reports every
/// problem found.
ZARNEX_API CheckResult check_xml(std::string_view xml,
                                 const ReadOptions& options = {});
ZARNEX_API CheckResult check_json(std::string_view json,
                                  const ReadOptions& options = {});

/// Reads an XML document and checks it by the rules of its kind without
/// encoding it: status 0 with an empty output, or the first rule it breaks
/// (the error encode_xml would give before it writes the code; the 550-byte
/// limit of the code is not checked).
ZARNEX_API Result validate_xml(std::string_view xml);

/// The same for a field-sequence line.
ZARNEX_API Result validate_sequence(std::string_view line);

/// Decodes a code into one line of XML, with the amounts that the code does
/// not carry computed again.
ZARNEX_API Result decode(std::string_view code);

/// Decodes a code into one line of JSON holding the values that decode()
/// gives as XML, the computed amounts included.
ZARNEX_API Result decode_to_json(std::string_view code);

/// The same calls for callers that gather many results into one text: the
/// output is appended to @a out. They return 0, or the failing status with
/// nothing appended and, when @a failure is given, the Result of the failed
/// call in it (its output empty). A bulk run keeps one
/// buffer and one Result for all its documents, so a result costs no
/// allocation or construction of its own.
ZARNEX_API int encode_xml_into(std::string_view xml, TextBuffer& out,
                               bool with_invoice_id = false,
                               Result* failure = nullptr);
ZARNEX_API int encode_json_into(std::string_view json, TextBuffer& out,
                                bool with_invoice_id = false,
                                Result* failure = nullptr);
ZARNEX_API int encode_sequence_into(std::string_view line, TextBuffer& out,
                                    bool with_invoice_id = false,
                                    Result* failure = nullptr);
ZARNEX_API int decode_into(std::string_view code, TextBuffer& out,
                           Result* failure = nullptr);
ZARNEX_API int decode_to_json_into(std::string_view code, TextBuffer& out,
                                   Result* failure = nullptr);

/// The InvoiceID of the document that a call read, for callers that list
/// each document's outcome beside its input (the tool's --report). Filled
/// by the calls below that take it: found, with the value, when the text was
/// read into a document that has an InvoiceID, also when a later step then
/// failed (validation, encoding); not found when the text could not be read
/// or the document has none.
struct DocumentId {
  bool found = false;
  std::string invoice_id;
};

/// The *_into calls that also give the document's InvoiceID in @a id (not
/// null); otherwise as the calls above. The encoding calls with
/// ReadOptions are encode_xml and encode_json with a choice of reading,
/// appending; a document that strict reading refuses is not read, so it
/// gives no InvoiceID.
ZARNEX_API int encode_xml_into(std::string_view xml, TextBuffer& out,
                               bool with_invoice_id, Result* failure,
                               DocumentId* id);
ZARNEX_API int encode_json_into(std::string_view json, TextBuffer& out,
                                bool with_invoice_id, Result* failure,
                                DocumentId* id);
ZARNEX_API int encode_sequence_into(std::string_view line, TextBuffer& out,
                                    bool with_invoice_id, Result* failure,
                                    DocumentId* id);
ZARNEX_API int decode_into(std::string_view code, TextBuffer& out,
                           Result* failure, DocumentId* id);
ZARNEX_API int decode_to_json_into(std::string_view code, TextBuffer& out,
                                   Result* failure, DocumentId* id);
ZARNEX_API int encode_xml_into(std::string_view xml, const ReadOptions& options,
                               TextBuffer& out, bool with_invoice_id,
                               Result* failure, DocumentId* id);
ZARNEX_API int encode_json_into(std::string_view json, const ReadOptions& options,
                                TextBuffer& out, bool with_invoice_id,
                                Result* failure, DocumentId* id);

/// The header of a code, read without decompressing it.
struct Header {
  int type = 0;      // 0 Pay, 1 Invoice, 2 InvoiceItems
  int version = 0;   // 0 for every code this library writes
  int sub_kind = 0;  // for invoices: 0 Invoice, 1 ProformaInvoice,
                     // 2 CreditNote, 3 DebitNote, 4 AdvanceInvoice
};

struct HeaderResult {
  int status = 0;
  Header header;
  std::string error;
  std::string error_name;
  std::string subject;

  bool ok() const { return status == 0; }
  explicit operator bool() const { return ok(); }
};

/// Reads the document type, version and sub-kind of a code without
/// decompressing it. It fails with the status and error text that decode()
/// gives for the code's header: for a code too short, outside the alphabet
/// or without its payload length, and for a header whose type, sub-kind or
/// version no document has (decode() reports that once the stream and its
/// checksum have passed). The reserved bits are not examined.
ZARNEX_API HeaderResult decode_header(std::string_view code);

/// The prefix of a field-sequence line (see encode_sequence), read on its
/// own: a type digit 0 to 2, a tab, a sub-kind digit 0 to 4 (other than 0
/// only for invoices) and a tab. On success @a position is where the field
/// sequence starts (4) and the header holds type and sub-kind; on failure
/// (ERROR_BAD_FORMAT, the error encode_sequence gives for the line) it is
/// the first byte that could not be read as part of the prefix, so that a
/// caller can show the rest of the line. The line is read up to its first
/// NUL, as encode_sequence reads it.
struct SequencePrefix {
  int status = 0;
  Header header;
  std::size_t position = 0;
  std::string error;
  std::string error_name;
  std::string subject;

  bool ok() const { return status == 0; }
  explicit operator bool() const { return ok(); }
};

ZARNEX_API SequencePrefix read_sequence_prefix(std::string_view line);

/// QR symbols of codes, made in memory, for callers that serve or print
/// images instead of writing files. The symbol holds the code in the
/// alphanumeric mode; the image is what the tool's --qr writes.
enum class QrFormat { kSvg = 0, kPng = 1 };
enum class QrLevel { kL = 0, kM = 1, kQ = 2, kH = 3 };  // about 7, 15, 25, 30 %

struct QrOptions {
  QrFormat format = QrFormat::kPng;
  QrLevel level = QrLevel::kM;  // error-correction level
  int module_size = 4;          // pixels per module, 1 to kMaxQrModuleSize
  int margin = 4;               // white quiet zone in modules, 0 to kMaxQrMargin
};

/// The largest module size and quiet zone render_qr accepts.
inline constexpr int kMaxQrModuleSize = 64;
inline constexpr int kMaxQrMargin = 64;

/// Renders @a code (a code, without an InvoiceID in front) as a QR symbol:
/// on success the output holds the SVG text or the PNG file's bytes. A text
/// that is not a code's alphabet, too long for any symbol, or options out
/// of range give ERROR_QR (11).
ZARNEX_API Result render_qr(std::string_view code, const QrOptions& options = {});

/// The library's version, "1.0.10".
ZARNEX_API const char* version();

}  // namespace zarnex

#endif  // ZARNEX_ZARNEX_HPP_
