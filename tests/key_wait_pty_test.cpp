// The key wait driven through a pseudo-terminal: a forked child takes the
// pty as its controlling terminal, waits for a key and exits with the result;
// the parent types at the master side and watches the mode from the slave.
#include "platform/key_wait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace pexmoor {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kTimeLimit = 10s;  // nothing here may take longer; a child that does is killed

struct ChildSetup {
    bool controllingTerminal = true;
    int standardInput = -1;       // put on the child's stdin when >= 0
    bool ignoreHangup = false;    // SIGHUP ignored, as under nohup
    bool holdBackHangup = false;  // SIGHUP blocked by the caller of the wait
    int caughtSignal = 0;         // a signal the child catches with a handler that returns
};

extern "C" void catchSignal(int) {}

[[noreturn]] void runChild(int master, int slave, const ChildSetup& setup)
{
    close(master);
    for (int s : {SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGUSR1}) signal(s, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    if (setsid() < 0) abort();
    if (setup.controllingTerminal && ioctl(slave, TIOCSCTTY, 0) != 0) abort();
    close(slave);
    if (setup.standardInput >= 0 && dup2(setup.standardInput, STDIN_FILENO) < 0) abort();
    if (setup.ignoreHangup) signal(SIGHUP, SIG_IGN);
    if (setup.holdBackHangup) {
        sigset_t hangup;
        sigemptyset(&hangup);
        sigaddset(&hangup, SIGHUP);
        sigprocmask(SIG_BLOCK, &hangup, nullptr);
    }
    if (setup.caughtSignal != 0) {
        struct sigaction action{};
        action.sa_handler = catchSignal;
        sigemptyset(&action.sa_mask);
        sigaction(setup.caughtSignal, &action, nullptr);
    }
    _exit(waitForKey());
}

// One child waiting for a key on its own pty. The destructor kills and reaps
// a child that is still there, so a failed check never leaves one behind.
class KeyWaitChild {
public:
    explicit KeyWaitChild(const ChildSetup& setup = {})
    {
        if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) return;
        tcgetattr(slave_, &before_);
        pid_ = fork();
        if (pid_ == 0) runChild(master_, slave_, setup);
    }

    ~KeyWaitChild()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (master_ >= 0) close(master_);
        if (slave_ >= 0) close(slave_);
    }

    bool started() const { return pid_ > 0 && slave_ >= 0; }

    termios mode() const
    {
        termios now{};
        tcgetattr(slave_, &now);
        return now;
    }

    bool inRawMode() const
    {
        termios now = mode();
        return (now.c_lflag & (ICANON | ECHO | ISIG)) == 0;
    }

    // True once the child has put its terminal into raw mode, that is, once it waits for the key.
    bool waitUntilRaw() const
    {
        for (auto end = Clock::now() + kTimeLimit; Clock::now() < end; std::this_thread::sleep_for(2ms)) {
            if (inRawMode()) return true;
        }
        return false;
    }

    bool send(std::string_view bytes) const
    {
        return write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    bool sendSignal(int signo) const { return kill(pid_, signo) == 0; }

    void hangUp()
    {
        close(master_);
        master_ = -1;
    }

    bool stillRunning() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

    // The child's wait status, or -1 when it did not end within the limit.
    int finish()
    {
        for (auto end = Clock::now() + kTimeLimit; Clock::now() < end; std::this_thread::sleep_for(2ms)) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return status;
            }
        }
        return -1;
    }

    const termios& modeBefore() const { return before_; }

private:
    int master_ = -1;
    int slave_ = -1;
    pid_t pid_ = -1;
    termios before_{};
};

void expectModeRestored(const KeyWaitChild& child)
{
    termios now = child.mode();
    const termios& before = child.modeBefore();
    EXPECT_EQ(now.c_iflag, before.c_iflag);
    EXPECT_EQ(now.c_oflag, before.c_oflag);
    EXPECT_EQ(now.c_cflag, before.c_cflag);
    EXPECT_EQ(now.c_lflag, before.c_lflag);
    EXPECT_EQ(now.c_cc[VMIN], before.c_cc[VMIN]);
    EXPECT_EQ(now.c_cc[VTIME], before.c_cc[VTIME]);
    EXPECT_NE(now.c_lflag & ECHO, 0u);
    EXPECT_NE(now.c_lflag & ICANON, 0u);
}

// "exit 32", "killed by signal 15", "did not end".
std::string describe(int status)
{
    if (status == -1) return "did not end";
    if (WIFEXITED(status)) return "exit " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
    return "status " + std::to_string(status);
}

std::string exitWith(int code) { return "exit " + std::to_string(code & 0xFF); }

TEST(KeyWaitPty, KeysEndTheWaitWithTheirCodes)
{
    struct Case {
        const char* name;
        std::string typed;
        int code;
    };
    const Case cases[] = {
        {"space", " ", 32},
        {"Enter", "\r", 13},
        {"Esc alone", "\x1b", 27},
        {"Ctrl+C", "\x03", 3},
        {"F1", "\x1bOP", 0},
        {"F1 vt220", "\x1b[11~", 0},
        {"Up", "\x1b[A", 224},
        {"Delete", "\x1b[3~", 224},
        {"e acute", "\xc3\xa9", 233},
        {"focus report, then a key", "\x1b[I" "q", 'q'},
        {"mouse report, then a key", "\x1b[M !!" "\x1b[<0;3;4m" "x", 'x'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeyWaitChild child;
        ASSERT_TRUE(child.started());
        ASSERT_TRUE(child.waitUntilRaw());
        ASSERT_TRUE(child.send(c.typed));
        EXPECT_EQ(describe(child.finish()), exitWith(c.code));
        expectModeRestored(child);
    }
}

TEST(KeyWaitPty, StandardInputIsLeftUnread)
{
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const std::string pending = "7\n1.5 2.5\nrest of the answers\n";
    ASSERT_EQ(write(pipeFds[1], pending.data(), pending.size()), static_cast<ssize_t>(pending.size()));
    {
        KeyWaitChild child({.standardInput = pipeFds[0]});
        ASSERT_TRUE(child.started());
        ASSERT_TRUE(child.waitUntilRaw());
        ASSERT_TRUE(child.send("k"));
        EXPECT_EQ(describe(child.finish()), exitWith('k'));
    }
    fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);
    char left[256];
    ssize_t n = read(pipeFds[0], left, sizeof left);
    EXPECT_EQ(std::string(left, n > 0 ? static_cast<std::size_t>(n) : 0), pending);
    close(pipeFds[0]);
    close(pipeFds[1]);
}

TEST(KeyWaitPty, EndingSignalEndsTheProcessAfterTheModeIsBack)
{
    for (int signo : {SIGTERM, SIGHUP, SIGINT, SIGQUIT}) {
        SCOPED_TRACE(strsignal(signo));
        KeyWaitChild child;
        ASSERT_TRUE(child.started());
        ASSERT_TRUE(child.waitUntilRaw());
        ASSERT_TRUE(child.sendSignal(signo));
        EXPECT_EQ(describe(child.finish()), "killed by signal " + std::to_string(signo));
        expectModeRestored(child);
    }
}

TEST(KeyWaitPty, SignalThatDoesNotEndTheProcessLeavesTheWaitGoing)
{
    struct Case {
        const char* name;
        int signo;
    };
    const Case cases[] = {
        {"SIGUSR1 caught, interrupts the poll", SIGUSR1},
        {"SIGINT caught by the program's own handler", SIGINT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeyWaitChild child({.caughtSignal = c.signo});
        ASSERT_TRUE(child.started());
        ASSERT_TRUE(child.waitUntilRaw());
        ASSERT_TRUE(child.sendSignal(c.signo));
        std::this_thread::sleep_for(300ms);
        ASSERT_TRUE(child.stillRunning());
        ASSERT_TRUE(child.waitUntilRaw());
        ASSERT_TRUE(child.send(" "));
        EXPECT_EQ(describe(child.finish()), exitWith(32));
        expectModeRestored(child);
    }
}

TEST(KeyWaitPty, HungUpTerminalEndsTheWaitWithMinusOne)
{
    // The hangup signal would end the process; here it does not, so the
    // failing terminal itself must end the wait.
    struct Case {
        const char* name;
        ChildSetup setup;
    };
    const Case cases[] = {
        {"hangup signal ignored, as under nohup", {.ignoreHangup = true}},
        {"hangup signal held back by the caller", {.holdBackHangup = true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeyWaitChild child(c.setup);
        ASSERT_TRUE(child.started());
        ASSERT_TRUE(child.waitUntilRaw());
        child.hangUp();
        EXPECT_EQ(describe(child.finish()), exitWith(-1));
    }
}

TEST(KeyWaitPty, NoControllingTerminalEndsTheWaitAtOnce)
{
    auto start = Clock::now();
    KeyWaitChild child({.controllingTerminal = false});
    ASSERT_TRUE(child.started());
    EXPECT_EQ(describe(child.finish()), exitWith(-1));
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_FALSE(child.inRawMode());
}

}  // namespace
}  // namespace pexmoor
