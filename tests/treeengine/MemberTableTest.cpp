// Member tables: the hash, the bucket order of names, kept document order, lookups by name.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "tests/treeengine/TreeTestSupport.h"

namespace qoxa::tree::testing {
namespace {

TEST(DocMemberTable, HashAndBucketExamples) {
  struct Case {
    std::string name;
    int32_t hash;
    int bucket;
  };
  for (const Case& c : {Case{"a", 97, 2}, Case{"b", 98, 3}, Case{"name", 3373707, 12}, Case{"id", 3355, 28},
                        Case{"age", 96511, 32}, Case{"key", 106079, 32}, Case{Gb("中"), -1350, 7},
                        Case{"abcdefghij", -634317659, 28}, Case{"", 0, 1}}) {
    EXPECT_EQ(DocMemberTable::Hash(c.name), c.hash) << c.name;
    EXPECT_EQ(DocMemberTable::BucketOf(DocMemberTable::Hash(c.name)), c.bucket) << c.name;
  }
  EXPECT_EQ(DocMemberTable::Hash(std::string("ab\0cd", 5)), DocMemberTable::Hash("ab"));
  EXPECT_EQ(DocMemberTable::BucketOf(-1), 2);
  EXPECT_EQ(DocMemberTable::BucketOf(INT32_MIN), 1);  // 2147483648 mod 32 = 0
  EXPECT_EQ(DocMemberTable::BucketOf(INT32_MAX), 32);
}

TEST(DocMemberTable, NamesComeInBucketOrderUnlessOrderIsKept) {
  struct Case {
    std::string text;
    std::vector<std::string> bucketOrder;
    std::vector<std::string> documentOrder;
  };
  for (const Case& c : {
           Case{"{\"b\":1,\"a\":2}", {"a", "b"}, {"b", "a"}},
           Case{"{\"name\":1,\"age\":2,\"id\":3}", {"name", "id", "age"}, {"name", "age", "id"}},
           Case{"{\"key\":1,\"b\":0,\"age\":2}", {"b", "key", "age"}, {"key", "b", "age"}},  // same bucket: document order
           Case{"{\"a\":1,\"A\":2,\"a\":3}", {"a", "A", "a"}, {"a", "A", "a"}},  // a and A share bucket 2
           Case{"{}", {}, {}},
       }) {
    JsonDoc doc;
    ASSERT_TRUE(doc.ParseText(c.text)) << c.text;
    std::vector<std::string> names{"stale"};
    EXPECT_EQ(doc.MemberNames({}, 0, names), static_cast<int>(c.bucketOrder.size()));
    EXPECT_EQ(names, c.bucketOrder) << c.text;
    ASSERT_TRUE(doc.ParseText(c.text, 1));
    EXPECT_EQ(doc.MemberNames({}, 0, names), static_cast<int>(c.documentOrder.size()));
    EXPECT_EQ(names, c.documentOrder) << c.text;
  }
}

TEST(DocMemberTable, RepeatedAndCaseDifferentNames) {
  JsonDoc doc;
  ASSERT_TRUE(doc.ParseText("{\"a\":1,\"A\":2,\"a\":3}"));
  EXPECT_EQ(doc.ValueText("a"), "1");
  EXPECT_EQ(doc.ValueText("A"), "2");
  EXPECT_EQ(doc.MemberByName({}, 0, "b"), 0);
}

// A name whose value never got stored is listed only when the order is kept.
TEST(DocMemberTable, UnboundNameAfterAnError) {
  for (const char* text : {"{\"a\":1,\"b\":", "{\"a\":1,\"b\":/*c*/}"}) {
    JsonDoc doc;
    std::vector<std::string> names;
    doc.ParseText(text, 0);
    EXPECT_EQ(doc.MemberNames({}, 0, names), 1) << text;
    doc.ParseText(text, 1);
    EXPECT_EQ(doc.MemberNames({}, 0, names), 2) << text;
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(doc.MemberByName({}, 0, "b"), 0);
  }
}

TEST(DocMemberTable, BucketsHoldTheirEntriesInDocumentOrder) {
  const std::string text = " key a age";
  const std::vector<DocMemberEntry> members = {
      {DocMemberTable::Hash("key"), 1, 3, 2}, {DocMemberTable::Hash("a"), 5, 1, 3}, {DocMemberTable::Hash("age"), 7, 3, 4}};
  DocMemberStore store;
  store.entries.push_back({});  // a table need not start the store
  const DocMemberTable table = DocMemberTable::Seal(store, text, 1, members, {});
  const DocMemberBucket bucket = table.Bucket(store, text, 32);
  ASSERT_EQ(bucket.Entries().size(), 2u);
  EXPECT_EQ(bucket.Entries()[0].name, "key");
  EXPECT_EQ(bucket.Entries()[1].name, "age");
  EXPECT_EQ(bucket.Find(DocMemberTable::Hash("age"), "age"), 4);
  EXPECT_EQ(bucket.Find(DocMemberTable::Hash("a"), "a"), 0);
  std::vector<std::string> names{"kept"};
  EXPECT_EQ(bucket.AppendNames(names), 2);
  EXPECT_EQ(names, (std::vector<std::string>{"kept", "key", "age"}));
  EXPECT_EQ(table.Bucket(store, text, 2).Entries().size(), 1u);
  EXPECT_TRUE(table.Bucket(store, text, 1).Entries().empty());
  EXPECT_EQ(table.Find(store, text, "a"), 3);
}

TEST(DocMemberTable, KeptOrderBeyondHundredNames) {
  std::string text = "{";
  std::vector<std::string> expected;
  for (int i = 150; i > 0; --i) {
    expected.push_back(std::string("n").append(std::to_string(i)));
    text.append("\"").append(expected.back()).append("\":0,");
  }
  JsonDoc doc;
  ASSERT_TRUE(doc.ParseText(text.append("}"), 1));
  std::vector<std::string> names;
  EXPECT_EQ(doc.MemberNames({}, 0, names), 150);
  EXPECT_EQ(names, expected);
}

// A large object: listed in bucket order, every member found by name, the first of a repeated name.
TEST(DocMemberTable, TwoHundredThousandMembers) {
  const int count = 200000;
  std::string text = "{";
  for (int i = 0; i < count; ++i) text.append("\"k").append(std::to_string(i)).append("\":").append(std::to_string(i)).append(",");
  text += "\"k7\":-1}";
  JsonDoc doc;
  ASSERT_TRUE(doc.ParseText(text));
  std::vector<std::string> names;
  ASSERT_EQ(doc.MemberNames({}, 0, names), count + 1);

  std::vector<std::string> expected;
  for (int i = 0; i < count; ++i) expected.push_back(std::string("k").append(std::to_string(i)));
  expected.push_back("k7");
  std::stable_sort(expected.begin(), expected.end(), [](const std::string& x, const std::string& y) {
    return DocMemberTable::BucketOf(DocMemberTable::Hash(x)) < DocMemberTable::BucketOf(DocMemberTable::Hash(y));
  });
  EXPECT_EQ(names, expected);

  for (const std::string& name : names) {
    const int node = doc.MemberByName({}, 0, name);
    ASSERT_NE(node, 0) << name;
    ASSERT_EQ(std::string("k").append(doc.ValueText({}, node)), name);
  }
  EXPECT_EQ(doc.MemberByName({}, 0, "k200000"), 0);
  EXPECT_EQ(doc.MemberByName({}, 0, "k"), 0);
}

}  // namespace
}  // namespace qoxa::tree::testing
