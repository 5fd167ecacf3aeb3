#pragma once
// Regular-expression search and replace over the engines' byte text (GB18030).
//
// The dialect is ECMAScript-like (\d \s \w, groups, classes, ^ and $ per line in multi-line
// mode), run by PCRE2 in UTF mode. Patterns work on characters, never on bytes: the subject and
// the pattern are converted to UTF-8 when they come in and every text handed out is converted
// back, so a two-byte character is never split by a match.
//
// Match and group numbers count from 1. A pattern that does not compile makes Execute return
// false; MatchCount is then 0 and every text operation returns "".
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qoxa::script {

class Regex {
 public:
  Regex();
  virtual ~Regex();
  Regex(const Regex& other);
  Regex& operator=(const Regex& other);

  // Searches `subject` for `pattern`. With quoteMark every "#引号" (GB18030 bytes) in the
  // pattern stands for a double quote. Returns true when the search ran (the pattern compiled),
  // whether or not anything matched.
  virtual bool Execute(std::string_view pattern, std::string_view subject, bool caseSensitive = false,
                       bool multiline = true, bool global = true, bool quoteMark = false);
  // The pattern of the last Execute (after the "#引号" substitution); "" before the first.
  virtual std::string PatternText() const;
  // The subject of the last Execute with the matches replaced (only the first one when global
  // was off). The replacement follows ECMAScript: $1..$99, $& (the match), $` (text before),
  // $' (text after), $$ (a dollar); any other "$" and every backslash are literal.
  virtual std::string Replace(std::string_view replacement) const;
  virtual int MatchCount() const;
  // Match i (1-based); "" when out of range. `position`, when given, receives the 0-based byte
  // position of the match in the subject (or -1 when there is no such match).
  virtual std::string MatchText(int i, int* position = nullptr) const;
  // Group k (1-based) of match i (1-based); "" when out of range or when the group took no part.
  virtual std::string SubMatchText(int i, int k, int* position = nullptr) const;
  // The number of groups of the first match; 0 when nothing matched.
  virtual int SubMatchCount() const;

 private:
  struct Compiled;
  // One part of a parsed replacement text: literal UTF-8 text, a group of the match (0 is the
  // match itself), or the subject before or after the match.
  struct ReplacementPart {
    enum class Kind { Literal, Group, Before, After } kind;
    std::string_view literal;
    size_t group = 0;
  };

  // Start and end (UTF-8 byte offsets into subjectUtf8_) of group g of match m; g 0 is the match.
  uint32_t Start(size_t m, size_t g) const { return offsets_[(m * slots_ + g) * 2]; }
  uint32_t End(size_t m, size_t g) const { return offsets_[(m * slots_ + g) * 2 + 1]; }
  int GbPosition(size_t utf8Offset) const;
  std::string GroupText(int i, int k, int* position) const;
  void Clear();
  std::vector<ReplacementPart> ParseReplacement(std::string_view replacementUtf8) const;
  // Calls piece(text) for each consecutive piece of the subject with every match replaced.
  template <typename Piece>
  void ForEachResultPiece(const std::vector<ReplacementPart>& parts, Piece&& piece) const;

  std::string pattern_;                  // GB18030, as set by the last Execute
  std::shared_ptr<const Compiled> code_; // null when there is no engine or the pattern was rejected
  std::shared_ptr<std::string> subjectUtf8_;  // never null; not changed while shared
  size_t slots_ = 0;                     // 1 + number of capture groups
  // Per match, per slot: start and end in subjectUtf8_ (unset: all bits set). 32 bits keep the
  // list of millions of matches small; a subject of 4 GB or more is refused.
  std::vector<uint32_t> offsets_;
};

}  // namespace qoxa::script
