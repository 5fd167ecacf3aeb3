#include "formatengine/JsonNode.h"

#include <strings.h>

#include "formatengine/NumberText.h"

namespace qoxa::format {

namespace {
const std::vector<JsonNode> kNoElements;
const JsonNode::MemberMap kNoMembers;
}  // namespace

JsonNode::JsonNode() : type_("null") {}

JsonNode::~JsonNode() { Release(std::move(children_)); }

JsonNode& JsonNode::operator=(const JsonNode& other) {
  if (this != &other) *this = JsonNode(other);
  return *this;
}

JsonNode& JsonNode::operator=(JsonNode&& other) noexcept {
  if (this == &other) return *this;
  std::shared_ptr<Children> old = std::move(children_);
  type_ = std::move(other.type_);
  value_ = std::move(other.value_);
  children_ = std::move(other.children_);
  image_ = std::move(other.image_);
  Release(std::move(old));
  return *this;
}

// Frees a tree of children level by level instead of by nested destructor calls: every child
// whose own children are not shared any more hands them over to the work list first.
void JsonNode::Release(std::shared_ptr<Children>&& children) {
  if (!children || children.use_count() != 1) {
    children.reset();
    return;
  }
  std::vector<std::shared_ptr<Children>> pending;
  pending.push_back(std::move(children));
  while (!pending.empty()) {
    std::shared_ptr<Children> current = std::move(pending.back());
    pending.pop_back();
    for (JsonNode& e : current->elements)
      if (e.children_ && e.children_.use_count() == 1) pending.push_back(std::move(e.children_));
    for (auto& [name, m] : current->members)
      if (m.children_ && m.children_.use_count() == 1) pending.push_back(std::move(m.children_));
  }
}

JsonNode::Children& JsonNode::OwnChildren() {
  if (!children_)
    children_ = std::make_shared<Children>();
  else if (children_.use_count() != 1)
    children_ = std::make_shared<Children>(*children_);  // copies the direct children only
  return *children_;
}

const std::vector<JsonNode>& JsonNode::StoredElements() const { return children_ ? children_->elements : kNoElements; }
const JsonNode::MemberMap& JsonNode::StoredMembers() const { return children_ ? children_->members : kNoMembers; }

void JsonNode::Reset() {
  type_ = "null";
  value_.clear();
  Release(std::move(children_));
  image_.reset();
}

std::string JsonNode::TypeName(std::string_view newType) {
  type_ = newType;
  return type_;
}

void JsonNode::SwitchType(std::string_view word) {
  if (type_ == word) return;
  Reset();
  type_ = word;
}

void JsonNode::ToStoredForm() {
  image_.reset();
  if (IsType("long")) {
    value_ = LongText(GetLong());
  } else if (IsType("double")) {
    value_ = DoubleText(GetDouble());
  } else if (IsType("bool")) {
    value_ = GetBool() ? "true" : "false";
  } else if (IsType("string")) {
  } else if (IsType("array") || IsType("object")) {
    value_.clear();
    if (children_) {
      const bool array = IsType("array");
      if (array ? !children_->members.empty() : !children_->elements.empty()) {
        Children& own = OwnChildren();
        if (array)
          MemberMap().swap(own.members);
        else
          std::vector<JsonNode>().swap(own.elements);
      }
    }
    return;
  } else {
    value_.clear();
  }
  Release(std::move(children_));
}

int JsonNode::Count() const { return IsType("array") ? static_cast<int>(StoredElements().size()) : 0; }

JsonNode JsonNode::Element(int index) const {
  if (index < 1 || Count() < index) return JsonNode();
  JsonNode copy = StoredElements()[static_cast<size_t>(index - 1)];
  copy.image_.reset();
  return copy;
}

JsonNode JsonNode::Member(std::string_view name) const {
  if (!IsType("object")) return JsonNode();
  const MemberMap& members = StoredMembers();
  auto it = members.find(name);
  if (it == members.end()) return JsonNode();
  JsonNode copy = it->second;
  copy.image_.reset();
  return copy;
}

int JsonNode::SetMember(std::string_view name, const JsonNode& child) {
  if (name.empty()) return 0;
  SwitchType("object");
  AdoptMember(std::string(name), JsonNode(child));
  return 1;
}

int JsonNode::AddElement(const JsonNode& child) {
  SwitchType("array");
  AdoptElement(JsonNode(child));
  return 1;
}

void JsonNode::AdoptElement(JsonNode&& child) {
  SwitchType("array");
  child.ToStoredForm();
  OwnChildren().elements.push_back(std::move(child));
}

void JsonNode::AdoptMember(std::string name, JsonNode&& child) {
  SwitchType("object");
  child.ToStoredForm();
  OwnChildren().members.insert_or_assign(std::move(name), std::move(child));
}

int JsonNode::RemoveMember(std::string_view name) {
  if (!HasMember(name)) return 0;
  Children& own = OwnChildren();
  own.members.erase(own.members.find(name));
  return 1;
}

int JsonNode::RemoveElement(int index) {
  if (!IsType("array") || index < 1 || Count() < index) return 0;
  Children& own = OwnChildren();
  own.elements.erase(own.elements.begin() + (index - 1));
  return 1;
}

bool JsonNode::HasMember(std::string_view name) const {
  return !name.empty() && IsType("object") && StoredMembers().count(name) != 0;
}

int JsonNode::Keys(std::vector<std::string>& names) const {
  if (!IsType("object")) return 0;
  names.clear();
  names.reserve(StoredMembers().size());
  for (const auto& entry : StoredMembers()) names.push_back(entry.first);
  return static_cast<int>(names.size());
}

bool JsonNode::IsNullType() const { return strcasecmp(type_.c_str(), "null") == 0 && type_.size() == 4; }

int64_t JsonNode::GetLong() const { return TruncateToLong(TextToDouble(value_)); }
double JsonNode::GetDouble() const { return TextToDouble(value_); }

void JsonNode::SetLong(int64_t v) {
  SwitchType("long");
  value_ = LongText(v);
}

void JsonNode::SetDouble(double v) {
  SwitchType("double");
  value_ = DoubleText(v);
}

void JsonNode::SetString(std::string_view s) {
  SwitchType("string");
  value_ = s;
}

void JsonNode::SetBool(bool b) {
  SwitchType("bool");
  value_ = b ? "true" : "false";
}

namespace {
std::string StoredImage(const JsonNode& child, const std::shared_ptr<const std::string>& image) {
  return image ? *image : Serialize(child);
}
}  // namespace

int JsonNode::ElementBytes(std::vector<std::string>& list) const {
  list.clear();
  for (const JsonNode& e : StoredElements()) list.push_back(StoredImage(e, e.image_));
  return Count();
}

std::string JsonNode::MemberBytes(std::string_view name) const {
  if (!IsType("object")) return {};
  auto it = StoredMembers().find(name);
  if (it == StoredMembers().end()) return {};
  return StoredImage(it->second, it->second.image_);
}

}  // namespace qoxa::format
