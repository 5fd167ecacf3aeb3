#include "zyengine/ZyByteBuilder.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "platform/CodePage.h"
#include "platform/Gb18030Tables.h"

namespace qoxa::zy {

namespace {

#if defined(__linux__)
// From this size on the buffer is a mapping of its own, which grows by remapping its pages instead
// of copying them. The program serves large blocks from its heap (platform/HeapReuse.h), where
// realloc would copy the whole text at every doubling.
constexpr size_t kMappedFrom = 8 << 20;
constexpr size_t kPage = 4096;
#endif

}  // namespace

void ZyByteBuilder::Grow(size_t needed) {
  size_t capacity = capacity_ * 2 + needed;
  if (capacity < 256) capacity = 256;
#if defined(__linux__)
  if (capacity >= kMappedFrom) {
    capacity = (capacity + kPage - 1) / kPage * kPage;
    void* grown = mapped_ ? mremap(buffer_, capacity_, capacity, MREMAP_MAYMOVE)
                          : mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (grown == MAP_FAILED) throw std::bad_alloc();
    if (!mapped_) {
      if (length_) std::memcpy(grown, buffer_, length_);
      std::free(buffer_);
      mapped_ = true;
    }
    buffer_ = static_cast<char*>(grown);
    capacity_ = capacity;
    return;
  }
#endif
  auto* grown = static_cast<char*>(std::realloc(buffer_, capacity));
  if (!grown) throw std::bad_alloc();
  buffer_ = grown;
  capacity_ = capacity;
}

void ZyByteBuilder::Free() {
#if defined(__linux__)
  if (mapped_) {
    munmap(buffer_, capacity_);
    return;
  }
#endif
  std::free(buffer_);
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
