#include "treeengine/DocMemberTable.h"

#include <array>
#include <bit>
#include <cstdlib>

namespace qoxa::tree {
namespace {

// Spreads the member hash (a weak, Java-style one) over the index slots.
size_t SlotOf(int32_t hash, size_t mask) {
  return static_cast<size_t>((static_cast<uint64_t>(static_cast<uint32_t>(hash)) * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}

std::string_view NameOf(std::string_view text, int32_t start, int32_t length) {
  return text.substr(static_cast<size_t>(start), static_cast<size_t>(length));
}

bool SameName(std::string_view text, const DocMemberEntry& entry, int32_t hash, std::string_view name) {
  return entry.hash == hash && NameOf(text, entry.nameStart, entry.nameLength) == name;
}

// Slots for the members in document order, skipping a name already present, so that a lookup
// always leads to the first of equal names.
std::vector<int32_t> BuildIndex(std::string_view text, std::span<const DocMemberEntry> members) {
  std::vector<int32_t> slots(std::bit_ceil(members.size() * 2));
  const size_t mask = slots.size() - 1;
  for (size_t i = 0; i < members.size(); ++i) {
    const DocMemberEntry& entry = members[i];
    const std::string_view name = NameOf(text, entry.nameStart, entry.nameLength);
    for (size_t slot = SlotOf(entry.hash, mask);; slot = (slot + 1) & mask) {
      if (slots[slot] == 0) {
        slots[slot] = static_cast<int32_t>(i) + 1;
        break;
      }
      if (SameName(text, members[static_cast<size_t>(slots[slot]) - 1], entry.hash, name)) break;
    }
  }
  return slots;
}

}  // namespace

size_t DocMemberStore::MemoryUse() const {
  size_t bytes = entries.size() * sizeof(DocMemberEntry) + orderedNames.size() * sizeof(DocNameSpan) +
                 orderedRuns.size() * sizeof(Run) + indexes.size() * sizeof(std::vector<int32_t>);
  for (const auto& index : indexes) bytes += index.size() * sizeof(int32_t);
  return bytes;
}

int32_t DocMemberBucket::Find(int32_t hash, std::string_view name) const {
  for (const Entry& entry : entries_) {
    if (entry.hash == hash && entry.name == name) return entry.nodeId;
  }
  return 0;
}

int DocMemberBucket::AppendNames(std::vector<std::string>& names) const {
  for (const Entry& entry : entries_) names.push_back(entry.name);
  return static_cast<int>(entries_.size());
}

int32_t DocMemberTable::Hash(std::string_view name) {
  uint32_t h = 0;  // unsigned arithmetic wraps exactly like the signed 32-bit original
  for (char c : name) {
    if (c == '\0') break;
    h = h * 31u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
  }
  return static_cast<int32_t>(h);
}

int DocMemberTable::BucketOf(int32_t hash) {
  const int64_t magnitude = std::llabs(static_cast<int64_t>(hash));
  return static_cast<int>(magnitude % kBucketCount) + 1;
}

DocMemberTable DocMemberTable::Seal(DocMemberStore& store, std::string_view text, int32_t number,
                                    std::span<const DocMemberEntry> members, std::span<const DocNameSpan> orderedNames) {
  DocMemberTable table;
  table.table_ = number;
  table.first_ = static_cast<int32_t>(store.entries.size());
  table.count_ = static_cast<int32_t>(members.size());
  store.entries.insert(store.entries.end(), members.begin(), members.end());
  if (store.keepOrder) {
    if (store.orderedRuns.size() < static_cast<size_t>(number)) store.orderedRuns.resize(static_cast<size_t>(number));
    store.orderedRuns[static_cast<size_t>(number) - 1] = {static_cast<int32_t>(store.orderedNames.size()),
                                                          static_cast<int32_t>(orderedNames.size())};
    store.orderedNames.insert(store.orderedNames.end(), orderedNames.begin(), orderedNames.end());
  }
  if (members.size() >= kIndexThreshold) {
    table.index_ = static_cast<int32_t>(store.indexes.size());
    store.indexes.push_back(BuildIndex(text, members));
  }
  return table;
}

int32_t DocMemberTable::Find(const DocMemberStore& store, std::string_view text, std::string_view name) const {
  const size_t zero = name.find('\0');  // a name ends at its first zero byte, as the hash does
  if (zero != std::string_view::npos) name = name.substr(0, zero);
  const int32_t hash = Hash(name);
  const std::span<const DocMemberEntry> members = Entries(store);
  if (index_ < 0) {
    for (const DocMemberEntry& entry : members) {
      if (SameName(text, entry, hash, name)) return entry.nodeId;
    }
    return 0;
  }
  const std::vector<int32_t>& slots = store.indexes[static_cast<size_t>(index_)];
  const size_t mask = slots.size() - 1;
  for (size_t slot = SlotOf(hash, mask);; slot = (slot + 1) & mask) {
    if (slots[slot] == 0) return 0;
    const DocMemberEntry& entry = members[static_cast<size_t>(slots[slot]) - 1];
    if (SameName(text, entry, hash, name)) return entry.nodeId;
  }
}

int DocMemberTable::Names(const DocMemberStore& store, std::string_view text, std::vector<std::string>& names) const {
  if (store.keepOrder) {
    names.clear();
    if (table_ < 1 || static_cast<size_t>(table_) > store.orderedRuns.size()) return 0;
    const DocMemberStore::Run run = store.orderedRuns[static_cast<size_t>(table_) - 1];
    names.reserve(static_cast<size_t>(run.count));
    for (int32_t i = 0; i < run.count; ++i) {
      const DocNameSpan& span = store.orderedNames[static_cast<size_t>(run.first + i)];
      names.emplace_back(NameOf(text, span.start, span.length));
    }
    return run.count;
  }
  // Bucket order by a stable counting pass: bucket 1 to 32, inside a bucket document order.
  const std::span<const DocMemberEntry> members = Entries(store);
  std::array<size_t, kBucketCount + 1> next{};
  for (const DocMemberEntry& entry : members) ++next[static_cast<size_t>(BucketOf(entry.hash))];
  size_t offset = names.size();
  for (size_t bucket = 1; bucket <= kBucketCount; ++bucket) {
    const size_t count = next[bucket];
    next[bucket] = offset;
    offset += count;
  }
  names.resize(offset);
  for (const DocMemberEntry& entry : members) {
    names[next[static_cast<size_t>(BucketOf(entry.hash))]++] = NameOf(text, entry.nameStart, entry.nameLength);
  }
  return count_;
}

DocMemberBucket DocMemberTable::Bucket(const DocMemberStore& store, std::string_view text, int number) const {
  DocMemberBucket bucket;
  for (const DocMemberEntry& entry : Entries(store)) {
    if (BucketOf(entry.hash) == number) bucket.Add(entry.hash, NameOf(text, entry.nameStart, entry.nameLength), entry.nodeId);
  }
  return bucket;
}

}  // namespace qoxa::tree
