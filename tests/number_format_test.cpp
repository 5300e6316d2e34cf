#include "run/number_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "number_format_reference.h"

namespace pexmoor {
namespace {

double fromBits(std::uint64_t bits) { return std::bit_cast<double>(bits); }

constexpr std::uint64_t kIndefinite = 0xFFF8000000000000ull;
constexpr std::uint64_t kQuietNaN = 0x7FF8000000000000ull;  // the indefinite's sign twin
constexpr std::uint64_t kSignBit = 0x8000000000000000ull;
const double kInf = std::numeric_limits<double>::infinity();

enum class Form { Fixed, Exponent };

std::string render(Form form, double value, int width, int precision) {
  char text[kMaxNumberText];
  const std::size_t length = form == Form::Fixed ? renderFixed(text, value, width, precision)
                                                 : renderExponent(text, value, width, precision);
  return std::string(text, length);
}

std::string describe(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "0x%016" PRIX64 " (%.17g)", std::bit_cast<std::uint64_t>(value),
                value);
  return text;
}

struct Case {
  double value;
  Form form;
  int width;
  int precision;
  const char* expected;
};

// The report conversions: "%12.4f" (also "%12.4lf"), "%14.4f", "%12.5e", "%10.4e".
const Case kCases[] = {
    // Single values.
    {1.5, Form::Fixed, 12, 4, R"(      1.5000)"},
    {386.0, Form::Fixed, 12, 4, R"(    386.0000)"},
    {0.00001, Form::Fixed, 12, 4, R"(      0.0000)"},
    {-0.00001, Form::Fixed, 12, 4, R"(     -0.0000)"},
    {-0.0, Form::Fixed, 12, 4, R"(      0.0000)"},
    {0.0, Form::Fixed, 14, 4, R"(        0.0000)"},
    {0.03125, Form::Fixed, 12, 4, R"(      0.0313)"},
    {-0.03125, Form::Fixed, 12, 4, R"(     -0.0313)"},
    {0.99999, Form::Fixed, 12, 4, R"(      1.0000)"},
    {-0.00005, Form::Fixed, 12, 4, R"(     -0.0001)"},  // just above the tie
    {1234567.0, Form::Fixed, 12, 4, R"(1234567.0000)"},
    {10000000.0, Form::Fixed, 12, 4, R"(10000000.0000)"},
    {-12345678.9, Form::Fixed, 12, 4, R"(-12345678.9000)"},
    {1234.5678, Form::Fixed, 14, 4, R"(     1234.5678)"},
    // 18 exact digits ending in 5 go up; past 17 digits the fixed form is zeros.
    {1000000000000000.25, Form::Fixed, 12, 4, R"(1000000000000000.3000)"},
    {123456789012345678901.0, Form::Fixed, 12, 4, R"(123456789012345680000.0000)"},
    {0.0, Form::Exponent, 12, 5, R"(0.00000e+000)"},
    {-0.0, Form::Exponent, 10, 4, R"(0.0000e+000)"},
    {1.5, Form::Exponent, 12, 5, R"(1.50000e+000)"},
    {150.25, Form::Exponent, 12, 5, R"(1.50250e+002)"},
    {0.00001, Form::Exponent, 10, 4, R"(1.0000e-005)"},
    {-0.00005, Form::Exponent, 10, 4, R"(-5.0000e-005)"},
    {9.999996, Form::Exponent, 10, 4, R"(1.0000e+001)"},
    {1.03125, Form::Exponent, 10, 4, R"(1.0313e+000)"},  // exact tie, away from zero
    {2e300, Form::Exponent, 10, 4, R"(2.0000e+300)"},
    {DBL_MAX, Form::Exponent, 12, 5, R"(1.79769e+308)"},
    {4.9406564584124654e-324, Form::Exponent, 10, 4, R"(4.9407e-324)"},
    // Non-finite values.
    {kInf, Form::Fixed, 12, 4, R"(      1.#INF)"},
    {-kInf, Form::Fixed, 12, 4, R"(     -1.#INF)"},
    {fromBits(kIndefinite), Form::Fixed, 12, 4, R"(     -1.#IND)"},
    {fromBits(kQuietNaN), Form::Fixed, 12, 4, R"(      1.#QNB)"},
    {fromBits(kQuietNaN | 1), Form::Fixed, 12, 4, R"(      1.#QNB)"},
    {fromBits(kIndefinite | 1), Form::Fixed, 12, 4, R"(     -1.#QNB)"},
    {kInf, Form::Fixed, 14, 4, R"(        1.#INF)"},
    {-kInf, Form::Fixed, 14, 4, R"(       -1.#INF)"},
    {fromBits(kIndefinite), Form::Fixed, 14, 4, R"(       -1.#IND)"},
    {fromBits(kQuietNaN), Form::Fixed, 14, 4, R"(        1.#QNB)"},
    {fromBits(kIndefinite | 1), Form::Fixed, 14, 4, R"(       -1.#QNB)"},
    {kInf, Form::Exponent, 12, 5, R"(1.#INF0e+000)"},
    {-kInf, Form::Exponent, 12, 5, R"(-1.#INF0e+000)"},
    {fromBits(kIndefinite), Form::Exponent, 12, 5, R"(-1.#IND0e+000)"},
    {fromBits(kQuietNaN), Form::Exponent, 12, 5, R"(1.#QNANe+000)"},
    {fromBits(kIndefinite | 1), Form::Exponent, 12, 5, R"(-1.#QNANe+000)"},
    {kInf, Form::Exponent, 10, 4, R"(1.#INFe+000)"},
    {-kInf, Form::Exponent, 10, 4, R"(-1.#INFe+000)"},
    {fromBits(kIndefinite), Form::Exponent, 10, 4, R"(-1.#INDe+000)"},
    {fromBits(kQuietNaN), Form::Exponent, 10, 4, R"(1.#QNBe+000)"},
    {fromBits(kIndefinite | 1), Form::Exponent, 10, 4, R"(-1.#QNBe+000)"},
    {fromBits(0x7FF0000000000001ull), Form::Fixed, 12, 4, R"(      1.#QNB)"},  // signalling
    {fromBits(0xFFF4000000000000ull), Form::Exponent, 10, 4, R"(-1.#QNBe+000)"},
    // Other widths and precisions.
    {2.5, Form::Fixed, 0, 0, R"(3)"},
    {2.5, Form::Exponent, 0, 0, R"(3e+000)"},
    {0.5, Form::Fixed, 3, 0, R"(  1)"},
    {kInf, Form::Fixed, 0, 0, R"(1)"},
    {kInf, Form::Fixed, 0, 1, R"(1.$)"},
    {kInf, Form::Fixed, 0, 2, R"(1.#J)"},
    {kInf, Form::Fixed, 0, 3, R"(1.#IO)"},
    {fromBits(kIndefinite), Form::Exponent, 0, 7, R"(-1.#IND000e+000)"},
    {0.1, Form::Fixed, 0, 17, R"(0.10000000000000001)"},
    {0.1, Form::Exponent, 26, 17, R"(  1.00000000000000010e-001)"},
    {-1.0, Form::Fixed, 64, 4, R"(                                                         -1.0000)"},
};

TEST(NumberFormat, RendersTheReportTables) {
  for (const Case& c : kCases) {
    EXPECT_EQ(render(c.form, c.value, c.width, c.precision), c.expected)
        << describe(c.value) << " as %" << c.width << "." << c.precision
        << (c.form == Form::Fixed ? "f" : "e");
  }
}

TEST(NumberFormat, WritesTheWholeIntegerPartOfTheLargestDouble) {
  const std::string text = render(Form::Fixed, -DBL_MAX, 12, 4);
  EXPECT_EQ(text, "-17976931348623157" + std::string(292, '0') + ".0000");
  EXPECT_LE(render(Form::Fixed, DBL_MAX, 64, 17).size(), kMaxNumberText);
}

struct IntegerCase {
  std::int32_t value;
  int width;
  const char* expected;
};

TEST(NumberFormat, RendersIntegers) {
  const IntegerCase cases[] = {
      {0, 0, "0"},
      {2, 0, "2"},
      {-1, 0, "-1"},
      {INT32_MAX, 0, "2147483647"},
      {INT32_MIN, 0, "-2147483648"},
      {-42, 6, "   -42"},
      {1234567, 3, "1234567"},
  };
  for (const IntegerCase& c : cases) {
    char text[kMaxNumberText];
    EXPECT_EQ(std::string(text, renderInteger(text, c.value, c.width)), c.expected)
        << c.value << " as %" << c.width << "ld";
  }
}

// ---------------------------------------------------------------------------
// Random doubles of every kind against the exact reference.

#if defined(__SANITIZE_ADDRESS__)
constexpr int kRandomValues = 150000;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kRandomValues = 150000;
#else
constexpr int kRandomValues = 1000000;
#endif
#else
constexpr int kRandomValues = 1000000;
#endif

class ValueSource {
 public:
  double next() {
    switch (count_++ % 10) {
      case 0:
      case 1: return anyBits();
      case 2: return reportRange();
      case 3: return subnormal();
      case 4: return largest();
      case 5: return withNeighbour(dyadicTie());
      case 6: return withNeighbour(decimalTie());
      case 7: return notFinite();
      case 8: return oscillation();
      default: return shortDecimal();
    }
  }

 private:
  std::uint64_t bits() { return random_(); }
  int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  double signed_(double value) { return (random_() & 1) != 0 ? -value : value; }

  double anyBits() { return fromBits(bits()); }

  // Magnitudes the reports and time histories see, 1e-13 .. 1e10.
  double reportRange() {
    const std::uint64_t exponent = static_cast<std::uint64_t>(uniform(1023 - 44, 1023 + 33));
    return fromBits((bits() & 0x800FFFFFFFFFFFFFull) | (exponent << 52));
  }

  double subnormal() { return fromBits(bits() & 0x800FFFFFFFFFFFFFull); }

  double largest() {
    const std::uint64_t exponent = static_cast<std::uint64_t>(uniform(2040, 2046));
    const std::uint64_t fraction = (random_() & 3) == 0 ? 0xFFFFFFFFFFFFFull : bits() & 0xFFFFFFFFFFFFFull;
    return signed_(fromBits((exponent << 52) | fraction));
  }

  // An odd m over 2^b has exactly b decimals and its digits are those of
  // m * 5^b, ending in 5: a tie for "%.(b-1)f", and for the exponent form of
  // precision p when m * 5^b has p + 2 digits. 18 digits is a tie between
  // the 17th and 18th digit.
  double dyadicTie() {
    if ((random_() & 1) != 0) {
      const int b = uniform(1, 20);
      const std::uint64_t m = (bits() >> uniform(11, 62)) | 1;
      return signed_(std::ldexp(static_cast<double>(m), -b));
    }
    static constexpr int kDigitCounts[] = {5, 6, 7, 18};
    const int digits = kDigitCounts[uniform(0, 3)];
    for (;;) {
      const int b = uniform(1, 25);
      const double pow5 = std::pow(5.0, b);
      const double low = std::ceil(std::pow(10.0, digits - 1) / pow5);
      const double high = std::fmin(std::floor(std::pow(10.0, digits) / pow5) - 1, 0x1p53 - 1);
      if (low > high) continue;
      std::uint64_t m = static_cast<std::uint64_t>(low) +
                        random_() % (static_cast<std::uint64_t>(high - low) + 1);
      m |= 1;
      return signed_(std::ldexp(static_cast<double>(m), -b));
    }
  }

  // The double nearest to a decimal tie at 5, 6, 7 or 18 significant
  // digits, anywhere in the exponent range.
  double decimalTie() {
    static constexpr int kDigitCounts[] = {5, 6, 7, 18};
    const int digits = kDigitCounts[uniform(0, 3)];
    std::string text = std::to_string(uniform(1, 9)) + ".";
    for (int i = 2; i < digits; ++i) text += static_cast<char>('0' + uniform(0, 9));
    text += "5e" + std::to_string(uniform(-300, 300));
    return signed_(std::strtod(text.c_str(), nullptr));
  }

  double withNeighbour(double value) {
    switch (random_() % 3) {
      case 0: return std::nextafter(value, kInf);
      case 1: return std::nextafter(value, -kInf);
      default: return value;
    }
  }

  double notFinite() {
    switch (random_() % 6) {
      case 0: return fromBits(kIndefinite);
      case 1: return signed_(kInf);
      case 2: return signed_(0.0);
      case 3: return fromBits(0x7FF4000000000000ull | (bits() & 0x8003FFFFFFFFFFFFull));  // signalling
      default: return fromBits(0x7FF0000000000000ull | (bits() & 0x800FFFFFFFFFFFFFull) | 1);
    }
  }

  // Values and times of a decaying oscillation, as in a time history.
  double oscillation() {
    const double t = uniform(0, 20000) * 0.000731;
    if ((random_() & 1) != 0) return t;
    return 0.0123 * std::exp(-0.7 * t) * std::sin(31.4 * t);
  }

  double shortDecimal() {
    const std::string text = std::to_string(uniform(0, 999999)) + "e" + std::to_string(uniform(-12, 12));
    return signed_(std::strtod(text.c_str(), nullptr));
  }

  std::mt19937_64 random_{20240611};
  int count_ = 0;
};

struct Format {
  Form form;
  int width;
  int precision;
};

TEST(NumberFormat, MatchesTheExactReferenceForRandomDoubles) {
  const Format inUse[] = {
      {Form::Fixed, 12, 4}, {Form::Fixed, 14, 4}, {Form::Exponent, 12, 5}, {Form::Exponent, 10, 4}};
  ValueSource values;
  std::mt19937_64 formats{7};
  int failures = 0;
  for (int i = 0; i < kRandomValues && failures < 20; ++i) {
    const double value = values.next();
    const reference::Rendering expected(value);
    auto check = [&](const Format& f) {
      const std::string want = f.form == Form::Fixed ? expected.fixed(f.width, f.precision)
                                                     : expected.exponent(f.width, f.precision);
      const std::string got = render(f.form, value, f.width, f.precision);
      if (got == want) return;
      ++failures;
      ADD_FAILURE() << describe(value) << " as %" << f.width << "." << f.precision
                    << (f.form == Form::Fixed ? "f" : "e") << "\n  rendered:  [" << got
                    << "]\n  reference: [" << want << "]";
    };
    for (const Format& f : inUse) check(f);
    // Any other width and precision, one of each form per value.
    const auto width = static_cast<int>(formats() % 65);
    const auto precision = static_cast<int>(formats() % 18);
    check({Form::Fixed, width, precision});
    check({Form::Exponent, width, precision});
  }
}

}  // namespace
}  // namespace pexmoor
