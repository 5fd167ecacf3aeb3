// Escape decoding of a 50 MB source text; the target is 100 MB/s or more.
#include <benchmark/benchmark.h>

#include <string>

#include "app/EscapeDecoding.h"
#include "bench/common/GeneratedDocument.h"
#include "platform/CodePage.h"

namespace {

// The generated document with every Chinese character written as a \u escape, as a text
// copied from a JSON writer that escapes everything outside ASCII.
const std::string& EscapedDocument() {
  static const std::string text = [] {
    const std::u16string utf16 = qoxa::platform::Gb18030ToUtf16(qoxa::bench::FiftyMegabyteDocument());
    std::string out;
    out.reserve(utf16.size() * 2);
    static constexpr char kHex[] = "0123456789abcdef";
    for (char16_t c : utf16) {
      if (c < 0x80) {
        out += static_cast<char>(c);
      } else {
        const char unit[6] = {'\\', 'u', kHex[c >> 12], kHex[(c >> 8) & 0xF], kHex[(c >> 4) & 0xF], kHex[c & 0xF]};
        out.append(unit, 6);
      }
    }
    return out;
  }();
  return text;
}

void BM_DecodeEscapes(benchmark::State& state) {
  const std::string& text = EscapedDocument();
  for (auto _ : state) benchmark::DoNotOptimize(qoxa::app::DecodeEscapes(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_DecodeEscapes)->Unit(benchmark::kMillisecond);

// The generated document as it is: GB18030 Chinese text with a few escapes in it.
void BM_DecodeEscapesMostlyPlain(benchmark::State& state) {
  const std::string& text = qoxa::bench::FiftyMegabyteDocument();
  for (auto _ : state) benchmark::DoNotOptimize(qoxa::app::DecodeEscapes(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_DecodeEscapesMostlyPlain)->Unit(benchmark::kMillisecond);

void BM_Utf8ToAnsi(benchmark::State& state) {
  static const std::string text = qoxa::platform::Gb18030ToUtf8(qoxa::bench::FiftyMegabyteDocument());
  for (auto _ : state) benchmark::DoNotOptimize(qoxa::app::Utf8ToAnsi(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Utf8ToAnsi)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
