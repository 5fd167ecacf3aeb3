#pragma once
// The in-memory byte stream the codec's own reader reads from.
#include <cstddef>
#include <string>
#include <string_view>

namespace qoxa::format {

class MemoryStream {
 public:
  // Writes the bytes at the read position (overwriting, growing as needed) and moves past them.
  void Write(std::string_view bytes) {
    if (pos_ + bytes.size() > data_.size()) data_.resize(pos_ + bytes.size());
    data_.replace(pos_, bytes.size(), bytes);
    pos_ += bytes.size();
  }
  void Rewind() { pos_ = 0; }
  // The next byte (0..255), or -1 at the end.
  int ReadByte() { return pos_ < data_.size() ? static_cast<unsigned char>(data_[pos_++]) : -1; }
  void StepBack() {
    if (pos_ > 0) --pos_;
  }
  void Clear() {
    data_.clear();
    pos_ = 0;
  }
  void Close() {}

 private:
  std::string data_;
  size_t pos_ = 0;
};

}  // namespace qoxa::format
