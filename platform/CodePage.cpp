#include "platform/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace qoxa::platform {
namespace {

// One iconv descriptor for the length of a conversion.
class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  }
  ~IconvHandle() { iconv_close(cd_); }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Converts `input` and appends to a byte string; an invalid or incomplete input unit is
// replaced by `replacement` (already in the target encoding) and skipped by `unitSize` bytes.
std::string ConvertBytes(const char* to, const char* from, const char* input, size_t inputSize,
                         std::string_view replacement, size_t unitSize) {
  std::string out;
  if (inputSize == 0) return out;
  IconvHandle handle(to, from);
  out.resize(inputSize * 2 + 16);
  char* in = const_cast<char*>(input);
  size_t inLeft = inputSize;
  size_t used = 0;
  while (true) {
    char* outPtr = out.data() + used;
    size_t outLeft = out.size() - used;
    size_t rc = iconv(handle.get(), inLeft ? &in : nullptr, inLeft ? &inLeft : nullptr, &outPtr, &outLeft);
    used = out.size() - outLeft;
    if (rc != static_cast<size_t>(-1)) {
      if (inLeft == 0) break;
      continue;
    }
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
    } else if (errno == EILSEQ || errno == EINVAL) {
      if (out.size() - used < replacement.size()) out.resize(out.size() * 2 + replacement.size());
      std::memcpy(out.data() + used, replacement.data(), replacement.size());
      used += replacement.size();
      size_t skip = std::min(unitSize, inLeft);
      in += skip;
      inLeft -= skip;
      if (inLeft == 0) break;
    } else {
      break;
    }
  }
  out.resize(used);
  return out;
}

constexpr std::string_view kReplacementGb18030("\x84\x31\xA4\x37", 4);
constexpr std::string_view kReplacementUtf8("\xEF\xBF\xBD", 3);
constexpr std::string_view kReplacementUtf16LE("\xFD\xFF", 2);

std::u16string ToU16(const std::string& bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  std::memcpy(text.data(), bytes.data(), text.size() * 2);
  return text;
}

}  // namespace

std::string Utf8ToGb18030(std::string_view utf8) {
  return ConvertBytes("GB18030", "UTF-8", utf8.data(), utf8.size(), kReplacementGb18030, 1);
}

std::string Gb18030ToUtf8(std::string_view gb18030) {
  return ConvertBytes("UTF-8", "GB18030", gb18030.data(), gb18030.size(), kReplacementUtf8, 1);
}

std::u16string Gb18030ToUtf16(std::string_view gb18030) {
  return ToU16(ConvertBytes("UTF-16LE", "GB18030", gb18030.data(), gb18030.size(), kReplacementUtf16LE, 1));
}

std::string Utf16ToGb18030(std::u16string_view utf16) {
  return ConvertBytes("GB18030", "UTF-16LE", reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2,
                      kReplacementGb18030, 2);
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  return ToU16(ConvertBytes("UTF-16LE", "UTF-8", utf8.data(), utf8.size(), kReplacementUtf16LE, 1));
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  return ConvertBytes("UTF-8", "UTF-16LE", reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2,
                      kReplacementUtf8, 2);
}

bool HasNonAscii(std::string_view bytes) {
  for (unsigned char c : bytes)
    if (c >= 0x80) return true;
  return false;
}

bool IsValidUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  size_t i = 0;
  while (i < n) {
    unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t len;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    if (i + len > n) return false;
    if (p[i + 1] < lo || p[i + 1] > hi) return false;
    for (size_t k = 2; k < len; ++k)
      if (p[i + k] < 0x80 || p[i + k] > 0xBF) return false;
    i += len;
  }
  return true;
}

}  // namespace qoxa::platform
