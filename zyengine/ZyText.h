#pragma once
// UTF-16 text kept in a document's heap, 16 bytes in a record. Up to six code units (most keys,
// numbers and the words null, true and false) are stored in place; longer texts take a block
// of the heap. The owner passes its heap to every operation that allocates or frees.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "zyengine/ZyHeap.h"

namespace qoxa::zy {

class ZyText {
 public:
  static constexpr size_t kLocalCapacity = 6;

  ZyText() = default;
  ZyText(const ZyText&) = delete;
  ZyText& operator=(const ZyText&) = delete;

  const char16_t* data() const { return IsLocal() ? storage_.local : storage_.block.data; }
  char16_t* data() { return IsLocal() ? storage_.local : storage_.block.data; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::u16string_view View() const { return {data(), size_}; }
  operator std::u16string_view() const { return View(); }

  // Replaces the text; `text` may not point into this text.
  void Assign(ZyHeap* heap, std::u16string_view text) {
    if (text.size() > Capacity()) {
      Free(heap);
      if (text.size() > kLocalCapacity) {
        storage_.block.data = static_cast<char16_t*>(heap->Allocate(text.size() * sizeof(char16_t)));
        storage_.block.capacity = static_cast<uint32_t>(text.size());
        local_ = 0;
      }
    }
    if (!text.empty()) std::memcpy(data(), text.data(), text.size() * sizeof(char16_t));
    size_ = static_cast<uint32_t>(text.size());
  }
  // Takes other's text; a plain hand-over of a block within one heap, a copy otherwise.
  void Take(ZyHeap* heap, ZyText& other, ZyHeap* otherHeap) {
    if (heap == otherHeap && !other.IsLocal()) {
      Free(heap);
      storage_.block.data = other.storage_.block.data;
      storage_.block.capacity = other.storage_.block.capacity;
      size_ = other.size_;
      local_ = 0;
      other.local_ = 1;
      other.size_ = 0;
    } else {
      Assign(heap, other.View());
      other.Free(otherHeap);
    }
  }
  void Shrink(size_t size) {
    if (size < size_) size_ = static_cast<uint32_t>(size);
  }
  void Free(ZyHeap* heap) {
    if (!IsLocal()) heap->Free(storage_.block.data, storage_.block.capacity * sizeof(char16_t));
    local_ = 1;
    size_ = 0;
  }

 private:
  bool IsLocal() const { return local_ != 0; }
  size_t Capacity() const { return IsLocal() ? kLocalCapacity : storage_.block.capacity; }

  struct __attribute__((packed)) Block {
    char16_t* data;
    uint32_t capacity;
  };
  union Storage {
    char16_t local[kLocalCapacity];
    Block block;
  } storage_{};
  uint32_t size_ : 31 = 0;
  uint32_t local_ : 1 = 1;
};

}  // namespace qoxa::zy
