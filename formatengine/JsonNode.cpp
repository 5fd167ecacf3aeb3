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

JsonNode::JsonNode() = default;

namespace {
struct FixedWord {
  std::string_view text;
  JsonNode::Word word;
};
constexpr FixedWord kFixedWords[] = {
    {"null", JsonNode::Word::Null},     {"bool", JsonNode::Word::Bool},     {"long", JsonNode::Word::Long},
    {"double", JsonNode::Word::Double}, {"string", JsonNode::Word::String}, {"array", JsonNode::Word::Array},
    {"object", JsonNode::Word::Object}, {"unknow", JsonNode::Word::Unknow}};
}  // namespace

const std::string& JsonNode::TypeWord() const {
  static const std::string kTexts[] = {"null", "bool", "long", "double", "string", "array", "object", "unknow"};
  if (word_ == Word::Other) return rare_->type;
  return kTexts[static_cast<size_t>(word_)];
}

void JsonNode::SetTypeWord(std::string_view text) {
  Word word = Word::Other;
  for (const FixedWord& fixed : kFixedWords)
    if (fixed.text == text) word = fixed.word;
  const std::shared_ptr<const std::string> image = rare_ ? rare_->image : nullptr;
  word_ = word;
  if (word == Word::Other)
    rare_ = std::make_shared<const Rare>(Rare{std::string(text), image});
  else if (rare_ && !rare_->type.empty())
    rare_ = image ? std::make_shared<const Rare>(Rare{{}, image}) : nullptr;
}

void JsonNode::SetImage(std::string_view image) {
  rare_ = std::make_shared<const Rare>(Rare{rare_ ? rare_->type : std::string(), std::make_shared<const std::string>(image)});
}

void JsonNode::DropImage() {
  if (!rare_ || !rare_->image) return;
  rare_ = rare_->type.empty() ? nullptr : std::make_shared<const Rare>(Rare{rare_->type, nullptr});
}

JsonNode::~JsonNode() { Release(std::move(children_)); }

JsonNode& JsonNode::operator=(const JsonNode& other) {
  if (this != &other) *this = JsonNode(other);
  return *this;
}

JsonNode& JsonNode::operator=(JsonNode&& other) noexcept {
  if (this == &other) return *this;
  std::shared_ptr<Children> old = std::move(children_);
  word_ = other.word_;
  value_ = std::move(other.value_);
  children_ = std::move(other.children_);
  rare_ = std::move(other.rare_);
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
  word_ = Word::Null;
  value_.clear();
  plain_ = false;
  Release(std::move(children_));
  rare_.reset();
}

std::string JsonNode::TypeName(std::string_view newType) {
  SetTypeWord(newType);
  plain_ = false;
  return TypeWord();
}

void JsonNode::SwitchType(Word word) {
  if (word_ == word) return;
  Reset();
  word_ = word;
}

void JsonNode::ToStoredForm() {
  DropImage();
  if (IsType(Word::Long)) {
    if (!plain_) value_ = LongText(GetLong());
    plain_ = true;
  } else if (IsType(Word::Double)) {
    if (!plain_) value_ = DoubleText(GetDouble());
    plain_ = true;
  } else if (IsType(Word::Bool)) {
    value_ = GetBool() ? "true" : "false";
  } else if (IsType(Word::String)) {
  } else if (IsType(Word::Array) || IsType(Word::Object)) {
    value_.clear();
    if (children_) {
      const bool array = IsType(Word::Array);
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

int JsonNode::Count() const { return IsType(Word::Array) ? static_cast<int>(StoredElements().size()) : 0; }

JsonNode JsonNode::Element(int index) const {
  if (index < 1 || Count() < index) return JsonNode();
  JsonNode copy = StoredElements()[static_cast<size_t>(index - 1)];
  copy.DropImage();
  return copy;
}

JsonNode JsonNode::Member(std::string_view name) const {
  if (!IsType(Word::Object) || !children_) return JsonNode();
  children_->Settle();
  const JsonNode* found = children_->Find(name);
  if (!found) return JsonNode();
  JsonNode copy = *found;
  copy.DropImage();
  return copy;
}

int JsonNode::SetMember(std::string_view name, const JsonNode& child) {
  if (name.empty()) return 0;
  SwitchType(Word::Object);
  AdoptMember(std::string(name), JsonNode(child));
  return 1;
}

int JsonNode::AddElement(const JsonNode& child) {
  SwitchType(Word::Array);
  AdoptElement(JsonNode(child));
  return 1;
}

void JsonNode::AdoptElement(JsonNode&& child) {
  SwitchType(Word::Array);
  child.ToStoredForm();
  OwnChildren().elements.push_back(std::move(child));
}

void JsonNode::AdoptMember(std::string name, JsonNode&& child) {
  SwitchType(Word::Object);
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
  if (!IsType(Word::Array) || index < 1 || Count() < index) return 0;
  Children& own = OwnChildren();
  own.elements.erase(own.elements.begin() + (index - 1));
  return 1;
}

bool JsonNode::HasMember(std::string_view name) const {
  if (name.empty() || !IsType(Word::Object) || !children_) return false;
  children_->Settle();
  return children_->Find(name) != nullptr;
}

int JsonNode::Keys(std::vector<std::string>& names) const {
  if (!IsType(Word::Object)) return 0;
  names.clear();
  names.reserve(StoredMembers().size());
  for (const auto& entry : StoredMembers()) names.push_back(entry.first);
  return static_cast<int>(names.size());
}

bool JsonNode::IsNullType() const {
  const std::string& type = TypeWord();
  return type.size() == 4 && strncasecmp(type.data(), "null", 4) == 0;
}

int64_t JsonNode::GetLong() const { return TruncateToLong(TextToDouble(value_)); }
double JsonNode::GetDouble() const { return TextToDouble(value_); }

void JsonNode::SetLong(int64_t v) {
  SwitchType(Word::Long);
  value_ = LongText(v);
  plain_ = TruncateToLong(static_cast<double>(v)) == v;
}

void JsonNode::SetDouble(double v) {
  SwitchType(Word::Double);
  value_ = DoubleText(v);
  plain_ = true;
}

void JsonNode::SetString(std::string_view s) {
  SwitchType(Word::String);
  value_ = s;
  plain_ = false;
}

void JsonNode::SetBool(bool b) {
  SwitchType(Word::Bool);
  value_ = b ? "true" : "false";
  plain_ = false;
}

namespace {
std::string StoredImage(const JsonNode& child, const std::string* image) { return image ? *image : Serialize(child); }
}  // namespace

int JsonNode::ElementBytes(std::vector<std::string>& list) const {
  list.clear();
  for (const JsonNode& e : StoredElements()) list.push_back(StoredImage(e, e.Image()));
  return Count();
}

std::string JsonNode::MemberBytes(std::string_view name) const {
  if (!IsType(Word::Object) || !children_) return {};
  children_->Settle();
  const JsonNode* found = children_->Find(name);
  return found ? StoredImage(*found, found->Image()) : std::string();
}

}  // namespace qoxa::format
