#include "platform/StrictJsonText.h"

#include <simdjson.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/CodePage.h"

namespace qoxa::platform::detail {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;  // the text was validated, so this is never reached
}

char32_t Hex4(const char* p) {
  return static_cast<char32_t>(HexDigit(p[0]) << 12 | HexDigit(p[1]) << 8 | HexDigit(p[2]) << 4 |
                               HexDigit(p[3]));
}

// Decodes the escape sequence at p (p[0] is the backslash) of a validated string and moves p
// past it. A \u surrogate that does not form a pair becomes U+FFFD.
char32_t ReadEscape(const char*& p, const char* end) {
  const char kind = p[1];
  p += 2;
  switch (kind) {
    case 'b': return U'\b';
    case 'f': return U'\f';
    case 'n': return U'\n';
    case 'r': return U'\r';
    case 't': return U'\t';
    case 'u': break;
    default: return static_cast<unsigned char>(kind);  // " \ /
  }
  const char32_t unit = Hex4(p);
  p += 4;
  if (unit >= 0xDC00 && unit <= 0xDFFF) return 0xFFFD;
  if (unit < 0xD800 || unit > 0xDBFF) return unit;
  if (end - p >= 6 && p[0] == '\\' && p[1] == 'u') {
    const char32_t low = Hex4(p + 2);
    if (low >= 0xDC00 && low <= 0xDFFF) {
      p += 6;
      return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
  }
  return 0xFFFD;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// A decoded character written back as JSON: only the quote, the backslash and the control
// characters are escaped, the short forms where JSON has them.
void AppendJsonChar(std::string& out, char32_t cp) {
  switch (cp) {
    case U'"': out += "\\\""; return;
    case U'\\': out += "\\\\"; return;
    case U'\b': out += "\\b"; return;
    case U'\f': out += "\\f"; return;
    case U'\n': out += "\\n"; return;
    case U'\r': out += "\\r"; return;
    case U'\t': out += "\\t"; return;
    default: break;
  }
  if (cp < 0x20) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u00";
    out += kHex[cp >> 4];
    out += kHex[cp & 0xF];
    return;
  }
  AppendUtf8(out, cp);
}

// Appends the content of the validated string [begin, end) (without its quotes), either
// decoded or re-escaped as JSON.
template <bool kAsJson>
void AppendStringContent(std::string& out, const char* p, const char* end) {
  while (p < end) {
    const char* backslash = static_cast<const char*>(std::memchr(p, '\\', end - p));
    const char* runEnd = backslash ? backslash : end;
    out.append(p, runEnd);  // raw bytes of a valid string never need escaping
    p = runEnd;
    if (p == end) break;
    const char32_t cp = ReadEscape(p, end);
    if constexpr (kAsJson) {
      AppendJsonChar(out, cp);
    } else {
      AppendUtf8(out, cp);
    }
  }
}

// Parses the digits of an index suffix; false when they are not a plain decimal number.
bool ParseIndex(std::string_view digits, uint64_t& value) {
  if (digits.empty()) return false;
  value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return false;
    value = value * 10 + digit;
  }
  return true;
}

bool SkipDigits(std::string_view text, size_t& at) {
  const size_t start = at;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
  return at > start;
}

bool MatchNumber(std::string_view text, size_t& at) {
  if (at < text.size() && text[at] == '-') ++at;
  if (at < text.size() && text[at] == '0') {
    ++at;
  } else if (!SkipDigits(text, at)) {
    return false;
  }
  if (at < text.size() && text[at] == '.' && !SkipDigits(text, ++at)) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (!SkipDigits(text, at)) return false;
  }
  return true;
}

bool MatchString(std::string_view text, size_t& at) {
  if (at >= text.size() || text[at] != '"') return false;
  for (++at; at < text.size(); ++at) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    if (c == '"') {
      ++at;
      return true;
    }
    if (c < 0x20) return false;
    if (c != '\\') continue;
    if (++at >= text.size()) return false;
    const char kind = text[at];
    if (kind == 'u') {
      for (int k = 0; k < 4; ++k) {
        if (++at >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[at]))) return false;
      }
    } else if (std::string_view("\"\\/bfnrt").find(kind) == std::string_view::npos) {
      return false;
    }
  }
  return false;
}

// The JSON grammar of RFC 8259 over valid UTF-8, without simdjson's limits on numbers and
// unicode escapes: numbers of any magnitude and unpaired surrogate escapes are grammatical JSON.
// Iterative, so nesting depth costs heap, not stack.
bool MatchesJsonGrammar(std::string_view text) {
  std::vector<char> open;
  size_t at = 0;
  const auto blanks = [&] {
    while (at < text.size() && IsBlank(text[at])) ++at;
  };
  const auto memberName = [&] {
    blanks();
    if (!MatchString(text, at)) return false;
    blanks();
    return at < text.size() && text[at++] == ':';
  };
  for (;;) {
    // A value is expected here.
    blanks();
    if (at >= text.size()) return false;
    const char c = text[at];
    if (c == '{' || c == '[') {
      ++at;
      blanks();
      if (at < text.size() && text[at] == (c == '{' ? '}' : ']')) {
        ++at;
      } else {
        open.push_back(c);
        if (c == '{' && !memberName()) return false;
        continue;
      }
    } else if (c == '"') {
      if (!MatchString(text, at)) return false;
    } else if (c == '-' || (c >= '0' && c <= '9')) {
      if (!MatchNumber(text, at)) return false;
    } else {
      bool matched = false;
      for (std::string_view literal : {"true", "false", "null"}) {
        if (text.substr(at, literal.size()) == literal) {
          at += literal.size();
          matched = true;
          break;
        }
      }
      if (!matched) return false;
    }
    // After a value: close containers or go on to the next element or member.
    for (;;) {
      blanks();
      if (open.empty()) return at == text.size();
      if (at >= text.size()) return false;
      const char next = text[at++];
      if (next == ',') {
        if (open.back() == '{' && !memberName()) return false;
        break;
      }
      if (next != (open.back() == '{' ? '}' : ']')) return false;
      open.pop_back();
    }
  }
}

// The strict parse. simdjson answers nearly every text; the numbers it cannot hold and the
// unpaired surrogate escapes it refuses are grammatical JSON, so those refusals are checked
// again against the grammar. Deep documents are retried with a depth limit that the text
// cannot exceed.
bool IsStrictJson(const std::string& paddedUtf8, size_t length) {
  simdjson::dom::parser parser;
  simdjson::error_code error = parser.parse(paddedUtf8.data(), length, false).error();
  if (error == simdjson::DEPTH_ERROR) {
    const size_t openers = static_cast<size_t>(std::count_if(
        paddedUtf8.begin(), paddedUtf8.begin() + static_cast<std::ptrdiff_t>(length),
        [](char c) { return c == '[' || c == '{'; }));
    simdjson::dom::parser deepParser;
    error = deepParser.allocate(length, openers + 1);
    if (error == simdjson::SUCCESS) error = deepParser.parse(paddedUtf8.data(), length, false).error();
  }
  if (error == simdjson::NUMBER_ERROR || error == simdjson::STRING_ERROR) {
    return MatchesJsonGrammar(std::string_view(paddedUtf8.data(), length));
  }
  return error == simdjson::SUCCESS;
}

}  // namespace

std::shared_ptr<const StrictJsonText> StrictJsonText::Load(std::string_view gb18030) {
  auto doc = std::make_shared<StrictJsonText>();
  doc->utf8_ = Gb18030ToUtf8(gb18030);
  const size_t length = doc->utf8_.size();
  // simdjson is 4 GB-bounded anyway; the container index stores 32-bit offsets.
  if (length >= UINT32_MAX) return nullptr;
  doc->utf8_.append(simdjson::SIMDJSON_PADDING, '\0');
  if (!IsStrictJson(doc->utf8_, length)) return nullptr;
  doc->utf8_.resize(length);
  doc->root_ = doc->SkipBlanks(0);
  doc->BuildContainerIndex();
  return doc;
}

void StrictJsonText::BuildContainerIndex() {
  std::vector<uint32_t> open;  // positions in openers_ of the containers not yet closed
  const size_t n = utf8_.size();
  for (size_t i = root_; i < n; ++i) {
    switch (utf8_[i]) {
      case '"':
        i = StringEnd(i) - 1;
        break;
      case '{':
      case '[':
        open.push_back(static_cast<uint32_t>(openers_.size()));
        openers_.push_back(static_cast<uint32_t>(i));
        closers_.push_back(0);
        nextAfter_.push_back(0);
        break;
      case '}':
      case ']':
        closers_[open.back()] = static_cast<uint32_t>(i);
        nextAfter_[open.back()] = static_cast<uint32_t>(openers_.size());
        open.pop_back();
        break;
      default:
        break;
    }
  }
}

size_t StrictJsonText::SkipBlanks(size_t at) const {
  while (at < utf8_.size() && IsBlank(utf8_[at])) ++at;
  return at;
}

size_t StrictJsonText::StringEnd(size_t openQuote) const {
  const char* const begin = utf8_.data();
  const char* const end = begin + utf8_.size();
  const char* p = begin + openQuote + 1;
  for (;;) {
    const char* quote = static_cast<const char*>(std::memchr(p, '"', static_cast<size_t>(end - p)));
    // A quote preceded by an odd run of backslashes is escaped.
    const char* q = quote;
    while (q > p && q[-1] == '\\') --q;
    if ((quote - q) % 2 == 0) return static_cast<size_t>(quote - begin) + 1;
    p = quote + 1;
  }
}

size_t StrictJsonText::FirstOpenerFrom(size_t at) const {
  return static_cast<size_t>(
      std::lower_bound(openers_.begin(), openers_.end(), static_cast<uint32_t>(at)) - openers_.begin());
}

size_t StrictJsonText::SkipValue(size_t at, size_t& opener) const {
  const char c = utf8_[at];
  if (c == '"') return StringEnd(at);
  if (c == '{' || c == '[') {
    const size_t end = closers_[opener] + size_t{1};
    opener = nextAfter_[opener];
    return end;
  }
  // A number or a literal runs up to the next blank or structural byte.
  while (at < utf8_.size()) {
    const char b = utf8_[at];
    if (IsBlank(b) || b == ',' || b == ']' || b == '}') break;
    ++at;
  }
  return at;
}

size_t StrictJsonText::MemberValue(size_t object, std::string_view name, size_t& opener) const {
  ++opener;  // past the object's own opener
  std::string decoded;
  size_t at = SkipBlanks(object + 1);
  while (utf8_[at] == '"') {
    const size_t keyEnd = StringEnd(at);
    const std::string_view raw(utf8_.data() + at + 1, keyEnd - at - 2);
    bool same;
    if (raw.find('\\') == std::string_view::npos) {
      same = raw == name;
    } else {
      decoded.clear();
      AppendStringContent<false>(decoded, raw.data(), raw.data() + raw.size());
      same = decoded == name;
    }
    const size_t value = SkipBlanks(SkipBlanks(keyEnd) + 1);  // past the colon
    if (same) return value;
    at = SkipBlanks(SkipValue(value, opener));
    if (utf8_[at] != ',') break;
    at = SkipBlanks(at + 1);
  }
  return kNone;
}

size_t StrictJsonText::Element(size_t array, uint64_t index, size_t& opener) const {
  ++opener;  // past the array's own opener
  size_t at = SkipBlanks(array + 1);
  if (utf8_[at] == ']') return kNone;
  for (;;) {
    if (index-- == 0) return at;
    at = SkipBlanks(SkipValue(at, opener));
    if (utf8_[at] != ',') return kNone;
    at = SkipBlanks(at + 1);
  }
}

size_t StrictJsonText::Walk(size_t from, std::string_view gb18030Path, unsigned indexBase) const {
  const std::string path = Gb18030ToUtf8(gb18030Path);  // UTF-8 has no '.' or '[' inside characters
  size_t at = from;
  size_t opener = FirstOpenerFrom(from);
  std::string_view rest = path;
  while (at != kNone) {
    const size_t dot = rest.find('.');
    const std::string_view segment = rest.substr(0, dot);
    const size_t bracket = segment.find('[');
    const std::string_view name = segment.substr(0, bracket);
    if (!name.empty()) at = utf8_[at] == '{' ? MemberValue(at, name, opener) : kNone;
    std::string_view suffixes = bracket == std::string_view::npos ? std::string_view() : segment.substr(bracket);
    while (at != kNone && !suffixes.empty()) {
      const size_t close = suffixes.find(']');
      uint64_t index = 0;
      if (suffixes[0] != '[' || close == std::string_view::npos ||
          !ParseIndex(suffixes.substr(1, close - 1), index) || index < indexBase ||
          utf8_[at] != '[') {
        return kNone;
      }
      at = Element(at, index - indexBase, opener);
      suffixes.remove_prefix(close + 1);
    }
    if (dot == std::string_view::npos) break;
    rest.remove_prefix(dot + 1);
  }
  return at;
}

std::string StrictJsonText::TextOf(size_t at) const {
  if (at == kNone) return {};
  const char* const base = utf8_.data();
  const char c = utf8_[at];
  std::string out;
  if (c == '"') {
    AppendStringContent<false>(out, base + at + 1, base + StringEnd(at) - 1);
  } else if (c == '{' || c == '[') {
    // Compact form: everything outside strings except blanks, strings re-escaped.
    size_t opener = FirstOpenerFrom(at);
    const size_t end = SkipValue(at, opener);
    out.reserve(end - at);
    size_t i = at;
    while (i < end) {
      const char b = utf8_[i];
      if (b == '"') {
        const size_t stringEnd = StringEnd(i);
        out += '"';
        AppendStringContent<true>(out, base + i + 1, base + stringEnd - 1);
        out += '"';
        i = stringEnd;
      } else {
        if (!IsBlank(b)) out += b;
        ++i;
      }
    }
  } else {
    size_t noOpener = 0;  // a scalar passes no container
    out.assign(base + at, base + SkipValue(at, noOpener));
  }
  return Utf8ToGb18030(out);
}

}  // namespace qoxa::platform::detail
