#pragma once
// The compact command's work on the byte text (GB18030).
#include <string>
#include <string_view>

namespace qoxa::format {

// Removes every run of white space (space, tab, line feed, vertical tab, form feed, carriage
// return) that directly follows "{" or "," or directly precedes "}", everywhere in the text,
// strings included; nothing else changes, and nothing checks that the text is JSON. This is the
// result of the three replacements {(\s+) -> "{", ,(\s+) -> "," and (\s+)} -> "}" applied in that
// order, computed in one pass over the characters: a byte that is part of a two- or four-byte
// character is never taken for a brace, and bytes that form no character are kept as they are.
std::string CompactWhiteSpace(std::string_view text);

}  // namespace qoxa::format
