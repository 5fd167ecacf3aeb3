#pragma once
// A deterministic JSON document for the benchmarks: nested objects and arrays, strings with
// Chinese text and escapes, and numbers of every kind. It is strict JSON, so every engine reads it.
#include <cstddef>
#include <string>

namespace qoxa::bench {

// About `approximateBytes` bytes of GB18030 text (the engines' byte text).
std::string GenerateDocument(size_t approximateBytes);

// The same document once per process at the default benchmark size of about 50 MB.
const std::string& FiftyMegabyteDocument();

// The document written as UTF-8 to a file in the temporary folder (for external tools); returns its path.
std::string WriteUtf8Copy(const std::string& gb18030, const std::string& fileName);

}  // namespace qoxa::bench
