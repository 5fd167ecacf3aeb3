#pragma once
// The message node selection writes into the result box when the Mode's engine cannot read
// the source text (GB18030).
#include <string>

#include "app/Mode.h"
#include "platform/CodePage.h"

namespace qoxa::app {

inline std::string UnreadableSourceMessage(Mode mode) {
  switch (mode) {
    case Mode::Zy: return platform::Utf8ToGb18030("zy提示：非严谨的json格式，解析失败");
    case Mode::E2ee: return platform::Utf8ToGb18030("E2EE提示：非严谨的json格式，解析失败");
    case Mode::Hx: return platform::Utf8ToGb18030("彗星提示：非严谨的json格式，解析失败");
    case Mode::Jy: break;
  }
  return platform::Utf8ToGb18030("精易提示：非严谨的json格式，解析失败");
}

}  // namespace qoxa::app
