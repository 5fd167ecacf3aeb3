// Paths of the queries, resolved step by step from a start node.
//
// A path is a sequence of steps:
//   name        a member name: the bytes up to the next `.` or `[` (only as the first step)
//   .name       a member name after a `.`; a path may also start with the `.`
//   ['name']    a member name in brackets and single or double quotes: any bytes up to the
//   ["name"]    matching quote directly followed by `]`, so names may hold `.` and `[`
//   [n]         a 1-based element number, decimal digits only
// A lead byte from 0x81 up takes the next byte along, so a two-byte character never ends a
// name. There are no escapes. Malformed paths (an empty name, an unclosed bracket, anything
// but digits or a quoted name in brackets, a number beyond 32 bits) resolve to nothing.
// Resolution: a name step on an object gives its first member of that name, an element step
// on an array its element; a step on any other node, or one that finds nothing, gives 0.
#include "treeengine/JsonDoc.h"

namespace qoxa::tree {
namespace {

bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x81; }

// The end of a plain name that starts at `at`.
size_t PlainNameEnd(std::string_view path, size_t at) {
  while (at < path.size() && path[at] != '.' && path[at] != '[') at += IsLeadByte(path[at]) ? 2 : 1;
  return at < path.size() ? at : path.size();
}

}  // namespace

int JsonDoc::SplitPath(std::string_view path, std::vector<PathSegment>& segments) {
  segments.clear();
  size_t at = 0;
  while (at < path.size()) {
    PathSegment segment;
    if (path[at] == '[') {
      ++at;
      if (at < path.size() && (path[at] == '\'' || path[at] == '"')) {
        const char quote = path[at++];
        const size_t nameStart = at;
        while (at < path.size() && !(path[at] == quote && at + 1 < path.size() && path[at + 1] == ']')) {
          at += IsLeadByte(path[at]) ? 2 : 1;
        }
        if (at >= path.size()) return -1;
        segment.name = std::string(path.substr(nameStart, at - nameStart));
        at += 2;
      } else {
        int64_t number = 0;
        const size_t digitsStart = at;
        while (at < path.size() && path[at] >= '0' && path[at] <= '9') {
          number = number * 10 + (path[at++] - '0');
          if (number > INT32_MAX) return -1;
        }
        if (at == digitsStart || at >= path.size() || path[at] != ']') return -1;
        ++at;
        segment.kind = PathSegment::Kind::Element;
        segment.element = static_cast<int32_t>(number);
      }
    } else {
      if (path[at] == '.') {
        ++at;
      } else if (!segments.empty()) {
        return -1;  // after a bracket step, a name needs its `.`
      }
      const size_t nameEnd = PlainNameEnd(path, at);
      if (nameEnd == at) return -1;
      segment.name = std::string(path.substr(at, nameEnd - at));
      at = nameEnd;
    }
    segments.push_back(std::move(segment));
  }
  return static_cast<int>(segments.size());
}

int JsonDoc::FindFrom(int start, std::string_view path) const {
  if (start == 0) start = 1;
  if (Value(start) == nullptr) return 0;
  std::vector<PathSegment> segments;
  if (SplitPath(path, segments) < 0) return 0;
  int node = start;
  for (const PathSegment& segment : segments) {
    node = segment.kind == PathSegment::Kind::Name ? MemberByName({}, node, segment.name)
                                                   : ElementAt({}, node, segment.element);
    if (node == 0) return 0;
  }
  return node;
}

}  // namespace qoxa::tree
