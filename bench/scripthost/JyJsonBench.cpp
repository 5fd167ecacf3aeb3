// JyJson on the generated 50 MB document: what one click of node selection costs (Parse plus
// the JSON text of the root), next to the engine's own JSON reader on the same text.
#include <benchmark/benchmark.h>

#include <js/CompilationAndEvaluation.h>
#include <js/GlobalObject.h>
#include <js/JSON.h>
#include <js/Realm.h>
#include <js/RealmOptions.h>
#include <jsapi.h>

#include <string>

#include "bench/common/GeneratedDocument.h"
#include "platform/CodePage.h"
#include "scripthost/JyJson.h"
#include "scripthost/ScriptContext.h"

namespace {

using qoxa::script::JyJson;

void SetBytes(benchmark::State& state, const std::string& text) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_JyParseAndRootValue(benchmark::State& state) {
  const std::string& text = qoxa::bench::FiftyMegabyteDocument();
  for (auto _ : state) {
    JyJson jy;
    if (!jy.Parse(text)) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(jy.GetValue("", true));
  }
  SetBytes(state, text);
}
BENCHMARK(BM_JyParseAndRootValue)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_JyParseOnly(benchmark::State& state) {
  const std::string& text = qoxa::bench::FiftyMegabyteDocument();
  for (auto _ : state) {
    JyJson jy;
    if (!jy.Parse(text)) state.SkipWithError("parse failed");
  }
  SetBytes(state, text);
}
BENCHMARK(BM_JyParseOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same document as a lenient text (in parentheses), which only evaluation reads.
void BM_JyParseEvaluated(benchmark::State& state) {
  const std::string text = "(" + qoxa::bench::FiftyMegabyteDocument() + ")";
  for (auto _ : state) {
    JyJson jy;
    if (!jy.Parse(text)) state.SkipWithError("parse failed");
  }
  SetBytes(state, text);
}
BENCHMARK(BM_JyParseEvaluated)->Unit(benchmark::kMillisecond)->Iterations(1);

// Reference: the engine's JSON.parse on the same text (conversion to UTF-16 included).
void BM_EngineJsonParse(benchmark::State& state) {
  const std::string& text = qoxa::bench::FiftyMegabyteDocument();
  auto context = qoxa::script::detail::ScriptContext::ForThisThread();
  JSContext* cx = context->cx();
  static constexpr JSClass kGlobal = {"global", JSCLASS_GLOBAL_FLAGS, &JS::DefaultGlobalClassOps,
                                      nullptr, nullptr, nullptr};
  for (auto _ : state) {
    JS::RealmOptions options;
    JS::RootedObject global(cx, JS_NewGlobalObject(cx, &kGlobal, nullptr, JS::FireOnNewGlobalHook, options));
    JSAutoRealm realm(cx, global);
    const std::u16string source = qoxa::platform::Gb18030ToUtf16(text);
    JS::RootedValue value(cx);
    if (!JS_ParseJSON(cx, source.data(), static_cast<uint32_t>(source.size()), &value))
      state.SkipWithError("JSON.parse failed");
  }
  SetBytes(state, text);
}
BENCHMARK(BM_EngineJsonParse)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
