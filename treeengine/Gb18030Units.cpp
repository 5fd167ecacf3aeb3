#include "treeengine/Gb18030Units.h"

#include <array>
#include <memory>
#include <string>

#include "platform/CodePage.h"

namespace qoxa::tree {
namespace {

bool IsSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

// Length of the GB18030 character that starts at `bytes`: 1 for ASCII, 4 when the second byte
// is a digit, else 2.
int32_t CharacterLength(const unsigned char* bytes, size_t left) {
  if (bytes[0] < 0x80) return 1;
  if (left >= 4 && bytes[1] >= 0x30 && bytes[1] <= 0x39) return 4;
  return 2;
}

// The whole Basic Multilingual Plane converted once, in a single conversion call.
using UnitTable = std::array<Gb18030Bytes, 0x10000>;

std::unique_ptr<UnitTable> BuildUnitTable() {
  auto table = std::make_unique<UnitTable>();
  std::u16string units;
  units.reserve(0x10000);
  for (char32_t unit = 1; unit <= 0xFFFF; ++unit) {
    if (!IsSurrogate(unit)) units.push_back(static_cast<char16_t>(unit));
  }
  const std::string converted = platform::Utf16ToGb18030(units);
  const auto* bytes = reinterpret_cast<const unsigned char*>(converted.data());
  size_t at = 0;
  bool inStep = true;
  for (char16_t unit : units) {
    if (at >= converted.size()) {
      inStep = false;
      break;
    }
    Gb18030Bytes& entry = (*table)[unit];
    entry.length = CharacterLength(bytes + at, converted.size() - at);
    for (int32_t i = 0; i < entry.length; ++i) entry.bytes[i] = static_cast<char>(bytes[at + static_cast<size_t>(i)]);
    at += static_cast<size_t>(entry.length);
  }
  if (!inStep || at != converted.size()) {
    // Should the bulk result ever not split into one character per unit, convert one by one.
    for (char16_t unit : units) {
      const std::string one = platform::Utf16ToGb18030(std::u16string(1, unit));
      Gb18030Bytes& entry = (*table)[unit];
      entry.length = static_cast<int32_t>(one.size() > 4 ? 4 : one.size());
      for (int32_t i = 0; i < entry.length; ++i) entry.bytes[i] = one[static_cast<size_t>(i)];
    }
  }
  for (char32_t unit = 0xD800; unit <= 0xDFFF; ++unit) (*table)[unit] = Gb18030Bytes{{'?'}, 1};
  return table;
}

}  // namespace

Gb18030Bytes UnitToGb18030(char16_t unit) {
  static const std::unique_ptr<UnitTable> table = BuildUnitTable();
  return (*table)[unit];
}

// GB18030 maps the supplementary planes linearly onto the four-byte range from 90 30 81 30:
// the digits of (code point - 0x10000) in the mixed radix 10 x 126 x 10 from the last byte up.
Gb18030Bytes SupplementaryToGb18030(uint32_t codePoint) {
  uint32_t linear = codePoint - 0x10000;
  Gb18030Bytes result;
  result.length = 4;
  result.bytes[3] = static_cast<char>(0x30 + linear % 10);
  linear /= 10;
  result.bytes[2] = static_cast<char>(0x81 + linear % 126);
  linear /= 126;
  result.bytes[1] = static_cast<char>(0x30 + linear % 10);
  linear /= 10;
  result.bytes[0] = static_cast<char>(0x90 + linear);
  return result;
}

}  // namespace qoxa::tree
