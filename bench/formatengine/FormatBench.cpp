// The format and compact commands' work on the generated 50 MB document, timed in one run
// together with `jq .` on the same document written as UTF-8.
//
//   format:  ParseToNode + Format(pretty, key order, level 0); must be at least 3 times faster than jq
//   compact: CompactWhiteSpace on the formatted text, as the command does; must stay under 1 s
//            (the three Regex replacements it stands for are timed too, for comparison)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/resource.h>

#include "bench/common/GeneratedDocument.h"
#include "formatengine/JsonCodec.h"
#include "formatengine/WhiteSpaceCompactor.h"
#include "platform/CodePage.h"
#include "scripthost/Regex.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// CPU seconds used so far by this process, or by its finished children.
double CpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The machine is shared, so both the wall-clock time and the CPU time of the best run are kept.
struct Timing {
  double wall = 1e9, cpu = 1e9;
  double firstWall = 0;  // the first run, on memory the process has not used before
};

template <class Work>
Timing Best(int runs, Work work, int who = RUSAGE_SELF) {
  Timing best;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    const double cpu = CpuSeconds(who);
    work();
    if (i == 0) best.firstWall = Seconds(start);
    best.wall = std::min(best.wall, Seconds(start));
    best.cpu = std::min(best.cpu, CpuSeconds(who) - cpu);
  }
  return best;
}

}  // namespace

// With an argument "format" or "compact" only that part runs, once (for profiling).
int main(int argc, char** argv) {
  using namespace qoxa;
  const std::string only = argc > 1 ? argv[1] : "";
  const int runs = only.empty() ? 3 : 1;
  const std::string& document = bench::FiftyMegabyteDocument();
  std::printf("document: %.1f MB\n", static_cast<double>(document.size()) / 1e6);

  format::JsonCodec codec;
  std::string pretty;
  double parse = 0, write = 0;
  const Timing format = Best(runs, [&] {
    format::ParseResult result;
    auto start = Clock::now();
    format::JsonNode node = codec.ParseToNode(document, result);
    parse = Seconds(start);
    if (!result.ok) std::printf("parse failed\n");
    start = Clock::now();
    pretty = codec.Format(node, true, false, 0);
    write = Seconds(start);
  });
  std::printf("format: %.3f s wall, %.3f s CPU (last run: ParseToNode %.3f s, Format %.3f s), %.1f MB out\n",
              format.wall, format.cpu, parse, write, static_cast<double>(pretty.size()) / 1e6);

  if (only == "format") return 0;
  const std::string path = bench::WriteUtf8Copy(document, "qoxa_format_bench.json");
  if (!only.empty()) {
  } else if (std::filesystem::exists("/usr/bin/jq")) {
    const std::string command = "/usr/bin/jq . '" + path + "' > /dev/null";
    const Timing jq = Best(1, [&] { (void)std::system(command.c_str()); }, RUSAGE_CHILDREN);
    std::printf("jq .:   %.3f s wall, %.3f s CPU -> ours is %.1f (wall) / %.1f (CPU) times faster (target: 3)\n",
                jq.wall, jq.cpu, jq.wall / format.wall, jq.cpu / format.cpu);
  } else {
    std::printf("jq .:   /usr/bin/jq is not installed\n");
  }

  std::string compact;
  const Timing total = Best(runs, [&] {
    std::string t = pretty;  // the command reads the source box's text
    compact = format::CompactWhiteSpace(t);
  });
  std::printf("compact: %.3f s wall, %.3f s CPU (first run %.3f s wall), %.1f MB out (target: under 1 s)\n", total.wall,
              total.cpu, total.firstWall, static_cast<double>(compact.size()) / 1e6);

  // For comparison: the same result through three Regex replacements.
  double passes[3] = {};
  std::string viaRegex;
  const Timing regexTotal = Best(only.empty() ? 2 : 1, [&] {
    static const char* kPatterns[3][2] = {{"{(\\s+)", "{"}, {",(\\s+)", ","}, {"(\\s+)}", "}"}};
    std::string t = pretty;
    script::Regex regex;
    for (int i = 0; i < 3; ++i) {
      const auto start = Clock::now();
      regex.Execute(kPatterns[i][0], t);
      t = regex.Replace(kPatterns[i][1]);
      passes[i] = Seconds(start);
    }
    viaRegex = std::move(t);
  });
  std::printf("  three Regex replacements: %.3f s wall, %.3f s CPU (last run: %.3f + %.3f + %.3f s), same result: %s\n",
              regexTotal.wall, regexTotal.cpu, passes[0], passes[1], passes[2], viaRegex == compact ? "yes" : "NO");
  std::string utf8;
  const Timing toUtf8 = Best(runs, [&] { utf8 = platform::Gb18030ToUtf8(pretty); });
  const Timing back = Best(runs, [&] { (void)platform::Utf8ToGb18030(utf8); });
  std::printf("  code-page conversion of the formatted text (CPU): GB18030->UTF-8 %.3f s, UTF-8->GB18030 %.3f s\n",
              toUtf8.cpu, back.cpu);
  return 0;
}
