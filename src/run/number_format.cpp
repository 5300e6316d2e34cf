// Exact rendering of doubles for "%W.Pf" and "%W.Pe", and of "%ld".
//
// A finite value goes through five steps, each its own function below:
//   1. split the binary value into sign, significand and power of two;
//   2. scale it to decimal: multiply by the power of ten that brings its
//      first 18 significant digits before the point, exactly, over an integer
//      array of 64-bit limbs;
//   3. take those 18 digits (whatever follows them is ignored);
//   4. round half up to 17 digits, the digit string every conversion starts from;
//   5. round half up to the precision of the conversion, then lay out the text.
// Non-finite values are written as the special texts 1#INF, 1#IND and 1#QNAN.
#include "run/number_format.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace pexmoor {
namespace {

__extension__ typedef unsigned __int128 Uint128;

constexpr int kMaxPrecision = 17;
constexpr int kMaxWidth = 64;

constexpr std::uint64_t kPow10[20] = {
    1ull,
    10ull,
    100ull,
    1000ull,
    10000ull,
    100000ull,
    1000000ull,
    10000000ull,
    100000000ull,
    1000000000ull,
    10000000000ull,
    100000000000ull,
    1000000000000ull,
    10000000000000ull,
    100000000000000ull,
    1000000000000000ull,
    10000000000000000ull,
    100000000000000000ull,
    1000000000000000000ull,
    10000000000000000000ull,
};

// 5^27 is the largest power of five below 2^63: a significand times it still
// fits in 128 bits.
constexpr int kPow5Step = 27;
constexpr std::uint64_t kPow5[kPow5Step + 1] = {
    1ull,
    5ull,
    25ull,
    125ull,
    625ull,
    3125ull,
    15625ull,
    78125ull,
    390625ull,
    1953125ull,
    9765625ull,
    48828125ull,
    244140625ull,
    1220703125ull,
    6103515625ull,
    30517578125ull,
    152587890625ull,
    762939453125ull,
    3814697265625ull,
    19073486328125ull,
    95367431640625ull,
    476837158203125ull,
    2384185791015625ull,
    11920928955078125ull,
    59604644775390625ull,
    298023223876953125ull,
    1490116119384765625ull,
    7450580596923828125ull,
};

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// ---------------------------------------------------------------------------
// Step 1: split the binary value.

enum class Kind { Zero, Finite, Infinity, Indefinite, OtherNaN };

struct BinaryValue {
  Kind kind;
  bool negative;
  std::uint64_t significand;  // a finite value is significand * 2^exponent
  int exponent;
};

// The not-a-number that invalid operations produce (0/0, inf - inf, sqrt(-1)).
constexpr std::uint64_t kIndefiniteBits = 0xFFF8000000000000ull;

BinaryValue splitBinary(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const bool negative = (bits >> 63) != 0;
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  const std::uint64_t fraction = bits & ((1ull << 52) - 1);
  if (biased == 0x7FF) {
    if (fraction == 0) return {Kind::Infinity, negative, 0, 0};
    // A signalling not-a-number, once made quiet, is never the indefinite:
    // it keeps a payload bit besides the quiet bit.
    return {bits == kIndefiniteBits ? Kind::Indefinite : Kind::OtherNaN, negative, 0, 0};
  }
  if (biased == 0) {
    if (fraction == 0) return {Kind::Zero, negative, 0, 0};
    return {Kind::Finite, negative, fraction, -1074};  // subnormal
  }
  return {Kind::Finite, negative, fraction | (1ull << 52), biased - 1075};
}

// ---------------------------------------------------------------------------
// Step 2: scale to decimal, exactly.

// An unsigned integer of 64-bit limbs, least significant first. The largest
// needed is the significand of the smallest subnormal times 5^341 (below
// 2^846), or the integer value of the largest double (below 2^1024).
constexpr int kLimbs = 17;
struct BigNumber {
  std::uint64_t limb[kLimbs];
  int size;
};

void multiplyBy(BigNumber& n, std::uint64_t factor) {
  std::uint64_t carry = 0;
  for (int i = 0; i < n.size; ++i) {
    const Uint128 product = static_cast<Uint128>(n.limb[i]) * factor + carry;
    n.limb[i] = static_cast<std::uint64_t>(product);
    carry = static_cast<std::uint64_t>(product >> 64);
  }
  if (carry != 0) n.limb[n.size++] = carry;
}

// n = floor(n / divisor)
void divideBy(BigNumber& n, std::uint64_t divisor) {
  std::uint64_t remainder = 0;
  for (int i = n.size - 1; i >= 0; --i) {
    const Uint128 dividend = (static_cast<Uint128>(remainder) << 64) | n.limb[i];
    n.limb[i] = static_cast<std::uint64_t>(dividend / divisor);
    remainder = static_cast<std::uint64_t>(dividend % divisor);
  }
  while (n.size > 1 && n.limb[n.size - 1] == 0) --n.size;
}

BigNumber shiftedLeft(std::uint64_t value, int shift) {
  BigNumber n{};
  const int index = shift / 64;
  const int offset = shift % 64;
  n.limb[index] = value << offset;
  n.limb[index + 1] = offset == 0 ? 0 : value >> (64 - offset);
  n.size = n.limb[index + 1] != 0 ? index + 2 : index + 1;
  return n;
}

// floor(n / 2^shift), for an n below 2^(shift + 64).
std::uint64_t highBits(const BigNumber& n, int shift) {
  const int index = shift / 64;
  const int offset = shift % 64;
  if (index >= n.size) return 0;
  std::uint64_t bits = n.limb[index] >> offset;
  if (offset != 0 && index + 1 < n.size) bits |= n.limb[index + 1] << (64 - offset);
  return bits;
}

// floor(significand * 2^exponent * 10^scale), for a result below 2^64.
std::uint64_t scaledFloor(std::uint64_t significand, int exponent, int scale) {
  if (scale >= 0) {
    // significand * 5^scale * 2^(exponent + scale)
    BigNumber n;
    n.limb[0] = significand;
    n.size = 1;
    for (int left = scale; left > 0; left -= kPow5Step) {
      multiplyBy(n, kPow5[std::min(left, kPow5Step)]);
    }
    const int shift = exponent + scale;
    if (shift >= 0) return n.limb[0] << shift;  // the product is then one limb
    return highBits(n, -shift);
  }
  // A value this large (10^18 and more) is an integer with exponent + scale
  // >= 0: significand * 2^(exponent + scale) / 5^-scale
  BigNumber n = shiftedLeft(significand, exponent + scale);
  for (int left = -scale; left > 0; left -= kPow5Step) {
    divideBy(n, kPow5[std::min(left, kPow5Step)]);
  }
  return n.limb[0];
}

// floor(log10(2^power)), exact for |power| <= 1650.
int floorLog10Pow2(int power) { return (power * 78913) >> 18; }

// ---------------------------------------------------------------------------
// Steps 3 and 4: take 18 digits, round half up to 17.

// A digit string as an integer, and the power of ten of its first digit.
struct DecimalDigits {
  std::uint64_t digits;
  int lead;
};

DecimalDigits take18Digits(std::uint64_t significand, int exponent) {
  // The leading power of ten follows from the leading power of two, exactly
  // or one too small; the value scaled by 10^(17 - lead) then lies in
  // [10^17, 10^19), and a 19-digit result drops its last digit.
  const int leadingBit = exponent + 63 - std::countl_zero(significand);
  int lead = floorLog10Pow2(leadingBit);
  std::uint64_t digits = scaledFloor(significand, exponent, 17 - lead);
  if (digits >= kPow10[18]) {
    digits /= 10;
    ++lead;
  }
  return {digits, lead};
}

DecimalDigits roundHalfUpTo17(DecimalDigits d) {
  std::uint64_t digits = (d.digits + 5) / 10;
  if (digits == kPow10[17]) {  // 99..9 followed by 5 or more: a new leading digit
    return {kPow10[16], d.lead + 1};
  }
  return {digits, d.lead};
}

// The 17-digit string of a finite value; zero is all zeros with lead 0.
DecimalDigits digitString(const BinaryValue& b) {
  if (b.kind == Kind::Zero) return {0, 0};
  return roundHalfUpTo17(take18Digits(b.significand, b.exponent));
}

// ---------------------------------------------------------------------------
// Step 5: round half up to the precision, lay out the text.

// The first `kept` digits of a 17-digit string, rounded half up on the first
// dropped digit (kept < 17). The carry may give 10^kept.
std::uint64_t roundHalfUpToKept(std::uint64_t digits17, int kept) {
  if (kept < 0) return 0;  // the first dropped digit is a leading zero
  const std::uint64_t unit = kPow10[17 - kept];
  return (digits17 + unit / 2) / unit;
}

// Writes exactly `count` digits of value (zero-filled on the left).
void writeDigits(char* out, std::uint64_t value, int count) {
  char* p = out + count;
  while (p - out >= 2) {
    const auto pair = static_cast<std::size_t>(value % 100) * 2;
    value /= 100;
    p -= 2;
    p[0] = kDigitPairs[pair];
    p[1] = kDigitPairs[pair + 1];
  }
  if (p != out) *--p = static_cast<char>('0' + value % 10);
}

int decimalLength(std::uint64_t value) {
  int length = 1;
  while (length < 20 && value >= kPow10[length]) ++length;
  return length;
}

// Right-aligns a text of `length` characters in `width`: writes the blanks
// and returns where the text starts.
char* padLeft(char* out, int width, int length) {
  const int blanks = width > length ? width - length : 0;
  std::memset(out, ' ', static_cast<std::size_t>(blanks));
  return out + blanks;
}

// "e+ddd": the exponent with its sign and three digits (|exponent| <= 324).
char* writeExponent(char* p, int exponent) {
  *p++ = 'e';
  *p++ = exponent < 0 ? '-' : '+';
  writeDigits(p, static_cast<std::uint64_t>(exponent < 0 ? -exponent : exponent), 3);
  return p + 3;
}

// The special text of a non-finite value stands where the digit string would:
// its first character is the integer part, the rest the fraction, padded with
// 0 or cut at the precision; a cut raises the last kept character by one code
// when the first cut character is at or above '5'.
std::size_t renderSpecial(char* out, const BinaryValue& b, int width, int precision,
                          bool exponentForm) {
  const char* text = b.kind == Kind::Infinity     ? "1#INF"
                     : b.kind == Kind::Indefinite ? "1#IND"
                                                  : "1#QNAN";
  char body[2 + 1 + kMaxPrecision + 5];
  char* p = body;
  if (b.negative) *p++ = '-';
  *p++ = text[0];
  if (precision > 0) *p++ = '.';
  const char* fraction = text + 1;
  const int available = static_cast<int>(std::strlen(fraction));
  for (int i = 0; i < precision; ++i) *p++ = i < available ? fraction[i] : '0';
  if (precision < available && fraction[precision] >= '5') ++p[-1];
  if (exponentForm) p = writeExponent(p, 0);

  const int length = static_cast<int>(p - body);
  char* start = padLeft(out, width, length);
  std::memcpy(start, body, static_cast<std::size_t>(length));
  return static_cast<std::size_t>(start + length - out);
}

int clampPrecision(int precision) { return std::clamp(precision, 0, kMaxPrecision); }
int clampWidth(int width) { return std::clamp(width, 0, kMaxWidth); }

}  // namespace

std::size_t renderFixed(char* out, double value, int width, int precision) {
  width = clampWidth(width);
  precision = clampPrecision(precision);
  const BinaryValue b = splitBinary(value);
  if (b.kind != Kind::Finite && b.kind != Kind::Zero) {
    return renderSpecial(out, b, width, precision, false);
  }
  const DecimalDigits d = digitString(b);

  // The digits from the leading one down to the last decimal: the value
  // rounded to `precision` decimals, as an integer. Past 17 digits the
  // string goes on in zeros.
  const int kept = d.lead + 1 + precision;
  const bool longForm = kept > 17;
  const std::uint64_t rounded = longForm ? d.digits : roundHalfUpToKept(d.digits, kept);
  const int count = longForm ? kept : (rounded == 0 ? 0 : decimalLength(rounded));
  const int digitCount = std::max(count, precision + 1);  // at least "0" before the point

  const bool minus = b.negative && b.kind != Kind::Zero;
  const int length = (minus ? 1 : 0) + digitCount + (precision > 0 ? 1 : 0);
  char* p = padLeft(out, width, length);
  if (minus) *p++ = '-';

  char digits[kMaxNumberText];
  if (longForm) {
    writeDigits(digits, d.digits, 17);
    std::memset(digits + 17, '0', static_cast<std::size_t>(kept - 17));
  } else {
    std::memset(digits, '0', static_cast<std::size_t>(digitCount - count));
    writeDigits(digits + (digitCount - count), rounded, count);
  }
  const int integerDigits = digitCount - precision;
  std::memcpy(p, digits, static_cast<std::size_t>(integerDigits));
  p += integerDigits;
  if (precision > 0) {
    *p++ = '.';
    std::memcpy(p, digits + integerDigits, static_cast<std::size_t>(precision));
    p += precision;
  }
  return static_cast<std::size_t>(p - out);
}

std::size_t renderExponent(char* out, double value, int width, int precision) {
  width = clampWidth(width);
  precision = clampPrecision(precision);
  const BinaryValue b = splitBinary(value);
  if (b.kind != Kind::Finite && b.kind != Kind::Zero) {
    return renderSpecial(out, b, width, precision, true);
  }
  DecimalDigits d = digitString(b);

  // One digit before the point and `precision` after it.
  const int kept = precision + 1;
  char digits[kMaxPrecision + 1];
  if (kept <= 17) {
    std::uint64_t rounded = roundHalfUpToKept(d.digits, kept);
    if (rounded == kPow10[kept]) {  // carried into a new leading digit
      rounded /= 10;
      ++d.lead;
    }
    writeDigits(digits, rounded, kept);
  } else {
    writeDigits(digits, d.digits, 17);
    std::memset(digits + 17, '0', static_cast<std::size_t>(kept - 17));
  }

  const bool minus = b.negative && b.kind != Kind::Zero;
  const int length = (minus ? 1 : 0) + 1 + (precision > 0 ? 1 + precision : 0) + 5;
  char* p = padLeft(out, width, length);
  if (minus) *p++ = '-';
  *p++ = digits[0];
  if (precision > 0) {
    *p++ = '.';
    std::memcpy(p, digits + 1, static_cast<std::size_t>(precision));
    p += precision;
  }
  p = writeExponent(p, d.lead);
  return static_cast<std::size_t>(p - out);
}

std::size_t renderInteger(char* out, std::int32_t value, int width) {
  width = clampWidth(width);
  const bool minus = value < 0;
  const std::uint64_t magnitude =
      minus ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(value))
            : static_cast<std::uint64_t>(value);
  const int count = decimalLength(magnitude);
  const int length = (minus ? 1 : 0) + count;
  char* p = padLeft(out, width, length);
  if (minus) *p++ = '-';
  writeDigits(p, magnitude, count);
  return static_cast<std::size_t>(p + count - out);
}

}  // namespace pexmoor
