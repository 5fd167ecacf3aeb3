#include "zyengine/ZyTable.h"

#include <algorithm>

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

ZyTable::ZyTable()
    : buckets_(kInitialBuckets, nullptr), threshold_(static_cast<int32_t>(kInitialBuckets * kLoadFactor)) {}

ZyValue* ZyTable::Find(std::u16string_view key) const {
  const int32_t h = HashKey(key);
  for (ZyValue* m = buckets_[BucketOf(h)]; m; m = m->next)
    if (m->keyHash == h && m->key == key) return m;
  return nullptr;
}

int ZyTable::Set(std::u16string_view key, ZyValue* record) {
  const int32_t h = HashKey(key);
  int32_t b = BucketOf(h);
  ZyValue* previous = nullptr;
  for (ZyValue* m = buckets_[b]; m; previous = m, m = m->next) {
    if (m->keyHash != h || m->key != key) continue;
    (previous ? previous->next : buckets_[b]) = record;
    record->key = std::move(m->key);
    record->next = m->next;
    record->keyHash = h;
    order_.ReplaceItem(m, record);
    m->key.clear();
    m->next = nullptr;
    m->parent = nullptr;  // it has left this table; it must not come back here when it dies
    return 1;
  }
  if (count_ >= threshold_) {
    Grow();
    b = BucketOf(h);
  }
  record->keyHash = h;
  record->key.assign(key);
  record->next = buckets_[b];
  buckets_[b] = record;
  order_.Append(record);
  ++count_;
  return 0;
}

bool ZyTable::Unlink(ZyValue* member) {
  // The stored hash names the chain, so only that chain is walked for the record itself.
  const int32_t b = BucketOf(member->keyHash);
  ZyValue* previous = nullptr;
  for (ZyValue* m = buckets_[b]; m; previous = m, m = m->next) {
    if (m != member) continue;
    (previous ? previous->next : buckets_[b]) = m->next;
    --count_;
    order_.RemoveItem(m);
    m->key.clear();
    m->next = nullptr;
    m->parent = nullptr;
    return true;
  }
  return false;
}

void ZyTable::Grow() {
  const size_t newCount = 2 * buckets_.size() + 1;
  threshold_ = static_cast<int32_t>(static_cast<float>(newCount) * loadFactor_);
  std::vector<ZyValue*> grown(newCount, nullptr);
  for (ZyValue* head : buckets_) {
    for (ZyValue* m = head; m;) {
      ZyValue* following = m->next;
      const size_t b = static_cast<uint32_t>(m->keyHash & 0x7FFFFFFF) % newCount;
      m->next = grown[b];
      grown[b] = m;
      m = following;
    }
  }
  buckets_.swap(grown);
}

void ZyTable::EmptyInPlace() {
  for (ZyValue* m : order_) {
    m->key.clear();
    m->next = nullptr;
  }
  order_.Clear();
  std::fill(buckets_.begin(), buckets_.end(), nullptr);
  count_ = 0;
}

std::vector<std::u16string> ZyTable::KeysSnapshot() const {
  std::vector<std::u16string> keys;
  keys.reserve(static_cast<size_t>(order_.Count()));
  for (const ZyValue* m : order_) keys.push_back(m->key);
  return keys;
}

void ZyTable::Sort(bool descending) {
  ZyValue** first = order_.data();
  ZyValue** last = first + order_.Count();
  if (descending)
    std::sort(first, last, [](const ZyValue* a, const ZyValue* b) { return a->key > b->key; });
  else
    std::sort(first, last, [](const ZyValue* a, const ZyValue* b) { return a->key < b->key; });
}

ZyValue* FindMember(const ZyValue* object, std::u16string_view key) {
  if (!object || object->type != ZyType::Object || !object->payload.table) return nullptr;
  return object->payload.table->Find(key);
}

bool HasMember(const ZyValue* object, std::u16string_view key) { return FindMember(object, key) != nullptr; }

bool SetMember(ZyValue* value, std::u16string_view key, ZyValue* record) {
  if (!value || !record) return false;
  EnsureObject(value);
  ZyTable* table = value->payload.table;
  ZyValue* old = table->Find(key);
  record->parent = value;
  table->Set(key, record);
  if (old) Release(old);
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
