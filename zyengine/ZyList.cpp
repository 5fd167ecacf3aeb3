#include "zyengine/ZyList.h"

#include <cstring>

namespace qoxa::zy {
namespace {

size_t SlotBytes(int32_t slots) { return sizeof(ZyValue*) * static_cast<size_t>(slots); }

}  // namespace

ZyList::~ZyList() {
  if (Slots() > 1) Heap()->Free(items_, SlotBytes(Slots()));
}

// Moves the items to `slots` new slots and records the capacity that goes with them.
void ZyList::Reallocate(int32_t slots) {
  const int32_t capacity = Capacity();
  if (slots == 1 && count_ == 0) {  // the slot in place
    if (Slots() > 1) Heap()->Free(items_, SlotBytes(Slots()));
    single_ = nullptr;
    capacity_ = -1;
    return;
  }
  ZyHeap* heap = Heap();
  auto* grown = static_cast<ZyValue**>(heap->Allocate(SlotBytes(slots)));
  if (count_) std::memcpy(grown, Items(), SlotBytes(count_));
  if (Slots() > 1) heap->Free(items_, SlotBytes(Slots()));
  items_ = grown;
  capacity_ = slots >= capacity ? slots : -slots;
}

void ZyList::Grow() {
  const int32_t slots = Slots();
  const int32_t capacity = Capacity();
  if (slots == capacity) Reallocate(2 * capacity + 1);
  else Reallocate(slots == 0 ? 1 : (2 * slots < capacity ? 2 * slots : capacity));
}

int32_t ZyList::Append(ZyValue* item) {
  if (count_ == Slots()) Grow();
  Items()[count_] = item;
  return count_++;
}

int32_t ZyList::InsertAt(int32_t index, ZyValue* item) {
  if (index < 0 || index > count_) return -1;
  if (count_ == Slots()) Grow();
  ZyValue** items = Items();
  std::memmove(items + index + 1, items + index, sizeof(ZyValue*) * static_cast<size_t>(count_ - index));
  items[index] = item;
  ++count_;
  return index;
}

bool ZyList::RemoveAt(int32_t index) {
  if (index < 0 || index >= count_) return false;
  ZyValue** items = Items();
  std::memmove(items + index, items + index + 1, sizeof(ZyValue*) * static_cast<size_t>(count_ - index - 1));
  items[--count_] = nullptr;
  return true;
}

bool ZyList::RemoveItem(const ZyValue* item) {
  for (int32_t i = 0; i < count_; ++i)
    if (Items()[i] == item) return RemoveAt(i);
  return false;
}

void ZyList::ReplaceItem(const ZyValue* old, ZyValue* replacement) {
  for (int32_t i = 0; i < count_; ++i) {
    if (Items()[i] == old) {
      Items()[i] = replacement;
      return;
    }
  }
}

void ZyList::Clear() {
  if (count_) std::memset(Items(), 0, SlotBytes(count_));
  count_ = 0;
}

}  // namespace qoxa::zy
