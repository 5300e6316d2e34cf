#pragma once
// One output channel of a run: the console or one of the output files.
// Text collects in the channel's own buffer and goes out when the buffer is
// full, when the channel is flushed, and after every write on a terminal.
#include <cstddef>
#include <cstdio>
#include <string>

namespace pexmoor {

inline constexpr std::size_t kChannelBuffer = 16384;

struct Channel {
    std::FILE* file = nullptr;       // the open stream; null when the open failed
    std::string* memory = nullptr;   // instead of a stream: text kept in memory
    bool flushEachWrite = false;     // the console on a terminal
    bool writeFailed = false;        // a write or the close failed
    std::size_t used = 0;
    char buffer[kChannelBuffer];
};

inline bool isOpen(const Channel& c) { return c.file != nullptr || c.memory != nullptr; }

// Writes out what the buffer holds.
void flushChannel(Channel& c);

// Room for n more bytes (n <= kChannelBuffer) at the end of the buffer.
inline char* reserveBytes(Channel& c, std::size_t n)
{
    if (kChannelBuffer - c.used < n) flushChannel(c);
    return c.buffer + c.used;
}

// Appends bytes as they are; no line-end translation.
void putBytes(Channel& c, const char* bytes, std::size_t n);

// Writes out and closes the stream; the channel is closed afterwards.
// Returns false when any write or the close itself failed.
bool closeChannel(Channel& c);

}  // namespace pexmoor
