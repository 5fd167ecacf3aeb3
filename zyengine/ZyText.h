#pragma once
// UTF-16 text kept in a document's heap, 12 bytes in a record. Up to five code units (most keys,
// numbers and the words null and true) are stored in place; longer texts take a block of the
// heap sized to the text. The owner passes its heap to every operation that allocates or frees.
//
// Layout: in place, the units fill the first five slots and the sixth holds 0x8000 | length.
// Otherwise the block's address fills the first eight bytes and the length the last four; a
// length stays below 2^31, so the top bit of the sixth slot is clear.
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "zyengine/ZyHeap.h"

namespace qoxa::zy {

class ZyText {
 public:
  static constexpr size_t kLocalCapacity = 5;

  ZyText() = default;
  ZyText(const ZyText&) = delete;
  ZyText& operator=(const ZyText&) = delete;

  const char16_t* data() const { return IsLocal() ? units_ : Block(); }
  char16_t* data() { return IsLocal() ? units_ : Block(); }
  size_t size() const { return IsLocal() ? (units_[5] & 0x7FFF) : BlockSize(); }
  bool empty() const { return size() == 0; }
  std::u16string_view View() const { return {data(), size()}; }
  operator std::u16string_view() const { return View(); }

  // Replaces the text; `text` may not point into this text.
  void Assign(ZyHeap* heap, std::u16string_view text) {
    const size_t n = text.size();
    if (n <= kLocalCapacity) {
      Free(heap);
      CopyFew(units_, text.data(), n);
      units_[5] = static_cast<char16_t>(0x8000 | n);
      return;
    }
    AssignBlock(heap, text);
  }
  // Takes other's text; a plain hand-over of a block within one heap, a copy otherwise.
  void Take(ZyHeap* heap, ZyText& other, ZyHeap* otherHeap) {
    if (heap == otherHeap && !other.IsLocal()) {
      Free(heap);
      std::memcpy(units_, other.units_, sizeof units_);
      other.units_[5] = 0x8000;
    } else {
      Assign(heap, other.View());
      other.Free(otherHeap);
    }
  }
  void Free(ZyHeap* heap) {
    if (!IsLocal()) heap->Free(Block(), BlockSize() * sizeof(char16_t));
    units_[5] = 0x8000;
  }

 private:
  // Kept out of line: the callers' short constant texts never get here.
  __attribute__((noinline)) void AssignBlock(ZyHeap* heap, std::u16string_view text) {
    const size_t n = text.size();
    if (IsLocal() || BlockSize() != n) {
      Free(heap);
      SetBlock(static_cast<char16_t*>(heap->Allocate(n * sizeof(char16_t))), n);
    }
    std::memcpy(Block(), text.data(), n * sizeof(char16_t));
  }
  // Copies up to kLocalCapacity units as two overlapping copies of a fixed size, which is much
  // cheaper than a copy of variable length for the millions of short keys and numbers.
  static void CopyFew(char16_t* to, const char16_t* from, size_t n) {
    const size_t bytes = n * sizeof(char16_t);
    const auto* source = reinterpret_cast<const char*>(from);
    auto* target = reinterpret_cast<char*>(to);
    if (bytes >= 8) {
      uint64_t head, tail;
      std::memcpy(&head, source, 8);
      std::memcpy(&tail, source + bytes - 8, 8);
      std::memcpy(target, &head, 8);
      std::memcpy(target + bytes - 8, &tail, 8);
    } else if (bytes >= 4) {
      uint32_t head, tail;
      std::memcpy(&head, source, 4);
      std::memcpy(&tail, source + bytes - 4, 4);
      std::memcpy(target, &head, 4);
      std::memcpy(target + bytes - 4, &tail, 4);
    } else if (bytes) {
      std::memcpy(target, source, 2);
    }
  }
  bool IsLocal() const { return (units_[5] & 0x8000) != 0; }
  char16_t* Block() const {
    char16_t* block;
    std::memcpy(&block, units_, sizeof block);
    return block;
  }
  size_t BlockSize() const {
    uint32_t size;
    std::memcpy(&size, units_ + 4, sizeof size);
    return size;
  }
  void SetBlock(char16_t* block, size_t size) {
    const auto size32 = static_cast<uint32_t>(size);
    std::memcpy(units_, &block, sizeof block);
    std::memcpy(units_ + 4, &size32, sizeof size32);
  }

  alignas(4) char16_t units_[6] = {0, 0, 0, 0, 0, 0x8000};
};
static_assert(sizeof(ZyText) == 12);
static_assert(std::endian::native == std::endian::little, "the length's top half shares the sixth slot");

}  // namespace qoxa::zy
