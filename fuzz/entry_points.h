#ifndef ZARNEX_FUZZ_ENTRY_POINTS_H_
#define ZARNEX_FUZZ_ENTRY_POINTS_H_

// The paths that the fuzz targets drive with arbitrary bytes, shared with the
// regression test that replays every input the fuzzers ever crashed on.
//
// Each entry point runs one input and returns an empty text when the library
// behaved, or a description of the broken expectation. Memory errors,
// undefined behaviour and leaks are left to the sanitizers (and to valgrind).
// Header-only, so that the fuzz targets and the unit-test binary each compile
// it against their own build of the library.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "code/envelope.h"
#include "code/field_sequence.h"
#include "error/error.h"
#include "model/document.h"
#include "model/invoice.h"
#include "model/pay.h"
#include "validate/document_rules.h"
#include "xml/xml.h"
#include "xml/xml_text.h"
#include "zarnex/zarnex.hpp"

namespace zarnex::fuzzing {

/// The inputs of each target live in fuzz/corpus/<target>/ (seeds) and
/// fuzz/regressions/<target>/ (every crash input ever found).
inline constexpr const char* kTargets[] = {"decode", "encode", "sequence",
                                           "round_trip"};

namespace detail {

inline bool is_code_text(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'V'))) return false;
  }
  return true;
}

// A failed operation must have recorded the code it returned, with an error
// text that begins with the code's name.
inline std::string check_recorded(std::string_view operation, int status) {
  if (error_code() != status) {
    return std::string(operation) + " returned " + std::to_string(status) +
           " but recorded " + std::to_string(error_code());
  }
  std::string text = error_text();
  const std::string_view name = code_name(status);
  if (text.compare(0, name.size(), name) != 0) {
    return std::string(operation) + " returned " + std::to_string(status) +
           " with the error text \"" + text + "\"";
  }
  return {};
}

// Whether @a text is one that XML 1.0 can carry. The writer refuses string
// values that are not, so every XML text it writes must be one.
inline bool xml_carries(std::string_view text) {
  return xml::first_unwritable(text) == std::string_view::npos;
}

// Whether the document holds a flag set (PaymentOptions, Month, PaymentMeans)
// that is present with no flag set. Validation accepts the value 0, but the
// XML writer writes no element for it, so the XML of such a document reads
// back with the field absent and no longer passes validation.
inline bool has_empty_flag_set(const Document& document) {
  auto empty = [](const IntValue& flags) { return flags && *flags == 0; };
  if (const auto* pay = dynamic_cast<const Pay*>(&document)) {
    if (!pay->Payments) return false;
    for (const auto& payment : *pay->Payments) {
      if (!payment) continue;
      if (empty(payment->PaymentOptions)) return true;
      if (payment->StandingOrderExt && empty(payment->StandingOrderExt->Month))
        return true;
    }
  } else if (const auto* invoice = dynamic_cast<const Invoice*>(&document)) {
    return empty(invoice->PaymentMeans);
  }
  return false;
}

// The joined field sequence of a document, for the messages of the round
// trip ("(none)" when it cannot be written).
inline std::string sequence_of(const Document* document) {
  code::FieldSequence sequence;
  if (code::write_document(sequence, document) != 0) return "(none)";
  return code::join(sequence);
}

}  // namespace detail

/// Any text as a code: decode_document, then the XML writer.
inline std::string decode_input(std::string_view data) {
  reset_error();
  DocumentPtr document;
  int status = code::decode_document(data, &document);
  if (status != 0) {
    if (document) return "decode_document failed but handed out a document";
    return detail::check_recorded("decode_document", status);
  }
  if (!document) return "decode_document succeeded without a document";
  std::string xml;
  status = xml::document_to_xml(*document, &xml);
  if (status != 0) return detail::check_recorded("document_to_xml", status);
  if (xml.rfind("<?xml ", 0) != 0)
    return "document_to_xml succeeded without an XML text: " + xml;
  if (!detail::xml_carries(xml))
    return "document_to_xml wrote bytes that XML cannot carry: " + xml;
  if (xml.find_first_of("\r\n") != std::string::npos)
    return "document_to_xml wrote more than one line: " + xml;
  return {};
}

/// Any text as XML: the reader, validation and encode_document.
inline std::string encode_input(std::string_view data) {
  reset_error();
  DocumentPtr document;
  int status = xml::document_from_xml(data, &document);
  if (status != 0) {
    if (document) return "document_from_xml failed but handed out a document";
    return detail::check_recorded("document_from_xml", status);
  }
  // A root of another name gives no document; validation then refuses it.
  status = document_validate(document.get());
  std::string code;
  int encoded = code::encode_document(document.get(), &code);
  // A refused document is refused by the encoder with the same code; an
  // accepted one can still be too long or fail to compress.
  bool consistent =
      status != 0 ? encoded == status
                  : encoded == 0 ||
                        encoded == static_cast<int>(
                                       ErrorCode::kSequenceLimitExceeded) ||
                        encoded == static_cast<int>(ErrorCode::kCompression);
  if (!consistent) {
    return "document_validate gave " + std::to_string(status) +
           " but encode_document gave " + std::to_string(encoded);
  }
  if (encoded != 0) {
    if (!code.empty()) return "encode_document failed but wrote a code";
    return detail::check_recorded("encode_document", encoded);
  }
  if (!detail::is_code_text(code))
    return "encode_document wrote a text outside the alphabet: " + code;
  return {};
}

/// Any text as a line of the field-sequence input mode; what it accepts must
/// decode to XML that reads back.
inline std::string sequence_input(std::string_view data) {
  reset_error();
  TextBuffer output;
  Result failure;
  const int status = encode_sequence_into(data, output, false, &failure);
  if (status != 0) {
    if (!output.empty()) return "encode_sequence failed with output";
    if (failure.error.empty()) return "encode_sequence failed without a text";
    return {};
  }
  const std::string code(output.view());
  if (!detail::is_code_text(code))
    return "encode_sequence wrote a text outside the alphabet: " + code;
  // A code handed out must decode, to XML that reads back.
  DocumentPtr decoded;
  if (code::decode_document(code, &decoded) != 0)
    return "the code of an accepted line does not decode: " + error_text() +
           "\ncode: " + code;
  std::string xml;
  if (xml::document_to_xml(*decoded, &xml) != 0)
    return "a decoded line cannot be written as XML: " + error_text();
  DocumentPtr read;
  if (xml::document_from_xml(xml, &read) != 0 || !read)
    return "the XML of an accepted line does not read back: " + error_text() +
           "\nxml: " + xml;
  return {};
}

/// XML -> code -> XML -> code: a document that encodes must decode, its XML
/// must encode again, and both codes must be the same. Not asked of
/// documents with an empty flag set (see has_empty_flag_set).
inline std::string xml_round_trip(std::string_view data) {
  DocumentPtr first;
  if (xml::document_from_xml(data, &first) != 0 || !first) return {};
  std::string first_code;
  if (code::encode_document(first.get(), &first_code) != 0 ||
      detail::has_empty_flag_set(*first))
    return {};

  DocumentPtr decoded;
  if (code::decode_document(first_code, &decoded) != 0) {
    return "the code of an accepted document does not decode: " +
           error_text() + "\ncode: " + first_code +
           "\nsequence: " + detail::sequence_of(first.get());
  }
  std::string xml;
  if (xml::document_to_xml(*decoded, &xml) != 0)
    return "a decoded document cannot be written as XML: " + error_text();
  DocumentPtr second;
  if (xml::document_from_xml(xml, &second) != 0 || !second) {
    return "the XML of a decoded document does not read back: " +
           error_text() + "\nxml: " + xml;
  }
  std::string second_code;
  if (code::encode_document(second.get(), &second_code) != 0) {
    return "the XML of a decoded document does not encode: " + error_text() +
           "\nxml: " + xml;
  }
  if (second_code != first_code) {
    return "encoding the decoded XML gives another code\nfirst sequence:  " +
           detail::sequence_of(first.get()) + "\nsecond sequence: " +
           detail::sequence_of(second.get()) + "\nxml: " + xml;
  }
  return {};
}

/// Code -> XML -> code -> XML: the XML of a code that decodes must read back
/// and, when it encodes, decode again to the same XML (codes whose texts XML
/// cannot carry are refused by the writer). A decoded document need not
/// encode again: the encoder alone enforces the sequence limit, and the
/// writer leaves out values that validation accepts but that have no XML
/// form, so the XML can lack a required value.
inline std::string code_round_trip(std::string_view data) {
  DocumentPtr first;
  if (code::decode_document(data, &first) != 0) return {};
  std::string first_xml;
  if (xml::document_to_xml(*first, &first_xml) != 0 || first_xml.empty())
    return {};

  DocumentPtr read;
  if (xml::document_from_xml(first_xml, &read) != 0 || !read) {
    return "the XML of a decoded code does not read back: " + error_text() +
           "\nxml: " + first_xml;
  }
  std::string code;
  int status = code::encode_document(read.get(), &code);
  // Over the encoder's limit, or holding a value that validation lets pass
  // but the writer cannot express (a Periodicity letter outside the table,
  // an empty flag set: the element is left out and reads back as absent).
  if (status == static_cast<int>(ErrorCode::kSequenceLimitExceeded) ||
      status == static_cast<int>(ErrorCode::kInvalidValue))
    return {};
  if (status != 0) {
    return "the XML of a decoded code does not encode: " + error_text() +
           "\nxml: " + first_xml;
  }
  DocumentPtr second;
  if (code::decode_document(code, &second) != 0) {
    return "the code made from a decoded code's XML does not decode: " +
           error_text() + "\ncode: " + code;
  }
  std::string second_xml;
  if (xml::document_to_xml(*second, &second_xml) != 0)
    return "a decoded document cannot be written as XML: " + error_text();
  if (second_xml != first_xml) {
    return "decoding again gives another XML\nfirst:  " + first_xml +
           "\nsecond: " + second_xml;
  }
  return {};
}

/// Both round trips on one input (a text is rarely both XML and a code, but
/// a corpus may hold either).
inline std::string round_trip_input(std::string_view data) {
  std::string broken = xml_round_trip(data);
  if (!broken.empty()) return broken;
  return code_round_trip(data);
}

/// The entry point of a target by its name; null for an unknown name.
using EntryPoint = std::string (*)(std::string_view);

inline EntryPoint entry_point(std::string_view target) {
  if (target == "decode") return decode_input;
  if (target == "encode") return encode_input;
  if (target == "sequence") return sequence_input;
  if (target == "round_trip") return round_trip_input;
  return nullptr;
}

/// The body of every fuzz target: runs one input through the named target's
/// entry point and aborts when an expectation broke, so that libFuzzer keeps
/// the input as a crash.
inline int run_target(const char* target, const std::uint8_t* data,
                      std::size_t size) {
  std::string broken = entry_point(target)(
      std::string_view(reinterpret_cast<const char*>(data), size));
  if (!broken.empty()) {
    std::fprintf(stderr, "%s: %s\n", target, broken.c_str());
    std::abort();
  }
  return 0;
}

}  // namespace zarnex::fuzzing

#endif  // ZARNEX_FUZZ_ENTRY_POINTS_H_
