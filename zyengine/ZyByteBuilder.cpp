#include "zyengine/ZyByteBuilder.h"

#include <atomic>
#include <cstdint>

#include "platform/CodePage.h"

namespace qoxa::zy {
namespace {

// The GB18030 bytes of each UTF-16 unit outside ASCII and the surrogates: bytes in the low 32
// bits, their count above them; 0 until the unit is first met. Entries are filled by any thread
// with the same value, so relaxed atomics suffice.
std::atomic<uint64_t> g_encoded[0x10000];

bool IsSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// The cached encoding of c (not ASCII, not a surrogate), or 0 when the platform answers something
// the table cannot hold.
uint64_t Encoded(char16_t c) {
  uint64_t e = g_encoded[c].load(std::memory_order_relaxed);
  if (e) return e;
  const std::string bytes = platform::Utf16ToGb18030(std::u16string_view(&c, 1));
  if (bytes.empty() || bytes.size() > 4) return 0;
  e = uint64_t{bytes.size()} << 32;
  for (size_t i = 0; i < bytes.size(); ++i) e |= uint64_t{static_cast<unsigned char>(bytes[i])} << (8 * i);
  g_encoded[c].store(e, std::memory_order_relaxed);
  return e;
}

}  // namespace

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
  for (size_t i = 0; i < n;) {
    const char16_t c = p[i];
    if (c < 0x80) {
      if (length_ == capacity_) Grow(n - i);
      buffer_[length_++] = static_cast<char>(c);
      ++i;
      continue;
    }
    const uint64_t e = IsSurrogate(c) ? 0 : Encoded(c);
    if (e) {
      if (capacity_ - length_ < 4) Grow(4 + n - i);
      char* o = buffer_ + length_;
      o[0] = static_cast<char>(e);
      o[1] = static_cast<char>(e >> 8);
      o[2] = static_cast<char>(e >> 16);
      o[3] = static_cast<char>(e >> 24);
      length_ += static_cast<size_t>(e >> 32);
      ++i;
      continue;
    }
    // Surrogates (and anything the table cannot hold): the whole non-ASCII stretch at once.
    size_t stop = i;
    while (stop < n && p[stop] >= 0x80) ++stop;
    const std::string bytes = platform::Utf16ToGb18030(text.substr(i, stop - i));
    if (capacity_ - length_ < bytes.size()) Grow(bytes.size() + n - stop);
    std::memcpy(buffer_ + length_, bytes.data(), bytes.size());
    length_ += bytes.size();
    i = stop;
  }
}

}  // namespace qoxa::zy
