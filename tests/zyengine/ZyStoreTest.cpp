// Member tables, element lists and the ownership rules of the value records.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "zyengine/ZyJson.h"
#include "zyengine/ZyList.h"
#include "zyengine/ZyTable.h"
#include "zyengine/ZyValue.h"

namespace qoxa::zy {
namespace {

std::u16string KeyOf(int i) {
  std::u16string key(2, u'k');
  key[1] = static_cast<char16_t>(u'a' + i);
  return key;
}

std::u16string MemberOrder(const ZyValue* object) {
  std::u16string order;
  for (const ZyValue* m : object->payload.table->Order()) order.append(m->key).push_back(u',');
  return order;
}

TEST(HashKey, KnownValuesAndBuckets) {
  EXPECT_EQ(HashKey(u"abc"), 91522854);
  EXPECT_EQ(HashKey(u"abc") % 11, 5);
  EXPECT_EQ(HashKey(u""), 0);
  EXPECT_EQ(HashKey(u"\u4e2d"), 0x4e * 31 + 0x2d);  // high byte hashed first, low byte last
}

TEST(ZyTable, GrowsBeforeReachingTheThresholdAndKeepsOrder) {
  ZyValue* object = NewObject();
  ZyTable* table = object->payload.table;
  EXPECT_EQ(table->BucketCount(), 11);
  EXPECT_EQ(table->Threshold(), 8);
  std::u16string expectedOrder;
  const struct {
    int keys;
    int buckets;
    int threshold;
  } steps[] = {{8, 11, 8}, {9, 23, 17}, {17, 23, 17}, {18, 47, 35}, {36, 95, 71}};
  int added = 0;
  for (const auto& step : steps) {
    for (; added < step.keys; ++added) {
      SetMember(object, KeyOf(added), NewInteger(added));
      expectedOrder.append(KeyOf(added)).push_back(u',');
    }
    EXPECT_EQ(table->BucketCount(), step.buckets) << step.keys;
    EXPECT_EQ(table->Threshold(), step.threshold) << step.keys;
  }
  EXPECT_EQ(table->Count(), 36);
  EXPECT_EQ(MemberOrder(object), expectedOrder);
  for (int i = 0; i < 36; ++i) ASSERT_EQ(FindMember(object, KeyOf(i))->payload.integer, i);
  Release(object);
}

// Random sets, replacements and removals across the small and the large form of a table, checked
// against a plain model: lookups, count and member order must agree after every step.
TEST(ZyTable, AgreesWithAModelUnderRandomEdits) {
  ZyValue* object = NewObject();
  std::vector<std::pair<std::u16string, int>> model;  // in member order
  uint32_t state = 12345;
  auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
  for (int step = 0; step < 6000; ++step) {
    // Keys from a pool whose size grows and shrinks, so tables cross every form and size.
    const uint32_t pool = step < 3000 ? 8 + step / 10 : 8 + (6000 - step) / 10;
    std::u16string key = u"k";
    key += std::u16string(next() % 3, u'x') + std::u16string(1, static_cast<char16_t>(u'0' + next() % pool));
    auto it = std::find_if(model.begin(), model.end(), [&](const auto& m) { return m.first == key; });
    if (next() % 3 == 0) {
      EXPECT_EQ(RemoveMember(object, key), it != model.end());
      if (it != model.end()) model.erase(it);
    } else {
      SetMember(object, key, NewInteger(step));
      if (it != model.end()) it->second = step;
      else model.emplace_back(key, step);
    }
    ASSERT_EQ(ChildCount(object), static_cast<int32_t>(model.size())) << step;
    for (size_t i = 0; i < model.size(); ++i) {
      const ZyValue* found = FindMember(object, model[i].first);
      ASSERT_NE(found, nullptr) << step;
      ASSERT_EQ(found->payload.integer, model[i].second) << step;
      ASSERT_EQ(ChildAt(object, static_cast<int32_t>(i)), found) << step;
    }
  }
  Release(object);
}

TEST(ZyTable, ReplaceKeepsPositionRemoveAndReAddMovesToTheEnd) {
  ZyJson doc;
  ASSERT_EQ(doc.Parse(R"({"a":1,"B":2,"b":3,"":4})"), 1);
  ZyValue* root = doc.Root();
  EXPECT_EQ(doc.CountAt(), 4);  // keys differing in case are different members; the empty key is one

  ZyJson old = doc.ItemAt("", 0);  // keep the replaced member alive to see that it was released
  SetMember(root, u"a", NewString(u"new"));
  EXPECT_EQ(MemberOrder(root), u"a,B,b,,");
  EXPECT_EQ(old.Root()->refCount.load(), 1);
  EXPECT_EQ(old.Root()->parent, nullptr);
  EXPECT_EQ(doc.ToText(), R"({"a":"new","B":2,"b":3,"":4})");

  EXPECT_TRUE(RemoveMember(root, u"B"));
  EXPECT_FALSE(RemoveMember(root, u"B"));
  SetMember(root, u"B", NewNull());
  EXPECT_EQ(MemberOrder(root), u"a,b,,B,");
  EXPECT_EQ(root->payload.table->Count(), 4);
}

TEST(ZyTable, ReplacingLongKeysWithinAndAcrossHeaps) {
  ZyJson doc;
  ASSERT_EQ(doc.Parse(R"({"a rather long key":1,"another long key":2})"), 1);
  ZyValue* root = doc.Root();
  SetMember(root, u"a rather long key", NewInteger(3, root));  // same heap: the key block moves over
  SetMember(root, u"another long key", NewInteger(4));         // a heap of its own: the key is copied
  EXPECT_EQ(doc.ToText(), R"({"a rather long key":3,"another long key":4})");
  EXPECT_EQ(HashKey(doc.Root()->payload.table->At(1)->key), HashKey(u"another long key"));
}

TEST(ZyList, GrowthAndEditing) {
  ZyValue* array = NewArray();
  ZyList* list = array->payload.list;
  const int expectedCapacity[] = {8, 8, 8, 8, 8, 8, 8, 8, 17, 17, 17, 17, 17, 17, 17, 17, 17, 35};
  for (int i = 0; i < 18; ++i) {
    AddElement(array, NewInteger(i));
    ASSERT_EQ(list->Capacity(), expectedCapacity[i]) << i;
  }
  ZyValue* first = list->At(0);
  ZyValue* extra = NewInteger(99);
  EXPECT_EQ(list->InsertAt(19, extra), -1);
  EXPECT_EQ(list->InsertAt(18, extra), 18);
  EXPECT_TRUE(list->RemoveItem(extra));
  EXPECT_FALSE(list->RemoveItem(extra));
  list->ReplaceItem(first, extra);
  EXPECT_EQ(list->At(0), extra);
  list->ReplaceItem(first, extra);  // absent now: nothing happens
  EXPECT_FALSE(list->RemoveAt(18));
  EXPECT_EQ(list->At(18), nullptr);
  EXPECT_EQ(list->At(-1), nullptr);
  list->ReplaceItem(extra, first);
  Release(extra);
  Release(array);
}

TEST(Ownership, ReleasingAMemberLeavesItsObject) {
  ZyJson doc;
  ASSERT_EQ(doc.Parse(R"({"a":1,"b":{"c":2},"d":3})"), 1);
  ZyValue* b = FindMember(doc.Root(), u"b");
  AddRef(b);  // a second owner
  EXPECT_TRUE(doc.RemoveKey("", "b"));
  EXPECT_EQ(b->refCount.load(), 1);
  EXPECT_EQ(doc.ToText(), R"({"a":1,"d":3})");

  // A member whose last reference goes away takes itself out of its container.
  ZyValue* a = FindMember(doc.Root(), u"a");
  Release(a);
  EXPECT_EQ(doc.CountAt(), 1);
  EXPECT_EQ(doc.KeyAt("[0]"), "d");
  EXPECT_EQ(FindMember(doc.Root(), u"a"), nullptr);
  Release(b);

  ZyJson list;
  ASSERT_EQ(list.Parse("[1,2,3]"), 1);
  Release(ChildAt(list.Root(), 1));
  EXPECT_EQ(list.ToText(), "[1,3]");
}

TEST(Ownership, ChildReferencedElsewhereSurvivesItsContainer) {
  ZyJson child;
  {
    ZyJson doc;
    ASSERT_EQ(doc.Parse(R"({"keep":{"x":[1,2]},"drop":[3]})"), 1);
    child = doc.MemberAt("", "keep");
    EXPECT_EQ(child.Root()->refCount.load(), 2);
  }
  EXPECT_EQ(child.Root()->refCount.load(), 1);
  EXPECT_EQ(child.Root()->parent, nullptr);
  EXPECT_EQ(child.KeyAt(""), "");
  EXPECT_EQ(child.ToText(), R"({"x":[1,2]})");
  child.DetachRoot();  // no container any more: nothing to do
  EXPECT_EQ(child.ParentAt().Root(), nullptr);
}

TEST(Ownership, ResetKeepsGrownCapacities) {
  ZyJson doc;
  std::string text = "{";
  for (int i = 0; i < 20; ++i) text += "\"k" + std::to_string(i) + "\":[1,2,3,4,5,6,7,8,9],";
  text.back() = '}';
  ASSERT_EQ(doc.Parse(text), 1);
  ZyValue* root = doc.Root();
  ZyValue* array = FindMember(root, u"k0");
  AddRef(array);
  Reset(array);
  EXPECT_EQ(array->payload.list->Count(), 0);
  EXPECT_EQ(array->payload.list->Capacity(), 17);
  Reset(root);
  EXPECT_EQ(root->type, ZyType::Object);
  EXPECT_EQ(root->payload.table->Count(), 0);
  EXPECT_EQ(root->payload.table->BucketCount(), 47);
  EXPECT_EQ(doc.ToText(), "{}");
  EXPECT_EQ(array->parent, nullptr);  // survived the reset of its Object, no longer a member
  Release(array);
}

TEST(Ownership, ContainerConversionsReleaseTheOldContents) {
  ZyJson doc;
  ASSERT_EQ(doc.Parse(R"({"a":{"b":1},"c":[1,2]})"), 1);
  ZyJson inner = doc.MemberAt("", "a");
  EnsureArray(doc.Root());
  EXPECT_EQ(doc.ToText(), "[]");
  EXPECT_EQ(inner.Root()->refCount.load(), 1);
  AddElement(doc.Root(), NewBool(true));
  EnsureObject(doc.Root());
  EXPECT_EQ(doc.ToText(), "{}");
  EXPECT_EQ(inner.ToText(), R"({"b":1})");
}

}  // namespace
}  // namespace qoxa::zy
