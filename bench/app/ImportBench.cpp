// Times the import command (parse, items, path table, the tree's parent links) through the
// headless window and measures how much the process's peak memory grows while it runs.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/HeadlessServices.h"
#include "app/MainCommands.h"
#include "bench/common/GeneratedDocument.h"
#include "treeengine/JsonDoc.h"

namespace {

using Clock = std::chrono::steady_clock;

long StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(field) + ":";
  while (std::getline(status, line)) {
    if (line.compare(0, prefix.size(), prefix) == 0) return std::stol(line.substr(prefix.size()));
  }
  return -1;
}

// Starts a new peak: VmHWM is reset to the current resident size.
bool ResetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  return static_cast<bool>(clear.flush());
}

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

struct Measurement {
  double seconds;
  double peakGrowthMb;
  size_t items;
};

Measurement TimeImport(qoxa::app::HeadlessServices& window, qoxa::app::MainCommands& commands) {
  ResetPeak();
  const long before = StatusKilobytes("VmRSS");
  const auto start = Clock::now();
  commands.OnImportClicked();
  const double seconds = Seconds(start);
  const long peak = StatusKilobytes("VmHWM");
  return {seconds, (peak - before) / 1024.0, window.Tree().Size()};
}

}  // namespace

int main() {
  using namespace qoxa;
  const std::string& document = bench::FiftyMegabyteDocument();
  const double documentMb = document.size() / 1048576.0;
  std::printf("document: %.1f MB\n", documentMb);

  {
    tree::JsonDoc doc;
    const auto start = Clock::now();
    doc.ParseText(document);
    const double seconds = Seconds(start);
    std::printf("JsonDoc::ParseText alone: %.3f s (%.0f MB/s), %d values\n", seconds, documentMb / seconds,
                doc.ValueCount());
  }

  {
    app::HeadlessServices window;
    app::MainCommands commands(window);
    window.SetText(app::EditBox::Source, document);
    const Measurement first = TimeImport(window, commands);
    std::printf("import, first: %.3f s, %zu items, peak memory growth %.0f MB (%.1f x the document)\n", first.seconds,
                first.items, first.peakGrowthMb, first.peakGrowthMb / documentMb);
    const qoxa::tree::DocMemoryUse use = commands.TreeDocument().MemoryUse();
    std::printf("  held: document text %.0f MB, values %.0f MB, objects %.0f MB, arrays %.0f MB; labels %.0f MB, "
                "paths %.0f MB, depths and node ids %.0f MB\n",
                use.text / 1048576.0, use.values / 1048576.0, use.objects / 1048576.0, use.arrays / 1048576.0,
                window.Tree().labels.MemoryBytes() / 1048576.0, commands.PathTable().MemoryBytes() / 1048576.0,
                (window.Tree().depths.capacity() + window.Tree().nodeIds.capacity()) * 4 / 1048576.0);
    const Measurement again = TimeImport(window, commands);
    std::printf("import, again over the previous tree: %.3f s, peak memory growth %.0f MB (%.1f x the document)\n",
                again.seconds, again.peakGrowthMb, again.peakGrowthMb / documentMb);
  }

  {
    std::string wide = "{";
    for (int i = 0; i < 200000; ++i) {
      if (i > 0) wide += ',';
      wide += "\"member_" + std::to_string(i * 7919 % 200000) + "\":" + std::to_string(i);
    }
    wide += '}';
    app::HeadlessServices window;
    app::MainCommands commands(window);
    window.SetChecked(app::RadioButton::Zy, true);
    window.SetText(app::EditBox::Source, wide);
    const Measurement members = TimeImport(window, commands);
    std::printf("import of an object with 200,000 members: %.3f s, %zu items\n", members.seconds, members.items);
  }
  return 0;
}
