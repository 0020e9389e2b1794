#ifndef ZARNEX_CHECK_GRAMMAR_H_
#define ZARNEX_CHECK_GRAMMAR_H_

// The element trees of the three documents as strict reading accepts them
// (schema/*.xsd describes the same trees): which elements each record may
// hold, which element is the item of a list, and the form of every value.
// The default readers find the elements they know and skip the rest; strict
// reading walks a document against these trees and refuses what does not
// belong.

#include <span>
#include <string_view>

#include "model/vocabulary.h"

namespace zarnex::check {

/// The namespace of every element of a document.
inline constexpr std::string_view kDocumentNamespace = "urn:zarnex:document:1";

enum class Form {
  kRecord,    // elements only, each name at most once
  kList,      // items only, all of the one item element
  kText,      // any text
  kInteger,   // a base-10 32-bit integer
  kDecimal,   // a number the code carries exactly (at most eight places)
  kEnum,      // one word of the table
  kFlags,     // words of the table, each once, separated by single blanks
  kDate,      // YYYY-MM-DD, a day of the calendar
  kIban,      // ISO 13616: country, check digits (mod 97), national length
  kBic,       // ISO 9362
  kCurrency,  // active ISO 4217 code
  kCountry,   // ISO 3166-1 alpha-3 code
};

struct Element {
  std::string_view name;
  Form form;
  // kRecord: the elements it may hold; kList: its one item element.
  std::span<const Element> children = {};
  // kEnum and kFlags: the words.
  NameTable words = {};
};

/// The root element of a kind ("Pay", "Invoice", "InvoiceItems"), or null
/// for any other name.
const Element* document_grammar(std::string_view root_name);

/// The child of a record or list named @a name, or null.
const Element* find_child(const Element& parent, std::string_view name);

}  // namespace zarnex::check

#endif  // ZARNEX_CHECK_GRAMMAR_H_
