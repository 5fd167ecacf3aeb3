#pragma once
// Decoding of the source text: \u escapes written into JSON text, and UTF-8 bytes that were
// taken for GB18030 text. Both work on GB18030 bytes and never change anything but what
// they decode.
#include <string>
#include <string_view>

namespace qoxa::app {

// True when the text holds a backslash followed by "u" (the trigger for DecodeEscapes).
bool ContainsBackslashU(std::string_view text);
// True when the text holds "%E" (upper-case E; the trigger for Utf8ToAnsi).
bool ContainsPercentE(std::string_view text);

// Decodes every \u escape of four hexadecimal digits whose backslash is not itself escaped;
// a high and a low surrogate escape in a row give one character. Escapes of control
// characters (below U+0020), of the quote and of the backslash stay as written, so the text
// remains the JSON it was; lone surrogates stay too. Every other byte is kept as it is.
// A two-byte GB18030 character whose second byte is 0x5C holds no backslash.
std::string DecodeEscapes(std::string_view text);

// Converts the text from UTF-8 to GB18030 when the whole text is valid UTF-8 holding at least
// one non-ASCII byte (text that was garbled that way); any other text comes back unchanged.
std::string Utf8ToAnsi(std::string_view text);

}  // namespace qoxa::app
