// The codec's parse road: a private JsonDoc reads the text, FromDoc copies it into JsonNodes.
#include "formatengine/JsonCodec.h"

#include <algorithm>

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
    case kArray: target.TypeName("array"); break;   // no reset: adds to what the target holds
    case kObject: target.TypeName("object"); break;
    default: return 0;
  }

  struct Frame {
    JsonNode* node;
    int id;
    bool array;
    int count;
    int next;
    std::vector<std::string> names;  // an object's distinct names, in key order
  };
  // Frames are reused level by level (their name lists keep their capacity).
  std::vector<Frame> frames;
  size_t depth = 0;
  auto open = [&](JsonNode& node, int id, bool array) {
    if (depth == frames.size()) frames.emplace_back();
    Frame& frame = frames[depth++];
    frame.node = &node;
    frame.id = id;
    frame.array = array;
    frame.next = 0;
    if (array) {
      frame.count = doc.ElementCount({}, id);
      if (frame.count > 0) node.OwnChildren().elements.reserve(node.StoredElements().size() + static_cast<size_t>(frame.count));
      return;
    }
    // A repeated name keeps the value of its first occurrence (MemberByName finds that one), so
    // each distinct name is copied once. Copying in key order needs no sorting afterwards. An
    // empty name is refused as a member name.
    doc.MemberNames({}, id, frame.names);
    std::erase(frame.names, std::string());
    if (frame.names.size() <= 16) {
      for (size_t i = 1; i < frame.names.size(); ++i)
        for (size_t k = i; k > 0 && JsonNode::KeyOrder()(frame.names[k], frame.names[k - 1]); --k)
          std::swap(frame.names[k], frame.names[k - 1]);
    } else {
      std::sort(frame.names.begin(), frame.names.end(), JsonNode::KeyOrder());
    }
    frame.names.erase(std::unique(frame.names.begin(), frame.names.end()), frame.names.end());
    frame.count = static_cast<int>(frame.names.size());
    if (frame.count > 0) node.OwnChildren().members.reserve(node.StoredMembers().size() + frame.names.size());
  };
  // Fills a fresh child in its stored form; a container gets a frame.
  auto fill = [&](JsonNode& child, int id) {
    switch (doc.TypeOf({}, id)) {
      case kLong:
        child.word_ = JsonNode::Word::Long;
        child.value_ = LongText(TruncateToLong(static_cast<double>(doc.LongValue({}, id))));
        child.plain_ = true;
        break;
      case kDouble:
        child.word_ = JsonNode::Word::Double;
        child.value_ = DoubleText(doc.NumberValue({}, id));
        child.plain_ = true;
        break;
      case kBool:
        child.word_ = JsonNode::Word::Bool;
        child.value_ = doc.BoolValue({}, id) ? "true" : "false";
        break;
      case kString:
        child.word_ = JsonNode::Word::String;
        child.value_ = doc.ValueText({}, id);
        break;
      case kArray:
        child.word_ = JsonNode::Word::Array;
        open(child, id, true);
        break;
      case kObject:
        child.word_ = JsonNode::Word::Object;
        open(child, id, false);
        break;
      default:
        break;  // null, or an id the document does not know: a null child
    }
  };

  open(target, root, rootCode == kArray);
  while (depth > 0) {
    Frame& f = frames[depth - 1];
    if (f.next == f.count) {
      --depth;
      continue;
    }
    const int position = ++f.next;
    JsonNode* node = f.node;
    if (f.array) {
      JsonNode& child = node->OwnChildren().elements.emplace_back();
      fill(child, doc.ElementAt({}, f.id, position));  // may open a frame: `f` is not used after this
    } else {
      std::string& name = f.names[static_cast<size_t>(position - 1)];
      const int id = doc.MemberByName({}, f.id, name);
      node->AppendMember(std::move(name), JsonNode());
      fill(node->children_->members.back().second, id);  // may open a frame
    }
  }
  return 1;
}

}  // namespace qoxa::format
