#pragma once
// Deep copies and merges of values. Both work without recursion.
namespace qoxa::zy {

struct ZyValue;

// A new record tree equal to v (one reference, no parent). Doubles and Integers get the text
// form of their number, not v's; Raw keeps its token.
ZyValue* DeepCopy(const ZyValue* v);

// Merges incoming into target. When both are Objects, every member of incoming, in member order,
// is merged into the target's member of the same key, or, when the target lacks it and
// addMissing, a copy is added. When they are not both Objects and target is an Object member, a
// copy of incoming replaces it under its key; otherwise the merge fails there and stops.
bool Merge(ZyValue* target, const ZyValue* incoming, bool addMissing);

}  // namespace qoxa::zy
