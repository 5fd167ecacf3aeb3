#pragma once
// A growable array of record pointers: the element list of an Array and the member order of an
// Object. Capacity starts at 8 and grows to 2 × capacity + 1 (8, 17, 35, 71, …); emptying keeps it.
//
// The slots behind that capacity are taken as they are needed: none for an empty list, then 2, 4
// and 8, so the many small lists of a big document cost little. Past the first capacity step the
// slots always match the capacity.
#include <cstdint>

#include "zyengine/ZyHeap.h"

namespace qoxa::zy {

struct ZyValue;

class ZyList {
 public:
  static constexpr int32_t kInitialCapacity = 8;

  // A list lives in a heap block (of its record or its table) and uses that block's heap.
  ZyList() = default;
  ~ZyList();
  ZyList(const ZyList&) = delete;
  ZyList& operator=(const ZyList&) = delete;

  int32_t Count() const { return count_; }
  int32_t Capacity() const { return capacity_ <= 0 ? kInitialCapacity : capacity_; }
  ZyValue* At(int32_t index) const { return index < 0 || index >= count_ ? nullptr : items_[index]; }
  ZyValue* const* begin() const { return items_; }
  ZyValue* const* end() const { return items_ + count_; }
  ZyValue** data() { return items_; }
  ZyHeap* Heap() const { return ZyHeap::Of(this); }

  int32_t Append(ZyValue* item) {
    if (count_ == Slots()) Grow();
    items_[count_] = item;
    return count_++;
  }
  // Answers index, or -1 unless 0 ≤ index ≤ Count().
  int32_t InsertAt(int32_t index, ZyValue* item);
  bool RemoveAt(int32_t index);
  // Removes the first slot holding item; false when it is absent.
  bool RemoveItem(const ZyValue* item);
  // Stores replacement in the first slot holding old; nothing when old is absent.
  void ReplaceItem(const ZyValue* old, ZyValue* replacement);
  // Count 0, slots zeroed, capacity kept.
  void Clear();

 private:
  static constexpr int32_t kFirstSlots = 2;
  // Makes room for one more item.
  void Grow();
  void Reallocate(int32_t slots);
  // Slots allocated at items_; count_ ≤ Slots() ≤ Capacity().
  int32_t Slots() const { return capacity_ <= 0 ? -capacity_ : capacity_; }

  ZyValue** items_ = nullptr;
  int32_t count_ = 0;
  // The capacity, which the slots then match; while fewer slots than the first capacity are
  // taken, minus their number (0, -2, -4), so a list takes 16 bytes.
  int32_t capacity_ = 0;
};
static_assert(sizeof(void*) != 8 || sizeof(ZyList) == 16);

}  // namespace qoxa::zy
