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
  for (size_t i = 0; i < n;) {
    if (p[i] < 0x80) {
      ++i;
      continue;
    }
    const size_t start = i;
    while (i < n && p[i] >= 0x80) i += Gb18030UnitLength(p + i, n - i);
    gathered.append(gb18030.substr(start, i - start));
    gathered.push_back(kSeparator);
  }
  const std::u16string converted = platform::Gb18030ToUtf16(gathered);

  std::u16string out;
  out.resize(n + converted.size());
  char16_t* o = out.data();
  size_t c = 0;  // read position in `converted`
  for (size_t i = 0; i < n;) {
    if (p[i] < 0x80) {
      *o++ = p[i++];
      continue;
    }
    while (i < n && p[i] >= 0x80) i += Gb18030UnitLength(p + i, n - i);
    while (c < converted.size() && converted[c] != kSeparator) *o++ = converted[c++];
    ++c;
  }
  out.resize(static_cast<size_t>(o - out.data()));
  return out;
}

std::string ToGb18030(std::u16string_view utf16) {
  const size_t n = utf16.size();
  std::u16string gathered;
  for (size_t i = 0; i < n;) {
    if (utf16[i] < 0x80) {
      ++i;
      continue;
    }
    const size_t start = i;
    while (i < n && utf16[i] >= 0x80) ++i;
    gathered.append(utf16.substr(start, i - start));
    gathered.push_back(kSeparator);
  }
  const std::string converted = platform::Utf16ToGb18030(gathered);

  std::string out;
  out.resize(n + converted.size());
  size_t o = 0, c = 0;
  for (size_t i = 0; i < n;) {
    if (utf16[i] < 0x80) {
      out[o++] = static_cast<char>(utf16[i++]);
      continue;
    }
    while (i < n && utf16[i] >= 0x80) ++i;
    while (c < converted.size() && converted[c] != kSeparator) out[o++] = converted[c++];
    ++c;
  }
  out.resize(o);
  return out;
}

}  // namespace qoxa::zy
