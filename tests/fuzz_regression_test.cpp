// Inputs of the fuzz targets replayed through the same checks: the seeds and
// the hostile inputs that were tried on purpose (NUL bytes, huge exponents,
// giant digit strings, degenerate systems), and every input a fuzzer finds
// that exposes a fault.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../fuzz/fuzz_checks.h"

namespace pexmoor::fuzz {
namespace {

using namespace std::string_literals;

enum class Target { Scanner, Run, Render };

struct Case {
    const char* name;
    Target target;
    std::string bytes;
};

// Scanner input: the first byte picks the reads, bit i for read i (1 decimal, 0 integer).
std::string reads(unsigned char pattern, const std::string& text) { return std::string(1, char(pattern)) + text; }

// Renderer input: the double's bits little end first, then width and precision.
std::string rendering(std::uint64_t bits, std::int8_t width, std::int8_t precision)
{
    std::string bytes;
    for (int i = 0; i < 8; ++i) bytes += static_cast<char>((bits >> (8 * i)) & 0xFF);
    return bytes + static_cast<char>(width) + static_cast<char>(precision);
}

constexpr unsigned char kDialogue = 0xFE;  // an integer, then decimals
constexpr unsigned char kDecimals = 0xFF;
constexpr unsigned char kIntegers = 0x00;

std::vector<Case> cases()
{
    const std::string giantDigits(100000, '9');
    const std::string giantZeros(100000, '0');
    return {
        // answer scanner
        {"metric answers", Target::Scanner, reads(kDialogue, "2 1 0 1 2 -1 1 0.05 0.05 1.0 1.0")},
        {"leftovers", Target::Scanner, reads(0x55, "-x 1e+x 1.5.3 0x12 +.5e-3 inf nan .")},
        {"limits", Target::Scanner,
         reads(0xAA, "2147483648 1e309 -2147483649 -1e-400 99999999999 4.9406564584124654e-324 -0 "
                     "2.4703282292062328e-324")},
        {"NUL bytes and high bytes", Target::Scanner, reads(0x0F, "1\0" "2 \0\0" "3.5\xFF\x80 7"s)},
        {"empty", Target::Scanner, reads(kDecimals, "")},
        {"white space only", Target::Scanner, reads(kDecimals, " \t\r\n\v\f")},
        {"signs and points", Target::Scanner, reads(0x5A, "- + +- -. . .e1 1e 1e- 1E+ 0x1p3 ++1 --2")},
        {"huge exponents", Target::Scanner,
         reads(kDecimals, "1e99999999999999999999999 -1e99999999999999999999999 1e-99999999999999999999999 "
                          "0e999999999999999999 1e2147483648 1e-2147483649")},
        {"giant integer", Target::Scanner, reads(kIntegers, giantDigits + " -" + giantDigits + " 0" + giantZeros)},
        {"giant decimal", Target::Scanner,
         reads(kDecimals, giantDigits + " 0." + giantZeros + "1 ." + giantDigits + "e-100000 " + giantDigits +
                              "e-100300 1" + giantZeros + "e-100308")},
        {"halfway beyond the kept digits", Target::Scanner,
         reads(kDecimals, "9007199254740993." + std::string(800, '0') + "1 -9007199254740993." +
                              std::string(790, '0') + "1e-0 9007199254740993." + std::string(2000, '0'))},
        {"near the subnormal halfway point", Target::Scanner,
         reads(kDecimals, "2.4703282292062327208828439643411068618252990130716238221279284125033775363510437593264"
                          "99181808179961898982823477228588654633283551779698981993873980053909390631503565951557"
                          "02214e-324")},

        // whole run
        {"metric worked example", Target::Run, "2 1 0 1 2 -1 1 0.05 0.05 1.0 1.0\n"},
        {"English units", Target::Run, "1\n386 0 386\n1000 -500 500\n0.05 0.05\n0.01 10\n"},
        {"record within the fuzz bound", Target::Run, "2 1 0 1 3 -1 3 0.05 0.05 2.0 1.0"},
        {"no answers", Target::Run, ""},
        {"NUL bytes", Target::Run, "\0\0\0"s},
        {"all zero: not-a-number everywhere", Target::Run, "2 0 0 0 0 0 0 0 0 0 0"},
        {"infinite mass", Target::Run, "2 1e309 0 1 2 -1 1 0.05 0.05 1 1"},
        {"negative mass", Target::Run, "2 -1 0 1 2 -1 1 0.05 0.05 1 1"},
        {"critical damping", Target::Run, "2 1 0 1 2 -1 1 1 1 1 1"},
        {"negative duration", Target::Run, "2 1 0 1 2 -1 1 0.05 0.05 -1 1"},
        {"record too long for a 32-bit count", Target::Run, "2 1 0 1 1e30 0 1e-30 0.05 0.05 1 1"},
        {"far-apart frequencies", Target::Run, "2 1 0 1 1e12 -1 1 0 0 1 1"},
        {"huge amplitude", Target::Run, "1 386 0 386 2000 -1000 1000 0.02 0.02 0.001 -1e300"},
        {"unit beyond 32 bits", Target::Run, "99999999999999999999 1 0 1 2 -1 1 0.05 0.05 1.0 1.0"},

        // number rendering
        {"0.1 to 17 digits: half up on the 18th", Target::Render, rendering(0x3FB999999999999Aull, 24, 16)},
        {"history value", Target::Render, rendering(0xBEE9E3D5F37E5D81ull, 10, 4)},
        {"largest double, longest fixed text", Target::Render, rendering(0x7FEFFFFFFFFFFFFFull, 64, 17)},
        {"smallest subnormal", Target::Render, rendering(0x0000000000000001ull, 64, 17)},
        {"negative zero", Target::Render, rendering(0x8000000000000000ull, 12, 4)},
        {"one half at no decimals", Target::Render, rendering(0x3FE0000000000000ull, 1, 0)},
        {"indefinite", Target::Render, rendering(0xFFF8000000000000ull, 10, 4)},
        {"quiet not-a-number", Target::Render, rendering(0x7FF8000000000001ull, 12, 4)},
        {"negative infinity", Target::Render, rendering(0xFFF0000000000000ull, 14, 17)},
        {"width and precision beyond their ranges", Target::Render, rendering(0x405EDD2F1A9FBE77ull, -7, 100)},
        {"negative precision", Target::Render, rendering(0x4023000000000000ull, 127, -128)},
    };
}

TEST(FuzzRegression, InputsKeepEveryCheck)
{
    for (const Case& c : cases()) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(c.bytes.data());
        std::string violation;
        switch (c.target) {
        case Target::Scanner:
            violation = scannerViolation(data, c.bytes.size());
            break;
        case Target::Run:
            violation = runViolation(*runBounded(data, c.bytes.size()));
            break;
        case Target::Render:
            violation = renderViolation(data, c.bytes.size());
            break;
        }
        EXPECT_EQ(violation, "") << c.name;
    }
}

}  // namespace
}  // namespace pexmoor::fuzz
