#include "run/input_scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

using namespace std::string_view_literals;

namespace pexmoor {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kDenormMin = std::numeric_limits<double>::denorm_min();
constexpr double kDoubleMax = std::numeric_limits<double>::max();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();

// What a failed read must leave in its target.
constexpr double kUntouchedDouble = -777.25;
constexpr std::int32_t kUntouchedInteger = -777;

enum class Kind { Integer, Double };

struct Read {
    Kind kind;
    bool ok;
    double expected;   // an integer read's value is exact in a double
};

Read integer(std::int32_t v) { return {Kind::Integer, true, static_cast<double>(v)}; }
Read real(double v) { return {Kind::Double, true, v}; }
constexpr Read integerFails{Kind::Integer, false, 0.0};
constexpr Read realFails{Kind::Double, false, 0.0};

struct ScanCase {
    std::string name;
    std::string input;
    std::vector<Read> reads;
    std::string rest;   // what the input still holds after the reads
};

std::string printable(std::string_view bytes)
{
    std::string out;
    for (unsigned char c : bytes.substr(0, 60)) {
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    if (bytes.size() > 60) out += "... (" + std::to_string(bytes.size()) + " bytes)";
    return out;
}

// Everything the scanner has not taken yet: its lookahead byte, then the source.
std::string drain(InputScanner& in)
{
    std::string rest;
    if (in.hasLookahead) rest += static_cast<char>(in.lookahead);
    if (in.file != nullptr) {
        for (int c = std::getc(in.file); c != EOF; c = std::getc(in.file)) rest += static_cast<char>(c);
    } else {
        rest.append(reinterpret_cast<const char*>(in.next), static_cast<std::size_t>(in.end - in.next));
    }
    return rest;
}

void expectSameDouble(double got, double want, std::size_t readIndex)
{
    EXPECT_EQ(std::bit_cast<std::uint64_t>(got), std::bit_cast<std::uint64_t>(want))
        << "read " << readIndex << ": got " << got << " (" << std::hexfloat << got << "), want "
        << std::defaultfloat << want << " (" << std::hexfloat << want << ")";
}

void runReads(InputScanner& in, const ScanCase& c)
{
    for (std::size_t i = 0; i < c.reads.size(); ++i) {
        const Read& r = c.reads[i];
        if (r.kind == Kind::Integer) {
            std::int32_t value = kUntouchedInteger;
            EXPECT_EQ(readInteger(in, value), r.ok) << "integer read " << i;
            EXPECT_EQ(value, r.ok ? static_cast<std::int32_t>(r.expected) : kUntouchedInteger)
                << "integer read " << i;
        } else {
            double value = kUntouchedDouble;
            EXPECT_EQ(readDouble(in, value), r.ok) << "double read " << i;
            expectSameDouble(value, r.ok ? r.expected : kUntouchedDouble, i);
        }
    }
    std::string rest = drain(in);
    EXPECT_TRUE(rest == c.rest) << "left in the input: \"" << printable(rest) << "\", want \"" << printable(c.rest)
                                << "\"";
}

// Every case runs from memory and from a real stream.
void checkCase(const ScanCase& c)
{
    SCOPED_TRACE(c.name + ": \"" + printable(c.input) + "\"");
    {
        SCOPED_TRACE("from memory");
        InputScanner in;
        scanText(in, c.input.data(), c.input.size());
        runReads(in, c);
    }
    {
        SCOPED_TRACE("from a stream");
        std::FILE* file = std::tmpfile();
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(std::fwrite(c.input.data(), 1, c.input.size(), file), c.input.size());
        std::rewind(file);
        InputScanner in;
        scanFile(in, file);
        runReads(in, c);
        std::fclose(file);
    }
}

std::string repeated(char c, std::size_t n) { return std::string(n, c); }

TEST(InputScanner, ReadsAnswersByTheReadingRules)
{
    const std::vector<ScanCase> cases = {
        // white space and several answers
        {"white space and line ends skipped", "  \n\t 42", {integer(42)}, ""},
        {"every C-locale space", "\v\f\r 7.5", {real(7.5)}, ""},
        {"a line end after the answer stays", "42\n", {integer(42)}, "\n"},
        {"answers on one line", "1 386 0 193\n", {integer(1), real(386), real(0), real(193)}, "\n"},
        {"answers on separate lines", "2\n1.5\n\n-3e2\n", {integer(2), real(1.5), real(-300)}, "\n"},
        {"empty input", "", {integerFails, realFails, integerFails}, ""},
        {"white space only", "  \n\t \r\n", {realFails, integerFails}, ""},

        // a read stops at the first character that cannot continue the number
        {"integer stops at the point", "1.5", {integer(1), real(0.5)}, ""},
        {"sign without digits: integer", "-x", {integerFails}, "x"},
        {"sign without digits: double", "-x", {realFails}, "x"},
        {"failure repeats on the same text", "abc 5", {integerFails, realFails, integerFails}, "abc 5"},
        {"exponent without digits", "1e+x", {real(1)}, "x"},
        {"bare exponent letter", "1ex", {real(1)}, "x"},
        {"exponent at the end", "2E", {real(2)}, ""},
        {"second point", "1.5.3", {real(1.5), real(0.3)}, ""},
        {"hexadecimal is not read", "0x12", {real(0)}, "x12"},
        {"hexadecimal integer", "0x12", {integer(0)}, "x12"},
        {"inf is not a number", "inf", {realFails}, "inf"},
        {"nan is not a number", "nan", {realFails}, "nan"},
        {"signed inf loses its sign", "-inf", {realFails}, "inf"},
        {"leading point", ".5", {real(0.5)}, ""},
        {"signed leading point", "-.25", {real(-0.25)}, ""},
        {"trailing point", "5.", {real(5)}, ""},
        {"lone point is consumed", ". 3", {realFails, real(3)}, ""},
        {"sign and point without digits", "-.e5", {realFails}, "e5"},
        {"exponents", "1e5 1E-2 +2.5e+1", {real(1e5), real(0.01), real(25)}, ""},
        {"leading zeros", "000000.000001e6 007", {real(1), integer(7)}, ""},
        {"negative zero", "-0 -0.0e9", {real(-0.0), real(-0.0)}, ""},
        {"zero integer from minus zero", "-0", {integer(0)}, ""},
        {"plus sign", "+17 +1.25", {integer(17), real(1.25)}, ""},

        // NUL bytes are ordinary offending characters
        {"NUL stays in the input", std::string("\0 5"sv), {realFails, integerFails}, std::string("\0 5"sv)},
        {"NUL ends an answer", std::string("5\0 6"sv), {real(5), integerFails}, std::string("\0 6"sv)},

        // range of a double
        {"overflow", "1e400", {real(kInf)}, ""},
        {"negative overflow", "-1e400", {real(-kInf)}, ""},
        {"underflow", "1e-400", {real(0.0)}, ""},
        {"negative underflow keeps the sign", "-1e-400", {real(-0.0)}, ""},
        {"smallest subnormal", "4.9e-324", {real(kDenormMin)}, ""},
        {"just above half the smallest subnormal", "2.4703282292062328e-324", {real(kDenormMin)}, ""},
        {"just below half the smallest subnormal", "2.4703282292062327e-324", {real(0.0)}, ""},
        {"below half the smallest subnormal, negative", "-2.4703282292062327e-324", {real(-0.0)}, ""},
        {"just below the overflow threshold", "1.7976931348623158e308", {real(kDoubleMax)}, ""},
        {"just above the overflow threshold", "1.7976931348623159e308", {real(kInf)}, ""},
        {"largest double written out", "179769313486231570814527423731704356798070567525844996598917476803157260780028538760589558632766878171540458953514382464234321326889464182768467546703537516986049910576551282076245490090389328944075868508455133942304583236903222948165808559332123348274797826204144723168738177180919299881250404026184124858368",
         {real(kDoubleMax)}, ""},

        // correct rounding at halfway points
        {"tie rounds to even", "9007199254740993", {real(9007199254740992.0)}, ""},
        {"just above the tie rounds up", "9007199254740993.0000000000000000000001", {real(9007199254740994.0)}, ""},
        {"tie rounds to even, upwards", "9007199254740995", {real(9007199254740996.0)}, ""},

        // 32-bit integer answers
        {"largest integer", "2147483647", {integer(kIntMax)}, ""},
        {"smallest integer", "-2147483648", {integer(kIntMin)}, ""},
        {"one past the largest", "2147483648", {integer(kIntMax)}, ""},
        {"one past the smallest", "-2147483649", {integer(kIntMin)}, ""},
        {"saturation high, all digits taken", "99999999999 3", {integer(kIntMax), integer(3)}, ""},
        {"saturation low, all digits taken", "-99999999999x", {integer(kIntMin)}, "x"},
    };
    for (const ScanCase& c : cases) checkCase(c);
}

TEST(InputScanner, ReadsAnswersOfAnyLength)
{
    const std::size_t million = 1'000'000;
    const std::vector<ScanCase> cases = {
        {"a million fraction zeros, then 1", "0." + repeated('0', million) + "1", {real(0.0)}, ""},
        {"a million fraction zeros, scaled back", "0." + repeated('0', million) + "1e1000001 2",
         {real(1.0), integer(2)}, ""},
        {"1 and a million zeros", "1" + repeated('0', million), {real(kInf)}, ""},
        {"1 and a million zeros, negative", "-1" + repeated('0', million) + ".5", {real(-kInf)}, ""},
        {"1, 400 zeros, scaled back", "1" + repeated('0', 400) + "e-400", {real(1.0)}, ""},
        {"1, a million zeros, scaled back", "1" + repeated('0', million) + "e-1000000", {real(1.0)}, ""},
        {"tie decided by a far digit", "9007199254740993" + repeated('0', 5000) + "1e-5001",
         {real(9007199254740994.0)}, ""},
        {"exact tie, scaled back", "9007199254740993" + repeated('0', 5000) + "e-5000",
         {real(9007199254740992.0)}, ""},
        {"tie decided by a far fraction digit", "9007199254740993." + repeated('0', million) + "1",
         {real(9007199254740994.0)}, ""},
        {"a million-digit exponent", "1e" + repeated('9', million) + " 7", {real(kInf), integer(7)}, ""},
        {"a million-digit negative exponent", "1e-" + repeated('9', million) + " 7", {real(0.0), real(7)}, ""},
        {"a million-digit exponent of zeros", "-1e" + repeated('0', million) + "5", {real(-1e5)}, ""},
        {"zero with a huge exponent", "0e" + repeated('9', million), {real(0.0)}, ""},
        {"a million-digit integer", repeated('9', million) + "x", {integer(kIntMax)}, "x"},
        {"a million-digit negative integer", "-" + repeated('9', million), {integer(kIntMin)}, ""},
        {"a million leading zeros", repeated('0', million) + "42", {integer(42)}, ""},
        {"a million blanks", repeated(' ', million) + "3.5", {real(3.5)}, ""},
        {"a million NUL bytes", repeated('\0', million), {realFails, integerFails}, repeated('\0', million)},
    };
    for (const ScanCase& c : cases) checkCase(c);
}

// Random bytes, biased towards the characters of numbers. Every read is
// checked against the C library's conversion of exactly the text it took.
TEST(InputScanner, SurvivesBinaryGarbage)
{
    constexpr std::string_view numberish = "0123456789+-.eE \n\t";
    std::mt19937 random(20240611u);
    for (int buffer = 0; buffer < 2000; ++buffer) {
        std::string data(1 + random() % 120, '\0');
        for (char& c : data) {
            c = random() % 2 == 0 ? numberish[random() % numberish.size()] : static_cast<char>(random() % 256);
        }
        SCOPED_TRACE("garbage \"" + printable(data) + "\"");

        InputScanner in;
        std::size_t base = 0;   // offset of the scanner's start in data
        scanText(in, data.data(), data.size());
        auto position = [&] {
            return base + static_cast<std::size_t>(in.next - reinterpret_cast<const unsigned char*>(data.data() + base)) -
                   (in.hasLookahead ? 1 : 0);
        };
        for (int read = 0; position() < data.size(); ++read) {
            ASSERT_LT(read, 1000) << "no progress";
            std::size_t before = position();
            bool ok = false;
            std::string taken;
            if (read % 2 == 0) {
                std::int32_t value = kUntouchedInteger;
                ok = readInteger(in, value);
                taken = data.substr(before, position() - before);
                char* stop = nullptr;
                long long want = std::strtoll(taken.c_str(), &stop, 10);
                ASSERT_EQ(ok, stop != taken.c_str()) << "taken \"" << printable(taken) << "\"";
                if (ok) {
                    ASSERT_EQ(*stop, '\0') << "taken more than the number: \"" << printable(taken) << "\"";
                    want = std::min<long long>(std::max<long long>(want, kIntMin), kIntMax);
                }
                ASSERT_EQ(value, ok ? want : kUntouchedInteger) << "taken \"" << printable(taken) << "\"";
            } else {
                double value = kUntouchedDouble;
                ok = readDouble(in, value);
                taken = data.substr(before, position() - before);
                char* stop = nullptr;
                double want = std::strtod(taken.c_str(), &stop);
                ASSERT_EQ(ok, stop != taken.c_str()) << "taken \"" << printable(taken) << "\"";
                expectSameDouble(value, ok ? want : kUntouchedDouble, static_cast<std::size_t>(read));
            }
            if (!ok && position() == before) {
                // stuck on a character no number starts with: step over it
                base = before + 1;
                scanText(in, data.data() + base, data.size() - base);
            }
        }
    }
}

TEST(InputScanner, TreatsMissingOrFailingSourcesAsTheEnd)
{
    std::int32_t integerValue = kUntouchedInteger;
    double doubleValue = kUntouchedDouble;

    InputScanner unset;
    EXPECT_FALSE(readInteger(unset, integerValue));
    EXPECT_FALSE(readDouble(unset, doubleValue));

    InputScanner noStream;
    scanFile(noStream, nullptr);
    EXPECT_FALSE(readDouble(noStream, doubleValue));

    // reading a stream opened for writing only is a read error
#ifdef _WIN32
    std::FILE* writeOnly = std::fopen("NUL", "w");
#else
    std::FILE* writeOnly = std::fopen("/dev/null", "w");
#endif
    ASSERT_NE(writeOnly, nullptr);
    InputScanner failing;
    scanFile(failing, writeOnly);
    EXPECT_FALSE(readInteger(failing, integerValue));
    EXPECT_FALSE(readDouble(failing, doubleValue));
    std::fclose(writeOnly);

    EXPECT_EQ(integerValue, kUntouchedInteger);
    expectSameDouble(doubleValue, kUntouchedDouble, 0);
}

}  // namespace
}  // namespace pexmoor
