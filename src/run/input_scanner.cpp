#include "run/input_scanner.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>

namespace pexmoor {

namespace {

constexpr int kNoByte = -1;

// Significant digits kept of a mantissa. 768 decide the rounding of every
// double; the digits past the kept ones only matter as "zero or not", and a
// nonzero rest is kept as one sticky digit 1 behind them.
constexpr int kKeptDigits = 800;

// Bound of digit counts and exponent values: far beyond any double, far from
// overflowing 64 bits however long an answer is.
constexpr std::int64_t kCountLimit = 1'000'000'000'000'000;

// Decimal exponents of the leading digit beyond which a value is certainly
// infinite (10^310 > largest double) or certainly zero (10^-325 is below half
// the smallest subnormal, 2.47e-324).
constexpr std::int64_t kInfiniteFrom = 310;
constexpr std::int64_t kZeroBelow = -325;

// The byte the next read would take, without taking it; kNoByte at the end.
int peek(InputScanner& in)
{
    if (!in.hasLookahead && !in.atEnd) {
        int c = kNoByte;
        if (in.file != nullptr) {
            int got = std::getc(in.file);
            if (got != EOF) c = got;
        } else if (in.next != in.end) {
            c = *in.next++;
        }
        if (c == kNoByte) {
            in.atEnd = true;   // a terminal's end of input is not asked for twice
        } else {
            in.lookahead = c;
            in.hasLookahead = true;
        }
    }
    return in.hasLookahead ? in.lookahead : kNoByte;
}

void take(InputScanner& in) { in.hasLookahead = false; }

// White space of the C locale, line ends included.
bool isSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(int c) { return c >= '0' && c <= '9'; }

void skipSpace(InputScanner& in)
{
    while (isSpace(peek(in))) take(in);
}

// Takes an optional sign; true for a minus.
bool takeSign(InputScanner& in)
{
    int c = peek(in);
    if (c != '+' && c != '-') return false;
    take(in);
    return c == '-';
}

// A decimal mantissa as read: value = digits × 10^scale, plus a nonzero rest
// below the last kept digit when sticky.
struct Mantissa {
    char digits[kKeptDigits + 1];   // significant digits, no leading zeros; room for the sticky one
    int count = 0;
    bool sticky = false;
    std::int64_t scale = 0;
    bool anyDigit = false;          // at least one digit was taken, zeros included
};

void addDigit(Mantissa& m, int c, bool afterPoint)
{
    m.anyDigit = true;
    if (m.count == 0 && c == '0') {
        // a leading zero: behind the point it moves the first significant digit down
        if (afterPoint && m.scale > -kCountLimit) --m.scale;
    } else if (m.count < kKeptDigits) {
        m.digits[m.count++] = static_cast<char>(c);
        if (afterPoint) --m.scale;
    } else {
        // beyond the kept digits: before the point it still raises the magnitude
        m.sticky = m.sticky || c != '0';
        if (!afterPoint && m.scale < kCountLimit) ++m.scale;
    }
}

// digits [. [digits]] or . digits
void takeMantissa(InputScanner& in, Mantissa& m)
{
    for (int c = peek(in); isDigit(c); c = peek(in)) {
        addDigit(m, c, false);
        take(in);
    }
    if (peek(in) != '.') return;
    take(in);
    for (int c = peek(in); isDigit(c); c = peek(in)) {
        addDigit(m, c, true);
        take(in);
    }
}

// (e|E) [sign] digits, as a power of ten; 0 when no digit follows, the "e"
// and sign taken all the same.
std::int64_t takeExponent(InputScanner& in)
{
    int c = peek(in);
    if (c != 'e' && c != 'E') return 0;
    take(in);
    bool negative = takeSign(in);
    std::int64_t exponent = 0;
    for (c = peek(in); isDigit(c); c = peek(in)) {
        exponent = std::min(exponent * 10 + (c - '0'), kCountLimit);
        take(in);
    }
    return negative ? -exponent : exponent;
}

// The correctly rounded magnitude of m × 10^exponent.
double roundToDouble(Mantissa& m, std::int64_t exponent)
{
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    if (m.count == 0) return 0.0;
    std::int64_t power = m.scale + exponent;
    if (m.sticky) {
        m.digits[m.count++] = '1';
        --power;
    }
    std::int64_t leading = power + m.count - 1;   // decimal exponent of the first digit
    if (leading >= kInfiniteFrom) return kInfinity;
    if (leading < kZeroBelow) return 0.0;

    // canonical text "<digits>e<power>" for the correctly rounding conversion
    char text[kKeptDigits + 24];
    char* last = std::copy(m.digits, m.digits + m.count, text);
    *last++ = 'e';
    last = std::to_chars(last, text + sizeof text, power).ptr;

    double magnitude = 0.0;
    std::from_chars_result parsed = std::from_chars(text, last, magnitude);
    if (parsed.ec == std::errc::result_out_of_range) {
        // the conversion leaves the value alone when it overflows or underflows
        return leading > 0 ? kInfinity : 0.0;
    }
    return magnitude;
}

}  // namespace

void scanFile(InputScanner& in, std::FILE* file)
{
    in = InputScanner{};
    in.file = file;
    in.atEnd = file == nullptr;
}

void scanText(InputScanner& in, const char* data, std::size_t n)
{
    in = InputScanner{};
    in.next = reinterpret_cast<const unsigned char*>(data);
    in.end = in.next + (data == nullptr ? 0 : n);
}

bool readInteger(InputScanner& in, std::int32_t& value)
{
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    skipSpace(in);
    bool negative = takeSign(in);
    // the magnitude stops growing one past the largest positive value, which
    // is exactly the magnitude of the most negative one
    std::int64_t magnitude = 0;
    bool anyDigit = false;
    for (int c = peek(in); isDigit(c); c = peek(in)) {
        magnitude = std::min(magnitude * 10 + (c - '0'), kMax + 1);
        anyDigit = true;
        take(in);
    }
    if (!anyDigit) return false;
    value = static_cast<std::int32_t>(negative ? -magnitude : std::min(magnitude, kMax));
    return true;
}

bool readDouble(InputScanner& in, double& value)
{
    skipSpace(in);
    bool negative = takeSign(in);
    Mantissa m;
    takeMantissa(in, m);
    if (!m.anyDigit) return false;
    std::int64_t exponent = takeExponent(in);
    double magnitude = roundToDouble(m, exponent);
    value = negative ? -magnitude : magnitude;
    return true;
}

}  // namespace pexmoor
