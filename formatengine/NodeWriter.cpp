// The codec's writer and its string escaping.
#include <algorithm>
#include <strings.h>

#include "formatengine/ByteText.h"
#include "formatengine/JsonCodec.h"
#include "formatengine/NumberText.h"

namespace qoxa::format {

namespace {

enum class WriteKind { Long, Double, String, Array, Object, Bool, Null, Nothing };

// The type word compared with letter case ignored, in the writer's order.
WriteKind KindOf(const JsonNode& node) {
  using Word = JsonNode::Word;
  switch (node.TypeCode()) {
    case Word::Long: return WriteKind::Long;
    case Word::Double: return WriteKind::Double;
    case Word::String: return WriteKind::String;
    case Word::Array: return WriteKind::Array;
    case Word::Object: return WriteKind::Object;
    case Word::Bool: return WriteKind::Bool;
    case Word::Null: return WriteKind::Null;
    case Word::Unknow: return WriteKind::Nothing;
    case Word::Other: break;
  }
  static constexpr std::pair<const char*, WriteKind> kWords[] = {
      {"long", WriteKind::Long},     {"double", WriteKind::Double}, {"string", WriteKind::String},
      {"array", WriteKind::Array},   {"object", WriteKind::Object}, {"bool", WriteKind::Bool},
      {"null", WriteKind::Null}};
  const std::string& type = node.TypeWord();
  for (const auto& [word, kind] : kWords)
    if (type.size() == std::char_traits<char>::length(word) && strncasecmp(type.data(), word, type.size()) == 0)
      return kind;
  return WriteKind::Nothing;
}

}  // namespace

std::string JsonCodec::Format(const JsonNode& node, bool pretty, bool sortMembers, int level) const {
  std::string builder = IndentText(pretty, level);
  WriteTree(node, pretty, sortMembers, level, builder);
  return builder;
}

std::string JsonCodec::WriteNode(const JsonNode& node, bool pretty, bool sortMembers, int level, std::string& builder,
                                 bool outermost) const {
  if (outermost) builder += IndentText(pretty, level);
  WriteTree(node, pretty, sortMembers, level, builder);
  return outermost ? builder : std::string();
}

// Writes the tree with an explicit stack instead of recursion, so that any depth is safe, and
// reads the children in place instead of through copies.
void JsonCodec::WriteTree(const JsonNode& root, bool pretty, bool sortMembers, int rootLevel, std::string& out) const {
  using Member = std::pair<const std::string*, const JsonNode*>;
  struct Frame {
    const JsonNode* node;
    int level;
    bool array;
    size_t index = 0;
    size_t count = 0;
    std::vector<Member> sorted;  // members in SortTexts order, when asked for
  };
  const std::string_view lineBreak = pretty ? "\r\n" : "";
  std::string indents;  // indentUnit repeated for the deepest level seen so far
  auto indent = [&](int level) {
    if (!pretty || level <= 0 || indentUnit.empty()) return;
    const size_t size = static_cast<size_t>(level) * indentUnit.size();
    while (indents.size() < size) indents += indentUnit;
    out.append(indents, 0, size);
  };
  std::vector<Frame> stack;
  auto close = [&](int level, char bracket) {
    out += lineBreak;
    indent(level);
    out += bracket;
  };
  auto writeValue = [&](const JsonNode& node, int level) {
    switch (KindOf(node)) {
      case WriteKind::Long:
        if (node.IsPlainNumber())
          out += node.ValueText();
        else
          AppendLong(out, node.GetLong());
        break;
      case WriteKind::Double:
        if (node.IsPlainNumber())
          out += node.ValueText();
        else
          AppendDouble(out, node.GetDouble());
        break;
      case WriteKind::String:
        out += '"';
        AppendEscaped(out, node.ValueText());
        out += '"';
        break;
      case WriteKind::Array: {
        out += '[';
        out += lineBreak;
        const size_t count = static_cast<size_t>(node.Count());
        if (count == 0) {
          close(level, ']');
          break;
        }
        stack.push_back({&node, level, true, 0, count, {}});
        break;
      }
      case WriteKind::Object: {
        out += '{';
        out += lineBreak;
        const auto& members = node.StoredMembers();
        const size_t count = node.TypeCode() == JsonNode::Word::Object ? members.size() : 0;
        if (count == 0) {
          close(level, '}');
          break;
        }
        Frame frame{&node, level, false, 0, count, {}};
        if (sortMembers) {
          frame.sorted.reserve(count);
          for (const auto& [name, child] : members) frame.sorted.emplace_back(&name, &child);
          // Same result as the bubble sort of SortTexts: that sort only swaps neighbours that
          // compare greater, so it is stable, and a stable sort's result is unique.
          std::stable_sort(frame.sorted.begin(), frame.sorted.end(),
                           [](const Member& a, const Member& b) { return CompareCharwise(*a.first, *b.first) < 0; });
        }
        stack.push_back(std::move(frame));
        break;
      }
      case WriteKind::Bool: out += node.GetBool() ? "true" : "false"; break;
      case WriteKind::Null: out += "null"; break;
      case WriteKind::Nothing: break;
    }
  };

  writeValue(root, rootLevel);
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.index == f.count) {
      close(f.level, f.array ? ']' : '}');
      stack.pop_back();
      continue;
    }
    if (f.index > 0) {
      out += ',';
      out += lineBreak;
    }
    indent(f.level + 1);
    const JsonNode* child;
    if (f.array) {
      child = &f.node->StoredElements()[f.index];
    } else {
      const std::string* name;
      if (sortMembers) {
        name = f.sorted[f.index].first;
        child = f.sorted[f.index].second;
      } else {
        const JsonNode::NamedNode& member = f.node->StoredMembers()[f.index];
        name = &member.first;
        child = &member.second;
      }
      out += '"';
      AppendEscaped(out, *name);
      out += pretty ? "\" : " : "\":";
    }
    ++f.index;
    writeValue(*child, f.level + 1);  // may push a frame: `f` is not used after this
  }
}

std::string JsonCodec::QuoteText(std::string& s) const {
  std::string escaped;
  escaped.reserve(s.size() + 8);
  AppendEscaped(escaped, s);
  s = escaped;
  return '"' + escaped + '"';
}

std::string JsonCodec::UnquoteText(std::string& s) const {
  std::string t = ReplacePair(s, '\\', '"', "\"");
  t = ReplacePair(t, '\\', '/', "/");
  t = ReplacePair(t, '\\', 'r', "\r");
  t = ReplacePair(t, '\\', 'n', "\n");
  t = ReplacePair(t, '\\', 't', "\t");
  t = ReplacePair(t, '\\', 'b', "\b");
  t = ReplacePair(t, '\\', 'f', "\f");
  t = ReplacePair(t, '\\', '\\', "\\");
  s = t;
  return t;
}

std::string JsonCodec::IndentText(bool pretty, int level) const {
  std::string out;
  if (pretty)
    for (int i = 0; i < level; ++i) out += indentUnit;
  return out;
}

void JsonCodec::SortTexts(std::vector<std::string>& list, bool descending) const {
  // A stable sort with the same comparison gives exactly the bubble sort's result (that bubble
  // sort swaps only neighbours that compare greater, or less when descending, so it is stable).
  std::stable_sort(list.begin(), list.end(), [descending](const std::string& a, const std::string& b) {
    const int c = CompareCharwise(a, b);
    return descending ? c > 0 : c < 0;
  });
}

}  // namespace qoxa::format
