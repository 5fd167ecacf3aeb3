#pragma once
// The parsed source text of node selection, kept from one selection to the next.
//
// Every selection looks the value up in a parse of the whole source text by the Mode's engine.
// Parsing a large text again on every click would make each click cost a full parse, so the
// parse of the last source text is kept as long as the text stays byte for byte the same and the
// engine is the same: the lookups only read the parsed document, so they answer exactly what a
// fresh parse would. One engine's parse is kept at a time.
//
// jy is kept only where a fresh parse would give the very same script value: the text must be
// strict JSON (anything else is evaluated as a program, which may differ from run to run or run
// code when read), and every path evaluated on it must be one that only reads (a path is
// appended to the script variable as written and could assign to it).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/WindowServices.h"

namespace qoxa::zy { class ZyJson; }
namespace qoxa::script { class JyJson; }
namespace qoxa::platform {
class CometJson;
class E2eeStore;
}  // namespace qoxa::platform

namespace qoxa::app {

class SelectionCache {
 public:
  SelectionCache();
  ~SelectionCache();
  SelectionCache(const SelectionCache&) = delete;
  SelectionCache& operator=(const SelectionCache&) = delete;

  // The text the following calls parse. A text that differs from the last one drops what is kept.
  // `revision` is the window's text revision it was read at (0: not known).
  void UseSource(std::string source, uint64_t revision = 0);
  // The source box's current text: read only when its revision does not show it unchanged.
  void UseSourceBox(const WindowServices& window);
  // The text held (that of the last UseSource).
  const std::string& Source() const { return source_; }
  // Drops everything (the source text changed).
  void Clear();

  // The Mode's engine after parsing the source text; nullptr when the engine cannot read it.
  const zy::ZyJson* Zy();
  const platform::CometJson* Hx();
  // The list when the text's first byte is "[", the key-value table otherwise.
  const platform::E2eeStore* E2ee();
  script::JyJson* Jy();
  // Called with every path evaluated on the engine Jy() gave; a path that might write makes the
  // next Jy() parse afresh.
  void JyEvaluated(std::string_view path);

  // How many parses the cache has run (for the tests and benchmarks).
  int64_t ParseCount() const { return parseCount_; }

 private:
  enum class Engine { None, Zy, Hx, E2ee, Jy };
  struct Parsed;

  // The kept parse of `engine`, or a fresh one in its place.
  Parsed& For(Engine engine);
  bool IsStrictJson();

  std::string source_;
  bool haveSource_ = false;
  uint64_t revision_ = 0;
  std::optional<bool> strictJson_;
  std::unique_ptr<Parsed> parsed_;
  int64_t parseCount_ = 0;
};

}  // namespace qoxa::app
