#pragma once
// Text helpers of node selection: counting and replacing parts of a GB18030 path, and the
// rewriting steps that turn a path of the path table into the zy, hx and E2EE dialects.
#include <string>
#include <string_view>

namespace qoxa::script { class Regex; }

namespace qoxa::app {

// How often `part` occurs in `text`, counted from the start without overlaps: after each find
// the search goes on just after it. ASCII letters compare without regard to case; a match
// starts only at a character boundary (a byte from 0x80 up starts a two-byte unit). 0 when
// either text is empty.
int CountOccurrences(std::string_view text, std::string_view part);

// Every occurrence of `part` (exact bytes, at character boundaries, left to right without
// overlaps) replaced by `replacement`.
std::string ReplaceAll(std::string_view text, std::string_view part, std::string_view replacement);

// The bracketed member names of a path in the dotted form: when the path holds "['", every
// "['" is dropped when there is exactly one, or becomes "." when there are more; then every
// "']" goes. A path without "['" comes back unchanged.
std::string ConvertBrackets(std::string_view path);

// Every element index [n] of the path raised by one (E2EE counts elements from 1). The
// occurrences are found with `regex` and each is replaced where it stands, so
// "[0].a[0].b[1]" becomes "[1].a[1].b[2]". n + 1 is written in decimal without leading zeros,
// however many digits n has.
std::string RaiseElementIndexes(std::string_view path, script::Regex& regex);

// Whether a jy path only reads: it is appended to the script variable as written, so a path of
// any other shape might assign to it. Read-only paths are dotted names of ASCII letters, digits,
// "_" and "$", [digits], and ['name'] with no quote, backslash or line break inside the name.
bool IsReadOnlyJyPath(std::string_view path);

}  // namespace qoxa::app
