#pragma once
// The JSON text that the jy engine gives back: the engine's JSON.stringify output with the
// escapes of the classic script JSON writer, as GB18030 bytes.
#include <string>
#include <string_view>

namespace qoxa::script {

// True for the characters the classic writer escapes beyond the ones every JSON writer
// escapes: U+007F–U+009F, U+00AD, U+0600–U+0604, U+070F, U+17B4, U+17B5, U+200C–U+200F,
// U+2028–U+202F, U+2060–U+206F, U+FEFF and U+FFF0–U+FFFF.
bool IsClassicJsonEscape(char16_t c);

// Writes those characters as \u and four lower-case hexadecimal digits and converts the text to
// GB18030. Outside its strings a JSON text is ASCII, so the whole text can be treated alike.
std::string JsonTextFromEngine(std::u16string_view json);

}  // namespace qoxa::script
