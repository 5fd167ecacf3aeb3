#pragma once
// Conversions at the engine's boundary between its GB18030 byte text and its UTF-16 text
// (the platform's table-driven conversions).
#include <string>
#include <string_view>

namespace qoxa::zy {

std::u16string ToUtf16(std::string_view gb18030);
std::string ToGb18030(std::u16string_view utf16);

}  // namespace qoxa::zy
