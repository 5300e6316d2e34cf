// The answer scanner on arbitrary bytes: a sequence of integer and decimal
// reads chosen by the first byte, each checked against the C library's
// reading of exactly the characters it took.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string violation = pexmoor::fuzz::scannerViolation(data, size);
    if (!violation.empty()) {
        std::fprintf(stderr, "answer scanner: %s\n", violation.c_str());
        std::abort();
    }
    return 0;
}
