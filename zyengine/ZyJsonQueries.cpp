// Handle operations that read the document; they follow paths without creating anything.
#include "zyengine/ZyCodePage.h"
#include "zyengine/ZyJson.h"
#include "zyengine/ZyNumberText.h"
#include "zyengine/ZyPath.h"
#include "zyengine/ZyTable.h"

namespace qoxa::zy {
namespace {

bool IsMember(const ZyValue* v) { return v && v->parent && v->parent->type == ZyType::Object; }

}  // namespace

int ZyJson::TypeAtW(std::u16string_view path) const {
  const ZyValue* v = Find(path);
  return v ? static_cast<int>(v->type) : -1;
}
int ZyJson::TypeAt(std::string_view path) const { return TypeAtW(ToUtf16(path)); }

ZyJson ZyJson::ParentAtW(std::u16string_view path) const {
  const ZyValue* v = Find(path);
  return Sharing(v ? v->parent : nullptr);
}
ZyJson ZyJson::ParentAt(std::string_view path) const { return ParentAtW(ToUtf16(path)); }

int ZyJson::CountAtW(std::u16string_view path) const { return ChildCount(Find(path)); }
int ZyJson::CountAt(std::string_view path) const { return CountAtW(ToUtf16(path)); }

ZyJson ZyJson::MemberAtW(std::u16string_view path, std::u16string_view key) const {
  return Sharing(FindMember(Find(path), key));
}
ZyJson ZyJson::MemberAt(std::string_view path, std::string_view key) const {
  return MemberAtW(ToUtf16(path), ToUtf16(key));
}

std::u16string ZyJson::KeyAtW(std::u16string_view path) const {
  const ZyValue* v = Find(path);
  return IsMember(v) ? std::u16string(v->key.data(), v->key.size()) : std::u16string();
}
std::string ZyJson::KeyAt(std::string_view path) const { return ToGb18030(KeyAtW(ToUtf16(path))); }

ZyJson ZyJson::ItemAtW(std::u16string_view path, int index) const { return Sharing(ChildAt(Find(path), index)); }
ZyJson ZyJson::ItemAt(std::string_view path, int index) const { return ItemAtW(ToUtf16(path), index); }

bool ZyJson::HasPathW(std::u16string_view path) const { return !path.empty() && Find(path) != nullptr; }
bool ZyJson::HasPath(std::string_view path) const { return HasPathW(ToUtf16(path)); }

std::u16string ZyJson::TextFormAtW(std::u16string_view path) const { return std::u16string(TextForm(Find(path))); }
std::string ZyJson::TextFormAt(std::string_view path) const { return ToGb18030(TextForm(Find(ToUtf16(path)))); }

std::u16string ZyJson::StringAtW(std::u16string_view path) const {
  const ZyValue* v = Find(path);
  return v && v->type == ZyType::String ? std::u16string(v->text.data(), v->text.size()) : std::u16string();
}
std::string ZyJson::StringAt(std::string_view path) const { return ToGb18030(StringAtW(ToUtf16(path))); }

bool ZyJson::BoolAtW(std::u16string_view path) const {
  const ZyValue* v = Find(path);
  return v && v->type == ZyType::Bool && v->payload.flag != 0;
}
bool ZyJson::BoolAt(std::string_view path) const { return BoolAtW(ToUtf16(path)); }

double ZyJson::DoubleAtW(std::u16string_view path) const {
  const ZyValue* v = Find(path);
  if (!v) return 0.0;
  if (v->type == ZyType::Double) return v->payload.number;
  if (v->type == ZyType::Integer) return static_cast<double>(v->payload.integer);
  return 0.0;
}
double ZyJson::DoubleAt(std::string_view path) const { return DoubleAtW(ToUtf16(path)); }

int64_t ZyJson::IntegerAtW(std::u16string_view path) const {
  const ZyValue* v = Find(path);
  if (!v) return 0;
  if (v->type == ZyType::Integer) return v->payload.integer;
  if (v->type == ZyType::Double) return TruncateToInt64(v->payload.number);
  return 0;
}
int64_t ZyJson::IntegerAt(std::string_view path) const { return IntegerAtW(ToUtf16(path)); }

int ZyJson::KeysAtW(std::u16string_view path, std::vector<std::u16string>& keys) const {
  const ZyValue* v = Find(path);
  keys.clear();
  if (v && v->type == ZyType::Object && v->payload.table) keys = v->payload.table->KeysSnapshot();
  return static_cast<int>(keys.size());
}

int ZyJson::KeysAt(std::string_view path, std::vector<std::string>& keys) const {
  std::vector<std::u16string> wide;
  KeysAtW(ToUtf16(path), wide);
  keys.clear();
  for (const std::u16string& key : wide) keys.push_back(ToGb18030(key));
  return static_cast<int>(keys.size());
}

int ZyJson::ChildrenAtW(std::u16string_view path, std::vector<ZyJson>& children) const {
  const ZyValue* v = Find(path);
  children.clear();
  const int32_t count = ChildCount(v);
  for (int32_t i = 0; i < count; ++i) children.push_back(Sharing(ChildAt(v, i)));
  return count;
}
int ZyJson::ChildrenAt(std::string_view path, std::vector<ZyJson>& children) const {
  return ChildrenAtW(ToUtf16(path), children);
}

}  // namespace qoxa::zy
