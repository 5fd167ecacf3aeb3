#pragma once
// The zy-mode document handle: a reference to a root value plus the operations on the document
// under it. Text in and out of the plain operations is GB18030 bytes; the operations whose names
// end in W take and give UTF-16 text. Paths use the zy dialect: dotted keys, [n] indexes (0-based),
// a backslash escaping '.', '[', ']' or itself. An empty path means the root.
//
// Copying a handle shares its root (one more reference); destroying it drops its reference.
// Handles answered by operations share the value they name unless the operation says it copies.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "zyengine/ZyValue.h"

namespace qoxa::zy {

class ZyJson {
 public:
  ZyJson() = default;
  ~ZyJson();
  ZyJson(const ZyJson& other);
  ZyJson& operator=(const ZyJson& other);
  ZyJson(ZyJson&& other) noexcept;
  ZyJson& operator=(ZyJson&& other) noexcept;

  // Lifecycle. Create makes a new empty Object the root and, when text is given, parses it into it.
  int Create();
  int Create(std::string_view text, bool decodeUnicode = false);
  int CreateW(std::u16string_view text, bool decodeUnicode = false);
  void ReleaseRoot();
  ZyValue* Root() const { return root_; }
  void AttachRoot(ZyValue* value);

  // New values, made for a new handle that holds their only reference.
  ZyJson MakeObject() const;
  ZyJson MakeArray() const;
  ZyJson MakeNull() const;
  ZyJson MakeBool(bool value) const;
  ZyJson MakeStringW(std::u16string_view text) const;
  ZyJson MakeString(std::string_view text) const;
  ZyJson MakeDouble(double value) const;
  ZyJson MakeInteger(int64_t value) const;

  // Parses text into the root (a new empty Object when there is none). Answers 1 on success,
  // 0 on failure; *resultCode receives the scanner's result code (0, -1 … -8).
  int ParseW(std::u16string_view text, bool decodeUnicode = false, int* resultCode = nullptr);
  int Parse(std::string_view text, bool decodeUnicode = false, int* resultCode = nullptr);

  // JSON text of the value at the path; empty when the path leads nowhere or there is no root.
  std::u16string ToTextW(std::u16string_view path = {}, bool pretty = false, bool escape = true) const;
  std::string ToText(std::string_view path = {}, bool pretty = false, bool escape = true) const;

  // Queries (they create nothing).
  int TypeAt(std::string_view path = {}) const;
  int TypeAtW(std::u16string_view path = {}) const;
  ZyJson ParentAt(std::string_view path = {}) const;
  ZyJson ParentAtW(std::u16string_view path = {}) const;
  int CountAt(std::string_view path = {}) const;
  int CountAtW(std::u16string_view path = {}) const;
  void DetachRoot();

  // Edits. The path is followed creating what is missing (Null members and elements) and
  // converting values into the containers the steps need.
  bool RemoveKeyW(std::u16string_view path, std::u16string_view key);
  bool RemoveKey(std::string_view path, std::string_view key);
  bool RemoveIndex(std::string_view path, int index);
  bool RemoveIndexW(std::u16string_view path, int index);
  bool ResetAt(std::string_view path = {});
  bool ResetAtW(std::u16string_view path = {});
  bool PutMember(std::string_view path, std::string_view key, const ZyJson& other);
  bool PutMemberW(std::u16string_view path, std::u16string_view key, const ZyJson& other);
  ZyJson MemberAt(std::string_view path, std::string_view key) const;
  ZyJson MemberAtW(std::u16string_view path, std::u16string_view key) const;
  std::u16string KeyAtW(std::u16string_view path) const;
  std::string KeyAt(std::string_view path) const;
  bool AppendCopy(std::string_view path, const ZyJson& other);
  bool AppendCopyW(std::u16string_view path, const ZyJson& other);
  bool InsertCopy(std::string_view path, int index, const ZyJson& other);
  bool InsertCopyW(std::u16string_view path, int index, const ZyJson& other);
  ZyJson ItemAt(std::string_view path, int index) const;
  ZyJson ItemAtW(std::u16string_view path, int index) const;
  bool PutItem(std::string_view path, int index, const ZyJson& other);
  bool PutItemW(std::u16string_view path, int index, const ZyJson& other);
  bool HasPathW(std::u16string_view path) const;
  bool HasPath(std::string_view path) const;
  ZyJson ValueAt(std::string_view path = {});
  ZyJson ValueAtW(std::u16string_view path = {});

  bool SetStringAt(std::string_view path, std::string_view text);
  bool SetStringAtW(std::u16string_view path, std::u16string_view text);
  bool SetNullAtW(std::u16string_view path);
  bool SetNullAt(std::string_view path);
  bool SetBoolAtW(std::u16string_view path, bool value);
  bool SetBoolAt(std::string_view path, bool value);
  bool SetDoubleAtW(std::u16string_view path, double value);
  bool SetDoubleAt(std::string_view path, double value);
  bool SetIntegerAtW(std::u16string_view path, int64_t value);
  bool SetIntegerAt(std::string_view path, int64_t value);

  // Scalar reads.
  std::string TextFormAt(std::string_view path = {}) const;
  std::u16string TextFormAtW(std::u16string_view path = {}) const;
  std::string StringAt(std::string_view path = {}) const;
  std::u16string StringAtW(std::u16string_view path = {}) const;
  bool BoolAtW(std::u16string_view path = {}) const;
  bool BoolAt(std::string_view path = {}) const;
  double DoubleAtW(std::u16string_view path = {}) const;
  double DoubleAt(std::string_view path = {}) const;
  int64_t IntegerAtW(std::u16string_view path = {}) const;
  int64_t IntegerAt(std::string_view path = {}) const;

  // Listings; each answers the count and replaces the out array's contents.
  int KeysAtW(std::u16string_view path, std::vector<std::u16string>& keys) const;
  int KeysAt(std::string_view path, std::vector<std::string>& keys) const;
  int ChildrenAtW(std::u16string_view path, std::vector<ZyJson>& children) const;
  int ChildrenAt(std::string_view path, std::vector<ZyJson>& children) const;

  ZyJson CopyAtW(std::u16string_view path = {});
  ZyJson CopyAt(std::string_view path = {});
  void SortKeysW(std::u16string_view path = {}, bool descending = false);
  void SortKeys(std::string_view path = {}, bool descending = false);

  // Merges: MergeText parses text into a temporary Object and merges it into the value at the
  // path; MergeObject copies the other root's members in; AppendAll appends copies of its elements.
  bool MergeTextW(std::u16string_view path, std::u16string_view text, bool decodeUnicode = false,
                  bool addMissing = false);
  bool MergeText(std::string_view path, std::string_view text, bool decodeUnicode = false,
                 bool addMissing = false);
  bool MergeObject(std::string_view path, const ZyJson& other);
  bool AppendAll(std::string_view path, const ZyJson& other);

 private:
  // A handle holding a reference of its own to `value` (none for no value).
  static ZyJson Sharing(ZyValue* value);
  // A handle taking over the creation reference of a value made for it.
  static ZyJson Owning(ZyValue* value);
  ZyValue* Find(std::u16string_view path) const;
  ZyValue* FindOrCreate(std::u16string_view path);
  // For the operations that put a copy of other's root (not null) at path: copies it first (it
  // may lie under the path), then finds or creates the value at path. Null, with nothing left
  // behind, when there is no such value.
  ZyValue* CopyAndFindOrCreate(std::u16string_view path, const ZyJson& other, ZyValue*& copy);

  ZyValue* root_ = nullptr;
};

}  // namespace qoxa::zy
