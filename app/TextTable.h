#pragma once
// An append-only table of byte texts held in one buffer: entry i is a view into it.
// Used for the tree labels and the path table, which hold millions of short texts.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qoxa::app {

class TextTable {
 public:
  void Append(std::string_view text) {
    bytes_.append(text);
    ends_.push_back(bytes_.size());
  }
  // Appends the concatenation of the parts as one entry, without a temporary text.
  template <typename... Parts>
  void AppendJoined(const Parts&... parts) {
    (bytes_.append(parts), ...);
    ends_.push_back(bytes_.size());
  }
  size_t Size() const { return ends_.size(); }
  bool Empty() const { return ends_.empty(); }
  std::string_view At(size_t i) const {
    const size_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(bytes_).substr(begin, ends_[i] - begin);
  }
  void Clear() {
    bytes_.clear();
    ends_.clear();
  }
  void Reserve(size_t entries, size_t bytes) {
    ends_.reserve(entries);
    bytes_.reserve(bytes);
  }
  size_t MemoryBytes() const { return bytes_.capacity() + ends_.capacity() * sizeof(uint64_t); }

 private:
  std::string bytes_;
  std::vector<uint64_t> ends_;
};

}  // namespace qoxa::app
