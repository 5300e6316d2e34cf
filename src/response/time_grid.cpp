#include <cmath>

#include "response/response.h"

namespace pexmoor {

namespace {

enum class Count { Fits, TooLong };

// Cuts toward zero to a signed 32-bit count; no finite count is 0.
Count truncateCount(double quotient, std::int32_t& nt)
{
    if (!std::isfinite(quotient)) {
        nt = 0;
        return Count::Fits;
    }
    if (quotient >= 2147483648.0 || quotient <= -2147483649.0) {
        nt = 0;
        return Count::TooLong;
    }
    nt = static_cast<std::int32_t>(quotient);
    return Count::Fits;
}

}  // namespace

void computeTimeGrid(RunState& s)
{
    // A hundred steps per period of mode 2 ...
    s.dt = (1.0 / (s.omegan[1] / s.tpi)) * 0.01;
    // ... or a hundred over the pulse when it would get fewer than fifty.
    // A comparison with a not-a-number side counts as satisfied.
    if (!(s.dur * 0.02 >= s.dt)) s.dt = s.dur * 0.01;

    // Ten periods of mode 1, or 1.2 pulse durations when the pulse is longer.
    const double T1 = s.tpi / s.omegan[0];
    double quotient = (T1 * 10.0) / s.dt;
    if (!(T1 >= s.dur)) quotient = (s.dur * 1.2) / s.dt;

    if (truncateCount(quotient, s.nt) == Count::TooLong) {
        put(s.console, " Time history too long: no lines written. \n");
    }
}

}  // namespace pexmoor
