#include "zyengine/ZyScanner.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/CodePage.h"
#include "platform/Gb18030Tables.h"
#include "zyengine/ZyNumberText.h"
#include "zyengine/ZyTable.h"
#include "zyengine/ZyValue.h"

namespace qoxa::zy {
namespace {

// The characters that have a rule of their own outside strings.
constexpr bool IsStructural(char16_t c) {
  constexpr uint64_t kMask = (uint64_t{1} << '"') | (uint64_t{1} << '\'') | (uint64_t{1} << ',') | (uint64_t{1} << ':');
  if (c < 64) return (kMask >> c) & 1;
  return c == u'[' || c == u']' || c == u'{' || c == u'}' || c == u'\\';
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// The escape starting with the backslash text[i] of text[0, n) (UTF-16 units, or the bytes of a
// GB18030 slice: escapes are ASCII, and the ASCII bytes of a slice are exactly the ASCII units of
// its conversion): the unit it stands for, with the units it takes in *consumed; or -1 when the
// backslash stays as written. \\ \/ \" \b \t \n \r \f always, and \u with four hexadecimal digits
// when decodeUnicode; anything shorter stays.
template <class Unit>
int EscapeAt(const Unit* text, size_t i, size_t n, bool decodeUnicode, size_t* consumed) {
  if (i + 1 >= n) return -1;
  *consumed = 2;
  switch (text[i + 1]) {
    case u'\\': case u'/': case u'"': return text[i + 1];
    case u'b': return 8;
    case u't': return 9;
    case u'n': return 10;
    case u'r': return 13;
    case u'f': return 12;
    case u'u': break;
    default: return -1;
  }
  if (!decodeUnicode || i + 6 > n) return -1;
  int value = 0;
  for (size_t k = i + 2; k < i + 6; ++k) {
    const int d = HexDigit(static_cast<char16_t>(text[k]));
    if (d < 0) return -1;
    value = value * 16 + d;
  }
  *consumed = 6;
  return value;
}

// A record for a token of the given kind: 4 String (its escapes already decoded), 0 Null,
// 1 Double and 2 Integer (keeping the token as their text form), 3 Bool, -1 Raw.
ZyValue* MakeRecord(int kind, std::u16string_view token, const ZyValue* near) {
  ZyValue::Payload payload{};
  switch (kind) {
    case 4:
      return NewScalar(ZyType::String, payload, token, near);
    case 0:
      return NewNull(near);
    case 1:
      payload.number = TextToDouble(token);
      return NewScalar(ZyType::Double, payload, token, near);
    case 2:
      payload.integer = TextToInteger(token);
      return NewScalar(ZyType::Integer, payload, token, near);
    case 3:
      return NewBool(token == u"true", near);
    default:
      return NewRaw(token, near);
  }
}

// Byte classes for the byte scanner's skips.
constexpr uint8_t kStopOutside = 1;   // has a rule of its own outside strings
constexpr uint8_t kStopInString = 2;  // a quote or a backslash

constexpr std::array<uint8_t, 256> MakeByteClasses() {
  std::array<uint8_t, 256> classes{};
  for (int c = 0; c < 128; ++c)
    if (IsStructural(static_cast<char16_t>(c))) classes[c] = kStopOutside;
  for (char c : {'"', '\'', '\\'}) classes[static_cast<unsigned char>(c)] |= kStopInString;
  return classes;
}
constexpr std::array<uint8_t, 256> kByteClass = MakeByteClasses();

// Plain integers (an optional '-' and 1 to 15 digits) are the commonest bare tokens: they are
// recognised and read in one pass, with the kind and value the general rules give them.
bool ReadPlainInteger(std::u16string_view token, int64_t* value) {
  size_t i = token.size() && token[0] == u'-' ? 1 : 0;
  if (i == token.size() || token.size() - i > 15) return false;
  int64_t accumulator = 0;
  for (; i < token.size(); ++i) {
    const unsigned digit = static_cast<unsigned>(token[i]) - u'0';
    if (digit > 9) return false;
    accumulator = accumulator * 10 + digit;
  }
  *value = token[0] == u'-' ? -accumulator : accumulator;
  return true;
}

// The scanner runs on UTF-16 text, or on GB18030 bytes directly: every rule of the scan is about
// ASCII characters, so only the slices that become keys and values are converted, and the whole
// text never needs a UTF-16 copy.
template <class Char>
class Scanner {
 public:
  static constexpr bool kBytes = sizeof(Char) == 1;

  Scanner(ZyValue* target, const Char* text, size_t n, bool decodeUnicode)
      : target_(target), text_(text), n_(static_cast<ptrdiff_t>(n)), decodeUnicode_(decodeUnicode) {}

  int Run() {
    int result;
    try {
      stack_.reserve(64);
      Reset(target_);
      result = Scan();
    } catch (const std::bad_alloc&) {
      result = kParseNoMemory;  // memory ran out for the stack or a record
    }
    if (result != kParseOk || !stack_.empty()) {
      Reset(target_);
      return result != kParseOk ? result : kParseUnbalanced;
    }
    return kParseOk;
  }

 private:
  char16_t Unit(ptrdiff_t i) const {
    if constexpr (kBytes) return static_cast<unsigned char>(text_[i]);
    else return text_[i];
  }
  char16_t At(ptrdiff_t i) const { return i < n_ ? Unit(i) : u'\0'; }
  // The byte scanner's skip: from i (a character boundary) to the first character that is a stop
  // byte of the mode (or the end). The stop bytes are found 64 bytes at a time as bit masks, so
  // the skip costs one step per stop byte, not per byte or per character.
  //
  // Of the stop bytes only '[' '\\' ']' '{' '}' can also be the trail byte of a two-byte
  // character, and only right after a byte from 0x80 up; only then are the characters counted
  // from the last known boundary to tell which it is (each byte is counted at most once a skip).
  template <uint8_t stop>
  ptrdiff_t SkipBytes(ptrdiff_t i) {
    const auto* p = reinterpret_cast<const unsigned char*>(text_);
    ptrdiff_t boundary = i;
    while (i < n_) {
      const ptrdiff_t base = i & ~ptrdiff_t{63};
      if (base != blockBase_) LoadBlock(base);
      const uint64_t candidates = (stop == kStopInString ? blockInString_ : blockOutside_) >> (i - base);
      if (candidates == 0) {
        i = base + 64;
        continue;
      }
      const int offset = __builtin_ctzll(candidates);
      const bool afterHighByte = (blockTrailRisk_ >> (i - base + offset)) & 1;
      i += offset;
      if (afterHighByte && i > boundary) {
        ptrdiff_t k = boundary;
        while (k < i) k = p[k] < 0x80 ? k + 1 : NextCharacter(p, k);
        boundary = k;
        if (k > i) {  // a trail byte: go on after its character
          i = k;
          continue;
        }
      }
      return i;
    }
    return n_;
  }

  // The masks of the 64 bytes from base (zeros past the end of the text): the stop bytes inside
  // and outside strings, and the brackets and backslashes that follow a byte from 0x80 up.
  void LoadBlock(ptrdiff_t base) {
    blockBase_ = base;
    const auto* p = reinterpret_cast<const unsigned char*>(text_) + base;
    unsigned char tail[64];
    if (n_ - base < 64) {
      std::memset(tail, 0, sizeof tail);
      std::memcpy(tail, p, static_cast<size_t>(n_ - base));
      p = tail;
    }
    uint64_t inString = 0, outside = 0, trailable = 0, high = 0;
#if defined(__SSE2__)
    for (int k = 0; k < 4; ++k) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
      const auto eq = [&](char c) { return _mm_cmpeq_epi8(chunk, _mm_set1_epi8(c)); };
      const __m128i quotes = _mm_or_si128(eq('"'), eq('\''));
      const __m128i backslashes = eq('\\');
      const __m128i brackets = _mm_or_si128(_mm_or_si128(eq('['), eq(']')), _mm_or_si128(eq('{'), eq('}')));
      const auto bits = [](__m128i m) { return static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(m))); };
      const int shift = 16 * k;
      inString |= bits(_mm_or_si128(quotes, backslashes)) << shift;
      outside |= bits(_mm_or_si128(_mm_or_si128(quotes, backslashes),
                                   _mm_or_si128(brackets, _mm_or_si128(eq(','), eq(':'))))) << shift;
      trailable |= bits(_mm_or_si128(brackets, backslashes)) << shift;
      high |= bits(chunk) << shift;
    }
#else
    for (int k = 0; k < 64; ++k) {
      const uint8_t cls = kByteClass[p[k]];
      if (cls & kStopInString) inString |= uint64_t{1} << k;
      if (cls & kStopOutside) outside |= uint64_t{1} << k;
      if (p[k] == '[' || p[k] == ']' || p[k] == '{' || p[k] == '}' || p[k] == '\\') trailable |= uint64_t{1} << k;
      if (p[k] >= 0x80) high |= uint64_t{1} << k;
    }
#endif
    const uint64_t highBefore = base > 0 && static_cast<unsigned char>(text_[base - 1]) >= 0x80 ? 1 : 0;
    blockTrailRisk_ = trailable & ((high << 1) | highBefore);
    blockInString_ = inString;
    blockOutside_ = outside;
  }

  // The position after the character starting with the byte p[i] (from 0x80 up).
  ptrdiff_t NextCharacter(const unsigned char* p, ptrdiff_t i) const {
    if (i + 1 < n_ && platform::TwoByteUnit(*tables_, p[i], p[i + 1]) != 0) return i + 2;
    // Everything else (four-byte characters, bytes that form none) by the decoder's own rule.
    return i + static_cast<ptrdiff_t>(platform::Gb18030CharLength(
                   std::string_view(reinterpret_cast<const char*>(p), static_cast<size_t>(n_)), static_cast<size_t>(i)));
  }

  ZyValue* Top() const { return top_; }
  void Push(ZyValue* container) {
    stack_.push_back(container);
    top_ = container;
  }
  void Pop() {
    lastContainer_ = top_;
    if (stack_.empty()) return;
    stack_.pop_back();
    top_ = stack_.empty() ? nullptr : stack_.back();
  }
  // The UTF-16 text of a slice; the byte scanner converts it into `buffer`. With `unescape` the
  // escapes are decoded too, with the result of UnescapeInPlace on the converted slice.
  template <bool unescape = false>
  __attribute__((always_inline)) std::u16string_view Slice(ptrdiff_t start, ptrdiff_t length, std::u16string& buffer) const {
    if (start < 0 || length <= 0 || start >= n_) return {};
    if (start + length > n_) length = n_ - start;
    if constexpr (kBytes) {
      const size_t n = static_cast<size_t>(length);
      // Room for one 16-unit store past the end (see below).
      if (buffer.size() < n + 16) buffer.resize(n + 16);
      // Slices are short: ASCII and two-byte characters are decoded here, and the platform's
      // decoder takes over from anything else (four-byte and malformed sequences).
      const auto* p = reinterpret_cast<const unsigned char*>(text_ + start);
      char16_t* out = buffer.data();
      size_t k = 0, written = 0;
      while (k < n) {
#if defined(__SSE2__)
        // ASCII runs (without backslashes when unescaping) are widened 16 bytes at a time. The 16
        // bytes read may go past the slice but not past the text; all 16 units are stored (the
        // buffer has room), but only the plain bytes inside the slice count.
        if (start + static_cast<ptrdiff_t>(k) + 16 <= n_) {
          const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
          unsigned special = static_cast<unsigned>(_mm_movemask_epi8(chunk));
          if constexpr (unescape)
            special |= static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('\\'))));
          const __m128i zero = _mm_setzero_si128();
          _mm_storeu_si128(reinterpret_cast<__m128i*>(out + written), _mm_unpacklo_epi8(chunk, zero));
          _mm_storeu_si128(reinterpret_cast<__m128i*>(out + written + 8), _mm_unpackhi_epi8(chunk, zero));
          size_t plain = static_cast<size_t>(__builtin_ctz(special | 0x10000u));
          if (plain > n - k) plain = n - k;
          k += plain;
          written += plain;
          if (plain == 16 || k == n) continue;
        }
#endif
        const unsigned lead = p[k];
        if constexpr (unescape) {
          if (lead == '\\') {
            k = DecodeEscape(p, k, n, out, written);
            continue;
          }
        }
        if (lead < 0x80) {
          out[written++] = static_cast<char16_t>(lead);
          ++k;
          continue;
        }
        if (k + 1 < n) {
          if (const uint16_t unit = platform::TwoByteUnit(*tables_, lead, p[k + 1])) {
            out[written++] = unit;
            k += 2;
            continue;
          }
        }
        // No escape reaches past this character boundary, so the rest unescapes on its own.
        const size_t rest = platform::Gb18030ToUtf16Into(std::string_view(text_ + start + k, n - k), out + written);
        written += unescape ? UnescapeInPlace(out + written, rest, decodeUnicode_) : rest;
        break;
      }
      return {out, written};
    } else if constexpr (unescape) {
      buffer.assign(text_ + start, static_cast<size_t>(length));
      buffer.resize(UnescapeInPlace(buffer.data(), buffer.size(), decodeUnicode_));
      return buffer;
    } else {
      (void)buffer;
      return {text_ + start, static_cast<size_t>(length)};
    }
  }

  // The escape starting with the backslash p[k] of the slice p[0, n): its unit (or the backslash
  // itself) is written to out, and the answer is where the slice goes on.
  size_t DecodeEscape(const unsigned char* p, size_t k, size_t n, char16_t* out, size_t& written) const {
    size_t consumed;
    const int decoded = EscapeAt(p, k, n, decodeUnicode_, &consumed);
    if (decoded < 0) {
      out[written++] = u'\\';
      return k + 1;
    }
    out[written++] = static_cast<char16_t>(decoded);
    return k + consumed;
  }

  // The current key, seen from scan position i: trimmed, then unescaped.
  std::u16string_view Key(ptrdiff_t i) {
    std::u16string_view key = TrimSpace(Slice(keyStart_, keyLength_, keyBuffer_));
    if (!MayHoldBackslash(keyStart_, keyLength_, i) || key.find(u'\\') == std::u16string_view::npos) return key;
    if constexpr (kBytes) {
      // The key already lies in the buffer: unescape it where it stands.
      char16_t* first = keyBuffer_.data() + (key.data() - keyBuffer_.data());
      return {first, UnescapeInPlace(first, key.size(), decodeUnicode_)};
    } else {
      keyBuffer_.assign(key);
      keyBuffer_.resize(UnescapeInPlace(keyBuffer_.data(), keyBuffer_.size(), decodeUnicode_));
      return keyBuffer_;
    }
  }

  int OpenContainer(ptrdiff_t i, bool object) {
    ZyValue* top = Top();
    lastContainer_ = top;
    if (!top) {
      Push(target_);
      if (object) EnsureObject(target_);
      else EnsureArray(target_);
    } else if (top->type == ZyType::Array) {
      ZyValue* s = object ? NewObject(top) : NewArray(top);
      if (const int rc = AddAsElement(top, s); rc != kParseOk) return rc;
      Push(s);
    } else {
      // An Object needs a key for the new container. An Array may take the empty unquoted key
      // ({[1]}); an Object needs a key with text, or a quoted empty key ({"":{}}).
      if (keyStart_ == -1) return kParseMissingKey;
      if (object && keyLength_ == 0 && !keyQuoted_) return kParseMissingKey;
      ZyValue* s = object ? NewObject(top) : NewArray(top);
      if (const int rc = AddAsMember(top, Key(i), s); rc != kParseOk) return rc;
      Push(s);
    }
    valueLength_ = 0;
    keyLength_ = 0;
    keyQuoted_ = false;
    afterColon_ = false;
    valueStart_ = object ? -1 : i + 1;
    keyStart_ = object ? i + 1 : -1;
    return kParseOk;
  }

  // The record of a trimmed bare token.
  ZyValue* BareRecord(std::u16string_view token, const ZyValue* near) {
    int64_t integer;
    if (ReadPlainInteger(token, &integer)) {
      ZyValue::Payload payload{};
      payload.integer = integer;
      return NewScalar(ZyType::Integer, payload, token, near);
    }
    return MakeRecord(ClassifyToken(token), token, near);
  }

  // Adding to a container of the kind the add wants is the common case and is done here
  // directly; anything else (a container the add converts) goes through the general operations.
  static int AddAsElement(ZyValue* container, ZyValue* record) {
    if (container->type == ZyType::Array && container->payload.list) {
      record->parent = container;
      container->payload.list->Append(record);
      return kParseOk;
    }
    if (AddElement(container, record)) return kParseOk;
    Release(record);
    return kParseAddFailed;
  }
  static int AddAsMember(ZyValue* container, std::u16string_view key, ZyValue* record) {
    if (container->type == ZyType::Object && container->payload.table) {
      record->parent = container;
      ZyValue* replaced = nullptr;
      container->payload.table->Set(key, record, &replaced);
      if (replaced) Release(replaced);
      return kParseOk;
    }
    if (SetMember(container, key, record)) return kParseOk;
    Release(record);
    return kParseAddFailed;
  }

  // Adds the value pending before the separator at i to the top container.
  int AddPendingValue(ptrdiff_t i, bool asElement, int kind) {
    if (kind != 4) valueLength_ = i - valueStart_;
    const bool unescape = kind == 4 && MayHoldBackslash(valueStart_, valueLength_, i);
    std::u16string_view value = unescape ? Slice<true>(valueStart_, valueLength_, valueBuffer_)
                                         : Slice(valueStart_, valueLength_, valueBuffer_);
    if (asElement) {
      if (kind == -1) {
        value = TrimSpace(value);
        if (value.empty()) return kParseOk;
      }
      ZyValue* container = Top();
      if (!container) return kParseUnbalanced;
      ZyValue* record = kind == -1 ? BareRecord(value, container) : MakeRecord(kind, value, container);
      return AddAsElement(container, record);
    }
    if (keyStart_ == -1) return kParseMissingKey;
    const std::u16string_view key = Key(i);
    if (kind == -1) value = TrimSpace(value);
    ZyValue* container = Top();
    if (!container) return kParseUnbalanced;
    ZyValue* record = kind == -1 ? BareRecord(value, container) : MakeRecord(kind, value, container);
    return AddAsMember(container, key, record);
  }

  ptrdiff_t SkipInString(ptrdiff_t i) {
    if constexpr (kBytes) return SkipBytes<kStopInString>(i);
    while (i < n_ && text_[i] != u'"' && text_[i] != u'\'' && text_[i] != u'\\') ++i;
    return i;
  }
  ptrdiff_t SkipOutside(ptrdiff_t i) {
    if constexpr (kBytes) return SkipBytes<kStopOutside>(i);
    while (i < n_ && !IsStructural(text_[i])) ++i;
    return i;
  }

  // The backslash rule, in or out of strings: before a quote or another backslash both
  // characters are passed over. Answers where the scan goes on.
  ptrdiff_t AfterBackslash(ptrdiff_t i) {
    const char16_t following = At(i + 1);
    lastBackslash_ = following == u'\\' ? i + 1 : i;
    return following == u'"' || following == u'\'' || following == u'\\' ? i + 2 : i + 1;
  }

  // A quote that opens (outside a string) or closes (the open quote again) a string.
  // Answers false when a top-level string ended the scan.
  bool Quote(ptrdiff_t i, char16_t ch) {
    const bool outside = quote_ == 0;
    ZyValue* top = Top();
    lastContainer_ = top;
    if (!top) {
      if (outside) {
        quote_ = ch;
        keyStart_ = i + 1;
        keyLength_ = 0;
        valueStart_ = -1;
        valueLength_ = 0;
        return true;
      }
      // A top-level string: its content exactly as written, and the rest is ignored.
      SetString(target_, Slice(keyStart_, i - keyStart_, valueBuffer_));
      return false;
    }
    if (top->type == ZyType::Object && !afterColon_) {
      if (outside) {
        quote_ = ch;
        keyStart_ = i + 1;
        keyLength_ = 0;
        keyQuoted_ = false;
        valueStart_ = -1;
        valueLength_ = 0;
      } else {
        keyLength_ = i - keyStart_;
        keyQuoted_ = true;
        quote_ = 0;
      }
      return true;
    }
    pendingKind_ = 4;
    if (outside) {
      quote_ = ch;
      valueStart_ = i + 1;
    } else {
      valueLength_ = i - valueStart_;
      quote_ = 0;
    }
    return true;
  }

  // The ':' rule.
  int Colon(ptrdiff_t i) {
    if (keyStart_ == -1) return kParseMissingKey;
    ZyValue* top = Top();
    lastContainer_ = top;
    if (!top) return kParseUnbalanced;
    if (top->type == ZyType::Array) return kParseColonInArray;
    afterColon_ = true;
    valueStart_ = i + 1;
    if (!keyQuoted_) keyLength_ = i - keyStart_;
    return kParseOk;
  }

  // The ',' rule.
  int Comma(ptrdiff_t i) {
    ZyValue* top = Top();
    lastContainer_ = top;
    if (!top) return kParseUnbalanced;
    int rc = kParseOk;
    if (valueStart_ == -1) {
      keyLength_ = 0;
      keyQuoted_ = false;
      valueStart_ = i + 1;
      keyStart_ = top->type == ZyType::Object ? i + 1 : -1;
    } else {
      rc = AddPendingValue(i, top->type == ZyType::Array, pendingKind_ == 4 ? 4 : -1);
      pendingKind_ = -1;
      afterColon_ = false;
      valueStart_ = keyStart_ = i + 1;
      keyLength_ = 0;
      keyQuoted_ = false;
    }
    return rc;
  }

  int Scan() {
    ptrdiff_t i = 0;
    for (;;) {
      if (quote_) {
        // Inside a string only its own quote and backslashes matter; the other quote is content.
        i = SkipInString(i);
        if (i >= n_) break;
        const char16_t ch = Unit(i);
        if (ch == u'\\') {
          i = AfterBackslash(i);
        } else if (ch == quote_) {
          if (!Quote(i, ch)) return kParseOk;
          ++i;
          // A key's colon usually comes right after its closing quote, and the value's opening
          // quote right after the colon: taken here, where the branch is easy to predict, exactly
          // as the next turns of the loop would take them.
          if (i < n_ && Unit(i) == u':') {
            if (const int rc = Colon(i); rc != kParseOk) return rc;
            ++i;
            if (i < n_ && Unit(i) == u'"') Quote(i++, u'"');  // opens, so it goes on
          }
        } else {
          ++i;
        }
        continue;
      }
      i = SkipOutside(i);
      if (i >= n_) break;
      int rc = kParseOk;
      switch (Unit(i)) {
        case u'{':
        case u'[':
          rc = OpenContainer(i, Unit(i) == u'{');
          break;
        case u'"':
        case u'\'':
          if (!Quote(i, Unit(i))) return kParseOk;
          break;
        case u':':
          rc = Colon(i);
          break;
        case u',':
          rc = Comma(i);
          break;
        case u'\\':
          i = AfterBackslash(i);
          continue;
        case u']':
          if (valueStart_ != -1) {
            if (pendingKind_ != 4) {
              valueLength_ = i - valueStart_;
              bool blank = true;
              for (ptrdiff_t k = valueStart_; k < i && blank; ++k) blank = Unit(k) <= 32;
              if (blank && At(valueStart_ - 1) != u'[') return kParseTrailingComma;
              pendingKind_ = -1;
            }
            rc = AddPendingValue(i, true, pendingKind_);
            pendingKind_ = -1;
            afterColon_ = false;
            keyStart_ = -1;
            keyLength_ = 0;
            keyQuoted_ = false;
            valueStart_ = -1;
            valueLength_ = 0;
          }
          Pop();
          break;
        case u'}':
          if (valueStart_ != -1) {
            rc = AddPendingValue(i, false, pendingKind_ == 4 ? 4 : -1);
            pendingKind_ = -1;
            afterColon_ = false;
            keyStart_ = -1;
            keyQuoted_ = false;
            valueStart_ = -1;
          }
          Pop();
          break;
        default:
          break;  // not reached: the skip stops only at the characters above
      }
      if (rc != kParseOk) return rc;
      ++i;
      // The opening quote of a key or value often follows at once (after ',', '{' or '[').
      if (!quote_ && i < n_ && Unit(i) == u'"') Quote(i++, u'"');
    }
    // The end of the text. When no container was ever touched, the whole text is one bare
    // scalar (also an unclosed top-level string); numbers get their own text form here.
    if (!lastContainer_) {
      const std::u16string_view token = TrimSpace(Slice(0, n_, valueBuffer_));
      switch (ClassifyToken(token)) {
        case 0: SetNull(target_); break;
        case 1: SetDouble(target_, TextToDouble(token)); break;
        case 2: SetInteger(target_, TextToInteger(token)); break;
        case 3: SetBool(target_, token == u"true"); break;
        default: SetRaw(target_, token); break;
      }
    }
    return kParseOk;
  }

  ZyValue* target_;
  const Char* text_;
  ptrdiff_t n_;
  bool decodeUnicode_;
  std::vector<ZyValue*> stack_;  // open containers, innermost last
  ZyValue* top_ = nullptr;       // the innermost one
  std::u16string keyBuffer_;
  std::u16string valueBuffer_;
  const platform::Gb18030Tables* tables_ = kBytes ? &platform::Gb18030() : nullptr;
  // The byte scanner's candidate masks of the 64 bytes from blockBase_.
  ptrdiff_t blockBase_ = -1;
  uint64_t blockInString_ = 0;
  uint64_t blockOutside_ = 0;
  uint64_t blockTrailRisk_ = 0;

  char16_t quote_ = 0;
  ptrdiff_t keyStart_ = -1;
  ptrdiff_t keyLength_ = 0;
  bool keyQuoted_ = false;  // the key's length was set by its closing quote
  ptrdiff_t valueStart_ = -1;
  ptrdiff_t valueLength_ = 0;
  bool afterColon_ = false;
  int pendingKind_ = -1;
  ZyValue* lastContainer_ = nullptr;
  // The position of the last backslash passed. Every backslash before the scan position has
  // passed AfterBackslash, so a slice that ends before the scan position and starts after this
  // one has none. (Slices can reach past the scan position: a string's length may outlive its start.)
  ptrdiff_t lastBackslash_ = -1;
  // Whether the slice [start, start + length) may hold a backslash, seen from scan position i.
  bool MayHoldBackslash(ptrdiff_t start, ptrdiff_t length, ptrdiff_t i) const {
    return lastBackslash_ >= start || start + length > i;
  }
};

}  // namespace

int ParseInto(ZyValue* target, const char16_t* text, size_t n, bool decodeUnicode) {
  if (n == 0) return kParseOk;
  if (!target || !text) return kParseNoInput;
  return Scanner<char16_t>(target, text, n, decodeUnicode).Run();
}

int ParseInto(ZyValue* target, std::string_view gb18030, bool decodeUnicode) {
  if (gb18030.empty()) return kParseOk;
  if (!target) return kParseNoInput;
  return Scanner<char>(target, gb18030.data(), gb18030.size(), decodeUnicode).Run();
}

void Unescape(std::u16string& text, bool decodeUnicode) {
  text.resize(UnescapeInPlace(text.data(), text.size(), decodeUnicode));
}

size_t UnescapeInPlace(char16_t* text, size_t n, bool decodeUnicode) {
  size_t i = 0;
  while (i < n && text[i] != u'\\') ++i;
  size_t out = i;  // nothing moves before the first backslash
  while (i < n) {
    if (text[i] != u'\\') {
      text[out++] = text[i++];
      continue;
    }
    size_t consumed;
    const int decoded = EscapeAt(text, i, n, decodeUnicode, &consumed);
    if (decoded < 0) {
      text[out++] = u'\\';  // the backslash stays; the search resumes right after it
      ++i;
    } else {
      text[out++] = static_cast<char16_t>(decoded);
      i += consumed;
    }
  }
  return out;
}

}  // namespace qoxa::zy
