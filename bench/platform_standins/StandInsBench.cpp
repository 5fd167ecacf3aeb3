// The support-library stand-ins on the generated 50 MB document, and find's label test over a
// million labels.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/LabelSearch.h"
#include "bench/common/GeneratedDocument.h"
#include "platform/CometJson.h"
#include "platform/E2eeStore.h"

namespace {

using qoxa::platform::CometJson;

// The path of the innermost value of the document's last record.
std::string LastRecordPath(const std::string& doc) {
  const size_t at = doc.rfind("{\"id\":") + 6;
  const std::string id = doc.substr(at, doc.find(',', at) - at);
  const size_t wordEnd = doc.rfind("\":{\"level\":");
  const size_t wordStart = doc.rfind('"', wordEnd - 1) + 1;
  return "[" + id + "]." + doc.substr(wordStart, wordEnd - wordStart) + ".deep.a.b.c[1][1][1].d";
}

const CometJson& ParsedDocument() {
  static const CometJson parsed = [] {
    CometJson json;
    json.Parse(qoxa::bench::FiftyMegabyteDocument());
    return json;
  }();
  return parsed;
}

void BM_CometJsonParse(benchmark::State& state) {
  const std::string& doc = qoxa::bench::FiftyMegabyteDocument();
  for (auto _ : state) {
    CometJson json;
    benchmark::DoNotOptimize(json.Parse(doc));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc.size()));
}
BENCHMARK(BM_CometJsonParse)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_E2eeListLoad(benchmark::State& state) {
  const std::string& doc = qoxa::bench::FiftyMegabyteDocument();
  for (auto _ : state) {
    qoxa::platform::E2eeList list;
    benchmark::DoNotOptimize(list.LoadJson(doc, true, true));
  }
}
BENCHMARK(BM_E2eeListLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

// A later selection on the parsed document: the innermost value of the last record.
void BM_CometJsonQueryLastRecord(benchmark::State& state) {
  const CometJson& json = ParsedDocument();
  const std::string path = LastRecordPath(qoxa::bench::FiftyMegabyteDocument());
  for (auto _ : state) {
    std::string text = json.Query(path).TextValue();
    if (text != "end") state.SkipWithError("wrong value");
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_CometJsonQueryLastRecord)->Unit(benchmark::kMillisecond);

// The root's text: the whole document in compact form.
void BM_CometJsonRootText(benchmark::State& state) {
  const CometJson& json = ParsedDocument();
  for (auto _ : state) benchmark::DoNotOptimize(json.TextValue());
}
BENCHMARK(BM_CometJsonRootText)->Unit(benchmark::kMillisecond)->Iterations(3);

// A million labels, the match in the last one.
void BM_LabelContainsMillionLabels(benchmark::State& state) {
  std::vector<std::string> labels;
  labels.reserve(1000000);
  for (int i = 0; i < 1000000; ++i) {
    labels.push_back("name: \xA1\xB0\xD6\xD0\xCE\xC4 record " + std::to_string(i) + "\xA1\xB1");
  }
  labels.back() += " needle";
  for (auto _ : state) {
    size_t found = labels.size();
    for (size_t i = 0; i < labels.size(); ++i) {
      if (qoxa::app::LabelContains(labels[i], "needle")) {
        found = i;
        break;
      }
    }
    if (found != labels.size() - 1) state.SkipWithError("wrong label");
  }
}
BENCHMARK(BM_LabelContainsMillionLabels)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
