#ifndef ZARNEX_BENCH_GENERATOR_H_
#define ZARNEX_BENCH_GENERATOR_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zarnex::bench {

/// The document kinds the generator writes; the five invoice sub-kinds are
/// kinds of their own here.
enum class Kind {
  kPay,
  kInvoice,
  kProformaInvoice,
  kCreditNote,
  kDebitNote,
  kAdvanceInvoice,
  kInvoiceItems,
};

/// The kind's name on the command line ("pay", "invoice", "proforma",
/// "credit", "debit", "advance", "items").
std::string_view kind_name(Kind kind);
std::optional<Kind> kind_from_name(std::string_view name);

/// Small deterministic generator (splitmix64): the same seed gives the same
/// numbers on every platform and library version.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next();
  /// A number in 0 .. n - 1 (n > 0).
  std::uint32_t below(std::uint32_t n);
  /// True in @a percent cases out of 100.
  bool chance(std::uint32_t percent) { return below(100) < percent; }

 private:
  std::uint64_t state_;
};

/// Writes realistic, valid documents as XML texts of one line each: every
/// kind and invoice sub-kind, from documents with only their required
/// values up to field sequences close to the 550-byte limit, with non-ASCII
/// names and notes and escaped XML specials (&amp; &lt; &gt;). The same seed
/// gives the same documents.
///
/// Every document is checked with the library before it is handed out: it
/// must parse, validate and give a field sequence within the limit (a
/// document that grew too long is drawn again with a smaller size budget).
/// A document that fails is a fault of the generator; next() then throws
/// std::runtime_error with the library's error text.
class DocumentGenerator {
 public:
  explicit DocumentGenerator(std::uint64_t seed) : random_(seed) {}

  /// A document of a kind drawn from the mix: 40 % Pay, 40 % invoices
  /// (half of them Invoice, the rest the four other sub-kinds alike),
  /// 20 % InvoiceItems.
  std::string next();
  std::string next(Kind kind);

  /// The field-sequence length of the last document handed out.
  std::size_t last_sequence_length() const { return last_sequence_length_; }

 private:
  std::string draw(Kind kind, int budget);

  Random random_;
  std::size_t last_sequence_length_ = 0;
};

}  // namespace zarnex::bench

#endif  // ZARNEX_BENCH_GENERATOR_H_
