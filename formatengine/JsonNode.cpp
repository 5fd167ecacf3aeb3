#include "formatengine/JsonNode.h"

#include <strings.h>

#include <algorithm>
#include <cstddef>

#include "formatengine/NumberText.h"

namespace qoxa::format {

namespace {
const std::vector<JsonNode> kNoElements;
const JsonNode::MemberList kNoMembers;
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
  plain_ = other.plain_;
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
const JsonNode::MemberList& JsonNode::StoredMembers() const {
  if (!children_) return kNoMembers;
  children_->Settle();
  return children_->members;
}

void JsonNode::Children::Settle() const {
  if (sorted == members.size()) return;
  auto less = [](const NamedNode& a, const NamedNode& b) { return KeyOrder()(a.first, b.first); };
  const auto tail = members.begin() + static_cast<std::ptrdiff_t>(sorted);
  if (members.end() - tail <= 16) {
    // Insertion sort: stable, and no allocation for the small objects that are the usual case.
    for (auto it = tail + 1; it < members.end(); ++it)
      for (auto at = it; at != tail && less(*at, *(at - 1)); --at) std::iter_swap(at, at - 1);
  } else {
    std::stable_sort(tail, members.end(), less);
  }
  if (sorted == 0) {
    // Of equal names the last addition stays.
    size_t kept = 0;
    for (size_t i = 0; i < members.size(); ++i) {
      if (i + 1 < members.size() && members[i].first == members[i + 1].first) continue;
      if (kept != i) members[kept] = std::move(members[i]);
      ++kept;
    }
    members.erase(members.begin() + static_cast<std::ptrdiff_t>(kept), members.end());
    sorted = members.size();
    return;
  }
  // Of equal names among the additions the last one stays; an addition replaces an older member.
  MemberList merged;
  merged.reserve(members.size());
  auto old = members.begin();
  for (auto it = tail; it != members.end(); ++it) {
    if (it + 1 != members.end() && it->first == (it + 1)->first) continue;
    while (old != tail && less(*old, *it)) merged.push_back(std::move(*old++));
    if (old != tail && old->first == it->first) ++old;
    merged.push_back(std::move(*it));
  }
  while (old != tail) merged.push_back(std::move(*old++));
  members.swap(merged);
  sorted = members.size();
}

const JsonNode* JsonNode::Children::Find(std::string_view name) const {
  const size_t at = IndexOf(name);
  return at == std::string::npos ? nullptr : &members[at].second;
}

size_t JsonNode::Children::IndexOf(std::string_view name) const {
  auto it = std::lower_bound(members.begin(), members.end(), name,
                             [](const NamedNode& m, std::string_view n) { return KeyOrder()(m.first, n); });
  return it != members.end() && it->first == name ? static_cast<size_t>(it - members.begin()) : std::string::npos;
}

void JsonNode::AppendMember(std::string name, JsonNode&& child) {
  Children& own = OwnChildren();
  // In order already (the usual case for images and sorted input): no settling needed later.
  const bool inOrder = own.sorted == own.members.size() &&
                       (own.members.empty() || KeyOrder()(own.members.back().first, name));
  own.members.emplace_back(std::move(name), std::move(child));
  if (inOrder) own.sorted = own.members.size();
}

void JsonNode::Reset() {
  type_ = "null";
  value_.clear();
  plain_ = false;
  Release(std::move(children_));
  image_.reset();
}

std::string JsonNode::TypeName(std::string_view newType) {
  type_ = newType;
  plain_ = false;
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
    if (!plain_) value_ = LongText(GetLong());
    plain_ = true;
  } else if (IsType("double")) {
    if (!plain_) value_ = DoubleText(GetDouble());
    plain_ = true;
  } else if (IsType("bool")) {
    value_ = GetBool() ? "true" : "false";
  } else if (IsType("string")) {
  } else if (IsType("array") || IsType("object")) {
    value_.clear();
    if (children_) {
      const bool array = IsType("array");
      if (array ? !children_->members.empty() : !children_->elements.empty()) {
        Children& own = OwnChildren();
        if (array) {
          MemberList().swap(own.members);
          own.sorted = 0;
        } else
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
  if (!IsType("object") || !children_) return JsonNode();
  children_->Settle();
  const JsonNode* found = children_->Find(name);
  if (!found) return JsonNode();
  JsonNode copy = *found;
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
  AppendMember(std::move(name), std::move(child));
}

int JsonNode::RemoveMember(std::string_view name) {
  if (!HasMember(name)) return 0;
  Children& own = OwnChildren();
  own.Settle();
  own.members.erase(own.members.begin() + static_cast<std::ptrdiff_t>(own.IndexOf(name)));
  own.sorted = own.members.size();
  return 1;
}

int JsonNode::RemoveElement(int index) {
  if (!IsType("array") || index < 1 || Count() < index) return 0;
  Children& own = OwnChildren();
  own.elements.erase(own.elements.begin() + (index - 1));
  return 1;
}

bool JsonNode::HasMember(std::string_view name) const {
  if (name.empty() || !IsType("object") || !children_) return false;
  children_->Settle();
  return children_->Find(name) != nullptr;
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
  plain_ = TruncateToLong(static_cast<double>(v)) == v;
}

void JsonNode::SetDouble(double v) {
  SwitchType("double");
  value_ = DoubleText(v);
  plain_ = true;
}

void JsonNode::SetString(std::string_view s) {
  SwitchType("string");
  value_ = s;
  plain_ = false;
}

void JsonNode::SetBool(bool b) {
  SwitchType("bool");
  value_ = b ? "true" : "false";
  plain_ = false;
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
  if (!IsType("object") || !children_) return {};
  children_->Settle();
  const JsonNode* found = children_->Find(name);
  return found ? StoredImage(*found, found->image_) : std::string();
}

}  // namespace qoxa::format
