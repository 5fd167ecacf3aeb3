#include "zyengine/ZyList.h"

#include <cstring>

namespace qoxa::zy {
namespace {

size_t SlotBytes(int32_t capacity) { return sizeof(ZyValue*) * static_cast<size_t>(capacity); }

ZyValue** NewSlots(ZyHeap* heap, int32_t capacity) {
  auto* slots = static_cast<ZyValue**>(heap->Allocate(SlotBytes(capacity)));
  std::memset(slots, 0, SlotBytes(capacity));
  return slots;
}

}  // namespace

ZyList::ZyList(ZyHeap* heap) : heap_(heap), items_(NewSlots(heap, kInitialCapacity)) {}

ZyList::~ZyList() { heap_->Free(items_, SlotBytes(capacity_)); }

void ZyList::Grow() {
  const int32_t capacity = 2 * capacity_ + 1;
  ZyValue** slots = NewSlots(heap_, capacity);
  std::memcpy(slots, items_, sizeof(ZyValue*) * static_cast<size_t>(count_));
  heap_->Free(items_, SlotBytes(capacity_));
  items_ = slots;
  capacity_ = capacity;
}

int32_t ZyList::Append(ZyValue* item) {
  if (count_ == capacity_) Grow();
  items_[count_] = item;
  return count_++;
}

int32_t ZyList::InsertAt(int32_t index, ZyValue* item) {
  if (index < 0 || index > count_) return -1;
  if (count_ == capacity_) Grow();
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
  std::memset(items_, 0, sizeof(ZyValue*) * static_cast<size_t>(count_));
  count_ = 0;
}

}  // namespace qoxa::zy
