// The document, its parse entry points, the value dispatcher and the container readers.
#include "treeengine/JsonDoc.h"

#include <limits>

#include "treeengine/DocMessages.h"

namespace qoxa::tree {
namespace {

// Nesting stops here: opening a container one level deeper is a parse error. With the limit
// the readers may recurse (two frames per level) without any risk to the stack.
constexpr int32_t kMaxDepth = 1000;

// Positions are 32-bit and the readers look up to two bytes past the end, so longer texts are
// refused rather than read with wrapping positions.
constexpr size_t kMaxSourceLength = static_cast<size_t>(std::numeric_limits<int32_t>::max()) - 8;

// Keeps the count of open containers right on every way out of a container reader.
class DepthScope {
 public:
  explicit DepthScope(int32_t& depth) : depth_(depth) { ++depth_; }
  ~DepthScope() { --depth_; }
  DepthScope(const DepthScope&) = delete;
  DepthScope& operator=(const DepthScope&) = delete;

 private:
  int32_t& depth_;
};

}  // namespace

bool JsonDoc::ParseText(std::string_view source, int keepMemberOrder, std::string* errorMessage, int /*ignored*/) {
  const size_t zero = source.find('\0');
  if (zero != std::string_view::npos) source = source.substr(0, zero);
  return ParseBytes(source, keepMemberOrder, errorMessage);
}

bool JsonDoc::ParseBytes(std::string_view source, int keepMemberOrder, std::string* errorMessage, int decodeUnicode) {
  // Clearing a document whose last text was empty changes nothing, so it is always done.
  Clear();
  keepMemberOrder_ = keepMemberOrder;
  decodeUnicode_ = decodeUnicode;
  int32_t pos = 1;
  bool ok = false;
  if (source.size() > kMaxSourceLength) {
    SetError(MessageText(DocMessage::Incomplete), 1);
  } else {
    sourceLength_ = static_cast<int32_t>(source.size());
    // A pad byte in front makes text_[pos] the byte at 1-based pos; two zero bytes behind let
    // the string reader step over a two-byte unit at the very end without a bounds test.
    text_.reserve(source.size() + 3);
    text_.push_back('\0');
    text_.append(source);
    text_.append(2, '\0');
    ok = ReadValue(pos, false);
  }
  if (!ok && errorMessage != nullptr) {
    *errorMessage = errorText_ + "(" + std::to_string(line_) + ":" + std::to_string(errorPos_ - lineStart_) + ")";
  }
  return ok;
}

void JsonDoc::Clear() {
  objects_.clear();
  objects_.shrink_to_fit();
  arrays_.clear();
  arrays_.shrink_to_fit();
  values_.clear();
  values_.shrink_to_fit();
  text_.clear();
  text_.shrink_to_fit();
  sourceLength_ = 0;
  line_ = 1;
  lineStart_ = 0;
  depth_ = 0;
}

void JsonDoc::SetError(const std::string& message, int32_t pos) {
  errorText_ = message;
  errorPos_ = pos;
}

int32_t JsonDoc::AddValue(const DocValue& record, int parentKind, int32_t parentId) {
  values_.push_back(record);
  const auto id = static_cast<int32_t>(values_.size());
  if (parentKind == kInObject) {
    objects_[static_cast<size_t>(parentId) - 1].BindValue(text_, id);
  } else if (parentKind == kInArray) {
    arrays_[static_cast<size_t>(parentId) - 1].Append(id);
  }
  return id;
}

std::string JsonDoc::SourceText(int32_t from, int32_t to) const {
  if (from < 1 || to < from || to > sourceLength_) return {};
  std::string_view bytes(text_.data() + from, static_cast<size_t>(to - from + 1));
  return std::string(bytes.substr(0, bytes.find('\0')));
}

bool JsonDoc::ReadValue(int32_t& pos, bool nested, int parentKind, int32_t parentId) {
  if (parentKind == kTopLevel && !nested) pos = 1;
  const char* s = text_.data();
  while (pos <= sourceLength_) {
    int32_t start = 0;
    int32_t end = 0;
    switch (s[pos]) {
      case '{':
        return ReadObject(pos, parentKind, parentId);
      case '[':
        return ReadArray(pos, parentKind, parentId);
      case 't':
      case 'f': {
        const bool isTrue = s[pos] == 't';
        if (!(isTrue ? MatchTrue(pos, start, end) : MatchFalse(pos, start, end))) {
          SetError(MessageText(DocMessage::BadBoolean), pos);
          return false;
        }
        AddValue({6, start, end, isTrue ? 1 : 0}, parentKind, parentId);
        return true;
      }
      case 'n':
        if (!MatchNull(pos, start, end)) {
          SetError(MessageText(DocMessage::BadNull), pos);
          return false;
        }
        AddValue({0, start, end, 0}, parentKind, parentId);
        return true;
      case '"':
        if (!ReadString(pos, start, end)) return false;
        AddValue({3, start, end, 0}, parentKind, parentId);
        return true;
      case '0': case '1': case '2': case '3': case '4': case '5': case '6': case '7': case '8': case '9':
      case '-': case '.': {
        int32_t kind = 0;
        if (!ReadNumber(pos, start, end, kind)) {
          SetError(MessageText(DocMessage::BadNumber), pos);
          return false;
        }
        const int32_t type = kind == 12 ? 4 : kind == 11 ? 5 : kind;
        AddValue({type, start, end, kind}, parentKind, parentId);
        return true;
      }
      case '/':
        // A comment where a value is expected is read and counts as that value, unstored.
        if (!ReadComment(pos, start, end)) {
          SetError(MessageText(DocMessage::BadComment), pos);
          return false;
        }
        return true;
      case ' ': case '\t': case '\r':
        ++pos;
        break;
      case '\n':
        NewLineAt(pos);
        ++pos;
        break;
      default:
        SetError(MessageText(DocMessage::Unparsable), pos);
        return false;
    }
  }
  SetError(MessageText(DocMessage::Incomplete), pos);
  return false;
}

bool JsonDoc::ReadObject(int32_t& pos, int parentKind, int32_t parentId) {
  if (depth_ >= kMaxDepth) {
    SetError(MessageText(DocMessage::TooDeep), pos);
    return false;
  }
  DepthScope depth(depth_);
  objects_.emplace_back();
  const auto k = static_cast<int32_t>(objects_.size());
  objects_.back().SetKeepOrder(keepMemberOrder_);
  AddValue({1, 0, 0, k}, parentKind, parentId);
  ++pos;
  enum class Expect { Name, Colon, Value } expect = Expect::Name;
  const char* s = text_.data();
  while (pos <= sourceLength_) {
    const char c = s[pos];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++pos;
      continue;
    }
    if (c == '\n') {
      NewLineAt(pos);
      ++pos;
      continue;
    }
    switch (expect) {
      case Expect::Name:
        if (c == '}') {
          ++pos;
          return true;
        }
        if (c == ',') {  // commas are optional and may repeat
          ++pos;
        } else if (c == '"') {
          int32_t start = 0;
          int32_t end = 0;
          if (!ReadString(pos, start, end)) {
            SetError(MessageText(DocMessage::BadMemberName), errorPos_);
            return false;
          }
          objects_[static_cast<size_t>(k) - 1].BeginMember(text_, start, end - start + 1);
          expect = Expect::Colon;
        } else {
          SetError(MessageText(DocMessage::BadObject), pos);
          return false;
        }
        break;
      case Expect::Colon:
        if (c != ':') {
          SetError(MessageText(DocMessage::BadMemberColon), pos);
          return false;
        }
        ++pos;
        expect = Expect::Value;
        break;
      case Expect::Value:
        if (!ReadValue(pos, true, kInObject, k)) return false;
        expect = Expect::Name;
        break;
    }
  }
  SetError(MessageText(DocMessage::ObjectIncomplete), pos);
  return false;
}

bool JsonDoc::ReadArray(int32_t& pos, int parentKind, int32_t parentId) {
  if (depth_ >= kMaxDepth) {
    SetError(MessageText(DocMessage::TooDeep), pos);
    return false;
  }
  DepthScope depth(depth_);
  arrays_.emplace_back();
  const auto k = static_cast<int32_t>(arrays_.size());
  AddValue({2, 0, 0, k}, parentKind, parentId);
  ++pos;
  const char* s = text_.data();
  while (pos <= sourceLength_) {
    switch (s[pos]) {
      case ']':
        ++pos;
        return true;
      case ',':  // a comma must be followed by a value: arrays take no trailing comma
        ++pos;
        if (!ReadValue(pos, true, kInArray, k)) return false;
        break;
      case ' ': case '\t': case '\r':
        ++pos;
        break;
      case '\n':
        NewLineAt(pos);
        ++pos;
        break;
      default:  // elements need no comma between them
        if (!ReadValue(pos, true, kInArray, k)) return false;
        break;
    }
  }
  SetError(MessageText(DocMessage::ArrayIncomplete), pos);
  return false;
}

bool JsonDoc::MatchLiteral(std::string_view word, int32_t& pos, int32_t& start, int32_t& end) const {
  const auto length = static_cast<int32_t>(word.size());
  if (pos + length - 1 > sourceLength_) return false;
  if (std::string_view(text_.data() + pos, word.size()) != word) return false;
  start = pos;
  pos += length;
  end = pos - 1;
  return true;
}

bool JsonDoc::MatchNull(int32_t& pos, int32_t& start, int32_t& end) const { return MatchLiteral("null", pos, start, end); }
bool JsonDoc::MatchTrue(int32_t& pos, int32_t& start, int32_t& end) const { return MatchLiteral("true", pos, start, end); }
bool JsonDoc::MatchFalse(int32_t& pos, int32_t& start, int32_t& end) const { return MatchLiteral("false", pos, start, end); }

DocMemoryUse JsonDoc::MemoryUse() const {
  DocMemoryUse use;
  use.text = text_.capacity();
  use.values = values_.capacity() * sizeof(DocValue);
  use.objects = objects_.capacity() * sizeof(DocMemberTable);
  for (const DocMemberTable& table : objects_) use.objects += table.MemoryUse() - sizeof(DocMemberTable);
  use.arrays = arrays_.capacity() * sizeof(DocElementList);
  for (const DocElementList& list : arrays_) use.arrays += list.MemoryUse() - sizeof(DocElementList);
  return use;
}

}  // namespace qoxa::tree
