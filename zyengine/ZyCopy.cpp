#include "zyengine/ZyCopy.h"

#include <string>
#include <utility>
#include <vector>

#include "zyengine/ZyList.h"
#include "zyengine/ZyTable.h"
#include "zyengine/ZyValue.h"

namespace qoxa::zy {
namespace {

// A copy of v without its children.
ZyValue* CopyAlone(const ZyValue* v, const ZyValue* near) {
  switch (v->type) {
    case ZyType::Null: return NewNull(near);
    case ZyType::Bool: return NewBool(v->payload.flag != 0, near);
    case ZyType::Double: return NewDouble(v->payload.number, near);
    case ZyType::Integer: return NewInteger(v->payload.integer, near);
    case ZyType::String: return NewString(v->text, near);
    case ZyType::Array: return NewArray(near);
    case ZyType::Object: return NewObject(near);
    default: return NewRaw(v->text, near);
  }
}

bool IsObject(const ZyValue* v) { return v->type == ZyType::Object && v->payload.table; }

bool ReplaceUnderKey(ZyValue* target, const ZyValue* incoming) {
  ZyValue* parent = target->parent;
  if (!parent || parent->type != ZyType::Object) return false;
  const std::u16string key(target->key.data(), target->key.size());
  return SetMember(parent, key, DeepCopy(incoming));
}

}  // namespace

ZyValue* DeepCopy(const ZyValue* v) {
  if (!v) return nullptr;
  ZyValue* copy = CopyAlone(v, v);
  std::vector<std::pair<const ZyValue*, ZyValue*>> pending{{v, copy}};
  while (!pending.empty()) {
    auto [source, target] = pending.back();
    pending.pop_back();
    const bool isArray = source->type == ZyType::Array;
    const ZyList* children = isArray ? source->payload.list
                             : source->type == ZyType::Object && source->payload.table ? &source->payload.table->Order()
                                                                                     : nullptr;
    if (!children) continue;
    for (const ZyValue* child : *children) {
      ZyValue* childCopy = CopyAlone(child, copy);
      if (isArray) AddElement(target, childCopy);
      else SetMember(target, child->key, childCopy);
      if (child->type == ZyType::Array || child->type == ZyType::Object) pending.push_back({child, childCopy});
    }
  }
  return copy;
}

bool Merge(ZyValue* target, const ZyValue* incoming, bool addMissing) {
  if (!target || !incoming) return false;
  if (!IsObject(target) || !IsObject(incoming)) return ReplaceUnderKey(target, incoming);
  struct Frame {
    ZyValue* target;
    const ZyValue* incoming;
    int32_t next;
  };
  std::vector<Frame> stack{{target, incoming, 0}};
  while (!stack.empty()) {
    Frame& f = stack.back();
    const ZyList& members = f.incoming->payload.table->Order();
    if (f.next >= members.Count()) {
      stack.pop_back();
      continue;
    }
    const ZyValue* m = members.At(f.next++);
    ZyValue* existing = FindMember(f.target, m->key);
    if (existing) {
      if (IsObject(existing) && IsObject(m)) stack.push_back({existing, m, 0});
      else if (!ReplaceUnderKey(existing, m)) return false;
    } else if (addMissing) {
      SetMember(f.target, m->key, DeepCopy(m));
    }
  }
  return true;
}

}  // namespace qoxa::zy
