#include "zyengine/ZyCodePage.h"

#include <atomic>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/CodePage.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace {

// The UTF-16 unit of each two-byte GB18030 character (lead 0x81–0xFE, trail 0x40–0xFE), index
// (lead − 0x81) × 191 + (trail − 0x40); 0 until first met, filled from the platform conversion
// by any thread with the same value.
constexpr size_t kPairCount = 126 * 191;
std::atomic<char16_t> g_pairs[kPairCount];

// The cached unit of a two-byte character, or 0 when it is not one the table can hold.
char16_t DecodePair(unsigned char lead, unsigned char trail) {
  if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail > 0xFE || trail == 0x7F) return 0;
  std::atomic<char16_t>& entry = g_pairs[(lead - 0x81) * 191 + (trail - 0x40)];
  char16_t unit = entry.load(std::memory_order_relaxed);
  if (unit) return unit;
  const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  const std::u16string decoded = platform::Gb18030ToUtf16(std::string_view(pair, 2));
  if (decoded.size() != 1 || decoded[0] < 0x80 || (decoded[0] >= 0xD800 && decoded[0] <= 0xDFFF)) return 0;
  entry.store(decoded[0], std::memory_order_relaxed);
  return decoded[0];
}

}  // namespace

size_t ToUtf16Into(std::string_view gb18030, char16_t* out) {
  const auto* p = reinterpret_cast<const unsigned char*>(gb18030.data());
  const size_t n = gb18030.size();
  char16_t* o = out;
  for (size_t i = 0; i < n;) {
    // ASCII, widened as it is, 16 bytes at a time while they are all ASCII.
#if defined(__SSE2__)
    while (n - i >= 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      if (_mm_movemask_epi8(bytes) != 0) break;
      const __m128i zero = _mm_setzero_si128();
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_unpacklo_epi8(bytes, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 8), _mm_unpackhi_epi8(bytes, zero));
      i += 16;
      o += 16;
    }
#endif
    while (i < n && p[i] < 0x80) *o++ = p[i++];
    if (i == n) break;
    // A stretch of other characters: two-byte characters from the table; a stretch holding
    // anything else goes to the platform whole.
    const size_t start = i;
    char16_t* const stretchOut = o;
    bool tabled = true;
    while (i < n && p[i] >= 0x80) {
      const size_t length = Gb18030UnitLength(p + i, n - i);
      const char16_t unit = tabled && length == 2 ? DecodePair(p[i], p[i + 1]) : 0;
      if (unit) *o++ = unit;
      else tabled = false;
      i += length;
    }
    if (i > n) i = n;
    if (!tabled) {
      const std::u16string converted = platform::Gb18030ToUtf16(gb18030.substr(start, i - start));
      // Every byte gives at most one unit, so the stretch fits in the room its bytes left.
      const size_t units = converted.size() < i - start ? converted.size() : i - start;
      std::memcpy(stretchOut, converted.data(), units * sizeof(char16_t));
      o = stretchOut + units;
    }
  }
  return static_cast<size_t>(o - out);
}

std::u16string ToUtf16(std::string_view gb18030) {
  std::u16string out;
  out.resize(gb18030.size());
  out.resize(ToUtf16Into(gb18030, out.data()));
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
