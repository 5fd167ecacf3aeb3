#pragma once
// Number texts of the zy engine: how tokens are recognised as numbers, how they are read, and
// the text form given to numbers made from values.
#include <cstdint>
#include <string>
#include <string_view>

namespace qoxa::zy {

// Token kinds answered by ClassifyToken: the ZyType codes of Null, Double, Integer, Bool, or -1
// (a bare token kept as Raw).
int ClassifyToken(std::u16string_view token);

// Lenient number test: characters of code 32 or below are skipped anywhere; the first may be
// '+', '-', '.' or a digit; later ones digits or at most one each of '.', an exponent letter and
// a sign. *isFloat tells whether it holds '.', an exponent letter or a sign after the first place.
bool IsNumberText(std::u16string_view text, bool* isFloat);

// Readers that do every step in double precision, so magnitudes beyond 2^53 lose low digits.
int64_t TextToInteger(std::u16string_view text);
double TextToDouble(std::u16string_view text);

// Truncation toward zero, saturating where the plain conversion would be undefined (NaN gives 0).
int64_t TruncateToInt64(double x);

// The text form of a number made from a value: the shortest text that reads back as the same
// double (std::to_chars), and plain decimal digits for integers.
std::u16string DoubleToText(double value);
std::u16string IntegerToText(int64_t value);

}  // namespace qoxa::zy
