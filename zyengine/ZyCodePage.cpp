#include "zyengine/ZyCodePage.h"

#include <utility>
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
  // Pass 1: the non-ASCII stretches, gathered for one platform call.
  std::vector<std::pair<size_t, size_t>> stretches;
  std::string gathered;
  size_t ascii = 0;
  for (size_t i = 0; i < n;) {
    const size_t start = i;
    while (i < n && p[i] < 0x80) ++i;
    ascii += i - start;
    if (i == n) break;
    const size_t stretchStart = i;
    while (i < n && p[i] >= 0x80) i += Gb18030UnitLength(p + i, n - i);
    if (i > n) i = n;
    stretches.emplace_back(stretchStart, i);
    gathered.append(gb18030.substr(stretchStart, i - stretchStart));
    gathered.push_back(kSeparator);
  }
  if (stretches.empty()) return std::u16string(p, p + n);
  const std::u16string converted = platform::Gb18030ToUtf16(gathered);
  if (converted.size() < stretches.size()) return platform::Gb18030ToUtf16(gb18030);

  // Pass 2: ASCII widened in place, each stretch from the converted text.
  std::u16string out;
  out.resize(ascii + converted.size() - stretches.size());
  char16_t* o = out.data();
  char16_t* const end = o + out.size();
  size_t i = 0, c = 0;
  for (const auto& [start, stop] : stretches) {
    for (; i < start; ++i) *o++ = p[i];
    while (c < converted.size() && converted[c] != kSeparator && o < end) *o++ = converted[c++];
    ++c;
    i = stop;
  }
  if (static_cast<size_t>(end - o) != n - i || c != converted.size()) return platform::Gb18030ToUtf16(gb18030);
  for (; i < n; ++i) *o++ = p[i];
  return out;
}

std::string ToGb18030(std::u16string_view utf16) {
  const char16_t* p = utf16.data();
  const size_t n = utf16.size();
  // Pass 1: the non-ASCII stretches, gathered for one platform call.
  std::vector<std::pair<size_t, size_t>> stretches;
  std::u16string gathered;
  size_t ascii = 0;
  for (size_t i = 0; i < n;) {
    const size_t start = i;
    while (i < n && p[i] < 0x80) ++i;
    ascii += i - start;
    if (i == n) break;
    const size_t stretchStart = i;
    while (i < n && p[i] >= 0x80) ++i;
    stretches.emplace_back(stretchStart, i);
    gathered.append(utf16.substr(stretchStart, i - stretchStart));
    gathered.push_back(kSeparator);
  }
  if (stretches.empty()) return std::string(p, p + n);
  const std::string converted = platform::Utf16ToGb18030(gathered);
  if (converted.size() < stretches.size()) return platform::Utf16ToGb18030(utf16);

  // Pass 2: ASCII narrowed in place, each stretch from the converted text.
  std::string out;
  out.resize(ascii + converted.size() - stretches.size());
  char* o = out.data();
  char* const end = o + out.size();
  size_t i = 0, c = 0;
  for (const auto& [start, stop] : stretches) {
    for (; i < start; ++i) *o++ = static_cast<char>(p[i]);
    while (c < converted.size() && converted[c] != kSeparator && o < end) *o++ = converted[c++];
    ++c;
    i = stop;
  }
  if (static_cast<size_t>(end - o) != n - i || c != converted.size()) return platform::Utf16ToGb18030(utf16);
  for (; i < n; ++i) *o++ = static_cast<char>(p[i]);
  return out;
}

}  // namespace qoxa::zy
