#include "zyengine/ZyScanner.h"

#include <cstdint>
#include <new>
#include <vector>

#include "zyengine/ZyNumberText.h"
#include "zyengine/ZyTable.h"
#include "zyengine/ZyValue.h"

namespace qoxa::zy {
namespace {

// The characters that have a rule of their own outside strings.
constexpr bool IsStructural(char16_t c) {
  constexpr uint64_t kMask = (uint64_t{1} << '"') | (uint64_t{1} << '\'') | (uint64_t{1} << ',') | (uint64_t{1} << ':');
  if (c < 64) return (kMask >> c) & 1;
  return c == u'[' || c == u']' || c == u'{' || c == u'}' || c == u'\\';
}

bool IsTrimmed(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// A record for a token of the given kind: 4 String (unescaped), 0 Null, 1 Double and 2 Integer
// (keeping the token as their text form), 3 Bool, -1 Raw.
ZyValue* MakeRecord(int kind, std::u16string_view token, bool decodeUnicode, const ZyValue* near) {
  ZyValue::Payload payload{};
  switch (kind) {
    case 4: {
      ZyValue* v = NewScalar(ZyType::String, payload, token, near);
      if (token.find(u'\\') != std::u16string_view::npos)
        v->text.Shrink(UnescapeInPlace(v->text.data(), v->text.size(), decodeUnicode));
      return v;
    }
    case 0:
      return NewNull(near);
    case 1:
      payload.number = TextToDouble(token);
      return NewScalar(ZyType::Double, payload, token, near);
    case 2:
      payload.integer = TextToInteger(token);
      return NewScalar(ZyType::Integer, payload, token, near);
    case 3:
      return NewBool(token == u"true", near);
    default:
      return NewRaw(token, near);
  }
}

class Scanner {
 public:
  Scanner(ZyValue* target, const char16_t* text, size_t n, bool decodeUnicode)
      : target_(target), text_(text), n_(static_cast<ptrdiff_t>(n)), decodeUnicode_(decodeUnicode) {}

  int Run() {
    int result;
    try {
      stack_.reserve(64);
      Reset(target_);
      result = Scan();
    } catch (const std::bad_alloc&) {
      result = kParseNoMemory;  // memory ran out for the stack or a record
    }
    if (result != kParseOk || !stack_.empty()) {
      Reset(target_);
      return result != kParseOk ? result : kParseUnbalanced;
    }
    return kParseOk;
  }

 private:
  char16_t At(ptrdiff_t i) const { return i < n_ ? text_[i] : u'\0'; }
  ZyValue* Top() const { return stack_.empty() ? nullptr : stack_.back(); }
  void Pop() {
    lastContainer_ = Top();
    if (!stack_.empty()) stack_.pop_back();
  }
  std::u16string_view Slice(ptrdiff_t start, ptrdiff_t length) const {
    if (start < 0 || length <= 0 || start >= n_) return {};
    if (start + length > n_) length = n_ - start;
    return {text_ + start, static_cast<size_t>(length)};
  }

  // The current key: trimmed, then unescaped.
  std::u16string_view Key() {
    std::u16string_view key = TrimSpace(Slice(keyStart_, keyLength_));
    if (key.find(u'\\') == std::u16string_view::npos) return key;
    keyBuffer_.assign(key);
    keyBuffer_.resize(UnescapeInPlace(keyBuffer_.data(), keyBuffer_.size(), decodeUnicode_));
    return keyBuffer_;
  }

  int OpenContainer(ptrdiff_t i, bool object) {
    ZyValue* top = Top();
    lastContainer_ = top;
    if (!top) {
      stack_.push_back(target_);
      if (object) EnsureObject(target_);
      else EnsureArray(target_);
    } else if (top->type == ZyType::Array) {
      ZyValue* s = object ? NewObject(top) : NewArray(top);
      if (!AddElement(top, s)) {
        Release(s);
        return kParseAddFailed;
      }
      stack_.push_back(s);
    } else {
      // An Object needs a key for the new container. An Array may take the empty unquoted key
      // ({[1]}); an Object needs a key with text, or a quoted empty key ({"":{}}).
      if (keyStart_ == -1) return kParseMissingKey;
      if (object && keyLength_ == 0 && !keyQuoted_) return kParseMissingKey;
      ZyValue* s = object ? NewObject(top) : NewArray(top);
      if (!SetMember(top, Key(), s)) {
        Release(s);
        return kParseAddFailed;
      }
      stack_.push_back(s);
    }
    valueLength_ = 0;
    keyLength_ = 0;
    keyQuoted_ = false;
    afterColon_ = false;
    valueStart_ = object ? -1 : i + 1;
    keyStart_ = object ? i + 1 : -1;
    return kParseOk;
  }

  // Adds the value pending before the separator at i to the top container.
  int AddPendingValue(ptrdiff_t i, bool asElement, int kind) {
    if (kind != 4) valueLength_ = i - valueStart_;
    std::u16string_view value = Slice(valueStart_, valueLength_);
    if (asElement) {
      if (kind == -1) {
        value = TrimSpace(value);
        if (value.empty()) return kParseOk;
        kind = ClassifyToken(value);
      }
      ZyValue* container = Top();
      if (!container) return kParseUnbalanced;
      ZyValue* record = MakeRecord(kind, value, decodeUnicode_, container);
      if (!AddElement(container, record)) {
        Release(record);
        return kParseAddFailed;
      }
      return kParseOk;
    }
    if (keyStart_ == -1) return kParseMissingKey;
    const std::u16string_view key = Key();
    if (kind == -1) {
      value = TrimSpace(value);
      kind = ClassifyToken(value);
    }
    ZyValue* container = Top();
    if (!container) return kParseUnbalanced;
    ZyValue* record = MakeRecord(kind, value, decodeUnicode_, container);
    if (!SetMember(container, key, record)) {
      Release(record);
      return kParseAddFailed;
    }
    return kParseOk;
  }

  int Scan() {
    for (ptrdiff_t i = 0; i <= n_;) {
      if (quote_) {
        // Inside a string only quotes and backslashes matter.
        while (i < n_ && text_[i] != u'"' && text_[i] != u'\'' && text_[i] != u'\\') ++i;
      } else {
        while (i < n_ && !IsStructural(text_[i])) ++i;
      }
      const char16_t ch = At(i);
      const bool outside = quote_ == 0;
      ZyValue* top = Top();
      int rc = kParseOk;
      if (outside && (ch == u'{' || ch == u'[')) {
        rc = OpenContainer(i, ch == u'{');
      } else if ((ch == u'"' || ch == u'\'') && (outside || ch == quote_)) {
        lastContainer_ = top;
        if (!top) {
          if (outside) {
            quote_ = ch;
            keyStart_ = i + 1;
            keyLength_ = 0;
            valueStart_ = -1;
            valueLength_ = 0;
          } else {
            // A top-level string: its content exactly as written, and the rest is ignored.
            SetString(target_, Slice(keyStart_, i - keyStart_));
            return kParseOk;
          }
        } else if (top->type == ZyType::Object && !afterColon_) {
          if (outside) {
            quote_ = ch;
            keyStart_ = i + 1;
            keyLength_ = 0;
            keyQuoted_ = false;
            valueStart_ = -1;
            valueLength_ = 0;
          } else {
            keyLength_ = i - keyStart_;
            keyQuoted_ = true;
            quote_ = 0;
          }
        } else {
          pendingKind_ = 4;
          if (outside) {
            quote_ = ch;
            valueStart_ = i + 1;
          } else {
            valueLength_ = i - valueStart_;
            quote_ = 0;
          }
        }
      } else if (outside && ch == u':') {
        if (keyStart_ == -1) return kParseMissingKey;
        lastContainer_ = top;
        if (!top) return kParseUnbalanced;
        if (top->type == ZyType::Array) return kParseColonInArray;
        afterColon_ = true;
        valueStart_ = i + 1;
        if (!keyQuoted_) keyLength_ = i - keyStart_;
      } else if (outside && ch == u',') {
        lastContainer_ = top;
        if (!top) return kParseUnbalanced;
        if (valueStart_ == -1) {
          keyLength_ = 0;
          keyQuoted_ = false;
          valueStart_ = i + 1;
          keyStart_ = top->type == ZyType::Object ? i + 1 : -1;
        } else {
          rc = AddPendingValue(i, top->type == ZyType::Array, pendingKind_ == 4 ? 4 : -1);
          pendingKind_ = -1;
          afterColon_ = false;
          valueStart_ = keyStart_ = i + 1;
          keyLength_ = 0;
          keyQuoted_ = false;
        }
      } else if (ch == u'\\') {
        const char16_t following = At(i + 1);
        if (following == u'"' || following == u'\'' || following == u'\\') {
          i += 2;
          continue;
        }
      } else if (outside && ch == u']') {
        if (valueStart_ != -1) {
          if (pendingKind_ != 4) {
            valueLength_ = i - valueStart_;
            bool blank = true;
            for (ptrdiff_t k = valueStart_; k < i && blank; ++k) blank = text_[k] <= 32;
            if (blank && At(valueStart_ - 1) != u'[') return kParseTrailingComma;
            pendingKind_ = -1;
          }
          rc = AddPendingValue(i, true, pendingKind_);
          pendingKind_ = -1;
          afterColon_ = false;
          keyStart_ = -1;
          keyLength_ = 0;
          keyQuoted_ = false;
          valueStart_ = -1;
          valueLength_ = 0;
        }
        Pop();
      } else if (outside && ch == u'}') {
        if (valueStart_ != -1) {
          rc = AddPendingValue(i, false, pendingKind_ == 4 ? 4 : -1);
          pendingKind_ = -1;
          afterColon_ = false;
          keyStart_ = -1;
          keyQuoted_ = false;
          valueStart_ = -1;
        }
        Pop();
      } else if (i == n_ && !lastContainer_) {
        // The whole text is one bare scalar; numbers get their own text form here.
        const std::u16string_view token = TrimSpace(std::u16string_view(text_, static_cast<size_t>(n_)));
        switch (ClassifyToken(token)) {
          case 0: SetNull(target_); break;
          case 1: SetDouble(target_, TextToDouble(token)); break;
          case 2: SetInteger(target_, TextToInteger(token)); break;
          case 3: SetBool(target_, token == u"true"); break;
          default: SetRaw(target_, token); break;
        }
        return kParseOk;
      }
      if (rc != kParseOk) return rc;
      ++i;
    }
    return kParseOk;
  }

  ZyValue* target_;
  const char16_t* text_;
  ptrdiff_t n_;
  bool decodeUnicode_;
  std::vector<ZyValue*> stack_;  // open containers, innermost last
  std::u16string keyBuffer_;

  char16_t quote_ = 0;
  ptrdiff_t keyStart_ = -1;
  ptrdiff_t keyLength_ = 0;
  bool keyQuoted_ = false;  // the key's length was set by its closing quote
  ptrdiff_t valueStart_ = -1;
  ptrdiff_t valueLength_ = 0;
  bool afterColon_ = false;
  int pendingKind_ = -1;
  ZyValue* lastContainer_ = nullptr;
};

}  // namespace

int ParseInto(ZyValue* target, const char16_t* text, size_t n, bool decodeUnicode) {
  if (n == 0) return kParseOk;
  if (!target || !text) return kParseNoInput;
  return Scanner(target, text, n, decodeUnicode).Run();
}

std::u16string_view TrimSpace(std::u16string_view text) {
  size_t first = 0, last = text.size();
  while (first < last && IsTrimmed(text[first])) ++first;
  while (last > first && IsTrimmed(text[last - 1])) --last;
  return text.substr(first, last - first);
}

void Unescape(std::u16string& text, bool decodeUnicode) {
  text.resize(UnescapeInPlace(text.data(), text.size(), decodeUnicode));
}

size_t UnescapeInPlace(char16_t* text, size_t n, bool decodeUnicode) {
  size_t out = 0;
  for (size_t i = 0; i < n;) {
    const char16_t c = text[i];
    if (c != u'\\' || i + 1 >= n) {
      text[out++] = text[i++];
      continue;
    }
    const char16_t e = text[i + 1];
    char16_t decoded = 0;
    size_t consumed = 2;
    switch (e) {
      case u'\\': case u'/': case u'"': decoded = e; break;
      case u'b': decoded = 8; break;
      case u't': decoded = 9; break;
      case u'n': decoded = 10; break;
      case u'r': decoded = 13; break;
      case u'f': decoded = 12; break;
      case u'u': {
        // Four hexadecimal digits make one code unit; anything shorter stays as written.
        int value = 0;
        bool ok = decodeUnicode && i + 6 <= n;
        for (size_t k = 2; ok && k < 6; ++k) {
          const int d = HexDigit(text[i + k]);
          ok = d >= 0;
          value = value * 16 + d;
        }
        if (ok) {
          decoded = static_cast<char16_t>(value);
          consumed = 6;
        } else {
          consumed = 0;
        }
        break;
      }
      default:
        consumed = 0;
        break;
    }
    if (consumed == 0) {
      text[out++] = text[i++];  // the backslash stays; the search resumes right after it
      continue;
    }
    text[out++] = decoded;
    i += consumed;
  }
  return out;
}

}  // namespace qoxa::zy
