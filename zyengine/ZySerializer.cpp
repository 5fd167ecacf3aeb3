#include "zyengine/ZySerializer.h"

#include <vector>

#include "zyengine/ZyList.h"
#include "zyengine/ZyTable.h"
#include "zyengine/ZyValue.h"

namespace qoxa::zy {
namespace {

char16_t EscapeLetter(char16_t c) {
  switch (c) {
    case u'\\': return u'\\';
    case u'/': return u'/';
    case u'"': return u'"';
    case 8: return u'b';
    case 9: return u't';
    case 10: return u'n';
    case 13: return u'r';
    case 12: return u'f';
    default: return 0;
  }
}

template <class Builder>
void EscapeInto(std::u16string_view text, Builder& out) {
  size_t runStart = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c > u'\\' || (c > u'/' && c < u'\\') || (c > u'"' && c < u'/') || c == u' ' || c == u'!') continue;
    const char16_t letter = EscapeLetter(c);
    if (!letter) continue;
    out.Append(text.substr(runStart, i - runStart));
    out.Append(u'\\');
    out.Append(letter);
    runStart = i + 1;
  }
  out.Append(text.substr(runStart));
}

template <class Builder>
void WriteString(std::u16string_view text, Builder& out, bool escape) {
  out.Append(u'"');
  if (escape) EscapeInto(text, out);
  else out.Append(text);
  out.Append(u'"');
}

struct Frame {
  const ZyValue* container;
  const ZyList* items;  // elements of an Array, member order of an Object
  int32_t next;         // how many items have been started
};

}  // namespace

void EscapeText(std::u16string_view text, ZyTextBuilder& out) { EscapeInto(text, out); }
void EscapeText(std::u16string_view text, ZyByteBuilder& out) { EscapeInto(text, out); }

std::u16string EscapeText(std::u16string_view text) {
  ZyTextBuilder out;
  EscapeText(text, out);
  return std::u16string(out.View());
}

namespace {

template <class Builder>
void SerializeInto(const ZyValue* root, Builder& out, bool pretty, int depth, bool escape) {
  std::vector<Frame> stack;
  // Writes a scalar whole, or the opening of a container and pushes it.
  auto begin = [&](const ZyValue* v) {
    switch (v->type) {
      case ZyType::Null: out.Append(u"null"); break;
      case ZyType::Bool: out.Append(v->payload.flag ? std::u16string_view(u"true") : u"false"); break;
      case ZyType::String: WriteString(v->text, out, escape); break;
      case ZyType::Array:
        if (!v->payload.list) break;
        out.Append(u'[');
        ++depth;
        stack.push_back({v, v->payload.list, 0});
        break;
      case ZyType::Object:
        if (!v->payload.table) break;
        out.Append(u'{');
        if (pretty) out.Append(u"\r\n");
        ++depth;
        stack.push_back({v, &v->payload.table->Order(), 0});
        break;
      default: out.Append(v->text); break;  // Double, Integer, Raw: the text form as stored
    }
  };
  begin(root);
  while (!stack.empty()) {
    Frame& f = stack.back();
    const int32_t count = f.items->Count();
    if (f.container->type == ZyType::Array) {
      if (f.next < count) {
        if (f.next > 0) out.Append(u',');
        begin(f.items->At(f.next++));
        continue;
      }
      --depth;
      out.Append(u']');
    } else {
      // Each member but the first is preceded by ',' and a line break; the last is followed by one.
      if (f.next < count) {
        if (f.next > 0) {
          out.Append(u',');
          if (pretty) out.Append(u"\r\n");
        }
        if (pretty && depth > 0) out.AppendRepeated(u'\t', static_cast<size_t>(depth));
        const ZyValue* member = f.items->At(f.next++);
        WriteString(member->key, out, escape);
        out.Append(u':');
        begin(member);
        continue;
      }
      if (pretty && count > 0) out.Append(u"\r\n");
      --depth;
      if (pretty && depth > 0) out.AppendRepeated(u'\t', static_cast<size_t>(depth));
      out.Append(u'}');
    }
    stack.pop_back();
  }
}

}  // namespace

void Serialize(const ZyValue* v, ZyTextBuilder& out, bool pretty, int depth, bool escape) {
  SerializeInto(v, out, pretty, depth, escape);
}

void Serialize(const ZyValue* v, ZyByteBuilder& out, bool pretty, int depth, bool escape) {
  SerializeInto(v, out, pretty, depth, escape);
}

}  // namespace qoxa::zy
