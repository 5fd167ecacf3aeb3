#include "zyengine/ZyTable.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "zyengine/ZyValue.h"

namespace qoxa::zy {

int32_t HashKey(std::u16string_view key) {
  uint32_t h = 0;
  for (size_t i = key.size(); i-- > 0;) {
    const uint32_t unit = key[i];
    h = h * 31u + (unit >> 8);    // high byte comes later in UTF-16LE, so it is hashed first
    h = h * 31u + (unit & 0xFF);
  }
  return static_cast<int32_t>(h);
}

namespace {

ZyValue** NewBuckets(ZyHeap* heap, int32_t count) {
  const size_t bytes = sizeof(ZyValue*) * static_cast<size_t>(count);
  auto* buckets = static_cast<ZyValue**>(heap->Allocate(bytes));
  std::memset(buckets, 0, bytes);
  return buckets;
}

void FreeBuckets(ZyHeap* heap, ZyValue** buckets, int32_t count) {
  heap->Free(buckets, sizeof(ZyValue*) * static_cast<size_t>(count));
}

}  // namespace

ZyTable::~ZyTable() {
  static_assert(offsetof(ZyTable, order_) == 0, "the order list finds the heap from the table's block");
  static_assert(sizeof(void*) != 8 || sizeof(ZyTable) == 32);
  if (buckets_) FreeBuckets(order_.Heap(), buckets_, bucketCount_);
}

int32_t ZyTable::ScanOrder(std::u16string_view key) const {
  ZyValue* const* items = order_.begin();
  const int32_t count = order_.Count();
  for (int32_t i = 0; i < count; ++i)
    if (items[i]->key.View() == key) return i;
  return -1;
}

int32_t ZyTable::SlotOf(std::u16string_view key) const {
  int32_t slot = BucketOf(HashKey(key));
  for (ZyValue* m; (m = buckets_[slot]) != nullptr; slot = NextSlot(slot))
    if (m->key.View() == key) return slot;
  return -1;
}

int32_t ZyTable::FreeSlotFor(std::u16string_view key) const {
  int32_t slot = BucketOf(HashKey(key));
  while (buckets_[slot]) slot = NextSlot(slot);
  return slot;
}

ZyValue* ZyTable::Find(std::u16string_view key) const {
  if (!buckets_) {
    const int32_t i = ScanOrder(key);
    return i < 0 ? nullptr : order_.At(i);
  }
  const int32_t slot = SlotOf(key);
  return slot < 0 ? nullptr : buckets_[slot];
}

int ZyTable::Set(std::u16string_view key, ZyValue* record, ZyValue** replaced) {
  ZyValue* m = nullptr;
  if (!buckets_) {
    const int32_t i = ScanOrder(key);
    if (i >= 0) {
      m = order_.data()[i];
      order_.data()[i] = record;
    }
  } else {
    const int32_t slot = SlotOf(key);
    if (slot >= 0) {
      m = buckets_[slot];
      buckets_[slot] = record;
      order_.ReplaceItem(m, record);
    }
  }
  if (m) {
    record->key.Take(record->Heap(), m->key, m->Heap());
    m->parent = nullptr;  // it has left this table; it must not come back here when it dies
    if (replaced) *replaced = m;
    return 1;
  }
  // Thresholds only grow from the first one, which spares most small tables computing it.
  constexpr int32_t kFirstThreshold = kInitialBuckets * 3 / 4;
  if (order_.Count() >= kFirstThreshold && order_.Count() >= Threshold()) GrowTable();
  record->key.Assign(record->Heap(), key);
  order_.Append(record);
  if (buckets_) buckets_[FreeSlotFor(key)] = record;
  else if (order_.Count() > kLinearLimit) BuildBuckets();
  return 0;
}

void ZyTable::RemoveSlot(int32_t slot) {
  // Later members of the same run move up into the gap when their home slot allows it, so that
  // every member stays reachable from its home slot without gaps.
  int32_t gap = slot;
  for (int32_t next = NextSlot(gap); buckets_[next]; next = NextSlot(next)) {
    const int32_t home = BucketOf(HashKey(buckets_[next]->key.View()));
    const bool between = gap <= next ? (gap < home && home <= next) : (gap < home || home <= next);
    if (between) continue;
    buckets_[gap] = buckets_[next];
    gap = next;
  }
  buckets_[gap] = nullptr;
}

bool ZyTable::Unlink(ZyValue* member) {
  if (buckets_) {
    int32_t slot = BucketOf(HashKey(member->key.View()));
    while (buckets_[slot] && buckets_[slot] != member) slot = NextSlot(slot);
    if (!buckets_[slot]) return false;
    RemoveSlot(slot);
    order_.RemoveItem(member);
  } else if (!order_.RemoveItem(member)) {
    return false;
  }
  member->key.Free(member->Heap());
  member->parent = nullptr;
  return true;
}

void ZyTable::BuildBuckets() {
  if (buckets_) FreeBuckets(order_.Heap(), buckets_, bucketCount_);
  buckets_ = NewBuckets(order_.Heap(), bucketCount_);
  for (ZyValue* m : order_) buckets_[FreeSlotFor(m->key.View())] = m;
}

void ZyTable::GrowTable() {
  const int32_t newCount = 2 * bucketCount_ + 1;
  if (!buckets_) {
    bucketCount_ = newCount;
    return;
  }
  FreeBuckets(order_.Heap(), buckets_, bucketCount_);
  buckets_ = nullptr;
  bucketCount_ = newCount;
  BuildBuckets();
}

void ZyTable::EmptyInPlace() {
  for (ZyValue* m : order_) m->key.Free(m->Heap());
  order_.Clear();
  if (buckets_) std::memset(buckets_, 0, sizeof(ZyValue*) * static_cast<size_t>(bucketCount_));
}

std::vector<std::u16string> ZyTable::KeysSnapshot() const {
  std::vector<std::u16string> keys;
  keys.reserve(static_cast<size_t>(order_.Count()));
  for (const ZyValue* m : order_) keys.emplace_back(m->key.data(), m->key.size());
  return keys;
}

void ZyTable::Sort(bool descending) {
  ZyValue** first = order_.data();
  ZyValue** last = first + order_.Count();
  if (descending)
    std::sort(first, last, [](const ZyValue* a, const ZyValue* b) { return a->key.View() > b->key.View(); });
  else
    std::sort(first, last, [](const ZyValue* a, const ZyValue* b) { return a->key.View() < b->key.View(); });
}

ZyValue* FindMember(const ZyValue* object, std::u16string_view key) {
  if (!object || object->type != ZyType::Object || !object->payload.table) return nullptr;
  return object->payload.table->Find(key);
}

bool HasMember(const ZyValue* object, std::u16string_view key) { return FindMember(object, key) != nullptr; }

bool SetMember(ZyValue* value, std::u16string_view key, ZyValue* record) {
  if (!value || !record) return false;
  EnsureObject(value);
  ZyValue* old = nullptr;
  record->parent = value;
  value->payload.table->Set(key, record, &old);
  if (old) Release(old);  // already out of the chains, so its own detaching finds nothing
  return true;
}

bool RemoveMember(ZyValue* value, std::u16string_view key) {
  if (!value || value->type != ZyType::Object || !value->payload.table) return false;
  ZyValue* old = value->payload.table->Find(key);
  if (!old) return false;
  value->payload.table->Unlink(old);
  Release(old);
  return true;
}

}  // namespace qoxa::zy
