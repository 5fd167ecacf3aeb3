#pragma once
// The member table of an Object: a hash table keyed by UTF-16 text plus a ZyList holding the
// same member records in the order their keys first arrived. Lookups use the buckets; everything
// that lists members uses the order. The buckets are open: a member sits in the first free bucket
// from its key's home bucket on (the load stays under 0.75), so a record needs no chain link.
//
// Small tables (up to kLinearLimit members) keep no buckets: lookups scan the order, which is
// faster than hashing for a handful of keys and saves the bucket array of every small Object.
// The bucket count and threshold still follow the same growth, and the buckets are built from the
// order once the table outgrows the limit.
//
// Keys compare by plain code-unit equality (no locale folding), so two keys are the same member
// exactly when their UTF-16 code units are the same.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "zyengine/ZyList.h"

namespace qoxa::zy {

struct ZyValue;

// Hash of the key's UTF-16LE bytes, last byte first: h = h × 31 + byte, wrapping in 32 bits.
int32_t HashKey(std::u16string_view key);

class ZyTable {
 public:
  static constexpr int32_t kInitialBuckets = 11;
  static constexpr float kLoadFactor = 0.75f;
  static constexpr int32_t kLinearLimit = 8;

  // A table lives in a heap block of its record and uses that block's heap.
  ZyTable() = default;
  ~ZyTable();
  ZyTable(const ZyTable&) = delete;
  ZyTable& operator=(const ZyTable&) = delete;

  // The order holds exactly the members, so its count is the member count.
  int32_t Count() const { return order_.Count(); }
  int32_t BucketCount() const { return bucketCount_; }
  int32_t Threshold() const {
    // trunc(bucketCount × 0.75f): exact in integers while the product is exact in a float.
    if (bucketCount_ < (1 << 22)) return bucketCount_ / 4 * 3 + bucketCount_ % 4 * 3 / 4;
    return static_cast<int32_t>(static_cast<float>(bucketCount_) * kLoadFactor);
  }
  const ZyList& Order() const { return order_; }
  ZyValue* At(int32_t position) const { return order_.At(position); }

  ZyValue* Find(std::u16string_view key) const;
  // Answers 1 when an existing member was replaced in place (the record takes over its key, bucket
  // and position; the caller releases the old one, given in *replaced), 0 when the record was
  // added at the end.
  int Set(std::u16string_view key, ZyValue* record, ZyValue** replaced = nullptr);
  // Takes a member out of the buckets and the order and clears its key and parent; false when the
  // record is not a member here.
  bool Unlink(ZyValue* member);
  // Empties the table in place: keys cleared, order emptied, buckets zeroed; sizes stay. The
  // members themselves are the caller's business.
  void EmptyInPlace();
  std::vector<std::u16string> KeysSnapshot() const;
  // Reorders the member order by key in code-unit order (keys are unique, so any correct sort
  // gives the same order); the buckets are untouched.
  void Sort(bool descending);

 private:
  int32_t BucketOf(int32_t hash) const {
    return static_cast<int32_t>(static_cast<uint32_t>(hash & 0x7FFFFFFF) % static_cast<uint32_t>(bucketCount_));
  }
  int32_t NextSlot(int32_t slot) const { return slot + 1 == bucketCount_ ? 0 : slot + 1; }
  void GrowTable();
  // Puts every member into freshly made buckets (the table leaves the linear form).
  void BuildBuckets();
  // The bucket holding the member under key, or -1.
  int32_t SlotOf(std::u16string_view key) const;
  // The bucket where a member under key (not present) goes.
  int32_t FreeSlotFor(std::u16string_view key) const;
  // Empties a bucket and closes the gap it leaves in its run.
  void RemoveSlot(int32_t slot);
  // The position in the order of the member under key, or -1 (linear form).
  int32_t ScanOrder(std::u16string_view key) const;

  // First, so that the order list starts where the table's heap block does (a list finds its heap
  // from its own address).
  ZyList order_;
  ZyValue** buckets_ = nullptr;  // none while the table is small
  int32_t bucketCount_ = kInitialBuckets;
};

// Value-level member operations.
ZyValue* FindMember(const ZyValue* object, std::u16string_view key);
bool HasMember(const ZyValue* object, std::u16string_view key);
// Makes value an Object when it is not one and sets record under key; a member already there is
// replaced in place and released. The table takes over the record's creation reference.
bool SetMember(ZyValue* value, std::u16string_view key, ZyValue* record);
// Removes and releases the member under key; false when there is none.
bool RemoveMember(ZyValue* value, std::u16string_view key);

}  // namespace qoxa::zy
