#ifndef ZARNEX_MODEL_DOCUMENT_H_
#define ZARNEX_MODEL_DOCUMENT_H_

#include <cstdint>
#include <memory>

#include "model/value.h"

namespace zarnex {

/// The two header bytes that open every code and name the document's kind.
///
///   byte 0: bits 7-4 document type (0 Pay, 1 Invoice, 2 InvoiceItems),
///           bits 3-0 version (0 in every document this system creates)
///   byte 1: bits 7-4 sub-kind (for invoices: 0 Invoice, 1 ProformaInvoice,
///           2 CreditNote, 3 DebitNote, 4 AdvanceInvoice; 0 otherwise),
///           bits 3-0 reserved (0 when created, carried unchanged otherwise)
struct DocumentHeader {
  std::uint8_t byte0 = 0;
  std::uint8_t byte1 = 0;

  int type() const { return byte0 >> 4; }
  int version() const { return byte0 & 0x0F; }
  int sub_kind() const { return byte1 >> 4; }
  void set_sub_kind(int sub_kind) {
    byte1 = static_cast<std::uint8_t>(((sub_kind & 0x0F) << 4) | (byte1 & 0x0F));
  }
  friend bool operator==(const DocumentHeader&, const DocumentHeader&) = default;
};

/// Document types, the high half of header byte 0.
enum class DocumentType : int { kPay = 0, kInvoice = 1, kInvoiceItems = 2 };

/// Invoice sub-kinds, the high half of header byte 1.
enum class InvoiceKind : int {
  kInvoice = 0,
  kProformaInvoice = 1,
  kCreditNote = 2,
  kDebitNote = 3,
  kAdvanceInvoice = 4,
};

/// The number of invoice sub-kinds (0 to kAdvanceInvoice).
inline constexpr int kInvoiceKinds = 5;

/// One Pay, Invoice or InvoiceItems in memory: data only. The kind's fields
/// follow in the derived classes; the first field of every kind is
/// InvoiceID. Validation and completion are functions of validate/
/// (validate/document_rules.h).
class Document {
 public:
  virtual ~Document() = default;
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  /// The document type its header names.
  DocumentType type() const { return static_cast<DocumentType>(header.type()); }

  /// The class of the document (Pay, Invoice or InvoiceItems), fixed when it
  /// is made. type() names the same kind unless the header was changed to
  /// name another; what is done to the document's fields goes by kind().
  DocumentType kind() const { return kind_; }

  DocumentHeader header;
  StringValue InvoiceID;

 protected:
  explicit Document(DocumentType type) : kind_(type) {
    header.byte0 = static_cast<std::uint8_t>(static_cast<int>(type) << 4);
  }

 private:
  DocumentType kind_;
};

using DocumentPtr = std::unique_ptr<Document>;

/// Releases the document, if any.
void document_destroy(DocumentPtr& document);

/// The message of a missing document (document_validate) and of a header
/// whose type names none of the three kinds (check_header).
inline constexpr char kNoDocument[] = "Document cannot be null. ";

/// Whether @a header names a document that can be read and written: a type
/// of the three kinds, a sub-kind of that kind (0 for Pay and InvoiceItems,
/// 0 to 4 for Invoice) and version 0. The reserved bits play no part.
/// Returns 0 or, checked in this order:
///   -2 kNoDocument for a type other than 0, 1 and 2 (no document of it can
///      be read);
///    9 "Error in getting root and type" for a Pay or InvoiceItems sub-kind
///      other than 0, "Error wrong invoice document type" for an invoice
///      sub-kind above 4;
///    9 "Unsupported document version. " for a version other than 0.
/// The decoder checks a code's header with it before it decompresses
/// anything, decode_header() reports what it says, and the XML writer
/// refuses what it refuses.
int check_header(const DocumentHeader& header);

}  // namespace zarnex

#endif  // ZARNEX_MODEL_DOCUMENT_H_
