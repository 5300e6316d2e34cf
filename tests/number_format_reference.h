#pragma once
// Reference rendering of doubles for "%W.Pf" and "%W.Pe": slow, plain, and
// independent of the program's renderer, for tests and fuzz targets.
//
// The double's exact decimal value is written out in full: its significand
// times 5^n (for a value significand / 2^n, which is that product / 10^n) or
// times 2^n, in base 10^9, then printed as every one of its digits. The
// rounding rules are then applied to that text, one digit character at a time:
//   - keep 18 significant digits, round half up to 17 on the 18th;
//   - round half up again at the precision of the conversion.
// Non-finite values become the texts 1#INF, 1#IND and 1#QNAN, laid out as
// digits would be.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace pexmoor::reference {

// Every significant digit of a finite magnitude. Zero has no digits.
struct ExactDecimal {
  std::string digits;  // first digit nonzero, no trailing zeros
  int lead = 0;        // power of ten of the first digit
};

inline ExactDecimal exactDecimal(std::uint64_t significand, int binaryExponent) {
  ExactDecimal result;
  if (significand == 0) return result;

  constexpr std::uint64_t kBase = 1000000000;  // one limb holds 9 decimal digits
  std::vector<std::uint64_t> limbs;            // least significant first
  for (std::uint64_t s = significand; s != 0; s /= kBase) limbs.push_back(s % kBase);
  auto multiply = [&limbs](std::uint64_t factor) {  // factor at most 2^28
    std::uint64_t carry = 0;
    for (std::uint64_t& limb : limbs) {
      const std::uint64_t product = limb * factor + carry;
      limb = product % kBase;
      carry = product / kBase;
    }
    for (; carry != 0; carry /= kBase) limbs.push_back(carry % kBase);
  };

  int pointShift = 0;  // the value is the integer in limbs times 10^pointShift
  if (binaryExponent >= 0) {
    for (int left = binaryExponent; left > 0; left -= 28) {
      multiply(std::uint64_t{1} << std::min(left, 28));
    }
  } else {
    constexpr std::uint64_t kPow5[13] = {1,        5,         25,        125,      625,
                                         3125,     15625,     78125,     390625,   1953125,
                                         9765625,  48828125,  244140625};
    for (int left = -binaryExponent; left > 0; left -= 12) multiply(kPow5[std::min(left, 12)]);
    pointShift = binaryExponent;
  }

  std::string text = std::to_string(limbs.back());
  for (std::size_t i = limbs.size() - 1; i-- > 0;) {
    const std::string limb = std::to_string(limbs[i]);
    text += std::string(9 - limb.size(), '0') + limb;
  }
  result.lead = static_cast<int>(text.size()) - 1 + pointShift;
  text.erase(text.find_last_not_of('0') + 1);
  result.digits = text;
  return result;
}

// The first `keep` characters of digits (missing ones count as '0'), raised
// by one in the last kept place when the next digit is '5' or more. A carry
// out of the first place gives keep + 1 characters ("999" -> "1000").
inline std::string roundHalfUp(const std::string& digits, std::size_t keep) {
  std::string padded = digits + std::string(keep + 1, '0');
  std::string kept = padded.substr(0, keep);
  if (padded[keep] < '5') return kept;
  for (std::size_t i = kept.size(); i-- > 0;) {
    if (kept[i] != '9') {
      ++kept[i];
      return kept;
    }
    kept[i] = '0';
  }
  return "1" + kept;
}

inline std::string padToWidth(const std::string& text, int width) {
  const int blanks = width - static_cast<int>(text.size());
  return blanks > 0 ? std::string(static_cast<std::size_t>(blanks), ' ') + text : text;
}

class Rendering {
 public:
  explicit Rendering(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    negative_ = (bits >> 63) != 0;
    const auto biased = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0x7FF) {
      special_ = fraction == 0                      ? "1#INF"
                 : bits == 0xFFF8000000000000ull ? "1#IND"
                                                   : "1#QNAN";
      return;
    }
    const ExactDecimal exact = biased == 0
                                   ? exactDecimal(fraction, -1074)
                                   : exactDecimal(fraction | (std::uint64_t{1} << 52), biased - 1075);
    zero_ = exact.digits.empty();
    if (zero_) return;
    // 18 digits, half up to 17; a carry out of the first digit moves the lead.
    digits_ = roundHalfUp(exact.digits.substr(0, 18), 17);
    lead_ = exact.lead;
    if (digits_.size() == 18) {
      digits_.pop_back();
      ++lead_;
    }
    digits_.erase(digits_.find_last_not_of('0') + 1);
  }

  // The 17-digit string (trailing zeros dropped) and the power of ten of its
  // first digit; empty for zero and non-finite values.
  const std::string& digitString() const { return digits_; }
  int lead() const { return lead_; }

  std::string fixed(int width, int precision) const {
    if (!special_.empty()) return padToWidth(sign() + specialText(precision), width);
    // Digit characters from the 10^top place down to the 10^-precision place.
    const int top = lead_ > 0 ? lead_ : 0;
    std::string places;
    for (int place = top; place >= -precision - 1; --place) places += digitAt(place);
    std::string kept = roundHalfUp(places, places.size() - 1);
    std::string integer = kept.substr(0, kept.size() - static_cast<std::size_t>(precision));
    const std::string fraction = kept.substr(integer.size());
    integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size() - 1));
    return padToWidth(sign() + integer + (precision > 0 ? "." + fraction : ""), width);
  }

  std::string exponent(int width, int precision) const {
    if (!special_.empty()) {
      return padToWidth(sign() + specialText(precision) + "e+000", width);
    }
    const auto keep = static_cast<std::size_t>(precision) + 1;
    std::string mantissa = roundHalfUp(zero_ ? std::string() : digits_, keep);
    int power = zero_ ? 0 : lead_;
    if (mantissa.size() > keep) {
      mantissa.pop_back();
      ++power;
    }
    std::string exponentDigits = std::to_string(power < 0 ? -power : power);
    exponentDigits.insert(0, exponentDigits.size() < 3 ? 3 - exponentDigits.size() : 0, '0');
    const std::string point = precision > 0 ? "." + mantissa.substr(1) : "";
    return padToWidth(sign() + mantissa.substr(0, 1) + point + "e" + (power < 0 ? "-" : "+") +
                          exponentDigits,
                      width);
  }

 private:
  std::string sign() const { return negative_ && !zero_ ? "-" : ""; }

  char digitAt(int place) const {
    const int index = lead_ - place;
    if (zero_ || index < 0 || index >= static_cast<int>(digits_.size())) return '0';
    return digits_[static_cast<std::size_t>(index)];
  }

  // The special text, its first character before the point, the rest padded
  // with '0' or cut at the precision; a cut whose first character is '5' or
  // above raises the last kept character by one code.
  std::string specialText(int precision) const {
    std::string fraction = special_.substr(1);
    const auto p = static_cast<std::size_t>(precision);
    std::string text = special_.substr(0, 1) + (precision > 0 ? "." : "");
    if (fraction.size() <= p) return text + fraction + std::string(p - fraction.size(), '0');
    text += fraction.substr(0, p);
    if (fraction[p] >= '5') ++text.back();
    return text;
  }

  bool negative_ = false;
  bool zero_ = false;
  std::string special_;  // set for a non-finite value
  std::string digits_;
  int lead_ = 0;
};

inline std::string fixed(double value, int width, int precision) {
  return Rendering(value).fixed(width, precision);
}

inline std::string exponent(double value, int width, int precision) {
  return Rendering(value).exponent(width, precision);
}

}  // namespace pexmoor::reference
