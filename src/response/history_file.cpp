#include <cstring>

#include "run/number_format.h"
#include "response/response.h"

namespace pexmoor {

// The hot loop of the program: the line is put together straight in the
// channel's buffer. Its format is
//     " %12.5e  \t %10.4e \t  %10.4e \n"
// with the line end written as CR LF.
void writeHistoryLine(Channel& file, double t, double mass1, double mass2)
{
    if (!isOpen(file)) return;
    char* out = reserveBytes(file, 3 * kMaxNumberText + 16);
    char* p = out;
    *p++ = ' ';
    p += renderExponent(p, t, 12, 5);
    std::memcpy(p, "  \t ", 4);
    p += 4;
    p += renderExponent(p, mass1, 10, 4);
    std::memcpy(p, " \t  ", 4);
    p += 4;
    p += renderExponent(p, mass2, 10, 4);
    std::memcpy(p, " \r\n", 3);
    p += 3;
    file.used += static_cast<std::size_t>(p - out);
}

}  // namespace pexmoor
