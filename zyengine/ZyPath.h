#pragma once
// zy paths: dotted keys and bracketed 0-based indexes, e.g. a.b[2].c or [1]. A backslash before
// '.', '[', ']' or another backslash makes that character part of a key. Empty segments are
// dropped; a bracket holds an index only (text without digits reads as 0).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qoxa::zy {

struct ZyValue;

struct ZyPathStep {
  enum Kind : int32_t { kKey = 1, kIndex = 2 };
  Kind kind = kKey;
  std::u16string key;
  int32_t index = 0;
};

std::vector<ZyPathStep> TokenizePath(std::u16string_view path);

// Follows the path from start; none when a step finds nothing. An empty path answers start.
// An index step on an Object takes the member at that position in member order.
ZyValue* Resolve(ZyValue* start, std::u16string_view path);
// Follows the path creating what is missing: a key step makes the value an Object and adds a Null
// member; an index step makes it an Array and appends Null elements up to the index.
// A negative index answers none.
ZyValue* ResolveOrCreate(ZyValue* start, std::u16string_view path);

}  // namespace qoxa::zy
