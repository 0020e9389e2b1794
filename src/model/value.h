#ifndef ZARNEX_MODEL_VALUE_H_
#define ZARNEX_MODEL_VALUE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zarnex {

// Every field of a document is optional. A value holder is present or
// absent; absence is never told by a sentinel number or an empty text.
using IntValue = std::optional<std::int32_t>;
using DecimalValue = std::optional<double>;
using StringValue = std::optional<std::string>;

/// Stores @a value in @a holder, making the field present.
inline void set_int(IntValue& holder, std::int32_t value) { holder = value; }
inline void set_decimal(DecimalValue& holder, double value) { holder = value; }
inline void set_string(StringValue& holder, std::string_view text) {
  holder = std::string(text);
}

/// The value of a decimal holder, or 0.0 when it is absent. Derived amounts
/// read every operand through this, so an absent amount counts as zero.
inline double decimal_or_zero(const DecimalValue& holder) {
  return holder.value_or(0.0);
}

/// True when the optional text is absent or empty; both travel alike.
inline bool is_blank(const StringValue& text) {
  return !text || text->empty();
}

/// An ordered list of owned records, one per repeated element. An entry may
/// be null (a record that is absent); null entries are counted and kept in
/// order like any other.
template <class T>
class PointerList {
 public:
  PointerList() = default;
  PointerList(PointerList&&) noexcept = default;
  PointerList& operator=(PointerList&&) noexcept = default;
  PointerList(const PointerList&) = delete;
  PointerList& operator=(const PointerList&) = delete;

  /// Appends @a item (which may be null) at the end.
  void append(std::unique_ptr<T> item) { items_.push_back(std::move(item)); }

  /// Makes room for @a n items, so that appending that many allocates once.
  void reserve(std::size_t n) { items_.reserve(n); }

  /// The item at @a index, or null when the index is negative or not below
  /// count().
  T* get(std::int64_t index) const {
    if (index < 0 || static_cast<std::uint64_t>(index) >= items_.size())
      return nullptr;
    return items_[static_cast<std::size_t>(index)].get();
  }

  std::uint32_t count() const {
    return static_cast<std::uint32_t>(items_.size());
  }
  bool empty() const { return items_.empty(); }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<std::unique_ptr<T>> items_;
};

/// A list field: absent (std::nullopt), or present with zero or more items.
template <class T>
using ListValue = std::optional<PointerList<T>>;

/// Number of entries of a list field; 0 when the list is absent.
template <class T>
std::uint32_t count(const ListValue<T>& list) {
  return list ? list->count() : 0;
}

/// A sub-record field: absent (null) or present.
template <class T>
using RecordValue = std::unique_ptr<T>;

}  // namespace zarnex

#endif  // ZARNEX_MODEL_VALUE_H_
