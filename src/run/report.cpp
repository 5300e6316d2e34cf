#include "run/report.h"

#include <cstring>

#include "run/number_format.h"

namespace pexmoor {

namespace {

int readNumber(const char*& f)
{
    int n = 0;
    while (*f >= '0' && *f <= '9') {
        n = n * 10 + (*f - '0');
        ++f;
    }
    return n;
}

// Literal text of a format: each "\n" becomes CR LF, every other byte stays.
void putLiteral(Channel& c, const char* from, const char* to)
{
    while (from < to) {
        const char* nl = static_cast<const char*>(std::memchr(from, '\n', static_cast<std::size_t>(to - from)));
        const char* end = nl != nullptr ? nl : to;
        putBytes(c, from, static_cast<std::size_t>(end - from));
        if (nl == nullptr) break;
        putBytes(c, "\r\n", 2);
        from = nl + 1;
    }
}

}  // namespace

void putFormatted(Channel& c, const char* format, const FormatArg* args, std::size_t count)
{
    if (!isOpen(c)) return;
    const char* f = format;
    std::size_t next = 0;
    while (*f != '\0') {
        const char* pct = std::strchr(f, '%');
        if (pct == nullptr) {
            putLiteral(c, f, f + std::strlen(f));
            break;
        }
        putLiteral(c, f, pct);
        f = pct + 1;
        int width = readNumber(f);
        int precision = 6;
        if (*f == '.') {
            ++f;
            precision = readNumber(f);
        }
        if (*f == 'l') ++f;
        const char conversion = *f++;
        if (next >= count) break;
        const FormatArg& a = args[next++];
        char* out = reserveBytes(c, kMaxNumberText);
        switch (conversion) {
        case 'f':
            c.used += renderFixed(out, a.real, width, precision);
            break;
        case 'e':
            c.used += renderExponent(out, a.real, width, precision);
            break;
        case 'd':
            c.used += renderInteger(out, a.integer, width);
            break;
        case 's': {
            std::size_t n = std::strlen(a.text);
            for (std::size_t pad = n; pad < static_cast<std::size_t>(width); ++pad) putBytes(c, " ", 1);
            putBytes(c, a.text, n);
            break;
        }
        default:
            break;
        }
    }
    if (c.flushEachWrite) flushChannel(c);
}

}  // namespace pexmoor
