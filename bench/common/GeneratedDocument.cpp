#include "bench/common/GeneratedDocument.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/CodePage.h"
#include "platform/HeapReuse.h"

namespace qoxa::bench {
namespace {

// Every benchmark runs with the heap settings of the program and the command-line tool.
const bool kProgramHeapSettings = (platform::KeepFreedMemoryForReuse(), true);

// A small linear congruential generator: the same document on every run and every machine.
class Random {
 public:
  uint32_t Next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state_ >> 33);
  }
  uint32_t Below(uint32_t n) { return Next() % n; }

 private:
  uint64_t state_ = 20261211;
};

class Generator {
 public:
  explicit Generator(size_t target) : target_(target) {
    const char* words[] = {"中文", "数据", "名称", "北京", "上海", "用户", "订单", "商品", "价格", "地址",
                           "测试", "解析", "结果", "列表", "对象"};
    for (const char* w : words) words_.push_back(platform::Utf8ToGb18030(w));
    out_.reserve(target + target / 8);
  }

  std::string Run() {
    out_ += '[';
    bool first = true;
    while (out_.size() < target_) {
      if (!first) out_ += ',';
      first = false;
      Record();
    }
    out_ += ']';
    return std::move(out_);
  }

 private:
  void Record() {
    out_ += "{\"id\":";
    out_ += std::to_string(counter_++);
    out_ += ",\"name\":";
    String();
    out_ += ",\"price\":";
    Number();
    out_ += ",\"active\":";
    out_ += rng_.Below(2) ? "true" : "false";
    out_ += ",\"note\":null,\"tags\":[";
    for (uint32_t i = 0, n = 1 + rng_.Below(5); i < n; ++i) {
      if (i) out_ += ',';
      String();
    }
    out_ += "],\"";
    out_ += words_[rng_.Below(words_.size())];
    out_ += "\":{\"level\":";
    Number();
    out_ += ",\"items\":[";
    for (uint32_t i = 0, n = rng_.Below(4); i < n; ++i) {
      if (i) out_ += ',';
      out_ += "{\"k\":";
      String();
      out_ += ",\"v\":[";
      Number();
      out_ += ',';
      Number();
      out_ += "]}";
    }
    out_ += "],\"deep\":{\"a\":{\"b\":{\"c\":[1,[2,[3,{\"d\":\"end\"}]]]}}}}}";
  }

  void String() {
    out_ += '"';
    for (uint32_t i = 0, n = 1 + rng_.Below(4); i < n; ++i) {
      switch (rng_.Below(9)) {
        case 0: out_ += "\\n"; break;
        case 1: out_ += "\\\"quoted\\\""; break;
        case 2: out_ += "C:\\\\path\\/file"; break;
        case 3: out_ += "\\u4e2d\\u6587"; break;
        case 4: out_ += "plain text "; break;
        default: out_ += words_[rng_.Below(words_.size())]; break;
      }
    }
    out_ += '"';
  }

  void Number() {
    char buffer[48];
    switch (rng_.Below(6)) {
      case 0: std::snprintf(buffer, sizeof buffer, "%u", rng_.Next()); break;
      case 1: std::snprintf(buffer, sizeof buffer, "-%u", rng_.Below(100000)); break;
      case 2: std::snprintf(buffer, sizeof buffer, "%u.%02u", rng_.Below(10000), rng_.Below(100)); break;
      case 3: std::snprintf(buffer, sizeof buffer, "%u.%uE+%u", rng_.Below(10), rng_.Below(1000), rng_.Below(30)); break;
      case 4: std::snprintf(buffer, sizeof buffer, "-%u.%ue-%u", rng_.Below(10), rng_.Below(1000), rng_.Below(30)); break;
      default: std::snprintf(buffer, sizeof buffer, "%u", rng_.Below(1000)); break;
    }
    out_ += buffer;
  }

  size_t target_;
  std::string out_;
  std::vector<std::string> words_;
  Random rng_;
  uint64_t counter_ = 0;
};

}  // namespace

std::string GenerateDocument(size_t approximateBytes) { return Generator(approximateBytes).Run(); }

const std::string& FiftyMegabyteDocument() {
  static const std::string document = GenerateDocument(50u << 20);
  return document;
}

std::string WriteUtf8Copy(const std::string& gb18030, const std::string& fileName) {
  const std::string path = (std::filesystem::temp_directory_path() / fileName).string();
  std::ofstream(path, std::ios::binary) << platform::Gb18030ToUtf8(gb18030);
  return path;
}

}  // namespace qoxa::bench
