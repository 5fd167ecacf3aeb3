#include "formatengine/WhiteSpaceCompactor.h"

#include <cstring>

#include "platform/CodePage.h"

namespace qoxa::format {
namespace {

bool IsWhiteSpace(unsigned char byte) { return byte == ' ' || (byte >= '\t' && byte <= '\r'); }

}  // namespace

// The three replacements in one: a removed run never joins two other runs (a brace or comma stays
// on its side), so a run goes exactly when the character before it is "{" or "," or the one
// after it is "}" in the original text. White-space bytes are characters of their own in GB18030
// (no character continues with a byte below 0x30), so a run and the byte after it always start
// characters.
std::string CompactWhiteSpace(std::string_view text) {
  std::string out(text.size(), '\0');
  char* to = out.data();
  const size_t size = text.size();
  bool afterBraceOrComma = false;
  for (size_t at = 0; at < size;) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (IsWhiteSpace(byte)) {
      size_t end = at + 1;
      while (end < size && IsWhiteSpace(static_cast<unsigned char>(text[end]))) ++end;
      if (!afterBraceOrComma && !(end < size && text[end] == '}')) {
        std::memcpy(to, text.data() + at, end - at);
        to += end - at;
      }
      afterBraceOrComma = false;
      at = end;
    } else if (byte >= 0x80) {
      const size_t length = platform::Gb18030CharLength(text, at);
      std::memcpy(to, text.data() + at, length);
      to += length;
      afterBraceOrComma = false;
      at += length;
    } else {
      *to++ = static_cast<char>(byte);
      afterBraceOrComma = byte == '{' || byte == ',';
      ++at;
    }
  }
  out.resize(static_cast<size_t>(to - out.data()));
  return out;
}

}  // namespace qoxa::format
