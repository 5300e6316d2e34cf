// Formatted writes: conversions, CR LF line ends, buffering and channels
// that are not open.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "response/response.h"
#include "run/report.h"

namespace pexmoor {
namespace {

struct MemoryChannel {
    std::string text;
    Channel channel;
    MemoryChannel() { channel.memory = &text; }
    const std::string& flushed()
    {
        flushChannel(channel);
        return text;
    }
};

TEST(FormattedWrite, PiecesAndLineEnds)
{
    struct Case {
        void (*write)(Channel&);
        std::string expected;
    };
    const Case cases[] = {
        {[](Channel& c) { put(c, "\n\n Enter m11 %s\n", "(kg)"); }, "\r\n\r\n Enter m11 (kg)\r\n"},
        {[](Channel& c) { put(c, "\n\n Enter modal damping ratio %ld \n", std::int32_t{2}); },
         "\r\n\r\n Enter modal damping ratio 2 \r\n"},
        {[](Channel& c) { put(c, "\n eig1 = %14.4f", 0.3819660112501051); }, "\r\n eig1 =         0.3820"},
        {[](Channel& c) { put(c, "%12.4lf  ", 386.0); }, "    386.0000  "},
        {[](Channel& c) { put(c, " %12.5e  \t %10.4e \t  %10.4e \n", 0.0, -0.00005, 2e300); },
         " 0.00000e+000  \t -5.0000e-005 \t  2.0000e+300 \r\n"},
        {[](Channel& c) { put(c, " %s  %s\n", "rel_disp.out", "(m)"); }, " rel_disp.out  (m)\r\n"},
        {[](Channel& c) { put(c, "no line end"); }, "no line end"},
    };
    for (const Case& c : cases) {
        MemoryChannel m;
        c.write(m.channel);
        EXPECT_EQ(m.flushed(), c.expected);
    }
}

TEST(FormattedWrite, HistoryLineMatchesItsFormat)
{
    const double values[][3] = {{0.0, 0.0, -0.0}, {1.01650e2, -2.9119e-1, 5.3775e-2}, {0.9, 1e-300, -1e300}};
    for (const auto& v : values) {
        MemoryChannel fast, general;
        writeHistoryLine(fast.channel, v[0], v[1], v[2]);
        put(general.channel, " %12.5e  \t %10.4e \t  %10.4e \n", v[0], v[1], v[2]);
        EXPECT_EQ(fast.flushed(), general.flushed());
    }
}

TEST(FormattedWrite, ChannelThatIsNotOpenTakesNothing)
{
    Channel closed;
    put(closed, "\n eig1 = %14.4f", 1.0);
    writeHistoryLine(closed, 0.0, 1.0, 2.0);
    EXPECT_EQ(closed.used, 0u);
    EXPECT_TRUE(closeChannel(closed));
}

TEST(FormattedWrite, TextLongerThanTheBufferArrivesWhole)
{
    MemoryChannel m;
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        put(m.channel, "%12.4f   \n", i * 0.5);
        char line[32];
        std::snprintf(line, sizeof line, "%12.4f   \r\n", i * 0.5);
        expected += line;
    }
    EXPECT_EQ(m.flushed(), expected);
}

}  // namespace
}  // namespace pexmoor
