#pragma once
// Exact rendering of doubles for the printf conversions the reports use.
//
// Every finite value is first reduced to at most 17 significant digits, rounded
// half up on the 18th digit of its exact decimal value; the precision is then
// applied to that digit string, again half up. Infinities and not-a-numbers
// are written as 1#INF, 1#IND (the indefinite) and 1#QNAN, laid out like digits.
// No call allocates or reads any state; the C library's printf is not used.
#include <cstddef>
#include <cstdint>

namespace pexmoor {

// Longest text one conversion can produce: the fixed form of the largest
// double has 309 integer digits, plus sign, point and fraction digits.
inline constexpr std::size_t kMaxNumberText = 384;

// Widths are taken in 0..64 and precisions in 0..17; values outside are
// clamped to those ranges, so a text never exceeds kMaxNumberText.

// "%<width>.<precision>f" (and "%<width>.<precision>lf"). Writes no NUL;
// returns the number of characters written to out (at most kMaxNumberText).
std::size_t renderFixed(char* out, double value, int width, int precision);

// "%<width>.<precision>e", exponent with sign and at least three digits.
std::size_t renderExponent(char* out, double value, int width, int precision);

// "%<width>ld" for a signed 32-bit value.
std::size_t renderInteger(char* out, std::int32_t value, int width);

}  // namespace pexmoor
