// The whole run from the dialogue to the reports: the bytes are standard
// input, every channel is kept in memory, and the reports must keep their
// CR LF line ends, their banner, the 1.#... spellings of non-finite values
// and one time-history line per step in each file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto run = pexmoor::fuzz::runBounded(data, size);
    const std::string violation = pexmoor::fuzz::runViolation(*run);
    if (!violation.empty()) {
        std::fprintf(stderr, "run: %s\n", violation.c_str());
        std::abort();
    }
    return 0;
}
