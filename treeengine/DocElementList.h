#pragma once
#include <cstdint>
#include <vector>

namespace qoxa::tree {

// The node ids of an array's elements, in document order.
class DocElementList {
 public:
  void Append(int32_t nodeId) { elements_.push_back(nodeId); }
  // The node id at the 1-based position, 0 when position is outside 1..Count().
  int32_t Get(int32_t position) const {
    return position >= 1 && position <= Count() ? elements_[static_cast<size_t>(position) - 1] : 0;
  }
  int32_t Count() const { return static_cast<int32_t>(elements_.size()); }
  size_t MemoryUse() const { return sizeof(*this) + elements_.capacity() * sizeof(int32_t); }

 private:
  std::vector<int32_t> elements_;
};

}  // namespace qoxa::tree
