#pragma once
// JsonNode: one value of the formatting engine's tree: a type word, the scalar value as text,
// and for containers the children.
//
// Nodes are values: storing a child stores it as it is at that moment, reading a child gives an
// independent node. Children are kept as nodes (not as byte images), but in exactly the form
// their byte image (Serialize) would give back: a stored "long" has gone through a double, a
// stored "double" is re-formatted with "%.13g", a stored "unknow" (or other word) node has no
// value, and only the children its type word lets the image carry. The children of a node are
// shared between copies and copied only when a copy is changed, so copying a tree is cheap.
//
// Member order: by byte length of the name, then by unsigned bytes ("b" < "id" < "age" < "name").
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qoxa::format {

class JsonCodec;

class JsonNode {
 public:
  struct KeyOrder {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
      return a.size() != b.size() ? a.size() < b.size() : a < b;
    }
  };
  // Members in key order (each name once).
  using NamedNode = std::pair<std::string, JsonNode>;
  using MemberList = std::vector<NamedNode>;

  JsonNode();
  JsonNode(const JsonNode&) = default;
  JsonNode(JsonNode&&) noexcept = default;
  JsonNode& operator=(const JsonNode& other);
  JsonNode& operator=(JsonNode&& other) noexcept;
  // Destroying (or overwriting) a node frees its tree without recursion, so any depth is safe.
  ~JsonNode();

  void Reset();
  std::string TypeName() const { return TypeWord(); }
  std::string TypeName(std::string_view newType);
  int Count() const;
  JsonNode Member(std::string_view name) const;
  JsonNode Element(int index) const;  // 1-based
  int SetMember(std::string_view name, const JsonNode& child);
  int AddElement(const JsonNode& child);
  int RemoveMember(std::string_view name);
  int RemoveElement(int index);  // 1-based
  bool HasMember(std::string_view name) const;
  int Keys(std::vector<std::string>& names) const;
  bool IsNullType() const;
  int64_t GetLong() const;
  std::string GetText() const { return value_; }
  double GetDouble() const;
  bool GetBool() const { return value_ == "true"; }
  void SetLong(int64_t v);
  void SetDouble(double v);
  void SetString(std::string_view s);
  void SetBool(bool b);
  void SetNull() { Reset(); }
  std::string EmptyText() const { return {}; }
  int ElementBytes(std::vector<std::string>& list) const;
  std::string MemberBytes(std::string_view name) const;
  void AddElementBytes(std::string_view image);
  void SetMemberBytes(std::string_view name, std::string_view image);

  // Read access for walkers (the writer, tests): no copies. Empty when there are no children.
  // The fixed type words, and Other for any other word given to TypeName.
  enum class Word : uint8_t { Null, Bool, Long, Double, String, Array, Object, Unknow, Other };
  Word TypeCode() const { return word_; }
  const std::string& TypeWord() const;
  const std::string& ValueText() const { return value_; }
  // True when ValueText is already the writer's text of this "long" or "double" node.
  bool IsPlainNumber() const { return plain_ && (word_ == Word::Long || word_ == Word::Double); }
  const std::vector<JsonNode>& StoredElements() const;
  const MemberList& StoredMembers() const;

  // Building without copies: the child is moved in (and brought into its stored form).
  void AdoptElement(JsonNode&& child);
  void AdoptMember(std::string name, JsonNode&& child);  // the name must not be empty

 private:
  friend class JsonCodec;
  friend std::string Serialize(const JsonNode& node);
  friend JsonNode Deserialize(std::string_view image);
  friend struct NodeImageReader;

  struct Children;
  // What few nodes need: a type word other than the fixed ones, and the foreign image of a child.
  struct Rare {
    std::string type;
    std::shared_ptr<const std::string> image;
  };

  static void Release(std::shared_ptr<Children>&& children);
  Children& OwnChildren();            // unshared, created when missing
  void AppendMember(std::string name, JsonNode&& child);  // stored form already
  void ToStoredForm();                // the form the node's image gives back (its children already are)
  bool IsType(Word word) const { return word_ == word; }
  void SwitchType(Word word);  // Reset unless the type word is already `word`
  void SetTypeWord(std::string_view word);  // no reset
  const std::string* Image() const { return rare_ ? rare_->image.get() : nullptr; }
  void SetImage(std::string_view image);
  void DropImage();

  Word word_ = Word::Null;
  // value_ is exactly the text the writer makes of this "long" or "double" (no re-conversion needed).
  bool plain_ = false;
  std::string value_;
  std::shared_ptr<Children> children_;
  // Other type word; and the exact image this child was stored from, kept only when re-serializing
  // the node would not give those bytes back (an image Serialize did not make); never on a free node.
  std::shared_ptr<const Rare> rare_;
};

// Members are kept in a vector sorted by KeyOrder; additions go to its end first and are sorted
// in (a later addition replacing an earlier one of the same name) before the next read.
struct JsonNode::Children {
  std::vector<JsonNode> elements;
  mutable MemberList members;
  mutable size_t sorted = 0;  // members[0, sorted) are in order

  void Settle() const;
  const JsonNode* Find(std::string_view name) const;  // after Settle
  size_t IndexOf(std::string_view name) const;        // after Settle; npos when absent
};

// The node's NodeBytes image, and the node rebuilt from one (a null node from an empty image).
std::string Serialize(const JsonNode& node);
JsonNode Deserialize(std::string_view image);

}  // namespace qoxa::format
