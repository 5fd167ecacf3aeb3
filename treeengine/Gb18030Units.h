#pragma once
// UTF-16 code units and code points to GB18030 bytes, as the string reader writes them.
#include <cstdint>

namespace qoxa::tree {

// Up to four GB18030 bytes and how many of them are used.
struct Gb18030Bytes {
  char bytes[4] = {};
  int32_t length = 0;
};

// One code unit of the Basic Multilingual Plane: 0 gives no bytes, a surrogate half "?".
Gb18030Bytes UnitToGb18030(char16_t unit);
// A code point above the Basic Multilingual Plane (U+10000..U+10FFFF): always four bytes.
Gb18030Bytes SupplementaryToGb18030(uint32_t codePoint);

}  // namespace qoxa::tree
