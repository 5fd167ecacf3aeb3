// Handle operations that change the document. Their paths are followed creating what is missing.
#include "zyengine/ZyCodePage.h"
#include "zyengine/ZyCopy.h"
#include "zyengine/ZyJson.h"
#include "zyengine/ZyList.h"
#include "zyengine/ZyPath.h"
#include "zyengine/ZyScanner.h"
#include "zyengine/ZyTable.h"

namespace qoxa::zy {
namespace {

ZyList* ElementsOf(ZyValue* v) { return v && v->type == ZyType::Array ? v->payload.list : nullptr; }

// Takes the element at index out of its Array and drops the Array's reference to it.
void ReleaseElement(ZyList* list, int32_t index) {
  ZyValue* old = list->At(index);
  list->RemoveAt(index);
  old->parent = nullptr;
  Release(old);
}

}  // namespace

// Taking a value out of its container also drops the reference the container held: nothing else
// could ever release it, and the value lives on through this handle's own reference.
void ZyJson::DetachRoot() {
  if (!root_ || !root_->parent) return;
  Detach(root_);
  Release(root_);
}

bool ZyJson::RemoveKeyW(std::u16string_view path, std::u16string_view key) {
  ZyValue* v = FindOrCreate(path);
  return v && v->type == ZyType::Object && RemoveMember(v, key);
}
bool ZyJson::RemoveKey(std::string_view path, std::string_view key) { return RemoveKeyW(ToUtf16(path), ToUtf16(key)); }

bool ZyJson::RemoveIndexW(std::u16string_view path, int index) {
  ZyList* list = ElementsOf(FindOrCreate(path));
  if (!list || !list->At(index)) return false;
  ReleaseElement(list, index);
  return true;
}
bool ZyJson::RemoveIndex(std::string_view path, int index) { return RemoveIndexW(ToUtf16(path), index); }

bool ZyJson::ResetAtW(std::u16string_view path) {
  ZyValue* v = FindOrCreate(path);
  if (!v) return false;
  Reset(v);
  return true;
}
bool ZyJson::ResetAt(std::string_view path) { return ResetAtW(ToUtf16(path)); }

ZyValue* ZyJson::CopyAndFindOrCreate(std::u16string_view path, const ZyJson& other, ZyValue*& copy) {
  copy = DeepCopy(other.root_);
  ZyValue* v = FindOrCreate(path);
  if (!v) {
    Release(copy);
    copy = nullptr;
  }
  return v;
}

bool ZyJson::PutMemberW(std::u16string_view path, std::u16string_view key, const ZyJson& other) {
  if (!other.root_) return false;
  ZyValue* copy;
  ZyValue* v = CopyAndFindOrCreate(path, other, copy);
  if (!v) return false;
  return SetMember(v, key, copy);
}
bool ZyJson::PutMember(std::string_view path, std::string_view key, const ZyJson& other) {
  return PutMemberW(ToUtf16(path), ToUtf16(key), other);
}

bool ZyJson::AppendCopyW(std::u16string_view path, const ZyJson& other) {
  if (!other.root_) return false;
  ZyValue* copy;
  ZyValue* v = CopyAndFindOrCreate(path, other, copy);
  if (!v) return false;
  return AddElement(v, copy);
}
bool ZyJson::AppendCopy(std::string_view path, const ZyJson& other) { return AppendCopyW(ToUtf16(path), other); }

bool ZyJson::InsertCopyW(std::u16string_view path, int index, const ZyJson& other) {
  if (!other.root_) return false;
  ZyValue* copy;
  ZyValue* v = CopyAndFindOrCreate(path, other, copy);
  if (!v) return false;
  EnsureArray(v);
  copy->parent = v;
  if (v->payload.list->InsertAt(index, copy) < 0) {
    copy->parent = nullptr;
    Release(copy);
    return false;
  }
  return true;
}
bool ZyJson::InsertCopy(std::string_view path, int index, const ZyJson& other) {
  return InsertCopyW(ToUtf16(path), index, other);
}

bool ZyJson::PutItemW(std::u16string_view path, int index, const ZyJson& other) {
  if (!other.root_ || index < 0) return false;
  ZyValue* copy;
  ZyValue* v = CopyAndFindOrCreate(path, other, copy);
  if (!v) return false;
  EnsureArray(v);
  ZyList* list = v->payload.list;
  if (index < list->Count()) {
    ReleaseElement(list, index);
    copy->parent = v;
    list->InsertAt(index, copy);
  } else {
    while (list->Count() < index) AddElement(v, NewNull(v));
    AddElement(v, copy);
  }
  return true;
}
bool ZyJson::PutItem(std::string_view path, int index, const ZyJson& other) {
  return PutItemW(ToUtf16(path), index, other);
}

ZyJson ZyJson::ValueAtW(std::u16string_view path) { return Sharing(FindOrCreate(path)); }
ZyJson ZyJson::ValueAt(std::string_view path) { return ValueAtW(ToUtf16(path)); }

bool ZyJson::SetStringAtW(std::u16string_view path, std::u16string_view text) {
  return SetString(FindOrCreate(path), text);
}
bool ZyJson::SetStringAt(std::string_view path, std::string_view text) {
  return SetStringAtW(ToUtf16(path), ToUtf16(text));
}
bool ZyJson::SetNullAtW(std::u16string_view path) { return SetNull(FindOrCreate(path)); }
bool ZyJson::SetNullAt(std::string_view path) { return SetNullAtW(ToUtf16(path)); }
bool ZyJson::SetBoolAtW(std::u16string_view path, bool value) { return SetBool(FindOrCreate(path), value); }
bool ZyJson::SetBoolAt(std::string_view path, bool value) { return SetBoolAtW(ToUtf16(path), value); }
bool ZyJson::SetDoubleAtW(std::u16string_view path, double value) { return SetDouble(FindOrCreate(path), value); }
bool ZyJson::SetDoubleAt(std::string_view path, double value) { return SetDoubleAtW(ToUtf16(path), value); }
bool ZyJson::SetIntegerAtW(std::u16string_view path, int64_t value) {
  return SetInteger(FindOrCreate(path), value);
}
bool ZyJson::SetIntegerAt(std::string_view path, int64_t value) { return SetIntegerAtW(ToUtf16(path), value); }

ZyJson ZyJson::CopyAtW(std::u16string_view path) {
  const ZyValue* v = FindOrCreate(path);
  return v ? Owning(DeepCopy(v)) : ZyJson();
}
ZyJson ZyJson::CopyAt(std::string_view path) { return CopyAtW(ToUtf16(path)); }

void ZyJson::SortKeysW(std::u16string_view path, bool descending) {
  ZyValue* v = Find(path);
  if (v && v->type == ZyType::Object && v->payload.table) v->payload.table->Sort(descending);
}
void ZyJson::SortKeys(std::string_view path, bool descending) { SortKeysW(ToUtf16(path), descending); }

bool ZyJson::MergeTextW(std::u16string_view path, std::u16string_view text, bool decodeUnicode, bool addMissing) {
  ZyJson incoming;
  incoming.Create();
  if (ParseInto(incoming.root_, text.data(), text.size(), decodeUnicode) != kParseOk) return false;
  ZyValue* v = FindOrCreate(path);
  return v && Merge(v, incoming.root_, addMissing);
}
bool ZyJson::MergeText(std::string_view path, std::string_view text, bool decodeUnicode, bool addMissing) {
  return MergeTextW(ToUtf16(path), ToUtf16(text), decodeUnicode, addMissing);
}

bool ZyJson::MergeObject(std::string_view path, const ZyJson& other) {
  if (!other.root_ || other.root_->type != ZyType::Object) return false;
  // A copy first, so merging a document into a part of itself reads a stable source.
  ZyJson source = Owning(DeepCopy(other.root_));
  ZyValue* v = FindOrCreate(ToUtf16(path));
  if (!v) return false;
  EnsureObject(v);
  for (const ZyValue* m : source.root_->payload.table->Order()) SetMember(v, m->key, DeepCopy(m));
  return true;
}

bool ZyJson::AppendAll(std::string_view path, const ZyJson& other) {
  if (!other.root_ || other.root_->type != ZyType::Array) return false;
  ZyJson source = Owning(DeepCopy(other.root_));
  ZyValue* v = FindOrCreate(ToUtf16(path));
  if (!v) return false;
  EnsureArray(v);
  for (const ZyValue* element : *source.root_->payload.list) AddElement(v, DeepCopy(element));
  return true;
}

}  // namespace qoxa::zy
