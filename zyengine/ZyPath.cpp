#include "zyengine/ZyPath.h"

#include <limits>

#include "zyengine/ZyList.h"
#include "zyengine/ZyTable.h"
#include "zyengine/ZyValue.h"

namespace qoxa::zy {
namespace {

bool IsEscapable(char16_t c) { return c == u'.' || c == u'[' || c == u']' || c == u'\\'; }

// An optional '-' and the digits up to the first non-digit; 0 without digits. Saturates.
int32_t ReadIndex(std::u16string_view text) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == u'-';
  if (negative) ++i;
  int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > std::numeric_limits<int32_t>::max()) value = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

}  // namespace

std::vector<ZyPathStep> TokenizePath(std::u16string_view path) {
  std::vector<ZyPathStep> steps;
  if (path.empty()) return steps;
  // `text` is the path with its escaping backslashes removed; positions below refer to it.
  // `plain` marks the characters that came from an escape and are never structural.
  std::u16string text;
  std::vector<bool> plain;
  text.reserve(path.size());
  for (size_t r = 0; r < path.size(); ++r) {
    const bool escape = path[r] == u'\\' && r + 1 < path.size() && IsEscapable(path[r + 1]);
    if (escape) ++r;
    text.push_back(path[r]);
    plain.push_back(escape);
  }
  const size_t n = text.size();
  size_t segmentStart = 0, bracketStart = 0;
  bool inBracket = false;
  auto addKey = [&](size_t end) {
    if (end > segmentStart) steps.push_back({ZyPathStep::kKey, text.substr(segmentStart, end - segmentStart), 0});
  };
  for (size_t j = 0; j <= n; ++j) {
    const char16_t ch = j < n && !plain[j] ? text[j] : (j == n ? u'\0' : u'a');
    if (j == n || ch == u'.') {
      addKey(j);
      segmentStart = j + 1;
    } else if (ch == u'[') {
      bracketStart = j + 1;
      addKey(j);
      inBracket = true;
      segmentStart = bracketStart;
    } else if (ch == u']') {
      if (inBracket) {
        const std::u16string_view digits = std::u16string_view(text).substr(bracketStart, j - std::min(j, bracketStart));
        steps.push_back({ZyPathStep::kIndex, {}, ReadIndex(digits)});
      }
      segmentStart = j + 1;
    }
  }
  return steps;
}

ZyValue* Resolve(ZyValue* start, std::u16string_view path) {
  ZyValue* v = start;
  for (const ZyPathStep& step : TokenizePath(path)) {
    if (!v) break;
    if (step.kind == ZyPathStep::kKey) v = FindMember(v, step.key);
    else v = ChildAt(v, step.index);
  }
  return v;
}

ZyValue* ResolveOrCreate(ZyValue* start, std::u16string_view path) {
  ZyValue* v = start;
  for (const ZyPathStep& step : TokenizePath(path)) {
    if (!v) break;
    if (step.kind == ZyPathStep::kKey) {
      EnsureObject(v);
      ZyValue* member = FindMember(v, step.key);
      if (!member) {
        member = NewNull(v);
        SetMember(v, step.key, member);
      }
      v = member;
    } else {
      if (step.index < 0) return nullptr;
      EnsureArray(v);
      while (v->payload.list->Count() <= step.index) AddElement(v, NewNull(v));
      v = v->payload.list->At(step.index);
    }
  }
  return v;
}

}  // namespace qoxa::zy
