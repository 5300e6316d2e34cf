// Hostile conditions end to end: unopenable and unwritable files, a closed
// or abandoned console, absurd input. Every run must reach its end, keep the
// files it could write complete and report the ones it could not.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "run_harness.h"

namespace pexmoor::testing {
namespace {

const char* const kFiles[] = {"quelby.out", "rel_disp.out", "accel.out"};
const char* const kMetricAnswers = "2 1 0 1 2 -1 1 0.05 0.05 1.0 1.0\n";

void makeDirectory(const TempFolder& f, const char* name) { std::filesystem::create_directory(f / name); }

void makeReadOnlyFile(const TempFolder& f, const char* name)
{
    writeFile(f / name, "old contents\r\n");
    std::filesystem::permissions(f / name, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                               std::filesystem::perms::others_read);
}

void linkToFull(const TempFolder& f, const char* name) { std::filesystem::create_symlink("/dev/full", f / name); }

struct Case {
    std::string name;
    std::function<void(const TempFolder&)> setup;
    std::string input;
    RunOptions options;
    std::vector<std::string> unopenable;  // files reported as failed to open
    std::vector<std::string> unwritable;  // files reported as failed to write
};

std::vector<Case> faultCases()
{
    std::vector<Case> cases;
    for (const char* name : kFiles) {
        cases.push_back({std::string("directory named ") + name, [name](const TempFolder& f) { makeDirectory(f, name); },
                         kMetricAnswers, {}, {name}, {}});
        cases.push_back({std::string("read-only ") + name, [name](const TempFolder& f) { makeReadOnlyFile(f, name); },
                         kMetricAnswers, {.unprivileged = true}, {name}, {}});
        cases.push_back({std::string(name) + " leads to a full disk",
                         [name](const TempFolder& f) { linkToFull(f, name); }, kMetricAnswers, {}, {}, {name}});
    }
    cases.push_back({"read-only working folder",
                     [](const TempFolder& f) {
                         std::filesystem::permissions(f.path, std::filesystem::perms::owner_read |
                                                                  std::filesystem::perms::owner_exec |
                                                                  std::filesystem::perms::others_read |
                                                                  std::filesystem::perms::others_exec);
                     },
                     kMetricAnswers,
                     {.unprivileged = true},
                     {kFiles[0], kFiles[1], kFiles[2]},
                     {}});
    cases.push_back({"standard output closed", nullptr, kMetricAnswers, {.console = Console::Closed}, {}, {}});
    cases.push_back(
        {"console pipe whose reader has gone", nullptr, kMetricAnswers, {.console = Console::PipeReaderGone}, {}, {}});
    cases.push_back({"standard input closed", nullptr, "", {.closedInput = true}, {}, {}});
    return cases;
}

// Lines a complete time-history file of the metric example holds.
constexpr std::size_t kExampleLines = 10166;

TEST(Faults, FilesAndChannelsThatFail)
{
    for (const Case& c : faultCases()) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        if (c.options.unprivileged) {
            // "nobody" must reach the folder to write into it.
            std::filesystem::permissions(folder.path, std::filesystem::perms::all);
        }
        if (c.setup) c.setup(folder);
        ProgramRun run = runProgram(folder, c.input, c.options);
        auto listed = [](const std::vector<std::string>& names, const char* name) {
            return std::find(names.begin(), names.end(), name) != names.end();
        };
        EXPECT_EQ(run.status, 255) << "the run ends at the key wait without a terminal";
        if (c.options.console == Console::File) {
            EXPECT_NE(run.console.find(" Output Files: "), std::string::npos) << run.console;
            for (const char* name : kFiles) {
                const std::string opened = std::string(" Failed to open file: ") + name + " \r\n";
                const std::string written = std::string(" Failed to write file: ") + name + " \r\n";
                EXPECT_EQ(run.console.find(opened) != std::string::npos, listed(c.unopenable, name)) << name;
                EXPECT_EQ(run.console.find(written) != std::string::npos, listed(c.unwritable, name)) << name;
            }
        }
        if (c.input.empty()) continue;
        // Every file that could be written is complete.
        for (const char* name : {kFiles[1], kFiles[2]}) {
            if (listed(c.unopenable, name) || listed(c.unwritable, name)) continue;
            EXPECT_EQ(splitLines(readFile(folder / name)).size(), kExampleLines) << name;
        }
        if (!listed(c.unopenable, kFiles[0]) && !listed(c.unwritable, kFiles[0])) {
            EXPECT_NE(readFile(folder / "quelby.out").find(" Total Modal Mass =       2.0000 kg\r\n"),
                      std::string::npos);
        }
    }
}

TEST(Faults, AbsurdInputEndsTheRunCleanly)
{
    std::mt19937 rng(6);
    std::string binary(1 << 20, '\0');
    for (char& b : binary) b = static_cast<char>(rng());
    struct Input {
        const char* name;
        std::string bytes;
    };
    const Input inputs[] = {
        {"ten-million-digit mass", "2 1" + std::string(10'000'000, '0') + " 0 1 2 -1 1 0.05 0.05 1 1\n"},
        {"ten-million-character word", "2 " + std::string(10'000'000, 'x')},
        {"NUL bytes between answers", std::string("2\0 1 0 1", 8)},
        {"random binary input", binary},
    };
    for (const Input& in : inputs) {
        SCOPED_TRACE(in.name);
        TempFolder folder;
        ProgramRun run = runProgram(folder, in.bytes, {.timeoutSeconds = 60});
        EXPECT_EQ(run.status, 255);
        EXPECT_NE(run.console.find("\r\n\r\n Press any key to exit.\r\n\r\n"), std::string::npos);
        for (const char* name : kFiles) EXPECT_TRUE(std::filesystem::is_regular_file(folder / name)) << name;
    }
}

}  // namespace
}  // namespace pexmoor::testing
