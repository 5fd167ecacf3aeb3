#include "formatengine/JsonNode.h"

#include <gtest/gtest.h>

namespace qoxa::format {
namespace {

JsonNode Long(int64_t v) {
  JsonNode n;
  n.SetLong(v);
  return n;
}

JsonNode Text(std::string_view s) {
  JsonNode n;
  n.SetString(s);
  return n;
}

std::vector<std::string> KeysOf(const JsonNode& n) {
  std::vector<std::string> keys;
  n.Keys(keys);
  return keys;
}

TEST(JsonNode, NewNodeIsNull) {
  JsonNode n;
  EXPECT_EQ(n.TypeName(), "null");
  EXPECT_TRUE(n.IsNullType());
  EXPECT_EQ(n.Count(), 0);
  std::vector<std::string> keys{"kept"};
  EXPECT_EQ(n.Keys(keys), 0);
  EXPECT_EQ(keys, std::vector<std::string>{"kept"});
  EXPECT_EQ(n.GetText(), "");
  n.TypeName("NULL");
  EXPECT_TRUE(n.IsNullType());
}

TEST(JsonNode, MembersAreOrderedByLengthThenBytes) {
  JsonNode n;
  for (const char* name : {"name", "id", "age", "b", "B", "a", "\xB0\xA1", "\x7F\x7F"}) n.SetMember(name, Long(1));
  EXPECT_EQ(KeysOf(n), (std::vector<std::string>{"B", "a", "b", "id", "\x7F\x7F", "\xB0\xA1", "age", "name"}));
  n.SetMember("a", Long(1));
  n.SetMember("a", Long(2));
  EXPECT_EQ(n.Member("a").GetText(), "2");
  EXPECT_EQ(KeysOf(n).size(), 8u);
  EXPECT_EQ(n.RemoveMember("a"), 1);
  EXPECT_EQ(n.RemoveMember("a"), 0);
  EXPECT_FALSE(n.HasMember("a"));
  EXPECT_TRUE(n.HasMember("b"));
  EXPECT_FALSE(n.HasMember(""));
}

TEST(JsonNode, TypeSwitchingResetsOnlyOnChange) {
  JsonNode s = Text("x");
  EXPECT_EQ(s.SetMember("", Long(1)), 0);  // refused: nothing changes
  EXPECT_EQ(s.TypeName(), "string");
  EXPECT_EQ(s.GetText(), "x");
  s.AddElement(Long(7));  // a string becomes an array holding just the new element
  EXPECT_EQ(s.TypeName(), "array");
  EXPECT_EQ(s.GetText(), "");
  ASSERT_EQ(s.Count(), 1);
  s.AddElement(Long(8));  // already an array: appends
  EXPECT_EQ(s.Count(), 2);
  s.TypeName("object");   // no reset: the elements stay, but only an array counts them
  EXPECT_EQ(s.Count(), 0);
  s.TypeName("array");
  EXPECT_EQ(s.Count(), 2);
  s.SetMember("k", Long(1));  // array -> object: elements gone
  s.TypeName("array");
  EXPECT_EQ(s.Count(), 0);
  JsonNode l = Long(5);
  l.SetLong(6);
  EXPECT_EQ(l.GetText(), "6");
  l.SetBool(true);
  EXPECT_EQ(l.TypeName(), "bool");
  EXPECT_TRUE(l.GetBool());
}

TEST(JsonNode, ElementsByOneBasedIndex) {
  JsonNode a;
  for (int v : {1, 2, 3}) a.AddElement(Long(v));
  EXPECT_TRUE(a.Element(0).IsNullType());
  EXPECT_TRUE(a.Element(4).IsNullType());
  EXPECT_EQ(a.RemoveElement(0), 0);
  EXPECT_EQ(a.RemoveElement(4), 0);
  EXPECT_EQ(a.RemoveElement(2), 1);
  ASSERT_EQ(a.Count(), 2);
  EXPECT_EQ(a.Element(1).GetText(), "1");
  EXPECT_EQ(a.Element(2).GetText(), "3");
  EXPECT_TRUE(a.Member("x").IsNullType());
  JsonNode o;
  o.SetMember("x", Long(1));
  EXPECT_TRUE(o.Member("y").IsNullType());
  EXPECT_TRUE(o.Element(1).IsNullType());
}

TEST(JsonNode, ValuesNotReferences) {
  JsonNode child;
  child.AddElement(Long(1));
  JsonNode parent;
  parent.SetMember("c", child);
  child.AddElement(Long(2));  // after storing: the stored child does not change
  EXPECT_EQ(parent.Member("c").Count(), 1);
  JsonNode read = parent.Member("c");
  read.AddElement(Long(3));  // nor through a read copy
  EXPECT_EQ(parent.Member("c").Count(), 1);
  JsonNode copy = parent;
  copy.SetMember("d", Long(4));
  copy.RemoveMember("c");
  EXPECT_EQ(KeysOf(parent), std::vector<std::string>{"c"});
  parent.SetMember("self", parent);  // storing a node in itself stores its state at that moment
  EXPECT_EQ(parent.Member("self").Member("c").Count(), 1);
  EXPECT_FALSE(parent.Member("self").HasMember("self"));
}

// A stored child has exactly the form its byte image gives back.
TEST(JsonNode, StoredNumbersAreNormalisedAsTheirImages) {
  struct Case {
    const char* type;
    const char* value;
    const char* stored;
  } cases[] = {
      {"long", "9007199254740993", "9007199254740992"},  // through a double
      {"long", "12.9", "12"},
      {"long", "-0", "0"},
      {"long", "abc", "0"},
      {"long", "9223372036854775807", "9223372036854775807"},
      {"double", "1.50", "1.5"},
      {"double", "0.1000000000000001", "0.1"},
      {"double", "1e20", "1e+20"},
      {"bool", "yes", "false"},
      {"unknow", "]", ""},
      {"null", "x", ""},
      {"string", " 7 ", " 7 "},
  };
  for (const Case& c : cases) {
    // A node of this type word holding the raw text as its value.
    JsonNode s = Text(c.value);
    s.TypeName(c.type);
    JsonNode a;
    a.AddElement(s);
    EXPECT_EQ(a.Element(1).TypeName(), c.type) << c.type << " " << c.value;
    EXPECT_EQ(a.Element(1).GetText(), c.stored) << c.type << " " << c.value;
    EXPECT_EQ(Deserialize(Serialize(s)).GetText(), c.stored) << c.type << " " << c.value;
  }
  JsonNode big = Long(9007199254740993);
  EXPECT_EQ(big.GetText(), "9007199254740993");  // a free node keeps its text
  JsonNode d;
  for (auto [v, text] : {std::pair{0.1, "0.1"}, {1.0, "1"}, {1e20, "1e+20"}, {-2.5e-7, "-2.5e-07"}}) {
    d.SetDouble(v);
    EXPECT_EQ(d.GetText(), text);
  }
}

std::string Le32(int32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[static_cast<size_t>(i)] = static_cast<char>(static_cast<uint32_t>(v) >> (8 * i));
  return s;
}
std::string Field(std::string_view bytes) { return Le32(static_cast<int32_t>(bytes.size())) + std::string(bytes); }

TEST(JsonNode, ImageLayoutIsExact) {
  JsonNode inner;
  JsonNode t;
  t.SetBool(true);
  inner.AddElement(t);
  JsonNode dbl;
  dbl.SetDouble(0.5);
  JsonNode root;
  root.SetMember("b", inner);
  root.SetMember("a", Long(-2));
  root.SetMember("cc", dbl);
  root.SetMember("s", Text("\xD6\xD0"));
  const std::string longImage = Field("long") + std::string("\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8);
  const std::string boolImage = Field("bool") + Field("true");
  const std::string arrayImage = Field("array") + Le32(1) + Field(boolImage);
  const std::string doubleImage = Field("double") + std::string("\0\0\0\0\0\0\xE0\x3F", 8);
  const std::string stringImage = Field("string") + Field("\xD6\xD0");
  const std::string expected = Field("object") + Le32(4) + Field("a") + Field(longImage) + Field("b") +
                               Field(arrayImage) + Field("s") + Field(stringImage) + Field("cc") + Field(doubleImage);
  EXPECT_EQ(Serialize(root), expected);
  EXPECT_EQ(root.MemberBytes("b"), arrayImage);
  std::vector<std::string> list;
  EXPECT_EQ(inner.ElementBytes(list), 1);
  EXPECT_EQ(list, std::vector<std::string>{boolImage});
  EXPECT_EQ(Serialize(Deserialize(expected)), expected);
  EXPECT_EQ(Serialize(JsonNode()), Field("null"));
  EXPECT_TRUE(Deserialize("").IsNullType());
}

TEST(JsonNode, ForeignImagesAreKeptByteForByte) {
  // Images that Serialize would not make come back unchanged from the container, while the
  // node read from them is what they describe.
  const std::string longImage = Field("long") + std::string("\x01\x00\x00\x00\x00\x00\x20\x00", 8);  // 2^53 + 1
  const std::string shortImage = Field("string") + Le32(50) + "cut";
  const std::string unsortedObject = Field("object") + Le32(2) + Field("bb") + Field(Field("null")) + Field("a") +
                                     Field(Field("null"));
  JsonNode a;
  a.TypeName("string");
  for (const std::string& image : {longImage, shortImage, unsortedObject, std::string()}) a.AddElementBytes(image);
  EXPECT_EQ(a.TypeName(), "array");  // changed without a reset
  std::vector<std::string> list;
  ASSERT_EQ(a.ElementBytes(list), 4);
  EXPECT_EQ(list, (std::vector<std::string>{longImage, shortImage, unsortedObject, ""}));
  EXPECT_EQ(a.Element(1).GetText(), "9007199254740993");
  EXPECT_EQ(KeysOf(a.Element(3)), (std::vector<std::string>{"a", "bb"}));
  EXPECT_TRUE(a.Element(4).IsNullType());
  const std::string whole = Serialize(a);
  EXPECT_EQ(Serialize(Deserialize(whole)), whole);
  JsonNode o;
  o.SetMemberBytes("", Field("null"));  // an empty name is not refused here
  EXPECT_EQ(o.TypeName(), "object");
  EXPECT_EQ(KeysOf(o), std::vector<std::string>{""});
}

TEST(JsonNode, DeepTreesAreSafe) {
  constexpr int kDepth = 100000;
  JsonNode node = Long(1);
  for (int i = 0; i < kDepth; ++i) {
    JsonNode parent;
    if (i % 2)
      parent.AddElement(node);
    else
      parent.SetMember("k", node);
    node = std::move(parent);
  }
  JsonNode copy = node;
  copy.AddElement(Long(2));  // changes the copy's top only
  const std::string image = Serialize(node);
  JsonNode back = Deserialize(image);
  EXPECT_EQ(Serialize(back), image);
  JsonNode bottom = back;
  for (int i = 0; i < 3; ++i) bottom = i % 2 ? bottom.Member("k") : bottom.Element(1);
  EXPECT_EQ(bottom.TypeName(), "object");
  EXPECT_EQ(copy.Count(), 2);
  EXPECT_EQ(node.Count(), 1);
}  // destroying these trees must not recurse

}  // namespace
}  // namespace qoxa::format
