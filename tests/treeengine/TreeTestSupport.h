#pragma once
// Helpers for the tree engine tests: GB18030 conversion of expectations and a compact
// rendering of a parsed document.
#include <string>
#include <string_view>
#include <vector>

#include "platform/CodePage.h"
#include "treeengine/JsonDoc.h"

namespace qoxa::tree::testing {

inline std::string Gb(std::string_view utf8) { return platform::Utf8ToGb18030(utf8); }
inline std::string Utf8(std::string_view gb) { return platform::Gb18030ToUtf8(gb); }

// The node and everything below it, members in listing order, as UTF-8: {a:1,b:["x",null]}.
inline std::string Render(const JsonDoc& doc, int node) {
  switch (doc.TypeOf({}, node)) {
    case 1: {
      std::vector<std::string> names;
      doc.MemberNames({}, node, names);
      std::string out = "{";
      for (const std::string& name : names) {
        if (out.size() > 1) out += ",";
        out.append(Utf8(name)).append(":").append(Render(doc, doc.MemberByName({}, node, name)));
      }
      return out + "}";
    }
    case 2: {
      std::string out = "[";
      for (int i = 1; i <= doc.ElementCount({}, node); ++i) {
        out.append(i > 1 ? "," : "").append(Render(doc, doc.ElementAt({}, node, i)));
      }
      return out + "]";
    }
    case 3:
      return std::string("\"").append(Utf8(doc.ValueText({}, node))).append("\"");
    case -1:
      return "<none>";
    default:
      return doc.ValueText({}, node);
  }
}

inline std::string Render(const JsonDoc& doc) { return doc.ValueCount() == 0 ? "<empty>" : Render(doc, 1); }

}  // namespace qoxa::tree::testing
