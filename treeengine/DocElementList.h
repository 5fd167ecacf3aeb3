#pragma once
#include <cstdint>
#include <vector>

namespace qoxa::tree {

// The node ids of an array's elements, in document order: a run of the document's element
// store. All arrays of a document share one store, so an array costs no allocation of its own.
class DocElementList {
 public:
  DocElementList() = default;
  DocElementList(int32_t first, int32_t count) : first_(first), count_(count) {}
  // The node id at the 1-based position, 0 when position is outside 1..Count().
  int32_t Get(const std::vector<int32_t>& store, int32_t position) const {
    return position >= 1 && position <= count_ ? store[static_cast<size_t>(first_ + position - 1)] : 0;
  }
  int32_t Count() const { return count_; }

 private:
  int32_t first_ = 0;
  int32_t count_ = 0;
};

}  // namespace qoxa::tree
