#pragma once
// The common core of the two support-library stand-ins (CometJson and the e2ee list and
// key-value table): a strict JSON document held as UTF-8, the walk along an access path,
// and the text rules for the value found.
//
// The text is validated once with simdjson (RFC 8259, white space around the value allowed).
// simdjson's DOM does not keep number tokens as written, so the document keeps the UTF-8
// source instead and reads values from it directly; an index of container ends, built in
// one pass at load time, lets a walk step over a sibling container in constant time, so
// a query costs the number of siblings passed on the way, never the document's size.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qoxa::platform::detail {

class StrictJsonText {
 public:
  static constexpr size_t kNone = static_cast<size_t>(-1);

  // The document of a GB18030 text, or nullptr when the text is not one strict JSON value.
  static std::shared_ptr<const StrictJsonText> Load(std::string_view gb18030);

  // Byte offset of the top-level value and its first byte ('{', '[', '"', a digit, ...).
  size_t Root() const { return root_; }
  char FirstByteAt(size_t at) const { return utf8_[at]; }

  // The value reached from the value at `from` along a GB18030 path: segments split at ".",
  // each a member name followed by any number of [n] suffixes, n counted from indexBase.
  // An empty name makes no member step (so "[1].x" indexes the value itself, and the empty
  // segment in front of ".a.b" is passed over). A member is found by its exact decoded name,
  // the first one when a name repeats. kNone when a step finds nothing.
  size_t Walk(size_t from, std::string_view gb18030Path, unsigned indexBase) const;

  // The value's text in GB18030: a string its decoded content, a number its token as written,
  // true/false/null their literals, a container its compact JSON text in document order.
  std::string TextOf(size_t at) const;

 private:
  // `opener` is the index in openers_ of the first container at or after the value; skipping
  // or entering a container keeps it so, which makes every step over a sibling O(1).
  size_t SkipValue(size_t at, size_t& opener) const;
  size_t FirstOpenerFrom(size_t at) const;
  size_t StringEnd(size_t openQuote) const;  // offset just after the closing quote
  size_t SkipBlanks(size_t at) const;
  size_t MemberValue(size_t object, std::string_view name, size_t& opener) const;
  size_t Element(size_t array, uint64_t index, size_t& opener) const;
  void BuildContainerIndex();

  std::string utf8_;
  size_t root_ = 0;
  // Offsets of every '{' and '[' in document order, of their matching closing bytes, and the
  // index of the first container that opens after each one closes.
  std::vector<uint32_t> openers_;
  std::vector<uint32_t> closers_;
  std::vector<uint32_t> nextAfter_;
};

}  // namespace qoxa::platform::detail
