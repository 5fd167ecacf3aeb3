// Times node selection through the headless window on the generated document, Mode by Mode:
// one parse by the Mode's engine alone, the first selection (which parses), and later selections
// of other items on the unchanged text. Then find over a million items with the match last.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/HeadlessServices.h"
#include "app/MainCommands.h"
#include "bench/common/GeneratedDocument.h"
#include "platform/CometJson.h"
#include "platform/E2eeStore.h"
#include "scripthost/JyJson.h"
#include "zyengine/ZyJson.h"

namespace {

using namespace qoxa;
using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

double ParseAloneMs(app::Mode mode, const std::string& text) {
  const auto start = Clock::now();
  bool ok = false;
  switch (mode) {
    case app::Mode::Zy: ok = zy::ZyJson().Parse(text) != 0; break;
    case app::Mode::Hx: ok = platform::CometJson().Parse(text); break;
    case app::Mode::E2ee:
      ok = text.starts_with('[') ? platform::E2eeList().LoadJson(text, true, true)
                                 : platform::E2eeKeyValueTable().LoadJson(text, true, true);
      break;
    case app::Mode::Jy: ok = script::JyJson("da").Parse(text); break;
  }
  const double ms = Ms(start);
  if (!ok) std::printf("  (the engine could not read the document)\n");
  return ms;
}

app::RadioButton RadioOf(app::Mode mode) {
  switch (mode) {
    case app::Mode::Zy: return app::RadioButton::Zy;
    case app::Mode::Hx: return app::RadioButton::Hx;
    case app::Mode::E2ee: return app::RadioButton::E2ee;
    case app::Mode::Jy: break;
  }
  return app::RadioButton::Jy;
}

// Items without children spread over the whole tree: their values are small, so a selection's
// time is the lookup's, not the writing of a large value.
std::vector<int> SpreadLeaves(const app::TreeItemTable& tree, int wanted) {
  std::vector<int> leaves;
  const int n = static_cast<int>(tree.Size());
  for (int k = 1; k <= wanted; ++k) {
    int i = static_cast<int>(static_cast<long long>(n - 1) * k / wanted);
    while (i < n - 1 && tree.depths[static_cast<size_t>(i + 1)] > tree.depths[static_cast<size_t>(i)]) ++i;
    leaves.push_back(i);
  }
  return leaves;
}

void BenchMode(app::Mode mode, const char* name, const std::string& document) {
  app::HeadlessServices window;
  app::MainCommands commands(window);
  window.onCurrentItemChanged = [&] { commands.OnTreeItemChanged(); };
  window.SetChecked(RadioOf(mode), true);
  window.SetText(app::EditBox::Source, document);
  commands.ImportTree();
  const std::vector<int> items = SpreadLeaves(window.Tree(), 21);

  const double parse = ParseAloneMs(mode, document);
  auto start = Clock::now();
  window.SetCurrentItem(items[0]);
  const double first = Ms(start);
  std::vector<double> later;
  for (size_t i = 1; i < items.size(); ++i) {
    start = Clock::now();
    window.SetCurrentItem(items[i]);
    later.push_back(Ms(start));
  }
  std::sort(later.begin(), later.end());
  std::printf("%-5s one parse %8.1f ms | first selection %8.1f ms (%.2f x the parse) | later selections: median %.1f ms, "
              "max %.1f ms (%zu items, %lld parses)\n",
              name, parse, first, first / parse, later[later.size() / 2], later.back(), later.size(),
              static_cast<long long>(commands.SelectionEngines().ParseCount()));
}

void BenchFind() {
  std::string source = "[";
  source.reserve(2'100'000);
  for (int i = 0; i < 999'998; ++i) source += "0,";
  source += "\"needle\"]";
  app::HeadlessServices window;
  app::MainCommands commands(window);
  window.onCurrentItemChanged = [&] { commands.OnTreeItemChanged(); };
  window.SetChecked(app::RadioButton::Zy, true);
  window.SetText(app::EditBox::Source, source);
  commands.ImportTree();
  window.SetText(app::EditBox::Find, "needle");
  const auto start = Clock::now();
  commands.OnFindClicked();
  const double ms = Ms(start);
  std::printf("find: %d items, match at %d, %.1f ms including the selection it runs, %d event dispatches\n",
              window.TreeItemCount(), window.CurrentItem(), ms, window.DispatchCount());
}

}  // namespace

int main() {
  const std::string& document = bench::FiftyMegabyteDocument();
  std::printf("document: %.1f MB\n", document.size() / 1048576.0);
  BenchMode(app::Mode::Zy, "zy", document);
  BenchMode(app::Mode::Hx, "hx", document);
  BenchMode(app::Mode::E2ee, "E2EE", document);
  BenchMode(app::Mode::Jy, "jy", document);
  BenchFind();
  return 0;
}
