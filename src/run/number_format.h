#pragma once
// Exact rendering of doubles for the printf conversions the reports use.
#include <cstddef>
#include <cstdint>

namespace pexmoor {

// Longest text one conversion can produce: the fixed form of the largest
// double has 309 integer digits, plus sign, point and fraction digits.
inline constexpr std::size_t kMaxNumberText = 384;

// "%<width>.<precision>f" (and "%<width>.<precision>lf"). Writes no NUL;
// returns the number of characters written to out (at most kMaxNumberText).
std::size_t renderFixed(char* out, double value, int width, int precision);

// "%<width>.<precision>e", exponent with sign and at least three digits.
std::size_t renderExponent(char* out, double value, int width, int precision);

// "%<width>ld" for a signed 32-bit value.
std::size_t renderInteger(char* out, std::int32_t value, int width);

}  // namespace pexmoor
