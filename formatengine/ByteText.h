#pragma once
// Character-wise helpers for the engines' byte text: a byte of 0x80 or above starts a two-byte
// character that is always taken whole, so its second byte (which may be 0x5C, the backslash)
// is never seen as a character of its own.
#include <string>
#include <string_view>

namespace qoxa::format {

inline bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// Replaces every occurrence of the two ASCII characters `first` `second` that starts at a
// character boundary by `to`, scanning from the left and continuing behind each replacement.
std::string ReplacePair(std::string_view text, char first, char second, std::string_view to);

// Appends `text` with \ " / CR LF TAB BS FF escaped (nothing else, no \u escapes).
void AppendEscaped(std::string& out, std::string_view text);

// Compares character by character, a two-byte character as one 16-bit code; a text that is a
// prefix of the other comes first. Returns <0, 0 or >0.
int CompareCharwise(std::string_view a, std::string_view b);

}  // namespace qoxa::format
