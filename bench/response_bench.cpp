// The long record: m11 = 1, m12 = 0, m22 = 0.001, k11 = 1001, k12 = -1000,
// k22 = 1000, damping 0.05 and 0.05, dur 0.5, amp 1 (metric) gives 1,001,000
// steps. ns per time step for the whole run, for the response arithmetic
// alone and for the same loop writing with fprintf; peak resident memory of
// the program at one and at ten million steps.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "modal/modal.h"
#include "response/response.h"
#include "run/run.h"

namespace {

using namespace pexmoor;

const char* const kLongRecord = "2 1 0 0.001 1001 -1000 1000 0.05 0.05 0.5 1\n";
const char* const kTenTimesLonger = "2 1 0 0.00001 1001 -1000 1000 0.05 0.05 0.5 1\n";

// A run state with the modal analysis and the time grid done, console in memory.
std::unique_ptr<RunState> preparedRun(std::string& console)
{
    auto s = std::make_unique<RunState>();
    s->console.memory = &console;
    scanText(s->input, kLongRecord, std::char_traits<char>::length(kLongRecord));
    s->ndof = 2;
    readInputs(*s);
    computeEigenvalues(*s);
    computeModeShapes(*s);
    computeParticipation(*s);
    computeTimeGrid(*s);
    return s;
}

void WholeRun(benchmark::State& state)
{
    std::string console;
    auto s = preparedRun(console);
    for (auto _ : state) {
        for (int f : {kDisplacementFile, kAccelerationFile}) {
            s->outFile[f].file = std::fopen("/dev/null", "wb");
            std::setvbuf(s->outFile[f].file, nullptr, _IONBF, 0);
        }
        computeResponse(*s);
        for (int f : {kDisplacementFile, kAccelerationFile}) closeChannel(s->outFile[f]);
    }
    state.counters["ns_per_step"] =
        benchmark::Counter(static_cast<double>(s->nt) * state.iterations(),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["nt"] = s->nt;
}

void ResponseArithmeticAlone(benchmark::State& state)
{
    std::string console;
    auto s = preparedRun(console);
    for (auto _ : state) {
        ResponseStepper r;
        startResponse(*s, r);
        HistoryStep step;
        for (std::int32_t i = 0; i < s->nt; ++i) {
            responseAt(*s, r, i, step);
            benchmark::DoNotOptimize(step);
        }
    }
    state.counters["ns_per_step"] =
        benchmark::Counter(static_cast<double>(s->nt) * state.iterations(),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The natural baseline: the same loop with the C library's own conversions.
void FprintfLoop(benchmark::State& state)
{
    std::string console;
    auto s = preparedRun(console);
    for (auto _ : state) {
        std::FILE* disp = std::fopen("/dev/null", "w");
        std::FILE* accel = std::fopen("/dev/null", "w");
        ResponseStepper r;
        startResponse(*s, r);
        HistoryStep step;
        for (std::int32_t i = 0; i < s->nt; ++i) {
            responseAt(*s, r, i, step);
            std::fprintf(disp, " %12.5e  \t %10.4e \t  %10.4e \r\n", step.t, step.displacement[0],
                         step.displacement[1]);
            std::fprintf(accel, " %12.5e  \t %10.4e \t  %10.4e \r\n", step.t, step.acceleration[0],
                         step.acceleration[1]);
        }
        std::fclose(disp);
        std::fclose(accel);
    }
    state.counters["ns_per_step"] =
        benchmark::Counter(static_cast<double>(s->nt) * state.iterations(),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The built program in a scratch folder whose time-history files lead to
// /dev/null; its peak resident set from the kernel's accounting.
void PeakMemory(benchmark::State& state)
{
    const char* answers = state.range(0) == 1 ? kLongRecord : kTenTimesLonger;
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "pexmoor-bench-memory";
    std::filesystem::create_directories(dir);
    for (const char* name : {"rel_disp.out", "accel.out"}) {
        std::filesystem::remove(dir / name);
        std::filesystem::create_symlink("/dev/null", dir / name);
    }
    {
        std::FILE* in = std::fopen((dir / "answers").c_str(), "wb");
        std::fputs(answers, in);
        std::fclose(in);
    }
    long peakKb = 0;
    for (auto _ : state) {
        pid_t child = fork();
        if (child == 0) {
            setsid();
            if (chdir(dir.c_str()) != 0) _exit(120);
            int in = open("answers", O_RDONLY);
            int out = open("/dev/null", O_WRONLY);
            dup2(in, 0);
            dup2(out, 1);
            execl(PEXMOOR_EXE, PEXMOOR_EXE, static_cast<char*>(nullptr));
            _exit(121);
        }
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        peakKb = usage.ru_maxrss;
    }
    state.counters["peak_rss_kb"] = static_cast<double>(peakKb);
    std::filesystem::remove_all(dir);
}

}  // namespace

BENCHMARK(WholeRun)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ResponseArithmeticAlone)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(FprintfLoop)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(PeakMemory)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(1);
