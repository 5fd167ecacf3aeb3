#include "formatengine/NumberText.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace qoxa::format {

double TextToDouble(const std::string& text) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return strtod_l(text.c_str(), nullptr, cLocale);
}

int64_t TruncateToLong(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
  if (value < -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(value);
}

void AppendLong(std::string& out, int64_t value) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

std::string LongText(int64_t value) {
  std::string out;
  AppendLong(out, value);
  return out;
}

void AppendDouble(std::string& out, double value) {
  // to_chars with a precision formats "as if by printf in the C locale", without the locale.
  char buffer[40];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
  out.append(buffer, result.ptr);
}

std::string DoubleText(double value) {
  std::string out;
  AppendDouble(out, value);
  return out;
}

}  // namespace qoxa::format
