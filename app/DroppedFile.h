#pragma once
// Reading and decoding a file dropped onto the source box.
#include <string>
#include <string_view>

namespace qoxa::app {

// Reads the whole file as bytes. False when it cannot be read: it does not exist, is not
// readable, is a folder, or is larger than the memory can hold (never throws).
bool ReadDroppedFile(const std::string& fileName, std::string& bytes);

// The source-box text (GB18030) of a dropped file's bytes. A UTF-8 or UTF-16 (LE or BE) byte-order
// mark, or bytes that are valid UTF-8 holding at least one non-ASCII byte, decode as that Unicode
// form; any other bytes are already code-page-936 text and are taken as they are. Either way the
// text ends at its first zero character, as the edit box's text does. May throw std::bad_alloc.
std::string DecodeDroppedBytes(std::string_view bytes);

}  // namespace qoxa::app
