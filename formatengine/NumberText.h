#pragma once
// Number <-> text conversions of the formatting engine, independent of the process locale
// (the window's toolkit switches the C locale to the user's, which would change the decimal point).
#include <cstdint>
#include <string>
#include <string_view>

namespace qoxa::format {

// The C library's atof in the "C" locale: leading blanks skipped, optional sign, digits, fraction
// and exponent; conversion stops at the first character that does not fit; no number gives 0.
double TextToDouble(const std::string& text);

// Truncation toward zero. Values beyond the 64-bit range saturate at its ends and NaN gives 0
// (a plain conversion would be undefined there).
int64_t TruncateToLong(double value);

// Decimal text of a signed 64-bit integer ("-" for negatives, no leading zeros).
std::string LongText(int64_t value);
void AppendLong(std::string& out, int64_t value);

// The double formatted as by printf("%.13g") in the "C" locale (two-digit exponents at least;
// non-finite values as "inf", "-inf", "nan").
std::string DoubleText(double value);
void AppendDouble(std::string& out, double value);

}  // namespace qoxa::format
