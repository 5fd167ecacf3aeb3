#include "zyengine/ZyCodePage.h"

#include <vector>

#include "platform/CodePage.h"

namespace qoxa::zy {
namespace {

// Length of the GB18030 unit starting with lead byte p[0] (≥ 0x80). A lead whose following
// bytes cannot continue it stands alone, so a stretch never swallows an ASCII byte that the
// platform would read as a character of its own.
size_t Gb18030UnitLength(const unsigned char* p, size_t left) {
  if (left >= 2 && p[1] >= 0x40 && p[1] != 0x7F && p[1] != 0xFF) return 2;
  if (left >= 4 && p[1] >= 0x30 && p[1] <= 0x39 && p[2] >= 0x81 && p[2] <= 0xFE && p[3] >= 0x30 && p[3] <= 0x39)
    return 4;
  return 1;
}

// The separator between gathered stretches: a line feed is one unit in both encodings and never
// part of a multi-byte GB18030 character or of a UTF-16 unit above 0x7F.
constexpr char kSeparator = '\n';

}  // namespace

std::u16string ToUtf16(std::string_view gb18030) {
  const auto* p = reinterpret_cast<const unsigned char*>(gb18030.data());
  const size_t n = gb18030.size();
  std::string gathered;
  size_t ascii = 0, stretches = 0;
  for (size_t i = 0; i < n;) {
    if (p[i] < 0x80) {
      ++i;
      ++ascii;
      continue;
    }
    const size_t start = i;
    while (i < n && p[i] >= 0x80) i += Gb18030UnitLength(p + i, n - i);
    if (i > n) i = n;
    gathered.append(gb18030.substr(start, i - start));
    gathered.push_back(kSeparator);
    ++stretches;
  }
  const std::u16string converted = platform::Gb18030ToUtf16(gathered);

  std::u16string out;
  if (converted.size() < stretches) return platform::Gb18030ToUtf16(gb18030);
  out.resize(ascii + converted.size() - stretches);
  char16_t* o = out.data();
  char16_t* const end = o + out.size();
  size_t c = 0;  // read position in `converted`
  for (size_t i = 0; i < n;) {
    if (p[i] < 0x80) {
      if (o == end) return platform::Gb18030ToUtf16(gb18030);
      *o++ = p[i++];
      continue;
    }
    while (i < n && p[i] >= 0x80) i += Gb18030UnitLength(p + i, n - i);
    while (c < converted.size() && converted[c] != kSeparator && o < end) *o++ = converted[c++];
    ++c;
  }
  // The stretches line up with what the platform gave back unless it broke a separator; then
  // the plain whole-text conversion is the answer.
  if (o != end || c != converted.size()) return platform::Gb18030ToUtf16(gb18030);
  return out;
}

std::string ToGb18030(std::u16string_view utf16) {
  const size_t n = utf16.size();
  std::u16string gathered;
  size_t ascii = 0, stretches = 0;
  for (size_t i = 0; i < n;) {
    if (utf16[i] < 0x80) {
      ++i;
      ++ascii;
      continue;
    }
    const size_t start = i;
    while (i < n && utf16[i] >= 0x80) ++i;
    gathered.append(utf16.substr(start, i - start));
    gathered.push_back(kSeparator);
    ++stretches;
  }
  const std::string converted = platform::Utf16ToGb18030(gathered);

  std::string out;
  if (converted.size() < stretches) return platform::Utf16ToGb18030(utf16);
  out.resize(ascii + converted.size() - stretches);
  size_t o = 0, c = 0;
  for (size_t i = 0; i < n;) {
    if (utf16[i] < 0x80) {
      if (o == out.size()) return platform::Utf16ToGb18030(utf16);
      out[o++] = static_cast<char>(utf16[i++]);
      continue;
    }
    while (i < n && utf16[i] >= 0x80) ++i;
    while (c < converted.size() && converted[c] != kSeparator && o < out.size()) out[o++] = converted[c++];
    ++c;
  }
  if (o != out.size() || c != converted.size()) return platform::Utf16ToGb18030(utf16);
  return out;
}

}  // namespace qoxa::zy
