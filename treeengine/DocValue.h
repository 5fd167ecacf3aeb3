#pragma once
#include <cstdint>

namespace qoxa::tree {

// One stored value. start/end are the 1-based positions of its first and last byte in the
// document's text (strings: the unescaped content without quotes; an empty string has
// end = start - 1; containers keep 0). aux: the 1-based member table or element list index of
// a container, 1/0 for true/false, the number kind (4, 5, 11, 12) of a number, else 0.
struct DocValue {
  int32_t type = 0, start = 0, end = 0, aux = 0;
};

}  // namespace qoxa::tree
