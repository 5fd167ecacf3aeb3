#pragma once
// The item list that the import hands to the tree view in one operation: flat tables of labels,
// depths and node ids. An item is a child of the nearest earlier item with a smaller depth.
#include <cstdint>
#include <string_view>
#include <vector>

#include "app/TextTable.h"

namespace qoxa::app {

struct TreeItemTable {
  TextTable labels;
  std::vector<int32_t> depths;
  std::vector<int32_t> nodeIds;  // the document node of each item; kept with the item, never read back

  size_t Size() const { return depths.size(); }
  void Add(std::string_view label, int32_t nodeId, int32_t depth) {
    labels.Append(label);
    depths.push_back(depth);
    nodeIds.push_back(nodeId);
  }
  void Clear() {
    labels.Clear();
    depths.clear();
    nodeIds.clear();
  }
};

// The parent of every item (-1 for top-level items), worked out from the depths in one pass.
std::vector<int32_t> ParentsFromDepths(const std::vector<int32_t>& depths);

}  // namespace qoxa::app
