#pragma once
// Runs the program for tests: the built binary in a fresh folder as a child
// with no controlling terminal, or the run sequence in process with every
// channel kept in memory.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "run/run.h"

namespace pexmoor::testing {

inline std::string readFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const std::filesystem::path& p, const std::string& bytes)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A fresh, empty working folder, removed with everything in it afterwards.
struct TempFolder {
    std::filesystem::path path;
    TempFolder()
    {
        char name[] = "/tmp/pexmoor-test-XXXXXX";
        path = mkdtemp(name);
    }
    ~TempFolder()
    {
        std::error_code ec;
        // Undo read-only modes a test may have set so that removal works.
        std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::filesystem::path operator/(const char* name) const { return path / name; }
};

struct ProgramRun {
    std::string console;  // every byte of standard output
    int status = -1;      // exit status, or 128 + signal
};

enum class Console { File, Closed, PipeReaderGone };

struct RunOptions {
    bool closedInput = false;         // standard input closed instead of a file
    Console console = Console::File;  // where standard output goes
    bool unprivileged = false;        // as root, run as "nobody" so that modes apply
    int timeoutSeconds = 120;
};

// Runs the built program in `folder` in a new session without a controlling
// terminal, `input` as its standard input.
inline ProgramRun runProgram(const TempFolder& folder, const std::string& input, RunOptions options = {})
{
    const std::filesystem::path inPath = folder.path.string() + ".in";
    const std::filesystem::path outPath = folder.path.string() + ".console";
    writeFile(inPath, input);
    int pipeEnds[2] = {-1, -1};
    if (options.console == Console::PipeReaderGone) {
        if (pipe(pipeEnds) != 0) return {};
        close(pipeEnds[0]);  // nobody will ever read the console
    }
    // "nobody" may not reach the build folder: it runs a copy beside the folder.
    std::string program = PEXMOOR_EXE;
    if (options.unprivileged) {
        program = folder.path.string() + ".exe";
        std::filesystem::copy_file(PEXMOOR_EXE, program, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::permissions(program, std::filesystem::perms::owner_all | std::filesystem::perms::others_read |
                                                  std::filesystem::perms::others_exec);
    }
    pid_t child = fork();
    if (child == 0) {
        setsid();
        if (chdir(folder.path.c_str()) != 0) _exit(120);
        if (options.closedInput) {
            close(0);
        } else {
            int in = open(inPath.c_str(), O_RDONLY);
            dup2(in, 0);
            close(in);
        }
        if (options.console == Console::File) {
            int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(out, 1);
            close(out);
        } else if (options.console == Console::Closed) {
            close(1);
        } else {
            dup2(pipeEnds[1], 1);
            close(pipeEnds[1]);
        }
        if (options.unprivileged && geteuid() == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0) _exit(122);
        }
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(121);
    }
    if (pipeEnds[1] >= 0) close(pipeEnds[1]);
    ProgramRun run;
    int status = 0;
    for (int waited = 0;; waited += 10) {
        pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) break;
        if (waited > options.timeoutSeconds * 1000) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        usleep(10000);
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (options.console == Console::File) run.console = readFile(outPath);
    std::filesystem::remove(inPath);
    std::filesystem::remove(outPath);
    if (options.unprivileged) std::filesystem::remove(program);
    return run;
}

// The run sequence in process, every channel in memory.
struct CapturedRun {
    std::string console, results, displacement, acceleration;
    std::unique_ptr<RunState> state = std::make_unique<RunState>();
};

inline std::unique_ptr<CapturedRun> runInProcess(const std::string& input)
{
    auto run = std::make_unique<CapturedRun>();
    RunState& s = *run->state;
    s.console.memory = &run->console;
    s.outFile[kResultsFile].memory = &run->results;
    s.outFile[kDisplacementFile].memory = &run->displacement;
    s.outFile[kAccelerationFile].memory = &run->acceleration;
    scanText(s.input, input.data(), input.size());
    runSequence(s);
    return run;
}

// Splits text at CR LF into lines, without their line ends.
inline std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2) {
        lines.push_back(text.substr(from, at - from));
    }
    return lines;
}

}  // namespace pexmoor::testing
