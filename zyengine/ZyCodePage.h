#pragma once
// Conversions at the engine's boundary between its GB18030 byte text and its UTF-16 text.
// Results are those of the platform conversions; ASCII, which dominates JSON text, is copied
// directly and only the non-ASCII stretches go through the platform, gathered into one call.
#include <string>
#include <string_view>

namespace qoxa::zy {

std::u16string ToUtf16(std::string_view gb18030);
std::string ToGb18030(std::u16string_view utf16);

}  // namespace qoxa::zy
