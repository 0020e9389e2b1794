#include "base/text_buffer.h"

#include <algorithm>

namespace zarnex {
namespace {

constexpr std::size_t kMinimumCapacity = 4096;

}  // namespace

void TextBuffer::reserve(std::size_t capacity) {
  if (capacity <= capacity_) return;
  // Only the bytes written so far are carried over; the rest is left as the
  // allocation gives it, to be written before it is read.
  auto larger = std::make_unique_for_overwrite<char[]>(capacity);
  if (size_ != 0) std::memcpy(larger.get(), data_.get(), size_);
  data_ = std::move(larger);
  capacity_ = capacity;
}

void TextBuffer::grow(std::size_t n) {
  reserve(std::max({size_ + n, 2 * capacity_, kMinimumCapacity}));
}

}  // namespace zarnex
