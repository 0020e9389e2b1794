#ifndef ZARNEX_CODE_FIELD_SEQUENCE_H_
#define ZARNEX_CODE_FIELD_SEQUENCE_H_

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "model/document.h"
#include "model/value.h"

namespace zarnex::code {

/// Field texts kept joined, as they travel: one buffer with a TAB between
/// each two fields and no TAB inside a field. Writing a document costs no
/// allocation per field, and the joined text is there without a copy. The
/// fields can be walked as string_views and compared with a list of texts.
class FieldList {
 public:
  /// Forward iterator over the fields, each a view into the buffer.
  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = const std::string_view*;
    using reference = std::string_view;

    const_iterator() = default;
    std::string_view operator*() const {
      return std::string_view(*text_).substr(start_, stop_ - start_);
    }
    const_iterator& operator++();
    const_iterator operator++(int) {
      const_iterator old = *this;
      ++*this;
      return old;
    }
    bool operator==(const const_iterator& other) const {
      return start_ == other.start_;
    }

   private:
    friend class FieldList;
    const_iterator(const std::string* text, std::size_t start);

    const std::string* text_ = nullptr;
    std::size_t start_ = 0;  // past the end: the text's size + 1
    std::size_t stop_ = 0;   // the TAB (or the end) after the field
  };
  using iterator = const_iterator;
  using value_type = std::string_view;

  FieldList() = default;
  /// The fields @a fields in turn; none of them may hold a TAB.
  FieldList(std::initializer_list<std::string_view> fields);
  explicit FieldList(const std::vector<std::string>& fields);

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  /// The fields joined by TABs.
  const std::string& text() const { return text_; }

  /// Starts one more field and returns the buffer whose end the field's
  /// bytes are to be appended to. The caller appends no TAB.
  std::string& start_field() {
    if (size_++ != 0) text_.push_back('\t');
    return text_;
  }
  /// Appends @a text cut at every TAB: n TABs give n + 1 more fields.
  void append_split(std::string_view text);
  void reserve(std::size_t bytes) { text_.reserve(bytes); }
  /// Removes every field, keeping the buffer for the next ones.
  void clear() {
    text_.clear();
    size_ = 0;
  }

  const_iterator begin() const;
  const_iterator end() const {
    return const_iterator(&text_, text_.size() + 1);
  }

  friend bool operator==(const FieldList& list,
                         const std::vector<std::string>& texts);

 private:
  std::string text_;
  std::uint32_t size_ = 0;
};

/// A document's values as texts, in the fixed order of its kind. Joined with
/// TAB separators it is the payload of a code: no names, no nesting marks, no
/// terminator. No field text contains a TAB.
///
/// Value forms: a string as its bytes with TABs turned into blanks; counts,
/// flags and integers as printf "%i"; decimals as format_decimal(); a date
/// YYYY-MM-DD as its 8 digits YYYYMMDD. Every absent value is an empty field.
struct FieldSequence {
  DocumentHeader header;
  FieldList fields;
  std::uint32_t cursor = 0;  // next field to read
  std::size_t position = 0;  // where that field starts in fields.text()

  // The first malformed number met while reading records its error here
  // (the reading itself goes on; read_document then fails with it).
  int status = 0;
};

// Writing. Each appends one field.
void add_field(FieldSequence& sequence, std::string_view text);
void add_field(FieldSequence& sequence, const StringValue& text);
void add_empty(FieldSequence& sequence);
void add_int(FieldSequence& sequence, std::int32_t value);
void add_optional_int(FieldSequence& sequence, const IntValue& value);
void add_decimal(FieldSequence& sequence, const DecimalValue& value);
/// A 10-byte text YYYY-MM-DD as YYYYMMDD; any other length gives an empty field.
void add_date(FieldSequence& sequence, const StringValue& date);

/// The length of the joined text: the field lengths plus one TAB between each two.
std::size_t text_length(const FieldSequence& sequence);
/// The fields joined by TABs.
std::string join(const FieldSequence& sequence);

/// Writes the document's fields in the order of its kind and copies its
/// header. A null document fails with -2 "Document cannot be NULL.".
int write_document(FieldSequence& sequence, const Document* document);

// Reading.
/// Cuts @a text (up to its first NUL byte) at every TAB and appends the
/// pieces as fields: n TABs give n + 1 fields.
void split(FieldSequence& sequence, std::string_view text);
/// Stores the next field into @a value, built in place: absent when the
/// field is empty or when the fields have run out.
void read_string(FieldSequence& sequence, StringValue& value);
/// The next field as an integer: absent when the field is empty. A field
/// that is not wholly a base-10 number within the 32-bit range records
/// ERROR_INVALID_VALUE with @a name as subject and " is a malformed number. "
/// in the sequence's status (the first such field wins) and reads as 0.
IntValue read_int(FieldSequence& sequence, std::string_view name);
/// A list count or presence flag: 0 when absent; malformed as read_int.
std::int32_t read_count(FieldSequence& sequence, std::string_view name);
/// The next field as a decimal: absent when the field is empty. A dot is the
/// decimal mark; a text with one comma and no dot ("12,34", as a program
/// writing numbers in a comma locale makes it) reads with the comma as the
/// mark. Any other text that is not a finite number is malformed as for
/// read_int and reads as 0.0. More than eight places are rounded to eight.
DecimalValue read_decimal(FieldSequence& sequence, std::string_view name);
/// Stores the next field, YYYYMMDD (8 bytes or more; the rest ignored), into
/// @a value as YYYY-MM-DD, built in place; absent when the field holds 7
/// bytes or fewer.
void read_date(FieldSequence& sequence, StringValue& value);

/// Builds a new document of the kind named by the sequence's header (type 0
/// Pay, 1 Invoice, 2 InvoiceItems) and reads its fields. Any other type
/// builds nothing and returns 0. Returns 0, or the status of the first
/// malformed number (no document is then handed out).
int read_document(FieldSequence& sequence, DocumentPtr* document);

}  // namespace zarnex::code

#endif  // ZARNEX_CODE_FIELD_SEQUENCE_H_
