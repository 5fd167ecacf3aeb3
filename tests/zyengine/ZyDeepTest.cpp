// Documents nested 100,000 levels deep are parsed, written, copied and released without
// running out of stack.
#include <gtest/gtest.h>

#include <string>

#include "zyengine/ZyJson.h"

namespace qoxa::zy {
namespace {

constexpr int kDepth = 100000;

std::string Nested(const std::string& open, const std::string& inner, const std::string& close) {
  std::string text;
  text.reserve((open.size() + close.size()) * kDepth + inner.size());
  for (int i = 0; i < kDepth; ++i) text += open;
  text += inner;
  for (int i = 0; i < kDepth; ++i) text += close;
  return text;
}

TEST(DeepNesting, ParsesWritesCopiesAndReleasesArrays) {
  const std::string text = Nested("[", "1", "]");
  ZyJson doc;
  ASSERT_EQ(doc.Parse(text), 1);
  EXPECT_EQ(doc.ToText("", true), text);  // Arrays stay on one line even when pretty
  ZyJson copy = doc.CopyAt();
  doc.ReleaseRoot();
  EXPECT_EQ(copy.ToText(), text);
}

TEST(DeepNesting, ObjectsAndMixedNesting) {
  const std::string objects = Nested(R"({"a":)", "1", "}");
  ZyJson doc;
  ASSERT_EQ(doc.Parse(objects), 1);
  EXPECT_EQ(doc.ToText(), objects);
  ZyJson mixed;
  ASSERT_EQ(mixed.Parse(Nested(R"({"a":[)", "2", "]}")), 1);
  EXPECT_TRUE(mixed.MergeText("", Nested(R"({"a":[)", "3", "]}"), false, true));
  // A document nested this deeply, left unclosed, fails and leaves an empty root behind.
  int code = 0;
  EXPECT_EQ(mixed.Parse(Nested("[", "", "").append("]"), false, &code), 0);
  EXPECT_EQ(code, -5);
  EXPECT_EQ(mixed.ToText(), "[]");
}

TEST(DeepNesting, DocumentsBuiltByTheHandleOperations) {
  ZyJson doc;
  doc.Create();
  ZyJson inner = doc.ValueAt();
  for (int i = 0; i < kDepth; ++i) inner = inner.ValueAt(i % 2 ? "k" : "[0]");
  inner.SetIntegerAt("", 7);
  ZyJson copy = doc.CopyAt();
  EXPECT_EQ(copy.CountAt(), 1);
  inner.ReleaseRoot();
  doc.ReleaseRoot();
  EXPECT_EQ(copy.ToText().size(), size_t{kDepth / 2} * (2 + 6) + 1);
}

}  // namespace
}  // namespace qoxa::zy
