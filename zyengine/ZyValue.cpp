#include "zyengine/ZyValue.h"

#include <vector>

#include "zyengine/ZyList.h"
#include "zyengine/ZyNumberText.h"
#include "zyengine/ZyTable.h"

namespace qoxa::zy {
namespace {

// Destroys the record itself; its heap goes with its last block.
void FreeRecord(ZyValue* v) {
  v->~ZyValue();
  v->Heap()->Free(v, sizeof(ZyValue));  // the page still names the heap: only the record is gone
}

// Hands every child of v's container to `dying` when this was its last reference, and clears the
// parent and key of every child, also of those that survive (they no longer belong anywhere).
// The container itself stays; the caller empties or destroys it.
void ReleaseChildren(ZyValue* v, std::vector<ZyValue*>& dying) {
  const ZyList* children = nullptr;
  if (v->type == ZyType::Array) children = v->payload.list;
  else if (v->type == ZyType::Object && v->payload.table) children = &v->payload.table->Order();
  if (!children) return;
  ZyValue* const* items = children->begin();
  const int32_t count = children->Count();
  for (int32_t i = 0; i < count; ++i) {
    // Big documents are released at memory speed: ask for the next records early.
    if (i + 8 < count) __builtin_prefetch(items[i + 8], 1);
    ZyValue* child = items[i];
    child->parent = nullptr;
    child->key.Free(child->Heap());
    if (child->refCount.fetch_sub(1, std::memory_order_acq_rel) == 1) dying.push_back(child);
  }
}

void DestroyContainer(ZyValue* v) {
  if (v->type == ZyType::Array) {
    HeapDelete(v->Heap(), v->payload.list);
    v->payload.list = nullptr;
  } else if (v->type == ZyType::Object) {
    HeapDelete(v->Heap(), v->payload.table);
    v->payload.table = nullptr;
  }
}

// Destroys records that have no references left and are out of every container, together with
// the children that die with them. A work list instead of recursion keeps depth off the stack.
void DestroyDetached(std::vector<ZyValue*>& dying) {
  while (!dying.empty()) {
    ZyValue* v = dying.back();
    dying.pop_back();
    ReleaseChildren(v, dying);
    DestroyContainer(v);
    FreeRecord(v);
  }
}

void ClearContentsInto(ZyValue* v, std::vector<ZyValue*>& dying) {
  ReleaseChildren(v, dying);
  DestroyContainer(v);
  v->payload = {};
  v->text.Free(v->Heap());
}

ZyValue* WithText(ZyValue* v, std::u16string_view text) {
  v->text.Assign(v->Heap(), text);
  return v;
}

}  // namespace

ZyValue* NewObject(const ZyValue* near) {
  ZyValue* v = NewRecord(ZyType::Object, near);
  v->payload.table = HeapNew<ZyTable>(v->Heap());
  return v;
}

ZyValue* NewArray(const ZyValue* near) {
  ZyValue* v = NewRecord(ZyType::Array, near);
  v->payload.list = HeapNew<ZyList>(v->Heap());
  return v;
}

ZyValue* NewNull(const ZyValue* near) { return WithText(NewRecord(ZyType::Null, near), u"null"); }

ZyValue* NewBool(bool value, const ZyValue* near) {
  ZyValue* v = NewRecord(ZyType::Bool, near);
  v->payload.flag = value ? 1 : 0;
  return WithText(v, value ? u"true" : u"false");
}

ZyValue* NewDouble(double value, const ZyValue* near) {
  ZyValue* v = NewRecord(ZyType::Double, near);
  v->payload.number = value;
  return WithText(v, DoubleToText(value));
}

ZyValue* NewInteger(int64_t value, const ZyValue* near) {
  ZyValue* v = NewRecord(ZyType::Integer, near);
  v->payload.integer = value;
  return WithText(v, IntegerToText(value));
}

ZyValue* NewString(std::u16string_view text, const ZyValue* near) {
  return WithText(NewRecord(ZyType::String, near), text);
}

ZyValue* NewRaw(std::u16string_view text, const ZyValue* near) { return WithText(NewRecord(ZyType::Raw, near), text); }

namespace {

// Runs ClearContents on v and then gives it the type, payload and text of a fresh scalar.
bool Become(ZyValue* v, ZyType type, ZyValue::Payload payload, std::u16string_view text) {
  if (!v) return false;
  ClearContents(v);
  v->type = type;
  v->payload = payload;
  v->text.Assign(v->Heap(), text);
  return true;
}

}  // namespace

bool SetNull(ZyValue* v) { return Become(v, ZyType::Null, {}, u"null"); }

bool SetBool(ZyValue* v, bool value) {
  ZyValue::Payload p{};
  p.flag = value ? 1 : 0;
  return Become(v, ZyType::Bool, p, value ? u"true" : u"false");
}

bool SetDouble(ZyValue* v, double value) {
  ZyValue::Payload p{};
  p.number = value;
  return Become(v, ZyType::Double, p, DoubleToText(value));
}

bool SetInteger(ZyValue* v, int64_t value) {
  ZyValue::Payload p{};
  p.integer = value;
  return Become(v, ZyType::Integer, p, IntegerToText(value));
}

// The text may be a view into v itself; it is copied before v is cleared.
bool SetString(ZyValue* v, std::u16string_view text) {
  return Become(v, ZyType::String, {}, std::u16string(text));
}

bool SetRaw(ZyValue* v, std::u16string_view text) { return Become(v, ZyType::Raw, {}, std::u16string(text)); }

int32_t AddRef(ZyValue* v) { return v ? v->refCount.fetch_add(1, std::memory_order_relaxed) + 1 : 0; }

int32_t Release(ZyValue* v) {
  if (!v) return 0;
  const int32_t count = v->refCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (count == 0) {
    Detach(v);
    std::vector<ZyValue*> dying{v};
    DestroyDetached(dying);
  }
  return count;
}

void ClearContents(ZyValue* v) {
  if (!v) return;
  std::vector<ZyValue*> dying;
  ClearContentsInto(v, dying);
  DestroyDetached(dying);
}

void Reset(ZyValue* v) {
  if (!v) return;
  std::vector<ZyValue*> dying;
  ReleaseChildren(v, dying);
  switch (v->type) {
    case ZyType::Array:
      if (v->payload.list) v->payload.list->Clear();
      break;
    case ZyType::Object:
      if (v->payload.table) v->payload.table->EmptyInPlace();
      break;
    default:
      v->payload = {};
      break;
  }
  v->text.Free(v->Heap());
  DestroyDetached(dying);
}

void Detach(ZyValue* v) {
  if (!v || !v->parent) return;
  ZyValue* parent = v->parent;
  if (parent->type == ZyType::Array && parent->payload.list) {
    parent->payload.list->RemoveItem(v);
  } else if (parent->type == ZyType::Object && parent->payload.table) {
    parent->payload.table->Unlink(v);
  }
  v->parent = nullptr;
}

bool EnsureArray(ZyValue* v) {
  if (!v) return false;
  if (v->type != ZyType::Array) {
    ClearContents(v);
    v->type = ZyType::Array;
    v->payload.list = HeapNew<ZyList>(v->Heap());
  }
  return true;
}

bool EnsureObject(ZyValue* v) {
  if (!v) return false;
  if (v->type != ZyType::Object) {
    ClearContents(v);
    v->type = ZyType::Object;
    v->payload.table = HeapNew<ZyTable>(v->Heap());
  }
  return true;
}

bool AddElement(ZyValue* container, ZyValue* child) {
  if (!container || !child) return false;
  EnsureArray(container);
  child->parent = container;
  container->payload.list->Append(child);
  return true;
}

std::u16string_view TextForm(const ZyValue* v) {
  if (!v || v->type == ZyType::String || v->type == ZyType::Array || v->type == ZyType::Object) return {};
  return v->text;
}

int32_t ChildCount(const ZyValue* v) {
  if (!v) return 0;
  if (v->type == ZyType::Array && v->payload.list) return v->payload.list->Count();
  if (v->type == ZyType::Object && v->payload.table) return v->payload.table->Count();
  return 0;
}

ZyValue* ChildAt(const ZyValue* v, int32_t index) {
  if (!v) return nullptr;
  if (v->type == ZyType::Array && v->payload.list) return v->payload.list->At(index);
  if (v->type == ZyType::Object && v->payload.table) return v->payload.table->At(index);
  return nullptr;
}

}  // namespace qoxa::zy
