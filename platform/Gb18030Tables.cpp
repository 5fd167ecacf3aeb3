#include "platform/Gb18030Tables.h"

#include <iconv.h>

#include <cstring>
#include <memory>

namespace qoxa::platform {
namespace {

constexpr uint32_t kFourByteBmpCount = 39420;

// Decodes one GB18030 sequence with iconv; returns 0 when it is not exactly one BMP unit (U+0000 never has a multi-byte code).
uint16_t DecodeWithIconv(iconv_t cd, const unsigned char* bytes, size_t length) {
  char in[4];
  std::memcpy(in, bytes, length);
  char out[8];
  char* inPtr = in;
  char* outPtr = out;
  size_t inLeft = length, outLeft = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return 0;
  if (sizeof out - outLeft != 2) return 0;
  uint16_t unit;
  std::memcpy(&unit, out, 2);
  return unit;
}

std::unique_ptr<Gb18030Tables> Build() {
  auto tables = std::make_unique<Gb18030Tables>();
  std::memset(tables->encodeBmp, 0, sizeof tables->encodeBmp);
  for (uint32_t c = 0; c < 0x80; ++c) tables->encodeBmp[c] = c;
  iconv_t cd = iconv_open("UTF-16LE", "GB18030");
  // Four-byte codes first, so that a character that also has a two-byte code encodes as that.
  for (uint32_t i = 0; i < kFourByteBmpCount; ++i) {
    const uint32_t code = FourByteCode(i);
    const unsigned char bytes[4] = {static_cast<unsigned char>(code >> 24), static_cast<unsigned char>(code >> 16),
                                    static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code)};
    const uint16_t unit = DecodeWithIconv(cd, bytes, 4);
    tables->fourByteBmp[i] = unit;
    if (unit >= 0x80) tables->encodeBmp[unit] = code;
  }
  for (uint32_t lead = 0x81; lead <= 0xFE; ++lead) {
    for (uint32_t trail = 0x40; trail <= 0xFE; ++trail) {
      const unsigned char bytes[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
      const uint16_t unit = trail == 0x7F ? 0 : DecodeWithIconv(cd, bytes, 2);
      tables->twoByte[(lead - 0x81) * 191 + (trail - 0x40)] = unit;
      if (unit >= 0x80) tables->encodeBmp[unit] = (lead << 8) | trail;
    }
  }
  iconv_close(cd);
  return tables;
}

}  // namespace

const Gb18030Tables& Gb18030() {
  static const std::unique_ptr<Gb18030Tables> tables = Build();
  return *tables;
}

}  // namespace qoxa::platform
