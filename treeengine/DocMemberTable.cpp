#include "treeengine/DocMemberTable.h"

#include <array>
#include <cstdlib>

namespace qoxa::tree {
namespace {

// Spreads the member hash (a weak, Java-style one) over the index slots.
size_t SlotOf(int32_t hash, size_t mask) {
  return static_cast<size_t>((static_cast<uint64_t>(static_cast<uint32_t>(hash)) * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}

}  // namespace

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

void DocMemberTable::BeginMember(std::string_view text, int32_t start, int32_t length) {
  std::string_view name = NameOf(text, start, length);
  // A name ends at its first zero byte, like every text taken from the document.
  const size_t zero = name.find('\0');
  if (zero != std::string_view::npos) length = static_cast<int32_t>(zero);
  currentStart_ = start;
  currentLength_ = length;
  currentHash_ = Hash(name.substr(0, static_cast<size_t>(length)));
  if (keepOrder_ != 0) {
    if (static_cast<int32_t>(orderedNames_.size()) == orderedCapacity_) {
      orderedCapacity_ += 100;
      orderedNames_.reserve(static_cast<size_t>(orderedCapacity_));
    }
    orderedNames_.push_back({start, length});
  }
}

void DocMemberTable::BindValue(std::string_view text, int32_t nodeId) {
  entries_.push_back({currentHash_, currentStart_, currentLength_, nodeId});
  const size_t count = entries_.size();
  if (count < kIndexThreshold) return;
  if (count * 2 > index_.size()) {
    RebuildIndex(text, index_.empty() ? 64 : index_.size() * 2);
  } else {
    InsertIntoIndex(text, static_cast<int32_t>(count - 1));
  }
}

void DocMemberTable::RebuildIndex(std::string_view text, size_t slotCount) {
  index_.assign(slotCount, 0);
  for (size_t i = 0; i < entries_.size(); ++i) InsertIntoIndex(text, static_cast<int32_t>(i));
}

// Inserts in document order and skips a name already present, so the index always leads to
// the first of equal names.
void DocMemberTable::InsertIntoIndex(std::string_view text, int32_t entryIndex) {
  const Entry& entry = entries_[static_cast<size_t>(entryIndex)];
  const std::string_view name = NameOf(text, entry.nameStart, entry.nameLength);
  const size_t mask = index_.size() - 1;
  for (size_t slot = SlotOf(entry.hash, mask);; slot = (slot + 1) & mask) {
    const int32_t held = index_[slot];
    if (held == 0) {
      index_[slot] = entryIndex + 1;
      return;
    }
    const Entry& other = entries_[static_cast<size_t>(held) - 1];
    if (other.hash == entry.hash && NameOf(text, other.nameStart, other.nameLength) == name) return;
  }
}

int32_t DocMemberTable::Find(std::string_view text, std::string_view name) const {
  const size_t zero = name.find('\0');
  if (zero != std::string_view::npos) name = name.substr(0, zero);
  const int32_t hash = Hash(name);
  if (index_.empty()) {
    for (const Entry& entry : entries_) {
      if (entry.hash == hash && NameOf(text, entry.nameStart, entry.nameLength) == name) return entry.nodeId;
    }
    return 0;
  }
  const size_t mask = index_.size() - 1;
  for (size_t slot = SlotOf(hash, mask);; slot = (slot + 1) & mask) {
    const int32_t held = index_[slot];
    if (held == 0) return 0;
    const Entry& entry = entries_[static_cast<size_t>(held) - 1];
    if (entry.hash == hash && NameOf(text, entry.nameStart, entry.nameLength) == name) return entry.nodeId;
  }
}

int DocMemberTable::Names(std::string_view text, std::vector<std::string>& names) const {
  if (keepOrder_ != 0) {
    // Document order, including names whose value never got stored; replaces what names held.
    names.clear();
    names.reserve(orderedNames_.size());
    for (const NameSpan& span : orderedNames_) names.emplace_back(NameOf(text, span.start, span.length));
    return static_cast<int>(orderedNames_.size());
  }
  // Bucket order by a stable counting pass: bucket 1 to 32, inside a bucket document order.
  std::array<size_t, kBucketCount + 1> next{};
  for (const Entry& entry : entries_) ++next[static_cast<size_t>(BucketOf(entry.hash))];
  size_t offset = names.size();
  for (size_t bucket = 1; bucket <= kBucketCount; ++bucket) {
    const size_t count = next[bucket];
    next[bucket] = offset;
    offset += count;
  }
  names.resize(offset);
  for (const Entry& entry : entries_) {
    names[next[static_cast<size_t>(BucketOf(entry.hash))]++] = NameOf(text, entry.nameStart, entry.nameLength);
  }
  return static_cast<int>(entries_.size());
}

DocMemberBucket DocMemberTable::Bucket(std::string_view text, int number) const {
  DocMemberBucket bucket;
  for (const Entry& entry : entries_) {
    if (BucketOf(entry.hash) == number) bucket.Add(entry.hash, NameOf(text, entry.nameStart, entry.nameLength), entry.nodeId);
  }
  return bucket;
}

size_t DocMemberTable::MemoryUse() const {
  return sizeof(*this) + entries_.capacity() * sizeof(Entry) + orderedNames_.capacity() * sizeof(NameSpan) +
         index_.capacity() * sizeof(int32_t);
}

}  // namespace qoxa::tree
