// The built program on a terminal: answers piped in, the key read from the
// terminal, the files complete on disk while the key prompt waits.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>

#include <chrono>

#include "run_harness.h"

namespace pexmoor::testing {
namespace {

struct TerminalRun {
    pid_t child = -1;
    int master = -1;
    std::string screen;
};

// Starts the program on a new pseudo-terminal, its standard input a pipe
// that carries `answers`, and reads the screen until the key prompt shows.
bool startAtKeyPrompt(const TempFolder& folder, const std::string& answers, TerminalRun& run)
{
    int answerPipe[2];
    if (pipe(answerPipe) != 0) return false;
    run.child = forkpty(&run.master, nullptr, nullptr, nullptr);
    if (run.child == 0) {
        dup2(answerPipe[0], 0);
        close(answerPipe[0]);
        close(answerPipe[1]);
        if (chdir(folder.path.c_str()) != 0) _exit(120);
        execl(PEXMOOR_EXE, PEXMOOR_EXE, static_cast<char*>(nullptr));
        _exit(121);
    }
    close(answerPipe[0]);
    if (write(answerPipe[1], answers.data(), answers.size()) != static_cast<ssize_t>(answers.size())) return false;
    close(answerPipe[1]);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    char buffer[4096];
    while (run.screen.find("Press any key to exit.") == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        pollfd p{run.master, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        ssize_t n = read(run.master, buffer, sizeof buffer);
        if (n <= 0) return false;
        run.screen.append(buffer, static_cast<std::size_t>(n));
    }
    // The prompt is out; wait until the terminal is in its raw mode.
    termios mode{};
    while (tcgetattr(run.master, &mode) == 0 && (mode.c_lflag & ICANON) != 0) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        usleep(5000);
    }
    return true;
}

int waitForExit(TerminalRun& run)
{
    int status = 0;
    for (int waited = 0; waitpid(run.child, &status, WNOHANG) == 0; waited += 5) {
        if (waited > 30000) {
            kill(run.child, SIGKILL);
            waitpid(run.child, &status, 0);
            break;
        }
        usleep(5000);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

const char* const kAnswers = "2 1 0 1 2 -1 1 0.05 0.05 1.0 1.0\n";

TEST(KeyWaitOnTerminal, FilesCompleteWhileTheKeyPromptWaits)
{
    TempFolder folder;
    TerminalRun run;
    ASSERT_TRUE(startAtKeyPrompt(folder, kAnswers, run)) << run.screen;
    EXPECT_EQ(splitLines(readFile(folder / "rel_disp.out")).size(), 10166u);
    EXPECT_EQ(splitLines(readFile(folder / "accel.out")).size(), 10166u);
    const std::string results = readFile(folder / "quelby.out");
    const std::string lastLines = "\r\n\r\n Total Modal Mass =       2.0000 kg\r\n";
    ASSERT_GE(results.size(), lastLines.size());
    EXPECT_EQ(results.substr(results.size() - lastLines.size()), lastLines);

    ASSERT_EQ(write(run.master, " ", 1), 1);
    EXPECT_EQ(waitForExit(run), 32) << "the space bar, read at the terminal, not from the answer pipe";
    termios mode{};
    ASSERT_EQ(tcgetattr(run.master, &mode), 0);
    EXPECT_NE(mode.c_lflag & ECHO, 0u);
    EXPECT_NE(mode.c_lflag & ICANON, 0u);
    close(run.master);
}

TEST(KeyWaitOnTerminal, KeysGiveTheirCodes)
{
    struct Case {
        const char* name;
        std::string bytes;
        int status;
    };
    const Case cases[] = {
        {"Enter", "\r", 13},
        {"Ctrl+C", "\x03", 3},
        {"arrow up", "\x1b[A", 224},
        {"F1", "\x1bOP", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        TerminalRun run;
        ASSERT_TRUE(startAtKeyPrompt(folder, kAnswers, run)) << run.screen;
        ASSERT_EQ(write(run.master, c.bytes.data(), c.bytes.size()), static_cast<ssize_t>(c.bytes.size()));
        EXPECT_EQ(waitForExit(run), c.status);
        close(run.master);
    }
}

TEST(KeyWaitOnTerminal, TerminationDuringTheWaitRestoresTheTerminal)
{
    for (int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        TempFolder folder;
        TerminalRun run;
        ASSERT_TRUE(startAtKeyPrompt(folder, kAnswers, run)) << run.screen;
        kill(run.child, signal);
        EXPECT_EQ(waitForExit(run), 128 + signal);
        termios mode{};
        ASSERT_EQ(tcgetattr(run.master, &mode), 0);
        EXPECT_NE(mode.c_lflag & ECHO, 0u);
        EXPECT_NE(mode.c_lflag & ICANON, 0u);
        EXPECT_EQ(splitLines(readFile(folder / "accel.out")).size(), 10166u);
        close(run.master);
    }
}

}  // namespace
}  // namespace pexmoor::testing
