#include "app/TreeItemTable.h"

namespace qoxa::app {

std::vector<int32_t> ParentsFromDepths(const std::vector<int32_t>& depths) {
  std::vector<int32_t> parents(depths.size(), -1);
  std::vector<int32_t> open;  // the chain of items that may still take children, depths rising
  for (size_t i = 0; i < depths.size(); ++i) {
    while (!open.empty() && depths[open.back()] >= depths[i]) open.pop_back();
    parents[i] = open.empty() ? -1 : open.back();
    open.push_back(static_cast<int32_t>(i));
  }
  return parents;
}

}  // namespace qoxa::app
