#include "run/channel.h"

#include <cstring>

namespace pexmoor {

void flushChannel(Channel& c)
{
    if (c.used == 0) return;
    if (c.memory != nullptr) {
        c.memory->append(c.buffer, c.used);
    } else if (c.file != nullptr && !c.writeFailed) {
        // After a failed write the stream stays unwritten: a full disk is
        // reported once at the end, not retried line by line.
        if (std::fwrite(c.buffer, 1, c.used, c.file) != c.used || std::fflush(c.file) != 0) {
            c.writeFailed = true;
        }
    }
    c.used = 0;
}

void putBytes(Channel& c, const char* bytes, std::size_t n)
{
    if (!isOpen(c)) return;
    while (n > 0) {
        std::size_t room = kChannelBuffer - c.used;
        if (room == 0) {
            flushChannel(c);
            room = kChannelBuffer;
        }
        std::size_t take = n < room ? n : room;
        std::memcpy(c.buffer + c.used, bytes, take);
        c.used += take;
        bytes += take;
        n -= take;
    }
}

bool closeChannel(Channel& c)
{
    flushChannel(c);
    if (c.file != nullptr) {
        if (std::fclose(c.file) != 0) c.writeFailed = true;
        c.file = nullptr;
    }
    c.memory = nullptr;
    return !c.writeFailed;
}

}  // namespace pexmoor
