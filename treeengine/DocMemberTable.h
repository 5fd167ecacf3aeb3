#pragma once
// An object's member names mapped to node ids.
//
// The listing order is observable and kept exactly: with keepOrder 0 names come by bucket
// (bucket = |Hash| mod 32 + 1, buckets 1..32), inside a bucket in document order. The storage
// is not 32 buckets, though: one vector of entries in document order, so an object costs memory
// in proportion to its members, and the bucket order is produced on demand by a stable counting
// pass. Large tables also keep an open-addressing index so that a lookup by name does not scan.
//
// Names are not copied: an entry holds the span of its name in the document's unescaped text,
// which the document keeps as long as its tables. Operations that compare or list names are
// given that text (`text[start]` is the name's first byte).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qoxa::tree {

// One bucket of a member table: entries in the order they were added.
class DocMemberBucket {
 public:
  struct Entry {
    int32_t hash = 0;
    std::string name;
    int32_t nodeId = 0;
  };
  void Add(int32_t hash, std::string_view name, int32_t nodeId) { entries_.push_back({hash, std::string(name), nodeId}); }
  // The first entry with that hash and exactly that name (case-sensitive); 0 when none.
  int32_t Find(int32_t hash, std::string_view name) const;
  int AppendNames(std::vector<std::string>& names) const;
  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  std::vector<Entry> entries_;
};

class DocMemberTable {
 public:
  static constexpr int kBucketCount = 32;

  void SetKeepOrder(int flag) { keepOrder_ = flag; }
  // h = h * 31 + b over the bytes up to the first zero, each byte signed, wrapping at 32 bits.
  static int32_t Hash(std::string_view name);
  // |hash| mod 32 + 1, the absolute value taken without overflow.
  static int BucketOf(int32_t hash);

  // A member name has been read: its span in `text`. It reaches the table only when its value
  // is bound; with keepOrder it is listed in document order from now on, bound or not.
  void BeginMember(std::string_view text, int32_t start, int32_t length);
  void BindValue(std::string_view text, int32_t nodeId);
  // The node of the first member with that name; 0 when none.
  int32_t Find(std::string_view text, std::string_view name) const;
  // Appends the names (bucket order, or document order with keepOrder) and returns how many.
  int Names(std::string_view text, std::vector<std::string>& names) const;
  // A copy of one bucket (1..32) as the bucket order sees it.
  DocMemberBucket Bucket(std::string_view text, int number) const;

  int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
  int32_t OrderedCapacity() const { return orderedCapacity_; }
  size_t MemoryUse() const;

 private:
  struct Entry {
    int32_t hash;
    int32_t nameStart;
    int32_t nameLength;
    int32_t nodeId;
  };
  struct NameSpan {
    int32_t start;
    int32_t length;
  };
  // Below this many entries a lookup just scans; from it on the index is kept.
  static constexpr size_t kIndexThreshold = 16;

  static std::string_view NameOf(std::string_view text, int32_t start, int32_t length) {
    return text.substr(static_cast<size_t>(start), static_cast<size_t>(length));
  }
  void RebuildIndex(std::string_view text, size_t slotCount);
  void InsertIntoIndex(std::string_view text, int32_t entryIndex);

  std::vector<Entry> entries_;  // bound members in document order
  int32_t currentHash_ = 0;
  int32_t currentStart_ = 0;
  int32_t currentLength_ = 0;
  int32_t keepOrder_ = 0;
  int32_t orderedCapacity_ = 0;         // grows in steps of 100 like the ordered list it sizes
  std::vector<NameSpan> orderedNames_;  // every begun name, in document order (keepOrder only)
  std::vector<int32_t> index_;          // open addressing: entry index + 1, 0 = empty slot
};

}  // namespace qoxa::tree
