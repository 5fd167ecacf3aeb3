#include "platform/CodePage.h"

#include <cstdint>
#include <cstring>

#include "platform/Gb18030Tables.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qoxa::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Length of the run of ASCII bytes at the start of [p, end), sixteen (or eight) bytes at a time.
size_t AsciiRun(const unsigned char* p, const unsigned char* end) {
  const unsigned char* start = p;
#if defined(__SSE2__)
  while (end - p >= 16) {
    const int high = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    if (high != 0) return static_cast<size_t>(p - start) + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(high)));
    p += 16;
  }
#endif
  while (end - p >= 8) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    if (word & 0x8080808080808080ULL) break;
    p += 8;
  }
  while (p < end && *p < 0x80) ++p;
  return static_cast<size_t>(p - start);
}

// The character that starts with the byte *p (0x80 or above): its code point and byte count. A
// byte that starts no valid character stands alone for U+FFFD.
size_t DecodeNonAsciiGb18030(const Gb18030Tables& tables, const unsigned char* p, const unsigned char* end,
                             char32_t& c) {
  const unsigned lead = p[0];
  c = kReplacement;
  if (lead < 0x81 || lead > 0xFE || end - p < 2) return 1;
  const unsigned second = p[1];
  if (second >= 0x40 && second <= 0xFE && second != 0x7F) {
    const uint16_t unit = TwoByteUnit(tables, lead, second);
    if (unit == 0) return 1;
    c = unit;
    return 2;
  }
  if (second >= 0x30 && second <= 0x39 && end - p >= 4 && p[2] >= 0x81 && p[2] <= 0xFE && p[3] >= 0x30 &&
      p[3] <= 0x39) {
    const uint32_t linear = (((lead - 0x81) * 10 + (second - 0x30)) * 126 + (p[2] - 0x81)) * 10 + (p[3] - 0x30);
    if (linear < 39420) {
      const uint16_t unit = tables.fourByteBmp[linear];
      if (unit == 0) return 1;
      c = unit;
      return 4;
    }
    if (linear >= 189000 && linear < 189000 + 0x100000) {
      c = 0x10000 + (linear - 189000);
      return 4;
    }
  }
  return 1;
}

// The character that starts with the byte *p (0x80 or above) in UTF-8: its code point and byte
// count. A byte that starts no well-formed character (overlong forms, surrogates and values above
// U+10FFFF included) stands alone for U+FFFD; a well-formed character is never one byte long.
size_t DecodeNonAsciiUtf8(const unsigned char* p, const unsigned char* end, char32_t& c) {
  const unsigned lead = *p;
  size_t length = 0;
  unsigned char lo = 0x80, hi = 0xBF;
  char32_t cp = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, cp = lead & 0x0F;
    if (lead == 0xE0) lo = 0xA0;
    if (lead == 0xED) hi = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, cp = lead & 0x07;
    if (lead == 0xF0) lo = 0x90;
    if (lead == 0xF4) hi = 0x8F;
  }
  bool valid = length != 0 && static_cast<size_t>(end - p) >= length && p[1] >= lo && p[1] <= hi;
  for (size_t k = 2; valid && k < length; ++k) valid = p[k] >= 0x80 && p[k] <= 0xBF;
  if (!valid) {
    c = kReplacement;
    return 1;
  }
  for (size_t k = 1; k < length; ++k) cp = (cp << 6) | (p[k] & 0x3F);
  c = cp;
  return length;
}

// A byte text decoded: sink.Ascii(bytes, n) for every ASCII run, sink.Char(code point) for every
// other character as nonAscii(p, end, code point) reads it.
template <typename Sink, typename NonAscii>
void DecodeBytes(std::string_view text, Sink& sink, NonAscii nonAscii) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    if (*p < 0x80) {
      const size_t run = AsciiRun(p, end);
      sink.Ascii(reinterpret_cast<const char*>(p), run);
      p += run;
      continue;
    }
    char32_t c;
    p += nonAscii(p, end, c);
    sink.Char(c);
  }
}

template <typename Sink>
void DecodeGb18030(std::string_view text, Sink& sink) {
  const Gb18030Tables& tables = Gb18030();
  DecodeBytes(text, sink, [&tables](const unsigned char* p, const unsigned char* end, char32_t& c) {
    return DecodeNonAsciiGb18030(tables, p, end, c);
  });
}

template <typename Sink>
void DecodeUtf8(std::string_view text, Sink& sink) {
  DecodeBytes(text, sink, [](const unsigned char* p, const unsigned char* end, char32_t& c) {
    return DecodeNonAsciiUtf8(p, end, c);
  });
}

template <typename Sink>
void DecodeUtf16(std::u16string_view text, Sink& sink) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u < 0xD800 || u > 0xDFFF) {
      sink.Char(u);
    } else if (u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      sink.Char(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else {
      sink.Char(kReplacement);
    }
  }
}

// An output text grown by appending into capacity reserved up front (never zero-filled first).
template <typename String>
class Output {
 public:
  using Unit = typename String::value_type;
  explicit Output(size_t expected) { text_.reserve(expected + 16); }
  void Append(const Unit* units, size_t n) { text_.append(units, n); }
  // For the few units of one character: cheaper than an append call.
  void Put(const Unit* units, size_t n) {
    for (size_t i = 0; i < n; ++i) text_.push_back(units[i]);
  }
  // Makes n more units and answers where they start.
  Unit* Extend(size_t n) {
    const size_t used = text_.size();
    text_.resize(used + n);
    return text_.data() + used;
  }
  String Take() { return std::move(text_); }

 private:
  String text_;
};

struct Utf8Writer {
  Output<std::string> out;
  explicit Utf8Writer(size_t expected) : out(expected) {}
  void Ascii(const char* p, size_t n) { out.Append(p, n); }
  void Char(char32_t c) {
    char bytes[4];
    size_t n;
    if (c < 0x80) {
      bytes[0] = static_cast<char>(c);
      n = 1;
    } else if (c < 0x800) {
      bytes[0] = static_cast<char>(0xC0 | (c >> 6));
      bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
      n = 2;
    } else if (c < 0x10000) {
      bytes[0] = static_cast<char>(0xE0 | (c >> 12));
      bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
      n = 3;
    } else {
      bytes[0] = static_cast<char>(0xF0 | (c >> 18));
      bytes[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      bytes[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes[3] = static_cast<char>(0x80 | (c & 0x3F));
      n = 4;
    }
    out.Put(bytes, n);
  }
};

struct Utf16Writer {
  Output<std::u16string> out;
  explicit Utf16Writer(size_t expected) : out(expected) {}
  void Ascii(const char* p, size_t n) {
    char16_t* to = out.Extend(n);
    for (size_t i = 0; i < n; ++i) to[i] = static_cast<unsigned char>(p[i]);
  }
  void Char(char32_t c) {
    if (c < 0x10000) {
      const char16_t unit = static_cast<char16_t>(c);
      out.Put(&unit, 1);
    } else {
      c -= 0x10000;
      const char16_t units[2] = {static_cast<char16_t>(0xD800 + (c >> 10)), static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
      out.Put(units, 2);
    }
  }
};

struct Gb18030Writer {
  Output<std::string> out;
  explicit Gb18030Writer(size_t expected) : out(expected) {}
  void Ascii(const char* p, size_t n) { out.Append(p, n); }
  void Char(char32_t c) {
    char bytes[4];
    out.Put(bytes, static_cast<size_t>(EncodeGb18030(c, bytes)));
  }
};

// UTF-16 written straight into a buffer the caller sized; ASCII is widened 16 bytes at a time.
struct RawUtf16Writer {
  char16_t* out;
  void Ascii(const char* p, size_t n) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; n - i >= 16; i += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(bytes, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(bytes, zero));
    }
#endif
    for (; i < n; ++i) out[i] = static_cast<unsigned char>(p[i]);
    out += n;
  }
  void Char(char32_t c) {
    if (c < 0x10000) {
      *out++ = static_cast<char16_t>(c);
    } else {
      c -= 0x10000;
      *out++ = static_cast<char16_t>(0xD800 + (c >> 10));
      *out++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
  }
};

}  // namespace

std::string Utf8ToGb18030(std::string_view utf8) {
  Gb18030Writer writer(utf8.size());
  DecodeUtf8(utf8, writer);
  return writer.out.Take();
}

std::string Gb18030ToUtf8(std::string_view gb18030) {
  Utf8Writer writer(gb18030.size() + gb18030.size() / 4);
  DecodeGb18030(gb18030, writer);
  return writer.out.Take();
}

size_t Gb18030ToUtf16Into(std::string_view gb18030, char16_t* out) {
  RawUtf16Writer writer{out};
  DecodeGb18030(gb18030, writer);
  return static_cast<size_t>(writer.out - out);
}

std::u16string Gb18030ToUtf16(std::string_view gb18030) {
  std::u16string text(gb18030.size(), u'\0');
  text.resize(Gb18030ToUtf16Into(gb18030, text.data()));
  return text;
}

int EncodeGb18030(char32_t codePoint, char* bytes) {
  auto putFour = [bytes](uint32_t code) {
    bytes[0] = static_cast<char>(code >> 24);
    bytes[1] = static_cast<char>(code >> 16);
    bytes[2] = static_cast<char>(code >> 8);
    bytes[3] = static_cast<char>(code);
    return 4;
  };
  if (codePoint < 0x80) {
    bytes[0] = static_cast<char>(codePoint);
    return 1;
  }
  if (codePoint >= 0x10000 && codePoint <= 0x10FFFF) {
    // The supplementary planes map linearly onto the four-byte codes from 90 30 81 30.
    return putFour(FourByteCode(189000 + (codePoint - 0x10000)));
  }
  const Gb18030Tables& tables = Gb18030();
  uint32_t code = codePoint < 0x10000 ? tables.encodeBmp[codePoint] : 0;
  if (code == 0) code = tables.encodeBmp[kReplacement];
  if (code > 0xFFFF) return putFour(code);
  bytes[0] = static_cast<char>(code >> 8);
  bytes[1] = static_cast<char>(code);
  return 2;
}

std::string Utf16ToGb18030(std::u16string_view utf16) {
  Gb18030Writer writer(utf16.size() * 2);
  DecodeUtf16(utf16, writer);
  return writer.out.Take();
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  Utf16Writer writer(utf8.size());
  DecodeUtf8(utf8, writer);
  return writer.out.Take();
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  Utf8Writer writer(utf16.size() * 2);
  DecodeUtf16(utf16, writer);
  return writer.out.Take();
}

size_t Gb18030CharLength(std::string_view text, size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + at;
  if (*p < 0x80) return 1;
  char32_t c;
  return DecodeNonAsciiGb18030(Gb18030(), p, reinterpret_cast<const unsigned char*>(text.data()) + text.size(), c);
}

bool HasNonAscii(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  return AsciiRun(p, p + bytes.size()) != bytes.size();
}

bool IsValidUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    if (*p < 0x80) {
      p += AsciiRun(p, end);
      continue;
    }
    char32_t c;
    const size_t length = DecodeNonAsciiUtf8(p, end, c);
    if (length == 1) return false;  // only a byte that forms no character is read alone
    p += length;
  }
  return true;
}

}  // namespace qoxa::platform
