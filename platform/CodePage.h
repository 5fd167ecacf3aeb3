#pragma once
// Conversions between the engines' byte text (GB18030) and the Unicode forms used at the
// window and command-line boundary. GB18030 equals code page 936 for every character that
// code page holds and holds every other character too, so no conversion loses a character.
//
// Input that is not valid in its encoding never stops a conversion: each offending byte
// (each offending code unit for UTF-16) becomes U+FFFD and the conversion goes on.
#include <string>
#include <string_view>

namespace qoxa::platform {

std::string Utf8ToGb18030(std::string_view utf8);
std::string Gb18030ToUtf8(std::string_view gb18030);
std::u16string Gb18030ToUtf16(std::string_view gb18030);
std::string Utf16ToGb18030(std::u16string_view utf16);
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);
// True when some byte is 0x80 or above.
bool HasNonAscii(std::string_view bytes);

}  // namespace qoxa::platform
