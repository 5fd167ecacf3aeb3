// JsonDoc: parse speed on the generated 50 MB document (read again into the same document, and
// read into a new one), the memory its tables take, and
// listing plus looking up every member of a 200,000-member object.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/common/GeneratedDocument.h"
#include "treeengine/JsonDoc.h"

namespace {

using qoxa::tree::JsonDoc;

void BM_ParseText50MB(benchmark::State& state) {
  const std::string& text = qoxa::bench::FiftyMegabyteDocument();
  JsonDoc doc;
  for (auto _ : state) {
    const bool ok = doc.ParseText(text);
    benchmark::DoNotOptimize(ok);
    if (!ok) state.SkipWithError("parse failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
  const qoxa::tree::DocMemoryUse use = doc.MemoryUse();
  state.counters["values"] = doc.ValueCount();
  state.counters["textMB"] = static_cast<double>(use.text) / 1e6;
  state.counters["valuesMB"] = static_cast<double>(use.values) / 1e6;
  state.counters["objectsMB"] = static_cast<double>(use.objects) / 1e6;
  state.counters["arraysMB"] = static_cast<double>(use.arrays) / 1e6;
  state.counters["objects"] = static_cast<double>(use.objectCount);
  state.counters["members"] = static_cast<double>(use.memberCount);
  state.counters["arrays"] = static_cast<double>(use.arrayCount);
  state.counters["elements"] = static_cast<double>(use.elementCount);
}
BENCHMARK(BM_ParseText50MB)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The first parse of a document: its tables come from fresh memory (page faults included).
// Freeing the document afterwards is not timed.
void BM_ParseText50MBFreshDocument(benchmark::State& state) {
  const std::string& text = qoxa::bench::FiftyMegabyteDocument();
  for (auto _ : state) {
    auto doc = std::make_unique<JsonDoc>();
    const bool ok = doc->ParseText(text);
    benchmark::DoNotOptimize(ok);
    if (!ok) state.SkipWithError("parse failed");
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseText50MBFreshDocument)->Unit(benchmark::kMillisecond)->MinTime(2.0);

std::string WideObject(int members) {
  std::string text = "{";
  for (int i = 0; i < members; ++i) {
    if (i > 0) text += ',';
    text.append("\"member").append(std::to_string(i)).append("\":").append(std::to_string(i));
  }
  return text + "}";
}

// What the import does with one object: list the names once, then look each one up.
void BM_WideObjectNamesAndLookups(benchmark::State& state) {
  const std::string text = WideObject(static_cast<int>(state.range(0)));
  JsonDoc doc;
  doc.ParseText(text);
  std::vector<std::string> names;
  for (auto _ : state) {
    int64_t sum = 0;
    doc.MemberNames({}, 1, names);
    for (const std::string& name : names) sum += doc.MemberByName({}, 1, name);
    benchmark::DoNotOptimize(sum);
  }
  state.counters["members"] = static_cast<double>(names.size());
}
BENCHMARK(BM_WideObjectNamesAndLookups)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
