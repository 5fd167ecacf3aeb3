#include "app/DroppedFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <new>
#include <stdexcept>

#include "platform/CodePage.h"

namespace qoxa::app {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The most memory a file may take: what the system reports as available (its physical memory
// when it reports nothing). A larger file cannot be held, whatever the allocator would promise:
// an over-committing allocator would only fail later, fatally.
unsigned long long MemoryLimitBytes() {
  if (std::FILE* meminfo = std::fopen("/proc/meminfo", "r")) {
    char line[256];
    unsigned long long kilobytes = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, meminfo) != nullptr) {
      found = std::sscanf(line, "MemAvailable: %llu kB", &kilobytes) == 1;
    }
    std::fclose(meminfo);
    if (found) return kilobytes * 1024;
  }
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return ~0ULL;
  return static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(pageSize);
}

std::u16string Utf16Units(std::string_view bytes, bool bigEndian) {
  std::u16string units;
  units.reserve(bytes.size() / 2 + 1);
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    const char16_t unit = bigEndian ? static_cast<char16_t>(first << 8 | second) : static_cast<char16_t>(second << 8 | first);
    if (unit == 0) return units;
    units.push_back(unit);
  }
  if (i < bytes.size()) units.push_back(u'\uFFFD');  // a dangling odd byte
  return units;
}

std::string_view UpToFirstZero(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

bool ReadDroppedFile(const std::string& fileName, std::string& bytes) {
  bytes.clear();
  try {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "rb"));
    if (!file) return false;
    struct stat info {};
    if (fstat(fileno(file.get()), &info) != 0) return false;
    if (S_ISDIR(info.st_mode)) return false;
    const unsigned long long limit = MemoryLimitBytes();
    if (info.st_size > 0) {
      if (static_cast<unsigned long long>(info.st_size) >= limit) return false;
      bytes.reserve(static_cast<size_t>(info.st_size));
    }
    char buffer[1 << 16];
    for (;;) {
      const size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
      if (got > 0) {
        if (bytes.size() + got >= limit) {
          bytes.clear();
          return false;
        }
        bytes.append(buffer, got);
      }
      if (got < sizeof buffer) break;
    }
    if (std::ferror(file.get())) {
      bytes.clear();
      return false;
    }
    return true;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  std::string().swap(bytes);
  return false;
}

std::string DecodeDroppedBytes(std::string_view bytes) {
  const auto startsWith = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
  if (startsWith("\xEF\xBB\xBF")) return platform::Utf8ToGb18030(UpToFirstZero(bytes.substr(3)));
  if (startsWith("\xFF\xFE")) return platform::Utf16ToGb18030(Utf16Units(bytes.substr(2), false));
  if (startsWith("\xFE\xFF")) return platform::Utf16ToGb18030(Utf16Units(bytes.substr(2), true));
  const std::string_view text = UpToFirstZero(bytes);
  if (platform::HasNonAscii(text) && platform::IsValidUtf8(text)) return platform::Utf8ToGb18030(text);
  return std::string(text);
}

}  // namespace qoxa::app
