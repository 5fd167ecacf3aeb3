// The codec's parse road: a private JsonDoc reads the text, FromDoc copies it into JsonNodes.
#include "formatengine/JsonCodec.h"

#include <unordered_set>

#include "formatengine/NumberText.h"
#include "treeengine/JsonDoc.h"

namespace qoxa::format {

JsonNode JsonCodec::MakeLong(int64_t v) const {
  JsonNode node;
  node.SetLong(v);
  return node;
}

JsonNode JsonCodec::MakeDouble(double v) const {
  JsonNode node;
  node.SetDouble(v);
  return node;
}

JsonNode JsonCodec::MakeString(std::string_view s) const {
  JsonNode node;
  node.SetString(s);
  return node;
}

JsonNode JsonCodec::MakeBool(bool b) const {
  JsonNode node;
  node.SetBool(b);
  return node;
}

JsonNode JsonCodec::ParseToNode(std::string_view source, ParseResult& result, int /*unused*/) const {
  tree::JsonDoc doc;
  std::string error;
  const bool ok = doc.ParseText(source, 0, &error);
  result.ok = ok ? 1 : 0;
  if (ok) {
    FromDoc(doc, result.node);
  } else {
    result.message = error;
    result.node.SetNull();
  }
  return result.node;  // cheap: the children are shared until one side changes them
}

// The document is walked with an explicit stack, and every child is built in place inside its
// parent (no subtree is copied), so the copy takes time linear in the document.
int JsonCodec::FromDoc(const tree::JsonDoc& doc, JsonNode& target, std::optional<int> item) const {
  const int root = item ? *item : doc.FindFromRoot();
  enum { kNull = 0, kObject = 1, kArray = 2, kString = 3, kLong = 4, kDouble = 5, kBool = 6 };
  const int rootCode = doc.TypeOf({}, root);
  switch (rootCode) {
    case kNull: target.SetNull(); return 1;
    case kLong: target.SetLong(doc.LongValue({}, root)); return 1;
    case kDouble: target.SetDouble(doc.NumberValue({}, root)); return 1;
    case kBool: target.SetBool(doc.BoolValue({}, root)); return 1;
    case kString: target.SetString(doc.ValueText({}, root)); return 1;
    case kArray: target.type_ = "array"; break;   // no reset: adds to what the target holds
    case kObject: target.type_ = "object"; break;
    default: return 0;
  }

  struct Frame {
    JsonNode* node;
    int id;
    bool array;
    int count;
    int next = 0;
    std::vector<std::string> names;
    bool hadMembers = false;  // members from before this call: a repeated name must replace them
    std::unordered_set<std::string_view> copied;  // for those: the names copied in this call
  };
  std::vector<Frame> stack;
  auto open = [&](JsonNode& node, int id, bool array) {
    Frame frame{&node, id, array, 0, 0, {}, false, {}};
    if (array) {
      frame.count = doc.ElementCount({}, id);
      if (frame.count > 0) node.OwnChildren().elements.reserve(node.StoredElements().size() + static_cast<size_t>(frame.count));
    } else {
      frame.count = doc.MemberNames({}, id, frame.names);
      frame.hadMembers = !node.StoredMembers().empty();
    }
    stack.push_back(std::move(frame));
  };
  // Fills a fresh child in its stored form; true when it is a container (a frame was pushed).
  auto fill = [&](JsonNode& child, int id) {
    switch (doc.TypeOf({}, id)) {
      case kLong:
        child.type_ = "long";
        child.value_ = LongText(TruncateToLong(static_cast<double>(doc.LongValue({}, id))));
        break;
      case kDouble:
        child.type_ = "double";
        child.value_ = DoubleText(doc.NumberValue({}, id));
        break;
      case kBool:
        child.type_ = "bool";
        child.value_ = doc.BoolValue({}, id) ? "true" : "false";
        break;
      case kString:
        child.type_ = "string";
        child.value_ = doc.ValueText({}, id);
        break;
      case kArray:
        child.type_ = "array";
        open(child, id, true);
        break;
      case kObject:
        child.type_ = "object";
        open(child, id, false);
        break;
      default:
        break;  // null, or an id the document does not know: a null child
    }
  };

  open(target, root, rootCode == kArray);
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.next == f.count) {
      stack.pop_back();
      continue;
    }
    const int position = ++f.next;
    if (f.array) {
      JsonNode& child = f.node->OwnChildren().elements.emplace_back();
      fill(child, doc.ElementAt({}, f.id, position));  // may push a frame: `f` is not used after this
      continue;
    }
    // A repeated name keeps the value of its first occurrence (MemberByName finds that one), so
    // a name that is already present from this call needs no second copy.
    const std::string& name = f.names[static_cast<size_t>(position - 1)];
    if (name.empty()) continue;  // an empty name is refused as a member name
    auto& members = f.node->OwnChildren().members;
    auto it = members.find(name);
    if (it != members.end()) {
      if (!f.hadMembers || !f.copied.insert(name).second) continue;
      it->second = JsonNode();
    } else {
      it = members.emplace(name, JsonNode()).first;
      if (f.hadMembers) f.copied.insert(name);
    }
    fill(it->second, doc.MemberByName({}, f.id, name));  // may push a frame
  }
  return 1;
}

}  // namespace qoxa::format
