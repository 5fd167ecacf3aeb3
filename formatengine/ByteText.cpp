#include "formatengine/ByteText.h"

namespace qoxa::format {

std::string ReplacePair(std::string_view text, char first, char second, std::string_view to) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (IsLeadByte(text[i])) {
      const size_t n = i + 1 < text.size() ? 2 : 1;
      out.append(text.substr(i, n));
      i += n;
    } else if (text[i] == first && i + 1 < text.size() && text[i + 1] == second) {
      out.append(to);
      i += 2;
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

void AppendEscaped(std::string& out, std::string_view text) {
  // One pass does what the eight replacements one after another do: each replacement puts in
  // ASCII bytes only, so the characters the later ones see are the same.
  size_t plain = 0;  // start of the run not yet copied
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (IsLeadByte(c)) {
      i += i + 1 < text.size() ? 2 : 1;
      continue;
    }
    const char* escape = nullptr;
    switch (c) {
      case '\\': escape = "\\\\"; break;
      case '"': escape = "\\\""; break;
      case '/': escape = "\\/"; break;
      case '\r': escape = "\\r"; break;
      case '\n': escape = "\\n"; break;
      case '\t': escape = "\\t"; break;
      case '\b': escape = "\\b"; break;
      case '\f': escape = "\\f"; break;
      default: break;
    }
    if (escape) {
      out.append(text.substr(plain, i - plain));
      out.append(escape, 2);
      plain = i + 1;
    }
    ++i;
  }
  out.append(text.substr(plain));
}

namespace {
unsigned CharCode(std::string_view s, size_t& i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  if (lead >= 0x80 && i + 1 < s.size()) {
    const unsigned code = (lead << 8) | static_cast<unsigned char>(s[i + 1]);
    i += 2;
    return code;
  }
  ++i;
  return lead;
}
}  // namespace

int CompareCharwise(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const unsigned x = CharCode(a, i), y = CharCode(b, j);
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

}  // namespace qoxa::format
