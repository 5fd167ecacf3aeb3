#pragma once
// The containment test of find in tree, on GB18030 byte text.
#include <string_view>

namespace qoxa::app {

// True when `part` occurs in `text` starting at a character boundary: bytes compared exactly
// (case-sensitive), a byte from 0x80 up starting a two-byte unit that a match never starts
// inside. An empty part occurs nowhere.
bool ContainsAtCharBoundary(std::string_view text, std::string_view part);

// Find in tree's test: as ContainsAtCharBoundary, except that an empty find text is contained
// in every label that is not empty.
bool LabelContains(std::string_view label, std::string_view findText);

}  // namespace qoxa::app
