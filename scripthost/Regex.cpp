#include "scripthost/Regex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "platform/CodePage.h"

namespace qoxa::script {

using platform::Gb18030ToUtf8;
using platform::Utf8ToGb18030;

namespace {

constexpr uint32_t kUnset = UINT32_MAX;

// The pattern's stand-in for a double quote, "#引号" in GB18030.
constexpr std::string_view kQuoteMark = "#\xD2\xFD\xBA\xC5";

std::string ReplaceQuoteMarks(std::string_view pattern) {
  std::string out;
  size_t from = 0;
  for (size_t at; (at = pattern.find(kQuoteMark, from)) != std::string_view::npos; from = at + kQuoteMark.size()) {
    out.append(pattern.substr(from, at - from));
    out.push_back('"');
  }
  out.append(pattern.substr(from));
  return out;
}

// Length of the UTF-8 character starting at `at` (the subject is always well-formed UTF-8,
// since it comes out of the code-page conversion).
size_t CharLength(const std::string& text, size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  size_t n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  return std::min(n, text.size() - at);
}

}  // namespace

struct Regex::Compiled {
  pcre2_code* code = nullptr;
  ~Compiled() { pcre2_code_free(code); }
};

Regex::Regex() : subjectUtf8_(std::make_shared<std::string>()) {}
Regex::~Regex() = default;
Regex::Regex(const Regex& other) = default;
Regex& Regex::operator=(const Regex& other) = default;

void Regex::Clear() {
  code_.reset();
  subjectUtf8_ = std::make_shared<std::string>();
  slots_ = 0;
  offsets_.clear();
}

bool Regex::Execute(std::string_view pattern, std::string_view subject, bool caseSensitive, bool multiline,
                    bool global, bool quoteMark) {
  Clear();
  pattern_ = quoteMark ? ReplaceQuoteMarks(pattern) : std::string(pattern);
  const std::string patternUtf8 = Gb18030ToUtf8(pattern_);

  // No PCRE2_UCP: \d, \s and \w keep their ASCII meaning (\s is space, tab, line feed, carriage
  // return, form feed and vertical tab), as in the script dialects this wrapper stands in for.
  // Case-insensitive matching of non-ASCII letters still uses Unicode case folding in UTF mode.
  // ALT_BSUX gives \uHHHH and \xHH their ECMAScript meaning; DOLLAR_ENDONLY keeps "$" at the very
  // end outside multi-line mode; a back reference to a group that took no part matches nothing.
  uint32_t options = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_DOLLAR_ENDONLY | PCRE2_MATCH_UNSET_BACKREF;
  if (!caseSensitive) options |= PCRE2_CASELESS;
  if (multiline) options |= PCRE2_MULTILINE;
  pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
  // Lines end at CR, LF or CR LF, like the script dialect's line terminators.
  pcre2_set_newline(context, PCRE2_NEWLINE_ANYCRLF);
  int error = 0;
  PCRE2_SIZE errorOffset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(patternUtf8.data()), patternUtf8.size(), options,
                                   &error, &errorOffset, context);
  pcre2_compile_context_free(context);
  if (!code) return false;
  auto compiled = std::make_shared<Compiled>();
  compiled->code = code;
  pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);  // falls back to the interpreter when JIT is unavailable

  uint32_t groups = 0;
  pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &groups);
  slots_ = groups + 1;
  subjectUtf8_ = std::make_shared<std::string>(Gb18030ToUtf8(subject));
  if (subjectUtf8_->size() >= kUnset) {
    Clear();
    return false;
  }
  const std::string& subjectText = *subjectUtf8_;

  pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
  pcre2_match_context* matchContext = pcre2_match_context_create(nullptr);
  pcre2_jit_stack* jitStack = pcre2_jit_stack_create(32 * 1024, 4 * 1024 * 1024, nullptr);
  if (jitStack) pcre2_jit_stack_assign(matchContext, nullptr, jitStack);
  const auto* text = reinterpret_cast<PCRE2_SPTR>(subjectText.data());
  const size_t length = subjectText.size();
  size_t jitSize = 0;
  const bool jit = pcre2_pattern_info(code, PCRE2_INFO_JITSIZE, &jitSize) == 0 && jitSize > 0;
  size_t from = 0;
  bool ran = true;
  while (from <= length) {
    // The subject is well-formed UTF-8 by construction; skipping the check keeps a global search
    // linear (the check would otherwise scan the whole subject at every match).
    int rc = jit ? pcre2_jit_match(code, text, length, from, 0, data, matchContext)
                 : pcre2_match(code, text, length, from, PCRE2_NO_UTF_CHECK, data, matchContext);
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT)  // the interpreter keeps its backtracking on the heap
      rc = pcre2_match(code, text, length, from, PCRE2_NO_UTF_CHECK | PCRE2_NO_JIT, data, matchContext);
    if (rc == PCRE2_ERROR_NOMATCH) break;
    if (rc < 0) {  // a match-time failure (limits): the search did not run through
      ran = false;
      break;
    }
    const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(data);
    for (size_t g = 0; g < slots_; ++g) {
      const bool set = g < static_cast<size_t>(rc) && vector[2 * g] != PCRE2_UNSET;
      offsets_.push_back(set ? static_cast<uint32_t>(vector[2 * g]) : kUnset);
      offsets_.push_back(set ? static_cast<uint32_t>(vector[2 * g + 1]) : kUnset);
    }
    if (!global) break;
    // As in ECMAScript, an empty match moves the next search on by one character.
    from = vector[1] > vector[0] ? vector[1] : vector[1] + (vector[1] < length ? CharLength(subjectText, vector[1]) : 1);
  }
  if (jitStack) pcre2_jit_stack_free(jitStack);
  pcre2_match_context_free(matchContext);
  pcre2_match_data_free(data);
  if (!ran) {
    Clear();
    return false;
  }
  code_ = std::move(compiled);
  return true;
}

std::string Regex::PatternText() const { return pattern_; }

int Regex::MatchCount() const { return slots_ ? static_cast<int>(offsets_.size() / (slots_ * 2)) : 0; }

int Regex::SubMatchCount() const { return MatchCount() > 0 ? static_cast<int>(slots_ - 1) : 0; }

int Regex::GbPosition(size_t utf8Offset) const {
  return static_cast<int>(Utf8ToGb18030(std::string_view(*subjectUtf8_).substr(0, utf8Offset)).size());
}

std::string Regex::MatchText(int i, int* position) const { return GroupText(i, 0, position); }

std::string Regex::SubMatchText(int i, int k, int* position) const {
  if (k < 1) {
    if (position) *position = -1;
    return {};
  }
  return GroupText(i, k, position);
}

std::string Regex::GroupText(int i, int k, int* position) const {
  if (position) *position = -1;
  if (i < 1 || i > MatchCount() || k < 0 || static_cast<size_t>(k) >= slots_) return {};
  const size_t m = static_cast<size_t>(i - 1), g = static_cast<size_t>(k);
  if (Start(m, g) == kUnset) return {};
  if (position) *position = GbPosition(Start(m, g));
  return Utf8ToGb18030(std::string_view(*subjectUtf8_).substr(Start(m, g), End(m, g) - Start(m, g)));
}

std::vector<Regex::ReplacementPart> Regex::ParseReplacement(std::string_view rep) const {
  std::vector<ReplacementPart> parts;
  const size_t groups = slots_ - 1;
  auto literal = [&](size_t at, size_t length) {
    if (!parts.empty() && parts.back().kind == ReplacementPart::Kind::Literal &&
        parts.back().literal.data() + parts.back().literal.size() == rep.data() + at)
      parts.back().literal = std::string_view(parts.back().literal.data(), parts.back().literal.size() + length);
    else
      parts.push_back({ReplacementPart::Kind::Literal, rep.substr(at, length)});
  };
  auto group = [&](size_t g) { parts.push_back({ReplacementPart::Kind::Group, {}, g}); };
  for (size_t at = 0; at < rep.size(); ++at) {
    if (rep[at] != '$' || at + 1 == rep.size()) {
      literal(at, 1);
      continue;
    }
    const char next = rep[at + 1];
    if (next == '$') {
      literal(at, 1);
      ++at;
    } else if (next == '&') {
      group(0);
      ++at;
    } else if (next == '`') {
      parts.push_back({ReplacementPart::Kind::Before, {}});
      ++at;
    } else if (next == '\'') {
      parts.push_back({ReplacementPart::Kind::After, {}});
      ++at;
    } else if (next >= '0' && next <= '9') {
      // Two digits when they name an existing group, else one digit; $0 and a group number
      // beyond the pattern's groups stay literal.
      const size_t one = static_cast<size_t>(next - '0');
      if (at + 2 < rep.size() && rep[at + 2] >= '0' && rep[at + 2] <= '9') {
        const size_t two = one * 10 + static_cast<size_t>(rep[at + 2] - '0');
        if (two >= 1 && two <= groups) {
          group(two);
          at += 2;
          continue;
        }
      }
      if (one >= 1 && one <= groups) {
        group(one);
        ++at;
      } else {
        literal(at, 1);
      }
    } else {
      literal(at, 1);
    }
  }
  return parts;
}

template <typename Piece>
void Regex::ForEachResultPiece(const std::vector<ReplacementPart>& parts, Piece&& piece) const {
  const std::string_view subject = *subjectUtf8_;
  const size_t count = static_cast<size_t>(MatchCount());
  size_t copied = 0;
  for (size_t m = 0; m < count; ++m) {
    const size_t start = Start(m, 0), end = End(m, 0);
    piece(subject.substr(copied, start - copied));
    copied = end;
    for (const ReplacementPart& part : parts) {
      switch (part.kind) {
        case ReplacementPart::Kind::Literal:
          piece(part.literal);
          break;
        case ReplacementPart::Kind::Group:
          if (Start(m, part.group) != kUnset)
            piece(subject.substr(Start(m, part.group), End(m, part.group) - Start(m, part.group)));
          break;
        case ReplacementPart::Kind::Before:
          piece(subject.substr(0, start));
          break;
        case ReplacementPart::Kind::After:
          piece(subject.substr(end));
          break;
      }
    }
  }
  piece(subject.substr(copied));
}

std::string Regex::Replace(std::string_view replacement) const {
  if (!code_) return {};
  const std::string rep = Gb18030ToUtf8(replacement);
  std::string out;
  out.reserve(subjectUtf8_->size());
  ForEachResultPiece(ParseReplacement(rep), [&out](std::string_view piece) { out.append(piece); });
  return Utf8ToGb18030(out);
}

}  // namespace qoxa::script
