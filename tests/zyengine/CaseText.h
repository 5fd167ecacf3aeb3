#pragma once
// Stable, readable names for parameterized cases in test listings.
#include <cstddef>
#include <ostream>

namespace qoxa::zy::testing {

// Printable ASCII as written, other bytes as \xNN, cut after 40 characters.
inline void PrintCaseText(const char* text, std::ostream* os) {
  static const char kHex[] = "0123456789ABCDEF";
  size_t shown = 0;
  for (const char* p = text; *p; ++p) {
    if (++shown > 40) {
      *os << "...";
      break;
    }
    const auto byte = static_cast<unsigned char>(*p);
    if (byte >= 0x20 && byte < 0x7F) *os << *p;
    else *os << "\\x" << kHex[byte >> 4] << kHex[byte & 15];
  }
}

}  // namespace qoxa::zy::testing
