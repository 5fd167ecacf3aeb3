#pragma once
// An append-only table of byte texts: entry i is a view into the table's storage.
// Used for the tree labels and the path table, which hold millions of short texts. The bytes
// live in chunks of about a megabyte that are never reallocated, so appending never copies what
// is stored and the table holds little more than its texts: four bytes per entry besides.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qoxa::app {

class TextTable {
 public:
  void Append(std::string_view text) {
    std::string& chunk = RoomFor(text.size());
    chunk.append(text);
  }
  // Appends the concatenation of the parts as one entry, without a temporary text.
  template <typename... Parts>
  void AppendJoined(const Parts&... parts) {
    std::string& chunk = RoomFor((std::string_view(parts).size() + ... + 0));
    (chunk.append(parts), ...);
  }
  size_t Size() const { return starts_.size(); }
  bool Empty() const { return starts_.empty(); }
  std::string_view At(size_t i) const {
    // The chunk holding entry i: the last one whose first entry is not after i.
    const size_t c = static_cast<size_t>(std::upper_bound(chunkFirst_.begin(), chunkFirst_.end(), i) - chunkFirst_.begin()) - 1;
    const std::string& chunk = chunks_[c];
    const size_t begin = starts_[i];
    const bool lastInChunk = c + 1 == chunkFirst_.size() ? i + 1 == starts_.size() : i + 1 == chunkFirst_[c + 1];
    const size_t end = lastInChunk ? chunk.size() : starts_[i + 1];
    return std::string_view(chunk).substr(begin, end - begin);
  }
  void Clear() {
    chunks_.clear();
    chunkFirst_.clear();
    starts_.clear();
  }
  // Room for so many entries; the bytes need no reservation.
  void Reserve(size_t entries, size_t /*bytes*/ = 0) { starts_.reserve(entries); }
  size_t MemoryBytes() const {
    size_t bytes = starts_.capacity() * sizeof(uint32_t) + chunkFirst_.capacity() * sizeof(size_t);
    for (const std::string& chunk : chunks_) bytes += chunk.capacity();
    return bytes;
  }

 private:
  static constexpr size_t kChunkBytes = size_t{1} << 20;

  // The chunk that takes the next entry of `length` bytes, its start recorded. A chunk never
  // grows past its reservation; a text longer than a chunk gets a chunk of its own. So an
  // entry's start in its chunk always fits 32 bits.
  std::string& RoomFor(size_t length) {
    if (chunks_.empty() || chunks_.back().size() + length > kChunkBytes) {
      chunks_.emplace_back();
      chunks_.back().reserve(std::max(kChunkBytes, length));
      chunkFirst_.push_back(starts_.size());
    }
    std::string& chunk = chunks_.back();
    starts_.push_back(static_cast<uint32_t>(chunk.size()));
    return chunk;
  }

  std::vector<std::string> chunks_;
  std::vector<size_t> chunkFirst_;  // the index of each chunk's first entry
  std::vector<uint32_t> starts_;    // each entry's start in its chunk
};

}  // namespace qoxa::app
