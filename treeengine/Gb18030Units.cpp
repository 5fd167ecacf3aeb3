#include "treeengine/Gb18030Units.h"

#include "platform/CodePage.h"

namespace qoxa::tree {

Gb18030Bytes UnitToGb18030(char16_t unit) {
  Gb18030Bytes result;
  if (unit == 0) return result;
  if (unit >= 0xD800 && unit <= 0xDFFF) {
    result.bytes[0] = '?';
    result.length = 1;
    return result;
  }
  result.length = platform::EncodeGb18030(unit, result.bytes);
  return result;
}

Gb18030Bytes SupplementaryToGb18030(uint32_t codePoint) {
  Gb18030Bytes result;
  result.length = platform::EncodeGb18030(codePoint, result.bytes);
  return result;
}

}  // namespace qoxa::tree
