// The zy engine on the generated 50 MB document: parsing (straight from the GB18030 bytes), pretty
// writing of the root (with the conversion back), and releasing the document. The first parse of
// the process takes fresh pages and is timed on its own; the later ones reuse the slabs a released
// document leaves behind.
#include <benchmark/benchmark.h>

#include "bench/common/GeneratedDocument.h"
#include "zyengine/ZyJson.h"

namespace {

using qoxa::zy::ZyJson;

// One parse into a document, timed; the document is released untimed.
void ParseAndRelease(benchmark::State& state) {
  const std::string& text = qoxa::bench::FiftyMegabyteDocument();
  for (auto _ : state) {
    state.PauseTiming();
    ZyJson doc;
    state.ResumeTiming();
    benchmark::DoNotOptimize(doc.Parse(text));
    state.PauseTiming();
    doc.ReleaseRoot();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  // bytes_per_second counts in binary megabytes; the target is in decimal ones (10^6 bytes).
  state.counters["decimal_MB_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations() * text.size()) / 1e6, benchmark::Counter::kIsRate);
}

// The first parse of the process, on pages it has never used (registered first, so it runs first):
// on this kind of virtual machine the kernel's clearing of fresh pages adds 0.1 to 0.7 s.
void BM_ParseFirstInProcess(benchmark::State& state) { ParseAndRelease(state); }
BENCHMARK(BM_ParseFirstInProcess)->Unit(benchmark::kMillisecond)->Iterations(1);

// Parsing as the program does it again and again (every zy selection of a new text parses it).
void BM_Parse(benchmark::State& state) { ParseAndRelease(state); }
BENCHMARK(BM_Parse)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ToTextPretty(benchmark::State& state) {
  const std::string& text = qoxa::bench::FiftyMegabyteDocument();
  ZyJson doc;
  doc.Parse(text);
  size_t written = 0;
  for (auto _ : state) {
    const std::string out = doc.ToText("", true);
    written = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * written));
  state.counters["output_MB"] = static_cast<double>(written) / 1e6;
}
BENCHMARK(BM_ToTextPretty)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Release(benchmark::State& state) {
  const std::string& text = qoxa::bench::FiftyMegabyteDocument();
  for (auto _ : state) {
    state.PauseTiming();
    ZyJson doc;
    doc.Parse(text);
    state.ResumeTiming();
    doc.ReleaseRoot();
  }
}
BENCHMARK(BM_Release)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
