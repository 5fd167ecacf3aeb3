#pragma once
// Our stand-ins for the 存取列表 (list) and 存取键值表 (key-value table) classes of the e2ee
// support library: a strict JSON document whose top-level value is an array (list) or an
// object (table), read by paths with 1-based element indexes.
#include <memory>
#include <string>
#include <string_view>

namespace qoxa::platform {
namespace detail {
class StrictJsonText;
}

class E2eeStore {
 public:
  // Callers may hold a list or a table through this class and destroy it that way.
  virtual ~E2eeStore() = default;
  E2eeStore(const E2eeStore&) = default;
  E2eeStore& operator=(const E2eeStore&) = default;
  E2eeStore(E2eeStore&&) = default;
  E2eeStore& operator=(E2eeStore&&) = default;

  // 从JSON载入: true when the GB18030 text is strict JSON whose top-level value is of this
  // store's kind. The two flags belong to the library's interface and change nothing here.
  // On failure the store holds nothing.
  bool LoadJson(std::string_view text, bool, bool);

  // 取文本: the text of the value at a path: an optional leading "//" (counted from the root),
  // then segments as for CometJson but with [n] counted from 1. "" when nothing is there or
  // nothing is loaded. Same text rules as CometJson::TextValue.
  std::string Text(std::string_view path) const;

 protected:
  explicit E2eeStore(char topLevelOpener) : topLevelOpener_(topLevelOpener) {}

 private:
  char topLevelOpener_;
  std::shared_ptr<const detail::StrictJsonText> doc_;
};

// 存取列表
class E2eeList : public E2eeStore {
 public:
  E2eeList() : E2eeStore('[') {}
};

// 存取键值表
class E2eeKeyValueTable : public E2eeStore {
 public:
  E2eeKeyValueTable() : E2eeStore('{') {}
};

}  // namespace qoxa::platform
