#pragma once
// A growable UTF-16 buffer for writing documents. When an append does not fit, the capacity
// becomes twice the old capacity plus the room needed.
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace qoxa::zy {

class ZyTextBuilder {
 public:
  void Append(char16_t c) {
    if (length_ == capacity_) Grow(1);
    buffer_[length_++] = c;
  }
  void Append(std::u16string_view text) {
    if (capacity_ - length_ < text.size()) Grow(text.size());
    if (!text.empty()) std::memcpy(buffer_.get() + length_, text.data(), text.size() * sizeof(char16_t));
    length_ += text.size();
  }
  void AppendRepeated(char16_t c, size_t count) {
    if (capacity_ - length_ < count) Grow(count);
    for (size_t i = 0; i < count; ++i) buffer_[length_ + i] = c;
    length_ += count;
  }
  void Reserve(size_t capacity) {
    if (capacity > capacity_) Grow(capacity - length_);
  }
  size_t Length() const { return length_; }
  std::u16string_view View() const { return {buffer_.get(), length_}; }

 private:
  void Grow(size_t needed) {
    const size_t capacity = capacity_ * 2 + needed;
    std::unique_ptr<char16_t[]> grown(new char16_t[capacity]);
    if (length_) std::memcpy(grown.get(), buffer_.get(), length_ * sizeof(char16_t));
    buffer_ = std::move(grown);
    capacity_ = capacity;
  }

  std::unique_ptr<char16_t[]> buffer_;
  size_t capacity_ = 0;
  size_t length_ = 0;
};

}  // namespace qoxa::zy
