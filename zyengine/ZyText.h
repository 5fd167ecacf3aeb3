#pragma once
// UTF-16 text kept in a document's heap: a pointer, a length and a capacity, 16 bytes in a
// record. The owner passes its heap to every operation that allocates or frees.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "zyengine/ZyHeap.h"

namespace qoxa::zy {

class ZyText {
 public:
  ZyText() = default;
  ZyText(const ZyText&) = delete;
  ZyText& operator=(const ZyText&) = delete;

  const char16_t* data() const { return data_; }
  char16_t* data() { return data_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::u16string_view View() const { return {data_, size_}; }
  operator std::u16string_view() const { return View(); }

  // Replaces the text; `text` may not point into this text.
  void Assign(ZyHeap* heap, std::u16string_view text) {
    if (text.size() > capacity_) {
      Free(heap);
      data_ = static_cast<char16_t*>(heap->Allocate(text.size() * sizeof(char16_t)));
      capacity_ = static_cast<uint32_t>(text.size());
    }
    if (!text.empty()) std::memcpy(data_, text.data(), text.size() * sizeof(char16_t));
    size_ = static_cast<uint32_t>(text.size());
  }
  // Takes other's text; a plain hand-over within one heap, a copy across heaps.
  void Take(ZyHeap* heap, ZyText& other, ZyHeap* otherHeap) {
    if (heap == otherHeap) {
      Free(heap);
      data_ = other.data_;
      size_ = other.size_;
      capacity_ = other.capacity_;
      other.data_ = nullptr;
      other.size_ = other.capacity_ = 0;
    } else {
      Assign(heap, other.View());
      other.Free(otherHeap);
    }
  }
  void Shrink(size_t size) {
    if (size < size_) size_ = static_cast<uint32_t>(size);
  }
  void Free(ZyHeap* heap) {
    if (data_) heap->Free(data_, capacity_ * sizeof(char16_t));
    data_ = nullptr;
    size_ = capacity_ = 0;
  }

 private:
  char16_t* data_ = nullptr;
  uint32_t size_ = 0;
  uint32_t capacity_ = 0;
};

}  // namespace qoxa::zy
