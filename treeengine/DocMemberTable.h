#pragma once
// An object's member names mapped to node ids.
//
// The listing order is observable and kept exactly: with keepOrder 0 names come by bucket
// (bucket = |Hash| mod 32 + 1, buckets 1..32), inside a bucket in document order. The storage
// is not 32 buckets, though. All member tables of a document share one store of entries
// {hash, name span, node id}; a table is a run of it in document order, so an object costs
// memory in proportion to its members, and the bucket order is produced on demand by a stable
// counting pass. Tables from kIndexThreshold members on also get an open-addressing index, so
// that a lookup by name does not scan.
//
// Names are not copied: an entry holds the span of its name in the document's unescaped text,
// which the document keeps as long as its tables. Operations that compare or list names are
// given that text (`text[start]` is the name's first byte).
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qoxa::tree {

struct DocMemberEntry {
  int32_t hash = 0;
  int32_t nameStart = 0;
  int32_t nameLength = 0;
  int32_t nodeId = 0;
};

struct DocNameSpan {
  int32_t start = 0;
  int32_t length = 0;
};

// What the member tables of one document share.
struct DocMemberStore {
  struct Run {
    int32_t first = 0;
    int32_t count = 0;
  };
  std::vector<DocMemberEntry> entries;  // bound members, table after table
  // With keepOrder: every begun name in document order, and each table's run of them (by table
  // number); the document sets keepOrder for all its tables at once.
  bool keepOrder = false;
  std::vector<DocNameSpan> orderedNames;
  std::vector<Run> orderedRuns;
  std::vector<std::vector<int32_t>> indexes;  // slot = entry number in the table + 1, 0 = empty
  size_t MemoryUse() const;
};

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
  static constexpr size_t kIndexThreshold = 16;

  // h = h * 31 + b over the bytes up to the first zero, each byte signed, wrapping at 32 bits.
  static int32_t Hash(std::string_view name);
  // |hash| mod 32 + 1, the absolute value taken without overflow.
  static int BucketOf(int32_t hash);

  // Appends finished table number `table` (1-based) to the store: its bound members and, with
  // the store's keepOrder, every name begun in it (bound or not), both in document order.
  static DocMemberTable Seal(DocMemberStore& store, std::string_view text, int32_t table,
                             std::span<const DocMemberEntry> members, std::span<const DocNameSpan> orderedNames);

  // The node of the first member with that name; 0 when none.
  int32_t Find(const DocMemberStore& store, std::string_view text, std::string_view name) const;
  // Appends the names (bucket order, or with keepOrder document order, replacing what names
  // held) and returns how many.
  int Names(const DocMemberStore& store, std::string_view text, std::vector<std::string>& names) const;
  // A copy of one bucket (1..32) as the bucket order sees it.
  DocMemberBucket Bucket(const DocMemberStore& store, std::string_view text, int number) const;
  int32_t Count() const { return count_; }

 private:
  std::span<const DocMemberEntry> Entries(const DocMemberStore& store) const {
    return {store.entries.data() + first_, static_cast<size_t>(count_)};
  }

  int32_t first_ = 0;
  int32_t count_ = 0;
  int32_t table_ = 0;   // 1-based number, for the kept order
  int32_t index_ = -1;  // into store.indexes, -1 for a table that is scanned
};

}  // namespace qoxa::tree
