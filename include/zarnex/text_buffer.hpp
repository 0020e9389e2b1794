// zarnex: the text buffer that the *_into functions of zarnex.hpp append
// their results to. A front-end that writes many results (a bulk run, a
// server answering with many codes) keeps one buffer and writes it out in
// large blocks; appending costs no allocation once the buffer has grown and
// no filling of the bytes handed out.
#ifndef ZARNEX_TEXT_BUFFER_HPP_
#define ZARNEX_TEXT_BUFFER_HPP_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

#if !defined(ZARNEX_API)
#if defined(__GNUC__)
#define ZARNEX_API __attribute__((visibility("default")))
#else
#define ZARNEX_API
#endif
#endif

namespace zarnex {
namespace detail {

/// Copies @a n bytes that do not overlap. Short copies (the element names and
/// most values of a document) are done with a few fixed-size moves instead of
/// a call to memcpy, which costs more than the copy itself at these sizes.
/// Reads and writes only the @a n bytes.
inline void copy_bytes(char* to, const char* from, std::size_t n) {
  if (n > 32) {
    std::memcpy(to, from, n);
  } else if (n >= 8) {
    // Two (or four) eight-byte moves that overlap in the middle.
    std::uint64_t a, b;
    if (n > 16) {
      std::uint64_t c, d;
      std::memcpy(&a, from, 8);
      std::memcpy(&b, from + 8, 8);
      std::memcpy(&c, from + n - 16, 8);
      std::memcpy(&d, from + n - 8, 8);
      std::memcpy(to, &a, 8);
      std::memcpy(to + 8, &b, 8);
      std::memcpy(to + n - 16, &c, 8);
      std::memcpy(to + n - 8, &d, 8);
      return;
    }
    std::memcpy(&a, from, 8);
    std::memcpy(&b, from + n - 8, 8);
    std::memcpy(to, &a, 8);
    std::memcpy(to + n - 8, &b, 8);
  } else if (n >= 4) {
    std::uint32_t a, b;
    std::memcpy(&a, from, 4);
    std::memcpy(&b, from + n - 4, 4);
    std::memcpy(to, &a, 4);
    std::memcpy(to + n - 4, &b, 4);
  } else if (n != 0) {
    // One to three bytes: the first, the middle and the last.
    const char first = from[0], middle = from[n / 2], last = from[n - 1];
    to[0] = first;
    to[n / 2] = middle;
    to[n - 1] = last;
  }
}

}  // namespace detail

/// A growing text written through a cursor. Unlike std::string it never
/// fills the bytes it hands out for writing (resize() would zero them first),
/// so a buffer kept for every document of a bulk run costs one bounds check
/// per write and nothing else.
class ZARNEX_API TextBuffer {
 public:
  TextBuffer() = default;
  explicit TextBuffer(std::size_t capacity) { reserve(capacity); }
  // A buffer moved from is left empty and without storage.
  TextBuffer(TextBuffer&& other) noexcept
      : data_(std::move(other.data_)),
        size_(std::exchange(other.size_, 0)),
        capacity_(std::exchange(other.capacity_, 0)) {}
  TextBuffer& operator=(TextBuffer&& other) noexcept {
    data_ = std::move(other.data_);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    return *this;
  }

  /// Makes room for @a n more bytes and returns where they start; the caller
  /// writes all of them.
  char* extend(std::size_t n) {
    if (capacity_ - size_ < n) grow(n);
    char* p = data_.get() + size_;
    size_ += n;
    return p;
  }
  void append(std::string_view text) {
    detail::copy_bytes(extend(text.size()), text.data(), text.size());
  }
  void append(char c) { *extend(1) = c; }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const char* data() const { return data_.get(); }
  std::string_view view() const { return std::string_view(data(), size_); }

  /// Takes back everything after the first @a size bytes (at most size()).
  void truncate(std::size_t size) { size_ = size; }
  void clear() { size_ = 0; }
  /// Makes sure @a capacity bytes fit without another growth.
  void reserve(std::size_t capacity);

 private:
  void grow(std::size_t n);

  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace zarnex

#endif  // ZARNEX_TEXT_BUFFER_HPP_
