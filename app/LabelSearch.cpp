#include "app/LabelSearch.h"

namespace qoxa::app {

bool ContainsAtCharBoundary(std::string_view text, std::string_view part) {
  if (part.empty()) return false;
  size_t boundary = 0;  // the character boundary reached so far
  for (size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, boundary)) {
    // Walk the characters up to the candidate; it either starts one or lies inside one.
    while (boundary < at) boundary += static_cast<unsigned char>(text[boundary]) >= 0x80 ? 2 : 1;
    if (boundary == at) return true;
  }
  return false;
}

bool LabelContains(std::string_view label, std::string_view findText) {
  if (findText.empty()) return !label.empty();
  return ContainsAtCharBoundary(label, findText);
}

}  // namespace qoxa::app
