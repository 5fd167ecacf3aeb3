// The token readers: strings (unescaped in place), numbers, comments, and \u code units.
#include <array>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "treeengine/DocMessages.h"
#include "treeengine/Gb18030Units.h"
#include "treeengine/JsonDoc.h"

namespace qoxa::tree {
namespace {

// What a byte means inside a string.
enum StringClass : uint8_t { kPlain = 0, kZero, kQuote, kBackslash, kLineBreak, kLeadByte };

constexpr std::array<uint8_t, 256> MakeStringClasses() {
  std::array<uint8_t, 256> classes{};
  classes[0] = kZero;  // content, unless it is the zero byte behind the end of the text
  classes['"'] = kQuote;
  classes['\\'] = kBackslash;
  classes['\r'] = kLineBreak;
  classes['\n'] = kLineBreak;
  for (int c = 0x81; c <= 0xFF; ++c) classes[static_cast<size_t>(c)] = kLeadByte;
  return classes;
}
constexpr std::array<uint8_t, 256> kStringClasses = MakeStringClasses();

// Value of a hex digit, -1 for any other byte.
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// From `at`, which starts a unit, skips the content bytes of a string 16 at a time: it stops on
// the first quote, backslash, CR, LF or zero byte that is not the second byte of a two-byte unit,
// and gives its position (without SSE2 it gives `at` and the caller goes byte by byte). A lead
// byte (0x81 and up) takes the byte after it along whatever that byte is, so in every run of
// lead-range bytes they pair up from the run's first byte, and a byte below 0x81 always ends a
// unit. The text ends in a zero byte followed by padding, so the loads stay inside it.
int32_t SkipPlainBlocks(const char* s, int32_t at) {
#if defined(__SSE2__)
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i zero = _mm_setzero_si128();
  const __m128i x80 = _mm_set1_epi8(static_cast<char>(0x80));
  for (;;) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at));
    const __m128i notable =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, quote), _mm_cmpeq_epi8(block, backslash)),
                     _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf)),
                                  _mm_cmpeq_epi8(block, zero)));
    // Lead-range bytes 0x81..0xFF: negative as signed bytes, 0x80 excepted.
    const __m128i lead = _mm_andnot_si128(_mm_cmpeq_epi8(block, x80), _mm_cmplt_epi8(block, zero));
    const auto notableMask = static_cast<unsigned>(_mm_movemask_epi8(notable));
    const auto leadMask = static_cast<unsigned>(_mm_movemask_epi8(lead));
    const unsigned limit = notableMask != 0 ? static_cast<unsigned>(__builtin_ctz(notableMask)) : 16u;
    // The lead-range bytes directly in front of `limit`: an odd number of them leaves the last
    // one a lead byte, and the byte at `limit` is its second byte.
    const unsigned others = ~leadMask & ((1u << limit) - 1u);
    const unsigned leads = others != 0 ? limit - 1u - static_cast<unsigned>(31 - __builtin_clz(others)) : limit;
    if ((leads & 1u) != 0) {
      at += static_cast<int32_t>(limit) + 1;
      continue;
    }
    if (notableMask != 0) return at + static_cast<int32_t>(limit);
    at += 16;
  }
#else
  (void)s;
  return at;
#endif
}

}  // namespace

std::string JsonDoc::UnitToAnsi(char16_t unit) {
  const Gb18030Bytes bytes = UnitToGb18030(unit);
  return std::string(bytes.bytes, static_cast<size_t>(bytes.length));
}

bool JsonDoc::ReadString(int32_t& pos, int32_t& start, int32_t& end) {
  char* s = text_.data();
  const int32_t n = sourceLength_;
  if (pos > n || s[pos] != '"') return false;
  start = pos + 1;
  stringHadZero_ = false;
  int32_t write = start;  // the write position never passes the read position
  int32_t read = start;
  for (;;) {
    // A run of content bytes; a lead byte takes the byte after it along whatever it is.
    int32_t run = read;
    for (;;) {
      run = SkipPlainBlocks(s, run);
      const uint8_t cls = kStringClasses[static_cast<unsigned char>(s[run])];
      if (cls == kPlain) {
        ++run;
      } else if (cls == kLeadByte) {
        run += 2;
      } else if (cls == kZero && run <= n) {
        stringHadZero_ = true;
        ++run;
      } else {
        break;
      }
    }
    if (run > n) {
      pos = n + 1;
      SetError(MessageText(DocMessage::StringUnterminated), n + 1);
      return false;
    }
    if (write != read) {
      // Runs between escapes are mostly short: a forward byte copy (safe, as write < read)
      // beats a library call there.
      const int32_t length = run - read;
      if (length <= 16) {
        for (int32_t i = 0; i < length; ++i) s[write + i] = s[read + i];
      } else {
        std::memmove(s + write, s + read, static_cast<size_t>(length));
      }
    }
    write += run - read;
    read = run;
    const char c = s[read];
    if (c == '"') {
      end = write - 1;
      pos = read + 1;
      return true;
    }
    if (c != '\\') {  // a raw line break
      pos = read;
      SetError(MessageText(DocMessage::StringLineBreak), read);
      return false;
    }
    ++read;  // on the escape letter
    if (read > n) {
      pos = n + 1;
      SetError(MessageText(DocMessage::StringUnterminated), n + 1);
      return false;
    }
    char plain = 0;
    switch (s[read]) {
      case '"': case '\\': case '/': plain = s[read]; break;
      case 'b': plain = '\b'; break;
      case 'f': plain = '\f'; break;
      case 'n': plain = '\n'; break;
      case 'r': plain = '\r'; break;
      case 't': plain = '\t'; break;
      case 'u':
        if (!ReadUnicodeEscape(read, write)) {
          pos = read;
          return false;
        }
        continue;
      default:
        pos = read;
        SetError(MessageText(DocMessage::StringBadEscape), read);
        return false;
    }
    s[write++] = plain;
    ++read;
  }
}

// `p` is on the `u` of an escape; on success it is past the four digits and the unit's bytes
// are written at `written`. Decoded, a high surrogate directly followed by a \u escape of a low
// surrogate becomes the one four-byte character of the pair (a deliberate improvement: halves
// converted one by one could only give "?" each); a lone half gives "?".
bool JsonDoc::ReadUnicodeEscape(int32_t& p, int32_t& written) {
  char* s = text_.data();
  const int32_t n = sourceLength_;
  int unit = 0;
  for (int digit = 0; digit < 4; ++digit) {
    ++p;
    if (p > n) {
      p = n + 1;
      SetError(MessageText(DocMessage::StringUnterminated), n + 1);
      return false;
    }
    const int value = HexValue(s[p]);
    if (value < 0) {
      SetError(MessageText(DocMessage::StringBadUnicode), p);
      return false;
    }
    if (s[p] >= 'A' && s[p] <= 'F') s[p] = static_cast<char>(s[p] - 'A' + 'a');
    unit = unit * 16 + value;
  }
  ++p;  // past the fourth digit
  if (decodeUnicode_ == 0) {
    // Undecoded: the unit's two bytes, low byte first.
    s[written++] = static_cast<char>(unit & 0xFF);
    s[written++] = static_cast<char>(unit >> 8);
    if ((unit & 0xFF) == 0 || (unit >> 8) == 0) stringHadZero_ = true;
    return true;
  }
  Gb18030Bytes bytes;
  if (unit >= 0xD800 && unit <= 0xDBFF && p + 5 <= n && s[p] == '\\' && s[p + 1] == 'u') {
    int low = 0;
    for (int i = 2; i < 6 && low >= 0; ++i) {
      const int value = HexValue(s[p + i]);
      low = value < 0 ? -1 : low * 16 + value;
    }
    if (low >= 0xDC00 && low <= 0xDFFF) {
      bytes = SupplementaryToGb18030(0x10000 + ((static_cast<uint32_t>(unit) - 0xD800) << 10) +
                                     (static_cast<uint32_t>(low) - 0xDC00));
      p += 6;
    } else {
      bytes = UnitToGb18030(static_cast<char16_t>(unit));
    }
  } else {
    bytes = UnitToGb18030(static_cast<char16_t>(unit));
  }
  std::memcpy(s + written, bytes.bytes, static_cast<size_t>(bytes.length));
  written += bytes.length;
  return true;
}

// The number's bytes are taken as they come: a minus anywhere in the integer part, leading
// zeros and a leading point are accepted, and an exponent needs its sign. Each part is one tight
// loop over its bytes; the zero byte behind the end of the text stops every loop, and a number
// that runs up to the end is complete only when its last byte is a digit.
bool JsonDoc::ReadNumber(int32_t& pos, int32_t& start, int32_t& end, int32_t& kind) {
  char* s = text_.data();
  const int32_t n = sourceLength_;
  start = pos;
  kind = 4;
  // Ends the number at p - 1, with pos on the byte after it.
  auto endBefore = [&](int32_t p) {
    end = p - 1;
    pos = p;
    return true;
  };
  // Fails at p (the end of the text counts as n + 1).
  auto failAt = [&](int32_t p) {
    pos = p > n ? n + 1 : p;
    return false;
  };
  int32_t p = pos;
  while (IsDigit(s[p]) || s[p] == '-') ++p;
  if (p > n) return IsDigit(s[n]) ? endBefore(n + 1) : failAt(p);
  if (s[p] == '.') {
    ++p;
    if (p > n || !IsDigit(s[p])) return failAt(p);
    kind = 5;
    while (IsDigit(s[p])) ++p;
    if (p > n) return endBefore(n + 1);
  }
  if (s[p] != 'e' && s[p] != 'E') return endBefore(p);
  s[p] = 'e';
  ++p;
  if (p > n || (s[p] != '+' && s[p] != '-')) return failAt(p);
  kind = kind == 5 ? 11 : 12;
  ++p;
  if (p > n || !IsDigit(s[p])) return failAt(p);
  while (IsDigit(s[p])) ++p;
  return endBefore(p > n ? n + 1 : p);
}

bool JsonDoc::ReadComment(int32_t& pos, int32_t& start, int32_t& end) {
  const char* s = text_.data();
  const int32_t n = sourceLength_;
  int32_t p = pos + 1;
  if (p > n) {
    pos = n + 1;
    return false;
  }
  start = p + 1;
  if (s[p] == '/') {
    for (++p; p <= n; ++p) {
      if (s[p] == '\n') {
        end = p - 1;
        pos = p + 1;
        NewLineAt(p);
        return true;
      }
      if (s[p] == '\r') {
        // The byte after a CR completes the line break, whatever it is.
        if (p + 1 > n) break;
        end = p - 1;
        pos = p + 2;
        NewLineAt(p + 1);
        return true;
      }
    }
    pos = n + 1;
    return false;
  }
  if (s[p] != '*') {
    pos = p;
    return false;
  }
  bool starSeen = false;
  for (++p; p <= n; ++p) {
    const char c = s[p];
    if (c == '*') {
      end = p - 1;
      starSeen = true;
    } else if (starSeen && c == '/') {
      pos = p + 1;
      return true;
    } else {
      if (c == '\n') NewLineAt(p);
      starSeen = false;
    }
  }
  pos = n + 1;
  return false;
}

}  // namespace qoxa::tree
