#include "zyengine/ZyList.h"

#include <cstring>

namespace qoxa::zy {
namespace {

size_t SlotBytes(int32_t slots) { return sizeof(ZyValue*) * static_cast<size_t>(slots); }

}  // namespace

ZyList::~ZyList() {
  if (items_) Heap()->Free(items_, SlotBytes(Slots()));
}

// Moves the items to `slots` new slots and records the capacity that goes with them.
void ZyList::Reallocate(int32_t slots) {
  const int32_t capacity = Capacity();
  ZyHeap* heap = Heap();
  auto* grown = static_cast<ZyValue**>(heap->Allocate(SlotBytes(slots)));
  // Lists grow while they are short: a plain loop beats a call for a copy of variable length.
  for (int32_t i = 0; i < count_; ++i) grown[i] = items_[i];
  if (items_) heap->Free(items_, SlotBytes(Slots()));
  items_ = grown;
  capacity_ = slots >= capacity ? slots : -slots;
}

void ZyList::Grow() {
  const int32_t slots = Slots();
  const int32_t capacity = Capacity();
  if (slots == capacity) Reallocate(2 * capacity + 1);
  else Reallocate(slots == 0 ? kFirstSlots : (2 * slots < capacity ? 2 * slots : capacity));
}

int32_t ZyList::InsertAt(int32_t index, ZyValue* item) {
  if (index < 0 || index > count_) return -1;
  if (count_ == Slots()) Grow();
  std::memmove(items_ + index + 1, items_ + index, sizeof(ZyValue*) * static_cast<size_t>(count_ - index));
  items_[index] = item;
  ++count_;
  return index;
}

bool ZyList::RemoveAt(int32_t index) {
  if (index < 0 || index >= count_) return false;
  std::memmove(items_ + index, items_ + index + 1, sizeof(ZyValue*) * static_cast<size_t>(count_ - index - 1));
  items_[--count_] = nullptr;
  return true;
}

bool ZyList::RemoveItem(const ZyValue* item) {
  for (int32_t i = 0; i < count_; ++i)
    if (items_[i] == item) return RemoveAt(i);
  return false;
}

void ZyList::ReplaceItem(const ZyValue* old, ZyValue* replacement) {
  for (int32_t i = 0; i < count_; ++i) {
    if (items_[i] == old) {
      items_[i] = replacement;
      return;
    }
  }
}

void ZyList::Clear() {
  if (count_) std::memset(items_, 0, SlotBytes(count_));
  count_ = 0;
}

}  // namespace qoxa::zy
