#pragma once
// A growable GB18030 buffer that takes UTF-16 text: the writer's output for the byte-text
// operations, so a document is written in its final encoding in one pass. ASCII is narrowed
// directly; other characters come from a table that each character's first use fills from the
// platform conversion, and surrogates go to the platform conversion whole.
//
// The result is that of converting the complete UTF-16 text at once, provided each appended
// piece ends at ASCII or at the end of the text (the writer's pieces always do).
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

namespace qoxa::zy {

class ZyByteBuilder {
 public:
  ZyByteBuilder() = default;
  ~ZyByteBuilder() { Free(); }
  ZyByteBuilder(const ZyByteBuilder&) = delete;
  ZyByteBuilder& operator=(const ZyByteBuilder&) = delete;

  void Append(char16_t c) {
    if (c < 0x80) {
      if (length_ == capacity_) Grow(1);
      buffer_[length_++] = static_cast<char>(c);
    } else {
      AppendWide(std::u16string_view(&c, 1));
    }
  }
  void Append(std::u16string_view text) {
    if (capacity_ - length_ < text.size()) Grow(text.size());
    const char16_t* p = text.data();
    const size_t n = text.size();
    char* o = buffer_ + length_;
    size_t i = 0;
    for (; i < n && p[i] < 0x80; ++i) o[i] = static_cast<char>(p[i]);
    length_ += i;
    if (i < n) AppendWide(text.substr(i));
  }
  void AppendRepeated(char16_t c, size_t count) {
    if (capacity_ - length_ < count) Grow(count);
    if (count) std::memset(buffer_ + length_, static_cast<char>(c), count);  // only ASCII is repeated
    length_ += count;
  }
  size_t Length() const { return length_; }
  std::string_view View() const { return {buffer_, length_}; }

 private:
  // The rest of a piece from its first non-ASCII unit on.
  void AppendWide(std::u16string_view text);
  void Grow(size_t needed);
  void Free();

  char* buffer_ = nullptr;
  size_t capacity_ = 0;
  size_t length_ = 0;
  bool mapped_ = false;  // a big buffer lives in pages of its own (see Grow)
};

}  // namespace qoxa::zy
