#pragma once
// JsonDoc: a lenient JSON reader that stores a document in flat tables addressed by node ids.
//
// A node id is the 1-based index of a value in the value table, in document order with every
// container before its contents; node 1 is the first value of the text, 0 means none.
// Type codes: 0 null, 1 object, 2 array, 3 string, 4 integer, 5 decimal, 6 boolean, -1 not found.
// All texts in and out are GB18030 bytes; positions are 1-based byte positions in the text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "treeengine/DocElementList.h"
#include "treeengine/DocMemberTable.h"
#include "treeengine/DocValue.h"

namespace qoxa::tree {

// One step of a query path: a member name, or a 1-based element number.
struct PathSegment {
  enum class Kind { Name, Element };
  Kind kind = Kind::Name;
  std::string name;
  int32_t element = 0;
  bool operator==(const PathSegment&) const = default;
};

// Bytes in use by a document's tables (the copy of the text included), for measurements.
struct DocMemoryUse {
  size_t text = 0;
  size_t values = 0;
  size_t objects = 0;  // the member tables, their entries and indexes
  size_t arrays = 0;   // the element lists
  size_t objectCount = 0, memberCount = 0, arrayCount = 0, elementCount = 0;
};

class JsonDoc {
 public:
  // Parsing. ParseText takes its argument as a zero-terminated text: it stops at the first zero
  // byte. Both return true when the first value of the text was read completely; what follows
  // it is never looked at. On failure `errorMessage` (when given) gets the message followed by
  // "(line:column)", and the tables keep everything stored before the error.
  // Nesting is limited to 1,000 levels: the bracket that would open level 1,001 fails with
  // "嵌套层数过深" at its position. A text of 2 GiB or more (beyond 32-bit positions) is not
  // read: it fails with "JSON内容不完整" at position 1 and leaves the document empty.
  bool ParseText(std::string_view source, int keepMemberOrder = 0, std::string* errorMessage = nullptr,
                 int ignored = 0);
  bool ParseBytes(std::string_view source, int keepMemberOrder = 0, std::string* errorMessage = nullptr,
                  int decodeUnicode = 1);
  // Empties the document and gives its memory back. A parse also starts from an empty document,
  // but keeps the memory of tables that fit the new text, so that reading a text again (or one
  // of similar size) does not pay for fresh memory every time.
  void Clear();

  // Queries: a node is named by a path from a start node (empty path = the start node itself;
  // start 0 = node 1). They never fail loudly: not found gives -1, 0, false or "".
  int Locate(std::string_view path = {}, int start = 0) const;
  int FindFromRoot(std::string_view path = {}) const;
  int TypeOf(std::string_view path = {}, int start = 0) const;
  int ElementCount(std::string_view path = {}, int start = 0) const;
  int ElementAt(std::string_view path, int start, int position) const;  // position 1-based
  int MemberNames(std::string_view path, int start, std::vector<std::string>& names) const;
  int MemberByName(std::string_view path, int start, std::string_view name) const;
  std::string ValueText(std::string_view path = {}, int start = 0) const;
  double NumberValue(std::string_view path = {}, int start = 0) const;
  int64_t LongValue(std::string_view path = {}, int start = 0) const;
  bool BoolValue(std::string_view path = {}, int start = 0) const;
  bool IsNull(std::string_view path = {}, int start = 0) const;
  bool Exists(std::string_view path = {}, int start = 0) const;

  // Path resolution (see DocPath.cpp for the syntax). FindFrom gives 0 when any step finds
  // nothing or the path is malformed; SplitPath gives the number of segments, -1 when malformed.
  int FindFrom(int start, std::string_view path) const;
  static int SplitPath(std::string_view path, std::vector<PathSegment>& segments);

  // One UTF-16 code unit as GB18030 bytes: 0 gives "", a lone surrogate half gives "?".
  static std::string UnitToAnsi(char16_t unit);

  int ValueCount() const { return static_cast<int>(values_.size()); }
  // The stored record of a node (nullptr when there is none): for walkers that want no copies.
  const DocValue* Value(int nodeId) const;
  DocMemoryUse MemoryUse() const;

  // The last error as stored by the parser: message and position (see ParseBytes for the text).
  const std::string& ErrorText() const { return errorText_; }
  int ErrorPosition() const { return errorPos_; }

 private:
  // Where a value goes: the top level, an object's member table or an array's element list.
  enum ParentKind : int { kTopLevel = 0, kInObject = 1, kInArray = 2 };

  // Both entry points: with stopAtZero the text ends at its first zero byte.
  bool Parse(std::string_view source, bool stopAtZero, int keepMemberOrder, std::string* errorMessage,
             int decodeUnicode);
  void SetError(const std::string& message, int32_t pos);
  bool ReadValue(int32_t& pos, bool nested, int parentKind = kTopLevel, int32_t parentId = 0);
  bool DispatchValue(int32_t& pos, int parentKind, int32_t parentId);
  int32_t AddValue(DocValue record, int parentKind, int32_t parentId);
  std::string SourceText(int32_t from, int32_t to) const;
  bool ReadObject(int32_t& pos, int parentKind, int32_t parentId);
  bool ReadArray(int32_t& pos, int parentKind, int32_t parentId);
  bool ReadString(int32_t& pos, int32_t& start, int32_t& end);
  bool ReadNumber(int32_t& pos, int32_t& start, int32_t& end, int32_t& kind);
  bool ReadComment(int32_t& pos, int32_t& start, int32_t& end);
  bool MatchNull(int32_t& pos, int32_t& start, int32_t& end) const;
  bool MatchTrue(int32_t& pos, int32_t& start, int32_t& end) const;
  bool MatchFalse(int32_t& pos, int32_t& start, int32_t& end) const;
  bool MatchLiteral(std::string_view word, int32_t& pos, int32_t& start, int32_t& end) const;
  bool ReadUnicodeEscape(int32_t& p, int32_t& written);
  void NewLineAt(int32_t pos) {
    ++line_;
    lineStart_ = pos + 1;
  }
  void SkipSpace(int32_t& pos);
  bool ReadMembers(int32_t& pos, int32_t k);
  bool ReadElements(int32_t& pos, int32_t k);
  void ReleaseTables();
  void RecycleTables(size_t sourceLength);
  const DocValue* Find(std::string_view path, int start) const;

  // An object being read: where its members start in the open member stack, and the name
  // begun last, which the next stored value binds to.
  struct OpenObject {
    int32_t table;
    size_t membersBegin;
    size_t orderedBegin;
    DocMemberEntry pending;
  };

  std::vector<DocMemberTable> objects_;
  std::vector<DocElementList> arrays_;
  std::vector<DocValue> values_;
  // Containers keep their contents in shared stores (one allocation for all of them). While a
  // container is open its contents collect on a stack; when it closes, also after an error,
  // they move to the store as one run.
  DocMemberStore memberStore_;
  std::vector<int32_t> elementStore_;
  std::vector<OpenObject> openObjects_;
  std::vector<DocMemberEntry> openMembers_;
  std::vector<DocNameSpan> openNames_;
  std::vector<int32_t> openElements_;
  int32_t keepMemberOrder_ = 0;
  // The text with one leading pad byte, so that text_[pos] is the byte at 1-based position pos;
  // zero bytes follow the last one, from sourceLength_ + 1 on.
  std::string text_;
  int32_t sourceLength_ = 0;
  int32_t line_ = 1;
  int32_t lineStart_ = 0;
  std::string errorText_;
  int32_t errorPos_ = 0;
  int32_t decodeUnicode_ = 0;
  int32_t depth_ = 0;  // containers open while parsing
  bool stringHadZero_ = false;  // the last string read holds a zero byte
};

}  // namespace qoxa::tree
