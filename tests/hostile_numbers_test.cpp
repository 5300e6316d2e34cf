// Systems that break the physics: every run completes, every channel writes
// the special texts for infinite and not-a-number values, and the record
// length follows the time-grid rules.
#include <gtest/gtest.h>

#include <string>

#include "run_harness.h"

namespace pexmoor::testing {
namespace {

// The C library's spellings must never reach an output.
void expectOnlySpecialTexts(const std::string& text, const char* channel)
{
    for (const char* word : {"nan", "NaN", "NAN", "inf", "Inf"}) {
        EXPECT_EQ(text.find(word), std::string::npos) << channel << " holds " << word;
    }
}

TEST(HostileNumbers, RunsCompleteWithSpecialTexts)
{
    struct Case {
        const char* name;
        const char* answers;
        std::int32_t nt;
        const char* consoleHolds;  // a text the console report must show
        bool historiesNotANumber;  // every value column not-a-number
    };
    const Case cases[] = {
        {"singular mass matrix", "2 1 0 0 2 -1 1 0.05 0.05 1 1", 0, " eig2 =         1.#INF", false},
        {"indefinite mass matrix", "2 1 2 1 2 -1 1 0.05 0.05 1 1", 17098, " omegan2 =        -1.#IND rad/sec", true},
        {"negative stiffness", "2 1 0 1 -2 -1 1 0.05 0.05 1 1", 120, " omegan1 =        -1.#IND rad/sec", true},
        {"critical damping", "2 1 0 1 2 -1 1 1 1 1 1", 10166, " eig1 =         0.3820", true},
        {"damping above critical", "2 1 0 1 2 -1 1 2.5 0.05 1 1", 10166, " eig1 =         0.3820", true},
        {"zero duration", "2 1 0 1 2 -1 1 0.05 0.05 0 1", 0, " fn2 =         0.2575 Hz", false},
        {"negative duration", "2 1 0 1 2 -1 1 0.05 0.05 -1 1", -10166, " fn2 =         0.2575 Hz", false},
        {"masses near the largest double", "2 1e300 0 1e300 2e300 -1e300 1e300 0.05 0.05 1 1", 120,
         " eig1 =        -1.#IND", true},
        {"masses near the smallest double", "2 1e-300 0 1e-300 2 -1 1 0.05 0.05 1 1", 0, " eig1 =         1.#INF",
         false},
        {"amplitude beyond the double range in G", "1 386 0 386 2 -1 1 0.05 0.05 1 1e307", 10166,
         " eig1 =         0.3820", true},
        {"duration too long for any record", "2 1 0 1 2 -1 1 0.05 0.05 1e308 1", 0, " fn1 =         0.0984 Hz",
         false},
        {"duration read as infinite", "2 1 0 1 2 -1 1 0.05 0.05 1e400 1", 0, " fn1 =         0.0984 Hz", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto run = runInProcess(std::string(c.answers) + "\n");
        EXPECT_EQ(run->state->nt, c.nt);
        EXPECT_NE(run->console.find(c.consoleHolds), std::string::npos) << run->console;
        EXPECT_NE(run->console.find("Press any key to exit."), std::string::npos);
        expectOnlySpecialTexts(run->console, "console");
        expectOnlySpecialTexts(run->results, "results file");
        expectOnlySpecialTexts(run->displacement, "displacement file");
        expectOnlySpecialTexts(run->acceleration, "acceleration file");
        const std::size_t lines = c.nt > 0 ? static_cast<std::size_t>(c.nt) : 0;
        for (const std::string* file : {&run->displacement, &run->acceleration}) {
            const std::vector<std::string> text = splitLines(*file);
            ASSERT_EQ(text.size(), lines);
            if (c.historiesNotANumber) {
                for (const std::string& line : text) {
                    ASSERT_NE(line.find("1.#", 17), std::string::npos) << line;
                    ASSERT_NE(line.find("1.#", line.find("1.#", 17) + 3), std::string::npos) << line;
                }
            }
        }
    }
}

}  // namespace
}  // namespace pexmoor::testing
