#pragma once
// Writes values back as JSON text. Objects put one member per line when pretty (CR LF line
// breaks, one tab per level); Arrays always stay on one line but still raise the level of what
// they hold. There is no space after ':' or ','.
#include <string>
#include <string_view>

#include "zyengine/ZyByteBuilder.h"
#include "zyengine/ZyTextBuilder.h"

namespace qoxa::zy {

struct ZyValue;

// Appends the JSON text of v at nesting level depth. Works without recursion.
// The UTF-16 and the GB18030 builder give the same text in their encodings.
void Serialize(const ZyValue* v, ZyTextBuilder& out, bool pretty, int depth, bool escape);
void Serialize(const ZyValue* v, ZyByteBuilder& out, bool pretty, int depth, bool escape);
// Escapes backslash, '/', double quote and the control characters 8, 9, 10, 12, 13;
// everything else passes unchanged.
void EscapeText(std::u16string_view text, ZyTextBuilder& out);
void EscapeText(std::u16string_view text, ZyByteBuilder& out);
std::u16string EscapeText(std::u16string_view text);

}  // namespace qoxa::zy
