#include "zyengine/ZyNumberText.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace qoxa::zy {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// token == word, with a comparison of fixed length (the compiler does it in a load or two).
template <size_t N>
bool IsWord(std::u16string_view token, const char16_t (&word)[N]) {
  return token.size() == N - 1 && std::memcmp(token.data(), word, (N - 1) * sizeof(char16_t)) == 0;
}

std::u16string Widen(const char* first, const char* last) { return std::u16string(first, last); }

// The plain form of a number: an optional '-', digits, an optional fraction and an optional
// exponent with its own sign. Answers false for anything else, and then the full rule decides.
bool IsPlainNumber(std::u16string_view text, bool* isFloat) {
  const size_t n = text.size();
  size_t i = n && text[0] == u'-' ? 1 : 0;
  const size_t digitsFrom = i;
  while (i < n && IsDigit(text[i])) ++i;
  if (i == digitsFrom) return false;
  bool fractionOrExponent = false;
  if (i < n && text[i] == u'.') {
    const size_t fractionFrom = ++i;
    while (i < n && IsDigit(text[i])) ++i;
    if (i == fractionFrom) return false;
    fractionOrExponent = true;
  }
  if (i < n && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
    const size_t exponentFrom = i;
    while (i < n && IsDigit(text[i])) ++i;
    if (i == exponentFrom) return false;
    fractionOrExponent = true;
  }
  if (i != n) return false;
  *isFloat = fractionOrExponent;
  return true;
}

}  // namespace

int64_t TruncateToInt64(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 9223372036854775807.0) return std::numeric_limits<int64_t>::max();
  if (x <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(x);
}

bool IsNumberText(std::u16string_view text, bool* isFloat) {
  // The plain form is what the rule below accepts with at most one '.', exponent letter and sign
  // after the first place, and calls a float exactly when one of those is there.
  bool plainIsFloat;
  if (IsPlainNumber(text, &plainIsFloat)) {
    if (isFloat) *isFloat = plainIsFloat;
    return true;
  }
  bool seenDot = false, seenExponent = false, seenSign = false, isFloatText = false, any = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c <= 32) continue;
    if (i == 0) {
      if (c == u'.') {
        seenDot = isFloatText = true;
      } else if (c == u'+' || c == u'-') {
        // a leading sign is allowed and does not make a float
      } else if (!IsDigit(c)) {
        return false;
      }
      any = true;
      continue;
    }
    any = true;
    if (IsDigit(c)) continue;
    bool* seen = c == u'.' ? &seenDot : (c == u'e' || c == u'E') ? &seenExponent : (c == u'+' || c == u'-') ? &seenSign : nullptr;
    if (!seen || *seen) return false;
    *seen = true;
    isFloatText = true;
  }
  if (!any) return false;
  if (isFloat) *isFloat = isFloatText;
  return true;
}

int ClassifyToken(std::u16string_view token) {
  // A token starting with a digit or '-' can only be a number; the words are tried on the rest.
  if (token.empty() || !(IsDigit(token[0]) || token[0] == u'-')) {
    if (IsWord(token, u"null")) return 0;
    if (IsWord(token, u"true") || IsWord(token, u"false")) return 3;
  }
  bool isFloat = false;
  if (IsNumberText(token, &isFloat)) return isFloat ? 1 : 2;
  return -1;
}

int64_t TextToInteger(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] <= 32) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  int64_t accumulator = 0;
  // While the accumulator stays below 2^53 every double step is exact, so integer steps give the
  // same values; past that the steps round as doubles do.
  constexpr int64_t kExactLimit = (int64_t{1} << 53) / 10 - 1;
  for (; i < text.size() && IsDigit(text[i]) && accumulator <= kExactLimit; ++i)
    accumulator = accumulator * 10 + (text[i] - u'0');
  for (; i < text.size() && IsDigit(text[i]); ++i)
    accumulator = TruncateToInt64(static_cast<double>(accumulator) * 10.0 + (text[i] - u'0'));
  return negative ? -accumulator : accumulator;
}

double TextToDouble(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] <= 32) ++i;
  double sign = 1.0;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) sign = text[i++] == u'-' ? -1.0 : 1.0;
  double mantissa = 0.0, divisor = 1.0;
  for (; i < text.size() && IsDigit(text[i]); ++i) mantissa = mantissa * 10.0 + (text[i] - u'0');
  if (i < text.size() && text[i] == u'.') {
    for (++i; i < text.size() && IsDigit(text[i]); ++i) {
      mantissa = mantissa * 10.0 + (text[i] - u'0');
      divisor *= 10.0;
    }
  }
  double value = sign * mantissa / divisor;
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negativeExponent = text[i++] == u'-';
    double exponent = 0.0;
    for (; i < text.size() && IsDigit(text[i]); ++i) exponent = exponent * 10.0 + (text[i] - u'0');
    // Powers of ten up to 10^22 are exact doubles, which pow gives too; the table saves the call.
    static constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const double scale = exponent <= 22 ? kExactPowers[static_cast<int>(exponent)] : std::pow(10.0, exponent);
    value = negativeExponent ? value / scale : value * scale;
  }
  return value;
}

std::u16string DoubleToText(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return Widen(buffer, result.ptr);
}

std::u16string IntegerToText(int64_t value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return Widen(buffer, result.ptr);
}

}  // namespace qoxa::zy
