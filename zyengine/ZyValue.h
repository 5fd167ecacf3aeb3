#pragma once
// The value records of a zy document. Every JSON value is one record with an intrusive,
// atomically changed reference count. A container holds the creation reference of each child it
// was given; a record whose count reaches zero leaves its container by itself and releases its
// own children, so a child still referenced elsewhere survives its container.
//
// Records, their containers and their texts live in the record's ZyHeap; releasing a document
// walks it with an explicit work list, so depth never costs stack.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "zyengine/ZyHeap.h"
#include "zyengine/ZyText.h"

namespace qoxa::zy {

enum class ZyType : int32_t {
  Raw = -1,
  Null = 0,
  Double = 1,
  Integer = 2,
  Bool = 3,
  String = 4,
  Array = 5,
  Object = 6,
};

class ZyList;
class ZyTable;

struct ZyValue {
  ZyValue() = default;
  ~ZyValue() {
    key.Free(Heap());
    text.Free(Heap());
  }
  ZyValue(const ZyValue&) = delete;
  ZyValue& operator=(const ZyValue&) = delete;

  // Where the record, its container and its texts live (found from the record's address).
  ZyHeap* Heap() const { return ZyHeap::Of(this); }

  std::atomic<int32_t> refCount{1};
  ZyType type = ZyType::Null;
  union Payload {
    double number;
    int64_t integer;
    int32_t flag;
    ZyList* list;
    ZyTable* table;
  } payload{};
  ZyValue* parent = nullptr;  // the container holding this record; not a counted reference
  ZyText key;                 // member key, set and freed by the parent's table
  // The text form of a scalar (Null, Bool, Double, Integer, Raw); for a String its content.
  // Strings have no text form of their own: TextForm answers empty for them.
  ZyText text;
};
// Millions of records make up a big document, and their memory is most of its cost.
static_assert(sizeof(void*) != 8 || sizeof(ZyValue) <= 48);
static_assert(sizeof(ZyValue) <= ZyHeap::kPagedLimit);

// Record constructors: a new record with one reference and no parent, in the heap of `near`
// (a new heap when there is none).
ZyValue* NewObject(const ZyValue* near = nullptr);
ZyValue* NewArray(const ZyValue* near = nullptr);
ZyValue* NewNull(const ZyValue* near = nullptr);
ZyValue* NewBool(bool value, const ZyValue* near = nullptr);
ZyValue* NewDouble(double value, const ZyValue* near = nullptr);
ZyValue* NewInteger(int64_t value, const ZyValue* near = nullptr);
ZyValue* NewString(std::u16string_view text, const ZyValue* near = nullptr);
ZyValue* NewRaw(std::u16string_view text, const ZyValue* near = nullptr);
// A record of the given type and nothing else.
inline ZyValue* NewRecord(ZyType type, const ZyValue* near) {
  ZyHeap* heap = near ? near->Heap() : ZyHeap::Create();
  auto* v = HeapNew<ZyValue>(heap);
  v->type = type;
  return v;
}
// A scalar with the given payload and text form as they are (the scanner keeps number tokens);
// inline, since the scanner makes millions of them.
inline ZyValue* NewScalar(ZyType type, ZyValue::Payload payload, std::u16string_view text, const ZyValue* near) {
  ZyValue* v = NewRecord(type, near);
  v->payload = payload;
  v->text.Assign(v->Heap(), text);
  return v;
}

// In-place setters: ClearContents, then payload, type and text form as the constructor sets them.
bool SetNull(ZyValue* v);
bool SetBool(ZyValue* v, bool value);
bool SetDouble(ZyValue* v, double value);
bool SetInteger(ZyValue* v, int64_t value);
bool SetString(ZyValue* v, std::u16string_view text);
bool SetRaw(ZyValue* v, std::u16string_view text);

int32_t AddRef(ZyValue* v);
// Drops one reference; at zero the record leaves its container and is destroyed together with
// every child that has no other reference. Answers the new count.
int32_t Release(ZyValue* v);
// Frees what the record owns (children released, container destroyed, text freed); the type stays.
void ClearContents(ZyValue* v);
// Empties the value but keeps its container and the container's grown capacity; the type stays.
void Reset(ZyValue* v);
// Takes the record out of its container without touching its reference count.
void Detach(ZyValue* v);

bool EnsureArray(ZyValue* v);
bool EnsureObject(ZyValue* v);
// Appends child to container (made an Array when it is not one); the container takes over the
// child's creation reference.
bool AddElement(ZyValue* container, ZyValue* child);

// The text form of a scalar as stored; empty for Strings and containers.
std::u16string_view TextForm(const ZyValue* v);
// Element count of an Array, member count of an Object, else 0.
int32_t ChildCount(const ZyValue* v);
// The element at index of an Array or the member at that position of an Object, else none.
ZyValue* ChildAt(const ZyValue* v, int32_t index);

}  // namespace qoxa::zy
