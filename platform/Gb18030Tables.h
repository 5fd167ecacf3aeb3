#pragma once
// Lookup tables for GB18030, built once per process from the system's iconv tables, so that the
// hot conversions run as table lookups instead of one iconv call stream per text.
#include <cstdint>

namespace qoxa::platform {

struct Gb18030Tables {
  // Two-byte sequences: lead 0x81–0xFE, trail 0x40–0xFE except 0x7F; index (lead-0x81)*191+(trail-0x40).
  // 0 marks a sequence that does not decode.
  uint16_t twoByte[126 * 191];
  // Four-byte sequences of the Basic Multilingual Plane: linear index 0 … 39419 from 0x81308130.
  uint16_t fourByteBmp[39420];
  // Encoding of every BMP code unit: 0 … 0x7F itself, two-byte codes as 0xLLTT, four-byte codes
  // as 0xB1B2B3B4; 0 for a code unit that does not encode (a surrogate half, or U+0000 above index 0).
  uint32_t encodeBmp[65536];
};

const Gb18030Tables& Gb18030();

// The UTF-16 unit of the two-byte character lead, second, or 0 when the two bytes form none.
inline uint16_t TwoByteUnit(const Gb18030Tables& tables, unsigned lead, unsigned second) {
  if (lead < 0x81 || lead > 0xFE || second < 0x40 || second > 0xFE || second == 0x7F) return 0;
  return tables.twoByte[(lead - 0x81) * 191 + (second - 0x40)];
}

// The four bytes (as 0xB1B2B3B4) of the four-byte sequence with the given linear index, counted
// from 81 30 81 30: the digits of the index in the mixed radix 10 x 126 x 10 from the last byte up.
inline uint32_t FourByteCode(uint32_t linear) {
  const uint32_t b4 = 0x30 + linear % 10;
  linear /= 10;
  const uint32_t b3 = 0x81 + linear % 126;
  linear /= 126;
  const uint32_t b2 = 0x30 + linear % 10;
  const uint32_t b1 = 0x81 + linear / 10;
  return (b1 << 24) | (b2 << 16) | (b3 << 8) | b4;
}

}  // namespace qoxa::platform
