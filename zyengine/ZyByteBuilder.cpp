#include "zyengine/ZyByteBuilder.h"

#include <cstdlib>
#include <new>

#include "platform/CodePage.h"
#include "platform/Gb18030Tables.h"

namespace qoxa::zy {

void ZyByteBuilder::Grow(size_t needed) {
  size_t capacity = capacity_ * 2 + needed;
  if (capacity < 256) capacity = 256;
  // realloc moves big buffers by remapping their pages instead of copying them.
  auto* grown = static_cast<char*>(std::realloc(buffer_, capacity));
  if (!grown) throw std::bad_alloc();
  buffer_ = grown;
  capacity_ = capacity;
}

void ZyByteBuilder::AppendWide(std::u16string_view text) {
  const char16_t* p = text.data();
  const size_t n = text.size();
  const platform::Gb18030Tables& tables = platform::Gb18030();
  for (size_t i = 0; i < n; ++i) {
    if (capacity_ - length_ < 4) Grow(4 + n - i);
    char32_t c = p[i];
    if (c < 0x80) {
      buffer_[length_++] = static_cast<char>(c);
      continue;
    }
    if (const uint32_t code = tables.encodeBmp[c]; code > 0xFF && code <= 0xFFFF) {  // a two-byte code
      buffer_[length_++] = static_cast<char>(code >> 8);
      buffer_[length_++] = static_cast<char>(code);
      continue;
    }
    // A surrogate pair is one character; a lone half becomes U+FFFD, as in the platform conversion.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && p[i + 1] >= 0xDC00 && p[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (p[i + 1] - 0xDC00);
      ++i;
    }
    length_ += static_cast<size_t>(platform::EncodeGb18030(c, buffer_ + length_));
  }
}

}  // namespace qoxa::zy
