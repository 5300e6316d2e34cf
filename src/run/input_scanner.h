#pragma once
// The reader of the dialogue's answers: formatted reads of a signed 32-bit
// integer and of a double from standard input, with one byte of lookahead.
//
// A read skips white space, then takes characters while they can continue
// the number; the first one that cannot stays in the input for the next read.
// Characters taken stay consumed even when they make no number ("-x" loses
// its "-"). A failed read returns false and leaves its target untouched; the
// end of the input and read errors just mean that no more answers come.
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace pexmoor {

struct InputScanner {
    std::FILE* file = nullptr;              // the stream, or null for a byte range
    const unsigned char* next = nullptr;    // the byte range still to read
    const unsigned char* end = nullptr;
    int lookahead = 0;                      // the byte looked at but not yet taken
    bool hasLookahead = false;
    bool atEnd = false;                     // the source is exhausted or failed; it stays so
};

// Reads from a stream (standard input in a run).
void scanFile(InputScanner& in, std::FILE* file);

// Reads from n bytes in memory (NUL bytes included); they must outlive the reads.
void scanText(InputScanner& in, const char* data, std::size_t n);

// "%ld": [sign] digits. A value beyond the 32-bit range reads as the nearest
// limit, all its digits consumed.
bool readInteger(InputScanner& in, std::int32_t& value);

// "%lf": [sign] digits [. [digits]] [(e|E) [sign] digits], or [sign] . digits
// and the rest; correctly rounded. A number beyond the double range reads as
// an infinity of its sign, one below it as a zero of its sign.
bool readDouble(InputScanner& in, double& value);

}  // namespace pexmoor
