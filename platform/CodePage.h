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
// Gb18030ToUtf16 into `out`, which has room for gb18030.size() units (no character takes more);
// answers the number of units written.
size_t Gb18030ToUtf16Into(std::string_view gb18030, char16_t* out);
// Writes the 1, 2 or 4 GB18030 bytes of one code point and answers their count; a surrogate half
// or a character without a code gives the bytes of U+FFFD.
int EncodeGb18030(char32_t codePoint, char* bytes);
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// The number of bytes (1, 2 or 4) of the character at byte `at` (< text.size()) as the
// conversions read it; a byte that starts no valid character counts as one of its own.
size_t Gb18030CharLength(std::string_view text, size_t at);

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);
// True when some byte is 0x80 or above.
bool HasNonAscii(std::string_view bytes);

}  // namespace qoxa::platform
