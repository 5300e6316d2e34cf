#pragma once
// What the fuzz targets check, shared with the regression test that replays
// their findings. Each check takes the raw fuzz input and returns an empty
// text when the program behaved, otherwise what went wrong.
#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "../tests/number_format_reference.h"
#include "modal/modal.h"
#include "response/response.h"
#include "run/input_scanner.h"
#include "run/number_format.h"
#include "run/run.h"

namespace pexmoor::fuzz {

inline std::string hexBits(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%016llx",
                  static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(value)));
    return text;
}

// ---------------------------------------------------------------- answer scanner

// Reads per input: bit (i mod 8) of the first byte picks a decimal (1) or an
// integer (0) read for read i. Twelve is one more than a dialogue asks for.
inline constexpr int kScannerReads = 12;

// Bytes of the input taken so far: the looked-at byte is not yet taken.
inline std::size_t takenFromText(const InputScanner& in, const char* begin)
{
    const auto* first = reinterpret_cast<const unsigned char*>(begin);
    return static_cast<std::size_t>(in.next - first) - (in.hasLookahead ? 1 : 0);
}

inline std::size_t takenFromStream(const InputScanner& in)
{
    if (in.file == nullptr) return 0;
    return static_cast<std::size_t>(std::ftell(in.file)) - (in.hasLookahead ? 1 : 0);
}

inline bool isSpaceByte(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline bool isDigitByte(char c) { return c >= '0' && c <= '9'; }

// One read of the sequence against what the C library makes of exactly the
// characters it took. `taken` is what the read consumed, `next` the byte
// after it (or -1 at the end of the input).
inline std::string checkTaken(bool decimal, bool ok, std::string_view taken, int next, double real,
                              std::int32_t integer, std::uint64_t untouchedReal, std::int32_t untouchedInteger)
{
    const std::size_t spaces = std::min(taken.find_first_not_of(" \t\n\v\f\r"), taken.size());
    const std::string body(taken.substr(spaces));
    const std::string_view allowed = decimal ? "+-0123456789.eE" : "+-0123456789";
    if (body.find_first_not_of(allowed) != std::string::npos) return "took a byte that cannot be part of a number";
    // A read stops only where the number cannot go on, and always skips all
    // white space before it.
    if (next >= 0 && isDigitByte(static_cast<char>(next))) return "left a digit behind";
    if (body.empty() && next >= 0 && isSpaceByte(static_cast<char>(next))) return "left white space behind";

    if (!ok) {
        if (decimal ? std::bit_cast<std::uint64_t>(real) != untouchedReal : integer != untouchedInteger) {
            return "a failed read changed its target";
        }
        // Nothing but a sign and, for a decimal, a point can be taken in vain.
        const std::size_t sign = !body.empty() && (body[0] == '+' || body[0] == '-') ? 1 : 0;
        const std::string_view rest = std::string_view(body).substr(sign);
        if (!(rest.empty() || (decimal && rest == "."))) return "failed after taking '" + body + "'";
        return {};
    }

    if (!decimal) {
        // strtoll saturates at the 64-bit limits, which lie beyond the 32-bit ones.
        char* end = nullptr;
        const long long wide = std::strtoll(body.c_str(), &end, 10);
        if (end != body.c_str() + body.size()) return "took '" + body + "' beyond the integer";
        const auto expected = static_cast<std::int32_t>(std::clamp<long long>(wide, INT32_MIN, INT32_MAX));
        if (integer != expected) {
            return "integer '" + body + "' read as " + std::to_string(integer) + ", expected " +
                   std::to_string(expected);
        }
        return {};
    }

    // glibc's strtod rounds correctly at any length of digits, as the scanner
    // must; it reads the longest number among the characters, which is what
    // the answer is worth. What it leaves can only be a dangling exponent.
    char* end = nullptr;
    const double expected = std::strtod(body.c_str(), &end);
    const std::string_view dangling(end, static_cast<std::size_t>(body.c_str() + body.size() - end));
    if (!(dangling.empty() || ((dangling[0] == 'e' || dangling[0] == 'E') &&
                               dangling.substr(1).find_first_not_of("+-") == std::string_view::npos &&
                               dangling.size() <= 2))) {
        return "took '" + body + "' beyond the number";
    }
    if (std::bit_cast<std::uint64_t>(real) != std::bit_cast<std::uint64_t>(expected)) {
        return "'" + body.substr(0, 80) + "' read as " + hexBits(real) + ", strtod gives " + hexBits(expected);
    }
    // from_chars, where it gives a value: no leading plus, and it leaves the
    // value alone when out of range.
    const char* first = body.c_str() + (body[0] == '+' ? 1 : 0);
    double parsed = 0.0;
    const std::from_chars_result r = std::from_chars(first, body.c_str() + body.size(), parsed);
    if (r.ec == std::errc{} && std::bit_cast<std::uint64_t>(parsed) != std::bit_cast<std::uint64_t>(real)) {
        return "'" + body.substr(0, 80) + "' read as " + hexBits(real) + ", from_chars gives " + hexBits(parsed);
    }
    return {};
}

// The first byte chooses the reads, the rest is the input. Every read goes to
// the byte range and to the same bytes through a stream; both must agree.
inline std::string scannerViolation(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return {};
    const unsigned pattern = data[0];
    const char* text = reinterpret_cast<const char*>(data + 1);
    const std::size_t n = size - 1;

    InputScanner in;
    scanText(in, text, n);
    InputScanner viaStream;
    // fmemopen refuses an empty buffer; no stream is read as no input.
    std::FILE* stream = n > 0 ? fmemopen(const_cast<char*>(text), n, "rb") : nullptr;
    scanFile(viaStream, stream);

    std::string violation;
    constexpr std::uint64_t kUntouchedReal = 0x0123456789ABCDEFull;
    constexpr std::int32_t kUntouchedInteger = -123456789;
    for (int i = 0; i < kScannerReads && violation.empty(); ++i) {
        const bool decimal = ((pattern >> (i % 8)) & 1u) != 0;
        const std::size_t before = takenFromText(in, text);
        double real = std::bit_cast<double>(kUntouchedReal), realViaStream = real;
        std::int32_t integer = kUntouchedInteger, integerViaStream = integer;
        bool ok = false, okViaStream = false;
        if (decimal) {
            ok = readDouble(in, real);
            okViaStream = readDouble(viaStream, realViaStream);
        } else {
            ok = readInteger(in, integer);
            okViaStream = readInteger(viaStream, integerViaStream);
        }
        const std::size_t after = takenFromText(in, text);
        const std::string what = "read " + std::to_string(i) + (decimal ? " (decimal): " : " (integer): ");
        if (ok != okViaStream || std::bit_cast<std::uint64_t>(real) != std::bit_cast<std::uint64_t>(realViaStream) ||
            integer != integerViaStream || after != takenFromStream(viaStream)) {
            violation = what + "the stream and the byte range disagree";
            break;
        }
        if (after < before || after > n) {
            violation = what + "the position went astray";
            break;
        }
        const int next = after < n ? static_cast<unsigned char>(text[after]) : -1;
        violation = checkTaken(decimal, ok, std::string_view(text + before, after - before), next, real, integer,
                               kUntouchedReal, kUntouchedInteger);
        if (!violation.empty()) violation = what + violation;
    }
    if (stream != nullptr) std::fclose(stream);
    return violation;
}

// ---------------------------------------------------------------- whole run

// Steps written at most. A record is ten periods of mode 1 at a hundred steps
// per period of mode 2, so two far-apart frequencies give hundreds of
// millions of lines: a legal run, but seconds to minutes each, which would
// stall the fuzzer on every such input. Past this bound the record is cut.
// Two thousand steps cross the channel buffer several times over and keep
// the fuzzer at thousands of runs a second, ten times more than at 12000.
inline constexpr std::int32_t kFuzzMaxSteps = 2000;

struct BoundedRun {
    std::string console, results, displacement, acceleration;
    std::int32_t nt = 0;  // the steps of the record as written
};

// The run with standard input from the bytes and every channel in memory,
// the record cut to maxSteps between the analysis and the records.
inline std::unique_ptr<BoundedRun> runBounded(const std::uint8_t* data, std::size_t size,
                                              std::int32_t maxSteps = kFuzzMaxSteps)
{
    auto run = std::make_unique<BoundedRun>();
    auto state = std::make_unique<RunState>();
    RunState& s = *state;
    s.console.memory = &run->console;
    s.outFile[kResultsFile].memory = &run->results;
    s.outFile[kDisplacementFile].memory = &run->displacement;
    s.outFile[kAccelerationFile].memory = &run->acceleration;
    scanText(s.input, reinterpret_cast<const char*>(data), size);
    runAnalysis(s);
    s.nt = std::min(s.nt, maxSteps);
    runRecords(s);
    run->nt = s.nt;
    return run;
}

inline const char* const kBanner =
    "\r\n\r\n pexmoor  ver 1.0 \r\n August 17, 2005\r\n"
    " Two-mass half-sine base response; see README.md for its use \r\n";

inline std::size_t countLines(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

inline std::string runViolation(const BoundedRun& run)
{
    const struct {
        const char* name;
        const std::string* text;
    } channels[] = {{"console", &run.console},
                    {"results file", &run.results},
                    {"displacement file", &run.displacement},
                    {"acceleration file", &run.acceleration}};
    for (const auto& c : channels) {
        const std::string& t = *c.text;
        for (std::size_t at = t.find('\n'); at != std::string::npos; at = t.find('\n', at + 1)) {
            if (at == 0 || t[at - 1] != '\r') return std::string(c.name) + ": a line end without CR";
        }
        // Non-finite values are written 1.#INF, 1.#IND, 1.#QNAN, never as the C library spells them.
        for (const char* word : {"nan", "inf", "NaN", "Inf"}) {
            if (t.find(word) != std::string::npos) return std::string(c.name) + ": '" + word + "' written";
        }
    }
    if (run.results.rfind(kBanner, 0) != 0) return "the results file does not start with the banner";

    const std::size_t steps = run.nt > 0 ? static_cast<std::size_t>(run.nt) : 0;
    const std::size_t displacementLines = countLines(run.displacement);
    const std::size_t accelerationLines = countLines(run.acceleration);
    if (displacementLines != steps || accelerationLines != steps) {
        return "time histories of " + std::to_string(displacementLines) + " and " +
               std::to_string(accelerationLines) + " lines for nt = " + std::to_string(run.nt);
    }
    for (const std::string* t : {&run.displacement, &run.acceleration}) {
        if (!t->empty() && t->back() != '\n') return "a time history ends inside a line";
    }
    return {};
}

// ---------------------------------------------------------------- number rendering

// Bytes 0-7: the double's bit pattern (little end first); byte 8: the width,
// byte 9: the precision, each as a signed byte so that values outside the
// taken ranges test the clamping. Bytes 0-3 also give a 32-bit integer.
inline std::string renderViolation(const std::uint8_t* data, std::size_t size)
{
    if (size < 8) return {};
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | data[i];
    const double value = std::bit_cast<double>(bits);
    const int width = size > 8 ? static_cast<std::int8_t>(data[8]) : 12;
    const int precision = size > 9 ? static_cast<std::int8_t>(data[9]) : 4;
    const int takenWidth = std::clamp(width, 0, 64);
    const int takenPrecision = std::clamp(precision, 0, 17);

    // Exactly the promised room, on the heap, so that a longer text is an overrun.
    const auto out = std::make_unique<char[]>(kMaxNumberText);
    const std::string conversion =
        "%" + std::to_string(width) + "." + std::to_string(precision) + " of " + hexBits(value) + ": ";

    const std::string fixed(out.get(), renderFixed(out.get(), value, width, precision));
    const std::string fixedExpected = reference::fixed(value, takenWidth, takenPrecision);
    if (fixed != fixedExpected) return conversion + "f gives '" + fixed + "', expected '" + fixedExpected + "'";

    const std::string exponent(out.get(), renderExponent(out.get(), value, width, precision));
    const std::string exponentExpected = reference::exponent(value, takenWidth, takenPrecision);
    if (exponent != exponentExpected) {
        return conversion + "e gives '" + exponent + "', expected '" + exponentExpected + "'";
    }

    const auto integerValue = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
    const std::string integer(out.get(), renderInteger(out.get(), integerValue, width));
    char integerExpected[96];
    std::snprintf(integerExpected, sizeof integerExpected, "%*ld", takenWidth, static_cast<long>(integerValue));
    if (integer != integerExpected) {
        return "%" + std::to_string(width) + "ld of " + std::to_string(integerValue) + " gives '" + integer +
               "', expected '" + integerExpected + "'";
    }
    return {};
}

}  // namespace pexmoor::fuzz
