// The NodeBytes image of a JsonNode: little-endian, lengths and counts as signed 32-bit.
//   type word (text field), then by type word:
//   "long" 8-byte integer | "double" 8-byte IEEE double | "string" text field | "bool" text field
//   "array" count, then each element image as a byte-string field
//   "object" count, then per member in key order: name (text field), image (byte-string field)
// A text or byte-string field is a 4-byte length followed by that many bytes.
// Both directions walk the tree with an explicit stack, so any depth is safe.
#include <algorithm>
#include <bit>
#include <cstring>

#include "formatengine/JsonNode.h"
#include "formatengine/NumberText.h"

namespace qoxa::format {

namespace {

void PutInt32(std::string& out, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  const char bytes[4] = {static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16),
                         static_cast<char>(u >> 24)};
  out.append(bytes, 4);
}

void PatchInt32(std::string& out, size_t at, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) out[at + static_cast<size_t>(i)] = static_cast<char>(u >> (8 * i));
}

void PutInt64(std::string& out, uint64_t u) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>(u >> (8 * i)));
}

void PutText(std::string& out, std::string_view text) {
  PutInt32(out, static_cast<int32_t>(text.size()));
  out.append(text);
}

// Reads within [pos, end); false (and nothing consumed) when the bytes run out.
bool GetUint(std::string_view in, size_t& pos, size_t end, int bytes, uint64_t& v) {
  if (end - pos < static_cast<size_t>(bytes)) return false;
  v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(static_cast<unsigned char>(in[pos + static_cast<size_t>(i)])) << (8 * i);
  pos += static_cast<size_t>(bytes);
  return true;
}

bool GetInt32(std::string_view in, size_t& pos, size_t end, int32_t& v) {
  uint64_t u = 0;
  if (!GetUint(in, pos, end, 4, u)) return false;
  v = static_cast<int32_t>(static_cast<uint32_t>(u));
  return true;
}

bool GetText(std::string_view in, size_t& pos, size_t end, std::string_view& text) {
  size_t at = pos;
  int32_t n = 0;
  if (!GetInt32(in, at, end, n) || n < 0 || end - at < static_cast<size_t>(n)) return false;
  text = in.substr(at, static_cast<size_t>(n));
  pos = at + static_cast<size_t>(n);
  return true;
}

}  // namespace

// Writes one node's type word and payload; true when it is a container with children to visit.
static bool PutHeader(std::string& out, const JsonNode& node) {
  PutText(out, node.TypeWord());
  using Word = JsonNode::Word;
  const Word type = node.TypeCode();
  if (type == Word::Long) {
    PutInt64(out, static_cast<uint64_t>(node.GetLong()));
  } else if (type == Word::Double) {
    PutInt64(out, std::bit_cast<uint64_t>(node.GetDouble()));
  } else if (type == Word::String) {
    PutText(out, node.ValueText());
  } else if (type == Word::Bool) {
    PutText(out, node.GetBool() ? "true" : "false");
  } else if (type == Word::Array) {
    PutInt32(out, static_cast<int32_t>(node.StoredElements().size()));
    return !node.StoredElements().empty();
  } else if (type == Word::Object) {
    PutInt32(out, static_cast<int32_t>(node.StoredMembers().size()));
    return !node.StoredMembers().empty();
  }
  return false;
}

std::string Serialize(const JsonNode& node) {
  struct Frame {
    const JsonNode* node;
    bool array;
    size_t index;
    size_t lengthAt;  // where this node's byte-string length goes; npos for the top node
  };
  std::string out;
  std::vector<Frame> stack;
  auto push = [&](const JsonNode& n, size_t lengthAt) {
    stack.push_back({&n, n.TypeCode() == JsonNode::Word::Array, 0, lengthAt});
  };
  auto patch = [&](size_t lengthAt) {
    if (lengthAt != std::string::npos) PatchInt32(out, lengthAt, static_cast<int32_t>(out.size() - lengthAt - 4));
  };
  if (PutHeader(out, node)) push(node, std::string::npos);
  while (!stack.empty()) {
    Frame& f = stack.back();
    const bool done = f.index == (f.array ? f.node->StoredElements().size() : f.node->StoredMembers().size());
    if (done) {
      patch(f.lengthAt);
      stack.pop_back();
      continue;
    }
    const JsonNode* child;
    if (f.array) {
      child = &f.node->StoredElements()[f.index++];
    } else {
      const JsonNode::NamedNode& member = f.node->StoredMembers()[f.index++];
      PutText(out, member.first);
      child = &member.second;
    }
    const size_t lengthAt = out.size();
    PutInt32(out, 0);
    if (const std::string* image = child->Image()) {
      out.append(*image);
      patch(lengthAt);
    } else if (PutHeader(out, *child)) {
      push(*child, lengthAt);  // `f` is not used after this
    } else {
      patch(lengthAt);
    }
  }
  return out;
}

// Rebuilds nodes from images. A child whose bytes would not come back unchanged from Serialize
// (an image Serialize did not make) keeps its exact bytes, as a stored image would.
struct NodeImageReader {
  struct Frame {
    JsonNode* node;
    size_t begin, end;
    int32_t left;
    bool object;
    bool canonical;
    std::string_view previousName;
    bool hasPrevious;
  };

  explicit NodeImageReader(std::string_view image) : in(image) {}

  std::string_view in;
  size_t pos = 0;
  std::vector<Frame> stack;
  const JsonNode* top = nullptr;
  bool topCanonical = true;

  void Finish(JsonNode& node, size_t begin, size_t end, bool canonical) {
    if (&node == top)
      topCanonical = canonical;
    else if (!canonical)
      node.SetImage(in.substr(begin, end - begin));
  }

  // Reads the node stored in [begin, end); a container with children gets a frame.
  void Open(JsonNode& node, size_t begin, size_t end) {
    pos = begin;
    bool canonical = true;
    std::string_view type;
    if (!GetText(in, pos, end, type)) {
      Finish(node, begin, end, false);
      return;
    }
    node.SetTypeWord(type);
    uint64_t u = 0;
    std::string_view text;
    if (type == "long") {
      if (GetUint(in, pos, end, 8, u)) {
        const auto v = static_cast<int64_t>(u);
        node.value_ = LongText(v);
        canonical = TruncateToLong(static_cast<double>(v)) == v;
        node.plain_ = canonical;
      } else {
        canonical = false;
      }
    } else if (type == "double") {
      if (GetUint(in, pos, end, 8, u)) {
        node.value_ = DoubleText(std::bit_cast<double>(u));
        node.plain_ = true;
        canonical = std::bit_cast<uint64_t>(TextToDouble(node.value_)) == u;
      } else {
        canonical = false;
      }
    } else if (type == "string") {
      if (GetText(in, pos, end, text))
        node.value_ = text;
      else
        canonical = false;
    } else if (type == "bool") {
      if (GetText(in, pos, end, text)) {
        node.value_ = text == "true" ? "true" : "false";
        canonical = text == "true" || text == "false";
      } else {
        canonical = false;
      }
    } else if (type == "array" || type == "object") {
      int32_t count = 0;
      if (!GetInt32(in, pos, end, count) || count < 0) {
        canonical = false;
      } else if (count > 0) {
        const bool object = type == "object";
        if (!object) node.OwnChildren().elements.reserve(static_cast<size_t>(std::min<int64_t>(count, (end - pos) / 4)));
        stack.push_back({&node, begin, end, count, object, true, {}, false});
        return;
      }
    }
    Finish(node, begin, end, canonical && pos == end);
  }

  // The child to store for an image (see AddElementBytes).
  static JsonNode ReadStored(std::string_view image);

  void Run(JsonNode& root) {
    top = &root;
    Open(root, 0, in.size());
    while (!stack.empty()) {
      Frame& f = stack.back();
      if (f.left == 0) {
        Finish(*f.node, f.begin, f.end, f.canonical && pos == f.end);
        pos = f.end;
        stack.pop_back();
        continue;
      }
      --f.left;
      std::string_view name;
      int32_t length = 0;
      if ((f.object && !GetText(in, pos, f.end, name)) || !GetInt32(in, pos, f.end, length) || length < 0 ||
          f.end - pos < static_cast<size_t>(length)) {
        f.canonical = false;  // a cut-off image: keep what was read
        f.left = 0;
        continue;
      }
      const size_t childBegin = pos, childEnd = pos + static_cast<size_t>(length);
      JsonNode* child;
      if (f.object) {
        if (f.hasPrevious && !JsonNode::KeyOrder()(f.previousName, name)) f.canonical = false;
        f.previousName = name;
        f.hasPrevious = true;
        f.node->AppendMember(std::string(name), JsonNode());
        child = &f.node->children_->members.back().second;
      } else {
        child = &f.node->OwnChildren().elements.emplace_back();
      }
      const size_t depth = stack.size();
      Open(*child, childBegin, childEnd);  // may push a frame: `f` is not used after this
      if (stack.size() == depth) pos = childEnd;
    }
  }
};

JsonNode Deserialize(std::string_view image) {
  JsonNode node;
  if (image.empty()) return node;
  NodeImageReader reader(image);
  reader.Run(node);
  return node;
}

JsonNode NodeImageReader::ReadStored(std::string_view image) {
  JsonNode child;
  if (!image.empty()) {
    NodeImageReader reader(image);
    reader.Run(child);
    if (reader.topCanonical) return child;
  }
  child.SetImage(image);
  return child;
}

void JsonNode::AddElementBytes(std::string_view image) {
  if (!IsType(Word::Array)) TypeName("array");
  OwnChildren().elements.push_back(NodeImageReader::ReadStored(image));
}

void JsonNode::SetMemberBytes(std::string_view name, std::string_view image) {
  if (!IsType(Word::Object)) TypeName("object");
  AppendMember(std::string(name), NodeImageReader::ReadStored(image));
}

}  // namespace qoxa::format
