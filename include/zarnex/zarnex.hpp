// zarnex: XML (or JSON) payment orders, invoices and invoice lines to Zarnex
// codes and back. The C++ interface of the library.
//
// Every function is independent of the others and keeps no state between
// calls that a caller can see. Calls may run concurrently on different
// threads: each thread has its own error state, parser message log and
// compression streams.
#ifndef ZARNEX_ZARNEX_HPP_
#define ZARNEX_ZARNEX_HPP_

#include <string>
#include <string_view>

#if defined(__GNUC__)
#define ZARNEX_API __attribute__((visibility("default")))
#else
#define ZARNEX_API
#endif

namespace zarnex {

/// The outcome of one call: status 0 and the output, or a non-zero error
/// code with its one-line error text ("ERROR_CHECKSUM: Checksum mismatch.  ").
/// The codes are those the command-line tool exits with.
struct Result {
  int status = 0;
  std::string output;
  std::string error;

  bool ok() const { return status == 0; }
  explicit operator bool() const { return ok(); }
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

/// Decodes a code into one line of XML, with the amounts that the code does
/// not carry computed again.
ZARNEX_API Result decode(std::string_view code);

/// Decodes a code into one line of JSON holding the values that decode()
/// gives as XML, the computed amounts included.
ZARNEX_API Result decode_to_json(std::string_view code);

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

  bool ok() const { return status == 0; }
  explicit operator bool() const { return ok(); }
};

/// Reads the document type, version and sub-kind of a code.
ZARNEX_API HeaderResult decode_header(std::string_view code);

/// The library's version, "1.0.10".
ZARNEX_API const char* version();

}  // namespace zarnex

#endif  // ZARNEX_ZARNEX_HPP_
