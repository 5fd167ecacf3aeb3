// The document, its parse entry points, the value dispatcher and the container readers.
#include "treeengine/JsonDoc.h"

#include <cassert>
#include <cstring>
#include <limits>

#include "treeengine/DocMessages.h"

namespace qoxa::tree {
namespace {

// Nesting stops here: opening a container one level deeper is a parse error. With the limit
// the readers may recurse (two frames per level) without any risk to the stack.
constexpr int32_t kMaxDepth = 1000;

// Positions are 32-bit and the readers look up to kTailPadding bytes past the end, so longer
// texts are refused rather than read with wrapping positions.
constexpr size_t kTailPadding = 32;
constexpr size_t kMaxSourceLength = static_cast<size_t>(std::numeric_limits<int32_t>::max()) - 2 * kTailPadding;

// Empties a container and gives its memory back (clear() and `= {}` keep the capacity).
template <class Container>
void Release(Container& container) {
  Container().swap(container);
}

// Empties a container for the next parse. Its memory stays when the next text needs about as
// much (a document read again, or one of similar size, then finds its pages already mapped and
// does not pay the page faults of fresh memory again); far more than `wanted` is given back.
template <class Container>
void Recycle(Container& container, size_t wanted) {
  constexpr size_t kSlackBytes = size_t{1} << 20;
  const size_t elementSize = sizeof(typename Container::value_type);
  if (container.capacity() * elementSize > 4 * wanted * elementSize + kSlackBytes) {
    Release(container);
  } else {
    container.clear();
  }
}

struct TableSizes {
  size_t values, members, elements, containers;
};

TableSizes EstimateTables(size_t sourceLength) {
  return {sourceLength / 8 + 16, sourceLength / 16 + 16, sourceLength / 16 + 16, sourceLength / 32 + 16};
}

}  // namespace

bool JsonDoc::ParseText(std::string_view source, int keepMemberOrder, std::string* errorMessage, int /*ignored*/) {
  if (source.size() <= kMaxSourceLength) return Parse(source, true, keepMemberOrder, errorMessage, 1);
  // Too long as a whole: whether it is depends on where the first zero byte cuts it.
  const size_t zero = source.find('\0');
  if (zero != std::string_view::npos) source = source.substr(0, zero);
  return Parse(source, false, keepMemberOrder, errorMessage, 1);
}

bool JsonDoc::ParseBytes(std::string_view source, int keepMemberOrder, std::string* errorMessage, int decodeUnicode) {
  return Parse(source, false, keepMemberOrder, errorMessage, decodeUnicode);
}

bool JsonDoc::Parse(std::string_view source, bool stopAtZero, int keepMemberOrder, std::string* errorMessage,
                    int decodeUnicode) {
  // Starts from an empty document, keeping table memory that fits the new text (Clear frees it).
  RecycleTables(source.size() <= kMaxSourceLength ? source.size() : 0);
  keepMemberOrder_ = keepMemberOrder;
  memberStore_.keepOrder = keepMemberOrder != 0;
  decodeUnicode_ = decodeUnicode;
  int32_t pos = 1;
  bool ok = false;
  if (source.size() > kMaxSourceLength) {
    SetError(MessageText(DocMessage::Incomplete), 1);
  } else {
    // A pad byte in front makes text_[pos] the byte at 1-based pos; the zero bytes behind let
    // the string reader look ahead (a two-byte unit, a block of kTailPadding bytes) without a
    // bounds test.
    text_.reserve(source.size() + 1 + kTailPadding);
    text_.push_back('\0');
    if (stopAtZero) {
      // The text ends at its first zero byte: looked for piece by piece while copying, so that
      // each piece is read from memory once and copied from the cache.
      constexpr size_t kPiece = size_t{64} << 10;
      for (size_t at = 0; at < source.size(); at += kPiece) {
        const std::string_view piece = source.substr(at, kPiece);
        const void* zero = std::memchr(piece.data(), 0, piece.size());
        if (zero != nullptr) {
          text_.append(piece.data(), static_cast<size_t>(static_cast<const char*>(zero) - piece.data()));
          break;
        }
        text_.append(piece);
      }
    } else {
      text_.append(source);
    }
    sourceLength_ = static_cast<int32_t>(text_.size() - 1);
    text_.append(kTailPadding, '\0');
    // Typical documents hold about one value per 8 bytes of text and one member or element per
    // 16: reserving that up front saves the copies of growing tables. Pages of a reserve that
    // stay unused are never touched, so they cost address space only.
    const TableSizes sizes = EstimateTables(static_cast<size_t>(sourceLength_));
    values_.reserve(sizes.values);
    memberStore_.entries.reserve(sizes.members);
    elementStore_.reserve(sizes.elements);
    objects_.reserve(sizes.containers);
    arrays_.reserve(sizes.containers);
    ok = ReadValue(pos, false);
  }
  if (!ok && errorMessage != nullptr) {
    *errorMessage = errorText_ + "(" + std::to_string(line_) + ":" + std::to_string(errorPos_ - lineStart_) + ")";
  }
  return ok;
}

void JsonDoc::Clear() {
  ReleaseTables();
  sourceLength_ = 0;
  line_ = 1;
  lineStart_ = 0;
  depth_ = 0;
}

void JsonDoc::RecycleTables(size_t sourceLength) {
  const TableSizes sizes = EstimateTables(sourceLength);
  Recycle(objects_, sizes.containers);
  Recycle(arrays_, sizes.containers);
  Recycle(values_, sizes.values);
  Recycle(memberStore_.entries, sizes.members);
  Recycle(memberStore_.orderedNames, sizes.members);
  Recycle(memberStore_.orderedRuns, sizes.containers);
  Release(memberStore_.indexes);
  Recycle(elementStore_, sizes.elements);
  Recycle(openObjects_, 0);
  Recycle(openMembers_, 0);
  Recycle(openNames_, 0);
  Recycle(openElements_, 0);
  Recycle(text_, sourceLength + 1 + kTailPadding);
  sourceLength_ = 0;
  line_ = 1;
  lineStart_ = 0;
  depth_ = 0;
}

void JsonDoc::ReleaseTables() {
  Release(objects_);
  Release(arrays_);
  Release(values_);
  Release(memberStore_.entries);
  Release(memberStore_.orderedNames);
  Release(memberStore_.orderedRuns);
  Release(memberStore_.indexes);
  Release(elementStore_);
  Release(openObjects_);
  Release(openMembers_);
  Release(openNames_);
  Release(openElements_);
  Release(text_);
}

void JsonDoc::SetError(const std::string& message, int32_t pos) {
  errorText_ = message;
  errorPos_ = pos;
}

[[gnu::always_inline]] inline int32_t JsonDoc::AddValue(DocValue record, int parentKind, [[maybe_unused]] int32_t parentId) {
  values_.push_back(record);
  const auto id = static_cast<int32_t>(values_.size());
  // The parent is always the innermost open container.
  assert(parentKind != kInObject || openObjects_.back().table == parentId);
  if (parentKind == kInObject) {
    // A name reaches the table only once its value is stored.
    const DocMemberEntry& pending = openObjects_.back().pending;
    openMembers_.push_back({pending.hash, pending.nameStart, pending.nameLength, id});
  } else if (parentKind == kInArray) {
    openElements_.push_back(id);
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
  return DispatchValue(pos, parentKind, parentId);
}

// The dispatcher's body, inlined into the container readers: one call less per value.
[[gnu::always_inline]] inline bool JsonDoc::DispatchValue(int32_t& pos, int parentKind, int32_t parentId) {
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
  objects_.emplace_back();
  const auto k = static_cast<int32_t>(objects_.size());
  AddValue({1, 0, 0, k}, parentKind, parentId);
  ++pos;
  ++depth_;
  openObjects_.push_back({k, openMembers_.size(), openNames_.size(), {}});
  const bool ok = ReadMembers(pos, k);
  const OpenObject& object = openObjects_.back();
  objects_[static_cast<size_t>(k) - 1] =
      DocMemberTable::Seal(memberStore_, text_, k, std::span(openMembers_).subspan(object.membersBegin),
                           std::span(openNames_).subspan(object.orderedBegin));
  openMembers_.resize(object.membersBegin);
  openNames_.resize(object.orderedBegin);
  openObjects_.pop_back();
  --depth_;
  return ok;
}

// Skips spaces, tabs and line breaks from pos; the zero byte behind the end of the text stops it.
[[gnu::always_inline]] inline void JsonDoc::SkipSpace(int32_t& pos) {
  const char* s = text_.data();
  for (;;) {
    const char c = s[pos];
    if (static_cast<unsigned char>(c) > ' ') return;
    if (c == ' ' || c == '\t' || c == '\r') {
      ++pos;
    } else if (c == '\n') {
      NewLineAt(pos);
      ++pos;
    } else {
      return;
    }
  }
}

// Name, colon, value, over and over; whitespace may stand between any two of them.
bool JsonDoc::ReadMembers(int32_t& pos, int32_t k) {
  const char* s = text_.data();
  const int32_t n = sourceLength_;
  for (;;) {
    SkipSpace(pos);
    if (pos > n) break;
    const char c = s[pos];
    if (c == '}') {
      ++pos;
      return true;
    }
    if (c == ',') {  // commas are optional and may repeat
      ++pos;
      continue;
    }
    if (c != '"') {
      SetError(MessageText(DocMessage::BadObject), pos);
      return false;
    }
    int32_t start = 0;
    int32_t end = 0;
    if (!ReadString(pos, start, end)) {
      SetError(MessageText(DocMessage::BadMemberName), errorPos_);
      return false;
    }
    // A name ends at its first zero byte, like every text taken from the document.
    std::string_view name(s + start, static_cast<size_t>(end - start + 1));
    if (stringHadZero_) name = name.substr(0, name.find('\0'));
    const auto length = static_cast<int32_t>(name.size());
    openObjects_.back().pending = {DocMemberTable::Hash(name), start, length, 0};
    if (keepMemberOrder_ != 0) openNames_.push_back({start, length});
    SkipSpace(pos);
    if (pos > n) break;
    if (s[pos] != ':') {
      SetError(MessageText(DocMessage::BadMemberColon), pos);
      return false;
    }
    ++pos;
    SkipSpace(pos);
    if (pos > n) break;
    if (!DispatchValue(pos, kInObject, k)) return false;
  }
  SetError(MessageText(DocMessage::ObjectIncomplete), pos);
  return false;
}

bool JsonDoc::ReadArray(int32_t& pos, int parentKind, int32_t parentId) {
  if (depth_ >= kMaxDepth) {
    SetError(MessageText(DocMessage::TooDeep), pos);
    return false;
  }
  arrays_.emplace_back();
  const auto k = static_cast<int32_t>(arrays_.size());
  AddValue({2, 0, 0, k}, parentKind, parentId);
  ++pos;
  ++depth_;
  const size_t begin = openElements_.size();
  const bool ok = ReadElements(pos, k);
  arrays_[static_cast<size_t>(k) - 1] =
      DocElementList(static_cast<int32_t>(elementStore_.size()), static_cast<int32_t>(openElements_.size() - begin));
  elementStore_.insert(elementStore_.end(), openElements_.begin() + static_cast<std::ptrdiff_t>(begin), openElements_.end());
  openElements_.resize(begin);
  --depth_;
  return ok;
}

bool JsonDoc::ReadElements(int32_t& pos, int32_t k) {
  const char* s = text_.data();
  while (pos <= sourceLength_) {
    switch (s[pos]) {
      case ']':
        ++pos;
        return true;
      case ',':  // a comma must be followed by a value: arrays take no trailing comma
        ++pos;
        if (!DispatchValue(pos, kInArray, k)) return false;
        break;
      case ' ': case '\t': case '\r':
        ++pos;
        break;
      case '\n':
        NewLineAt(pos);
        ++pos;
        break;
      default:  // elements need no comma between them
        if (!DispatchValue(pos, kInArray, k)) return false;
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

// Bytes in use: the tables fill their blocks from the front, so this is what is resident; the
// untouched rest of a reserve is address space only.
DocMemoryUse JsonDoc::MemoryUse() const {
  DocMemoryUse use;
  use.text = text_.size();
  use.values = values_.size() * sizeof(DocValue);
  use.objects = objects_.size() * sizeof(DocMemberTable) + memberStore_.MemoryUse();
  use.arrays = arrays_.size() * sizeof(DocElementList) + elementStore_.size() * sizeof(int32_t);
  use.objectCount = objects_.size();
  use.memberCount = memberStore_.entries.size();
  use.arrayCount = arrays_.size();
  use.elementCount = elementStore_.size();
  return use;
}

}  // namespace qoxa::tree
