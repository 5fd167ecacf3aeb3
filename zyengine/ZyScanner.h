#pragma once
// The lenient JSON scanner: one left-to-right pass over UTF-16 text, or over GB18030 bytes
// (converting only the keys and values it keeps), with a stack of open containers. It accepts
// single and double quotes, unquoted keys and bare tokens, ignores text after the top-level
// value, and decides value types from the token text.
#include <cstddef>
#include <string>
#include <string_view>

namespace qoxa::zy {

struct ZyValue;

// Result codes of ParseInto.
enum ZyParseResult : int {
  kParseOk = 0,
  kParseAddFailed = -1,
  kParseNoInput = -2,
  kParseNoMemory = -3,
  kParseMissingKey = -4,
  kParseUnbalanced = -5,
  kParseTrailingComma = -7,
  kParseColonInArray = -8,
};

// Parses text[0, n) into target (n = 0 answers 0 and leaves target alone). On failure the target
// is reset (its children released, its type kept) and the code answered.
//
// Depth: the open containers live on a heap-allocated stack, and releasing, copying and writing
// documents never recurse, so nesting depth is limited by memory only.
int ParseInto(ZyValue* target, const char16_t* text, size_t n, bool decodeUnicode);
// The same on GB18030 text, with the result of parsing its UTF-16 conversion.
int ParseInto(ZyValue* target, std::string_view gb18030, bool decodeUnicode);

// Removes carriage return, line feed, tab and space from both ends.
inline std::u16string_view TrimSpace(std::u16string_view text) {
  const auto trimmed = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
  size_t first = 0, last = text.size();
  while (first < last && trimmed(text[first])) ++first;
  while (last > first && trimmed(text[last - 1])) --last;
  return text.substr(first, last - first);
}
// Decodes \\ \/ \" \b \t \n \r \f in place, and \uXXXX when decodeUnicode; other sequences stay.
void Unescape(std::u16string& text, bool decodeUnicode);
// The same on text[0, n); answers the new length.
size_t UnescapeInPlace(char16_t* text, size_t n, bool decodeUnicode);

}  // namespace qoxa::zy
