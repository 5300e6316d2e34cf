// The number renderer on every bit pattern of a double, at any width and
// precision, against the plain exact reference.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string violation = pexmoor::fuzz::renderViolation(data, size);
    if (!violation.empty()) {
        std::fprintf(stderr, "number rendering: %s\n", violation.c_str());
        std::abort();
    }
    return 0;
}
