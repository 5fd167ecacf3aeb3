#include "zyengine/ZyCodePage.h"

#include "platform/CodePage.h"

namespace qoxa::zy {

std::u16string ToUtf16(std::string_view gb18030) { return platform::Gb18030ToUtf16(gb18030); }

std::string ToGb18030(std::u16string_view utf16) { return platform::Utf16ToGb18030(utf16); }

}  // namespace qoxa::zy
