#include "scripthost/JsonTextEscapes.h"

#include <algorithm>

#include "platform/CodePage.h"

namespace qoxa::script {

bool IsClassicJsonEscape(char16_t c) {
  if (c < 0x7F) return false;
  return c <= 0x9F || c == 0xAD || (c >= 0x600 && c <= 0x604) || c == 0x70F || c == 0x17B4 || c == 0x17B5 ||
         (c >= 0x200C && c <= 0x200F) || (c >= 0x2028 && c <= 0x202F) || (c >= 0x2060 && c <= 0x206F) ||
         c == 0xFEFF || c >= 0xFFF0;
}

std::string JsonTextFromEngine(std::u16string_view json) {
  if (std::none_of(json.begin(), json.end(), IsClassicJsonEscape)) return platform::Utf16ToGb18030(json);
  static constexpr char16_t kHex[] = u"0123456789abcdef";
  std::u16string escaped;
  escaped.reserve(json.size() + 64);
  for (char16_t c : json) {
    if (!IsClassicJsonEscape(c)) {
      escaped += c;
      continue;
    }
    const char16_t unit[6] = {u'\\', u'u', kHex[c >> 12], kHex[(c >> 8) & 0xF], kHex[(c >> 4) & 0xF], kHex[c & 0xF]};
    escaped.append(unit, 6);
  }
  return platform::Utf16ToGb18030(escaped);
}

}  // namespace qoxa::script
