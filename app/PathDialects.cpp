#include "app/PathDialects.h"

#include <cstddef>
#include <string>

#include "scripthost/Regex.h"

namespace qoxa::app {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

size_t UnitLength(std::string_view text, size_t at) {
  return static_cast<unsigned char>(text[at]) >= 0x80 && at + 1 < text.size() ? 2 : 1;
}

bool MatchesAt(std::string_view text, size_t at, std::string_view part, bool ignoreCase) {
  if (text.size() - at < part.size()) return false;
  for (size_t i = 0; i < part.size(); ++i) {
    const char a = text[at + i];
    const char b = part[i];
    if (a == b) continue;
    if (!ignoreCase || LowerAscii(a) != LowerAscii(b)) return false;
  }
  return true;
}

// The next match of `part` at a character boundary at or after `from` (itself a boundary), or npos.
size_t FindAtBoundary(std::string_view text, std::string_view part, size_t from, bool ignoreCase) {
  for (size_t at = from; at < text.size(); at += UnitLength(text, at)) {
    if (MatchesAt(text, at, part, ignoreCase)) return at;
  }
  return std::string_view::npos;
}

// "n + 1" for a run of ASCII digits, without leading zeros.
std::string Incremented(std::string_view digits) {
  size_t first = 0;
  while (first + 1 < digits.size() && digits[first] == '0') ++first;
  std::string n(digits.substr(first));
  for (size_t i = n.size(); i-- > 0;) {
    if (n[i] != '9') {
      ++n[i];
      return n;
    }
    n[i] = '0';
  }
  n.insert(n.begin(), '1');
  return n;
}

bool IsNameByte(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '$';
}

}  // namespace

int CountOccurrences(std::string_view text, std::string_view part) {
  if (text.empty() || part.empty()) return 0;
  int count = 0;
  for (size_t at = FindAtBoundary(text, part, 0, true); at != std::string_view::npos;
       at = FindAtBoundary(text, part, at + part.size(), true)) {
    ++count;
  }
  return count;
}

std::string ReplaceAll(std::string_view text, std::string_view part, std::string_view replacement) {
  if (part.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t from = 0;
  for (size_t at = FindAtBoundary(text, part, 0, false); at != std::string_view::npos;
       at = FindAtBoundary(text, part, from, false)) {
    out.append(text.substr(from, at - from));
    out.append(replacement);
    from = at + part.size();
  }
  out.append(text.substr(from));
  return out;
}

std::string ConvertBrackets(std::string_view path) {
  const int count = CountOccurrences(path, "['");
  if (count == 0) return std::string(path);
  const std::string dotted = ReplaceAll(path, "['", count == 1 ? "" : ".");
  return ReplaceAll(dotted, "']", "");
}

std::string RaiseElementIndexes(std::string_view path, script::Regex& regex) {
  if (!regex.Execute("\\[(\\d+)\\]", path)) return std::string(path);
  std::string out;
  size_t from = 0;
  const int matches = regex.MatchCount();
  for (int i = 1; i <= matches; ++i) {
    int position = -1;
    const std::string match = regex.MatchText(i, &position);
    if (position < 0 || static_cast<size_t>(position) < from) continue;
    out.append(path.substr(from, static_cast<size_t>(position) - from));
    out += '[';
    out += Incremented(regex.SubMatchText(i, 1));
    out += ']';
    from = static_cast<size_t>(position) + match.size();
  }
  out.append(path.substr(std::min(from, path.size())));
  return out;
}

bool IsReadOnlyJyPath(std::string_view path) {
  size_t at = 0;
  const size_t n = path.size();
  bool first = true;
  while (at < n) {
    if (path[at] == '[') {
      if (at + 1 < n && path[at + 1] == '\'') {
        const size_t close = path.find("']", at + 2);
        if (close == std::string_view::npos) return false;
        for (char c : path.substr(at + 2, close - at - 2)) {
          if (c == '\'' || c == '\\' || c == '\n' || c == '\r') return false;
        }
        at = close + 2;
      } else {
        size_t end = at + 1;
        while (end < n && path[end] >= '0' && path[end] <= '9') ++end;
        if (end == at + 1 || end >= n || path[end] != ']') return false;
        at = end + 1;
      }
    } else {
      if (!first) {
        if (path[at] != '.') return false;
        ++at;
      }
      const size_t start = at;
      while (at < n && IsNameByte(path[at])) ++at;
      if (at == start) return false;
    }
    first = false;
  }
  return true;
}

}  // namespace qoxa::app
