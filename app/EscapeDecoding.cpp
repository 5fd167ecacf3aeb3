#include "app/EscapeDecoding.h"

#include <cstdint>

#include "platform/CodePage.h"

namespace qoxa::app {
namespace {

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The code unit of a "\uXXXX" at `at`, or -1 when there is none.
int32_t EscapedUnit(std::string_view text, size_t at) {
  if (at + 6 > text.size() || text[at] != '\\' || text[at + 1] != 'u') return -1;
  int32_t unit = 0;
  for (size_t i = at + 2; i < at + 6; ++i) {
    const int digit = HexValue(static_cast<unsigned char>(text[i]));
    if (digit < 0) return -1;
    unit = unit * 16 + digit;
  }
  return unit;
}

bool IsHighSurrogate(int32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(int32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Escapes that must stay escaped for the text to remain valid JSON: controls, quote, backslash.
bool KeepsItsEscape(int32_t unit) { return unit < 0x20 || unit == '"' || unit == '\\'; }

}  // namespace

bool ContainsBackslashU(std::string_view text) { return text.find("\\u") != std::string_view::npos; }

bool ContainsPercentE(std::string_view text) { return text.find("%E") != std::string_view::npos; }

std::string DecodeEscapes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::u16string decoded;  // a run of decoded escapes, converted at once when the run ends
  size_t copiedUpTo = 0;
  const size_t n = text.size();
  size_t i = 0;

  auto flushDecoded = [&] {
    if (decoded.empty()) return;
    out += platform::Utf16ToGb18030(decoded);
    decoded.clear();
  };

  while (i < n) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x81) {  // a two-byte unit: its second byte may be 0x5C without being a backslash
      i += 2;
      continue;
    }
    if (c != '\\') {
      ++i;
      continue;
    }
    const int32_t unit = EscapedUnit(text, i);
    size_t length = 6;
    char32_t character = static_cast<char32_t>(unit);
    bool decode = unit >= 0 && !KeepsItsEscape(unit) && !IsLowSurrogate(unit);
    if (decode && IsHighSurrogate(unit)) {
      const int32_t low = EscapedUnit(text, i + 6);
      decode = IsLowSurrogate(low);
      length = 12;
      character = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (static_cast<char32_t>(low) - 0xDC00);
    }
    if (!decode) {
      // The backslash escapes the next character, which is therefore never an escape itself.
      i += (i + 1 < n && static_cast<unsigned char>(text[i + 1]) < 0x80) ? 2 : 1;
      continue;
    }
    if (copiedUpTo < i) {
      flushDecoded();
      out.append(text.data() + copiedUpTo, i - copiedUpTo);
    }
    if (character >= 0x10000) {
      decoded += static_cast<char16_t>(unit);
      decoded += static_cast<char16_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
    } else {
      decoded += static_cast<char16_t>(character);
    }
    i += length;
    copiedUpTo = i;
  }
  flushDecoded();
  if (copiedUpTo < n) out.append(text.data() + copiedUpTo, n - copiedUpTo);
  return out;
}

std::string Utf8ToAnsi(std::string_view text) {
  if (!platform::HasNonAscii(text) || !platform::IsValidUtf8(text)) return std::string(text);
  return platform::Utf8ToGb18030(text);
}

}  // namespace qoxa::app
