// The key wait on a POSIX terminal: one key from the controlling terminal
// itself (/dev/tty), never from standard input, in raw mode for the wait.
#include "platform/key_wait.h"

#include <cerrno>
#include <cstddef>
#include <ctime>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include "platform/key_codes.h"

namespace pexmoor {

namespace {

// After a first byte, how long to wait for the next one of the same key: a
// lone Esc is told from a sequence by this pause; inside a sequence that has
// begun the gap may be longer on a slow link.
constexpr int kEscPauseMs = 50;
constexpr int kSequencePauseMs = 500;
constexpr int kNoTimeout = -1;

// Signals that end or stop the process. They are held back during the wait
// and looked for between short polls; one that has come is let through only
// after the terminal mode is back, and the wait resumes if the process lives
// on. (Handlers would need the saved mode in a global; holding back does not.)
constexpr int kEndingSignals[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGTSTP};
constexpr int kSignalCheckMs = 100;
constexpr int kInterrupted = -2;

bool endingSignalPending(const sigset_t& watched)
{
    sigset_t pending;
    if (sigpending(&pending) != 0) return false;
    for (int signo : kEndingSignals) {
        if (sigismember(&watched, signo) == 1 && sigismember(&pending, signo) == 1) return true;
    }
    return false;
}

// No echo, no line editing, no signals or flow control from keys, CR not
// turned into LF, eight bits through: every key arrives as its own bytes.
termios rawMode(const termios& saved)
{
    termios raw = saved;
    raw.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
    raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    return raw;
}

long long nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

enum class ByteRead { got, timedOut, interrupted, failed };

// One byte from the terminal within timeoutMs (kNoTimeout: as long as it
// takes). Other signals are sat out; a held-back ending signal interrupts.
// End of input and read errors, a hung-up terminal among them, fail.
ByteRead readByte(int fd, int timeoutMs, const sigset_t& watched, unsigned char& byte)
{
    long long deadline = nowMs() + timeoutMs;
    for (;;) {
        if (endingSignalPending(watched)) return ByteRead::interrupted;
        int wait = kSignalCheckMs;
        bool lastPoll = false;
        if (timeoutMs != kNoTimeout) {
            long long left = deadline - nowMs();
            if (left <= kSignalCheckMs) {
                wait = left > 0 ? static_cast<int>(left) : 0;
                lastPoll = true;
            }
        }
        pollfd p{fd, POLLIN, 0};
        int ready = poll(&p, 1, wait);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return ByteRead::failed;
        }
        if (ready == 0) {
            if (lastPoll) return ByteRead::timedOut;
            continue;
        }
        // After a hangup read hands out what is left, then 0 or EIO.
        ssize_t n = read(fd, &byte, 1);
        if (n == 1) return ByteRead::got;
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        return ByteRead::failed;
    }
}

// Reads until the bytes make one key press. Returns its code, -1 when the
// terminal fails, kInterrupted when an ending signal waits.
int readKey(int fd, const sigset_t& watched)
{
    // Longer than any sequence a keyboard sends; a longer one is dropped.
    unsigned char bytes[64];
    std::size_t length = 0;
    for (;;) {
        int timeout = length == 0 ? kNoTimeout : length == 1 ? kEscPauseMs : kSequencePauseMs;
        ByteRead r = readByte(fd, timeout, watched, bytes[length]);
        if (r == ByteRead::failed) return -1;
        if (r == ByteRead::interrupted) return kInterrupted;
        KeyRead key;
        if (r == ByteRead::timedOut) {
            key = decodeTerminalKey({bytes, length}, true);
        } else {
            ++length;
            key = decodeTerminalKey({bytes, length}, false);
            if (key.scan == KeyScan::incomplete && length == sizeof bytes) key.scan = KeyScan::skip;
        }
        if (key.scan == KeyScan::key) return key.code;
        if (key.scan == KeyScan::skip) length = 0;
    }
}

// One spell in raw mode, with the mode found at its start put back at its end.
int readKeyInRawMode(int fd, const sigset_t& watched)
{
    termios saved{};
    if (tcgetattr(fd, &saved) != 0) return -1;
    termios raw = rawMode(saved);
    int key = tcsetattr(fd, TCSANOW, &raw) == 0 ? readKey(fd, watched) : -1;
    tcsetattr(fd, TCSANOW, &saved);
    return key;
}

}  // namespace

int waitForKey()
{
    int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;  // no controlling terminal

    sigset_t ending;
    sigemptyset(&ending);
    for (int signo : kEndingSignals) sigaddset(&ending, signo);
    sigset_t previousMask;
    pthread_sigmask(SIG_BLOCK, &ending, &previousMask);
    // A signal the caller already holds back stays held back and unwatched.
    sigset_t watched = ending;
    for (int signo : kEndingSignals) {
        if (sigismember(&previousMask, signo) == 1) sigdelset(&watched, signo);
    }

    int key = readKeyInRawMode(fd, watched);
    while (key == kInterrupted) {
        // The mode is back: let the signal act. It ends the process, or stops
        // it until it is continued, or a handler takes it; then wait afresh.
        pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
        pthread_sigmask(SIG_BLOCK, &ending, nullptr);
        key = readKeyInRawMode(fd, watched);
    }
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    close(fd);
    return key;
}

}  // namespace pexmoor
