#pragma once
// Our stand-in for the 彗星JSON class of the CometHttp support library: one strict JSON
// document, queried by paths with 0-based element indexes.
#include <memory>
#include <string>
#include <string_view>

namespace qoxa::platform {
namespace detail {
class StrictJsonText;
}

class CometJson {
 public:
  // 解析: true when the GB18030 text is one strict JSON value (white space around it allowed).
  // On failure the object holds nothing.
  bool Parse(std::string_view text);

  // 查询: the value at a path ("" is this value; "a.b[2][0]", "[1].x": segments split at ".",
  // each a member name with any number of [n] suffixes counted from 0). A member is found by
  // its exact name, the first one when a name repeats. A step that finds nothing gives an empty
  // value. Results share the parsed document, so a query is cheap and parses nothing.
  CometJson Query(std::string_view path) const;

  // 取文本值: a string its content (escapes decoded), a number its token as written,
  // true/false/null their literals, an object or array its compact JSON text in document
  // order; an empty value "". GB18030.
  std::string TextValue() const;

  bool IsEmpty() const { return doc_ == nullptr; }

 private:
  std::shared_ptr<const detail::StrictJsonText> doc_;
  size_t at_ = 0;
};

}  // namespace qoxa::platform
