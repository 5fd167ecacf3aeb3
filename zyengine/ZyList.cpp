#include "zyengine/ZyList.h"

#include <cstring>

namespace qoxa::zy {
namespace {

size_t SlotBytes(int32_t slots) { return sizeof(ZyValue*) * static_cast<size_t>(slots); }

}  // namespace

ZyList::ZyList(ZyHeap* heap) : heap_(heap) {}

ZyList::~ZyList() {
  if (items_) heap_->Free(items_, SlotBytes(slots_));
}

void ZyList::Reallocate(int32_t slots) {
  auto* grown = static_cast<ZyValue**>(heap_->Allocate(SlotBytes(slots)));
  if (count_) std::memcpy(grown, items_, SlotBytes(count_));
  if (items_) heap_->Free(items_, SlotBytes(slots_));
  items_ = grown;
  slots_ = slots;
}

void ZyList::Grow() {
  if (slots_ == capacity_) {
    capacity_ = 2 * capacity_ + 1;
    Reallocate(capacity_);
  } else {
    Reallocate(slots_ == 0 ? kFirstSlots : (2 * slots_ < capacity_ ? 2 * slots_ : capacity_));
  }
}

int32_t ZyList::Append(ZyValue* item) {
  if (count_ == slots_) Grow();
  items_[count_] = item;
  return count_++;
}

int32_t ZyList::InsertAt(int32_t index, ZyValue* item) {
  if (index < 0 || index > count_) return -1;
  if (count_ == slots_) Grow();
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
