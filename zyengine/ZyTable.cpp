#include "zyengine/ZyTable.h"

#include <algorithm>
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

ZyTable::ZyTable(ZyHeap* heap) : threshold_(static_cast<int32_t>(kInitialBuckets * kLoadFactor)), order_(heap) {}

ZyTable::~ZyTable() {
  if (buckets_) FreeBuckets(order_.Heap(), buckets_, bucketCount_);
}

int32_t ZyTable::ScanOrder(std::u16string_view key) const {
  ZyValue* const* items = order_.begin();
  for (int32_t i = 0; i < count_; ++i)
    if (items[i]->key.View() == key) return i;
  return -1;
}

ZyValue* ZyTable::Find(std::u16string_view key) const {
  if (!buckets_) {
    const int32_t i = ScanOrder(key);
    return i < 0 ? nullptr : order_.At(i);
  }
  const int32_t h = HashKey(key);
  for (ZyValue* m = buckets_[BucketOf(h)]; m; m = m->next)
    if (m->keyHash == h && m->key.View() == key) return m;
  return nullptr;
}

int ZyTable::Set(std::u16string_view key, ZyValue* record, ZyValue** replaced) {
  if (!buckets_) {
    const int32_t i = ScanOrder(key);
    if (i >= 0) {
      ZyValue* m = order_.data()[i];
      record->key.Take(record->heap, m->key, m->heap);
      order_.data()[i] = record;
      m->next = nullptr;
      m->parent = nullptr;  // it has left this table; it must not come back here when it dies
      if (replaced) *replaced = m;
      return 1;
    }
    if (count_ >= threshold_) GrowTable();
    record->key.Assign(record->heap, key);
    record->next = nullptr;
    order_.Append(record);
    if (++count_ > kLinearLimit) BuildBuckets();
    return 0;
  }
  const int32_t h = HashKey(key);
  int32_t b = BucketOf(h);
  ZyValue* previous = nullptr;
  for (ZyValue* m = buckets_[b]; m; previous = m, m = m->next) {
    if (m->keyHash != h || m->key.View() != key) continue;
    (previous ? previous->next : buckets_[b]) = record;
    record->key.Take(record->heap, m->key, m->heap);
    record->next = m->next;
    record->keyHash = h;
    order_.ReplaceItem(m, record);
    m->next = nullptr;
    m->parent = nullptr;  // it has left this table; it must not come back here when it dies
    if (replaced) *replaced = m;
    return 1;
  }
  if (count_ >= threshold_) {
    GrowTable();
    b = BucketOf(h);
  }
  record->keyHash = h;
  record->key.Assign(record->heap, key);
  record->next = buckets_[b];
  buckets_[b] = record;
  order_.Append(record);
  ++count_;
  return 0;
}

bool ZyTable::Unlink(ZyValue* member) {
  if (!buckets_) {
    if (!order_.RemoveItem(member)) return false;
    --count_;
    member->key.Free(member->heap);
    member->next = nullptr;
    member->parent = nullptr;
    return true;
  }
  // The stored hash names the chain, so only that chain is walked for the record itself.
  const int32_t b = BucketOf(member->keyHash);
  ZyValue* previous = nullptr;
  for (ZyValue* m = buckets_[b]; m; previous = m, m = m->next) {
    if (m != member) continue;
    (previous ? previous->next : buckets_[b]) = m->next;
    --count_;
    order_.RemoveItem(m);
    m->key.Free(m->heap);
    m->next = nullptr;
    m->parent = nullptr;
    return true;
  }
  return false;
}

void ZyTable::BuildBuckets() {
  buckets_ = NewBuckets(order_.Heap(), bucketCount_);
  for (ZyValue* m : order_) {
    m->keyHash = HashKey(m->key.View());
    const int32_t b = BucketOf(m->keyHash);
    m->next = buckets_[b];
    buckets_[b] = m;
  }
}

void ZyTable::GrowTable() {
  const int32_t newCount = 2 * bucketCount_ + 1;
  threshold_ = static_cast<int32_t>(static_cast<float>(newCount) * kLoadFactor);
  if (!buckets_) {
    bucketCount_ = newCount;
    return;
  }
  ZyValue** grown = NewBuckets(order_.Heap(), newCount);
  for (int32_t i = 0; i < bucketCount_; ++i) {
    for (ZyValue* m = buckets_[i]; m;) {
      ZyValue* following = m->next;
      const uint32_t b = static_cast<uint32_t>(m->keyHash & 0x7FFFFFFF) % static_cast<uint32_t>(newCount);
      m->next = grown[b];
      grown[b] = m;
      m = following;
    }
  }
  FreeBuckets(order_.Heap(), buckets_, bucketCount_);
  buckets_ = grown;
  bucketCount_ = newCount;
}

void ZyTable::EmptyInPlace() {
  for (ZyValue* m : order_) {
    m->key.Free(m->heap);
    m->next = nullptr;
  }
  order_.Clear();
  if (buckets_) std::memset(buckets_, 0, sizeof(ZyValue*) * static_cast<size_t>(bucketCount_));
  count_ = 0;
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
