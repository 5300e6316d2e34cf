// Exact number rendering against snprintf of the same C format, over the
// values a time history writes: the times and a decaying oscillation.
#include "run/number_format.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kSamples = 4096;  // a power of two, cycled through

struct History {
  std::vector<double> time;
  std::vector<double> displacement;
  std::vector<double> acceleration;
};

const History& history() {
  static const History h = [] {
    History made;
    const double dt = 0.000731;
    const double omega = 31.4;
    const double decay = 0.05 * omega;
    for (std::size_t i = 0; i < kSamples; ++i) {
      const double t = static_cast<double>(i) * dt;
      const double envelope = std::exp(-decay * t);
      made.time.push_back(t);
      made.displacement.push_back(0.0123 * envelope * std::sin(omega * t));
      made.acceleration.push_back(-omega * omega * 0.0123 * envelope * std::cos(omega * t));
    }
    return made;
  }();
  return h;
}

// Every value of the history once per pass: times, displacements, accelerations.
std::vector<double> allValues() {
  const History& h = history();
  std::vector<double> values(h.time);
  values.insert(values.end(), h.displacement.begin(), h.displacement.end());
  values.insert(values.end(), h.acceleration.begin(), h.acceleration.end());
  return values;
}

template <int Width, int Precision>
void BM_RenderExponent(benchmark::State& state) {
  const std::vector<double> values = allValues();
  char text[pexmoor::kMaxNumberText];
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        pexmoor::renderExponent(text, values[i++ % values.size()], Width, Precision));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

template <int Width, int Precision>
void BM_SnprintfExponent(benchmark::State& state) {
  const std::vector<double> values = allValues();
  char format[16];
  std::snprintf(format, sizeof format, "%%%d.%de", Width, Precision);
  char text[pexmoor::kMaxNumberText];
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::snprintf(text, sizeof text, format, values[i++ % values.size()]));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_RenderExponent<10, 4>)->Name("RenderExponent/%10.4e");
BENCHMARK(BM_SnprintfExponent<10, 4>)->Name("Snprintf/%10.4e");
BENCHMARK(BM_RenderExponent<12, 5>)->Name("RenderExponent/%12.5e");
BENCHMARK(BM_SnprintfExponent<12, 5>)->Name("Snprintf/%12.5e");

// " %12.5e  \t %10.4e \t  %10.4e \n", its line end written as CR LF.
std::size_t historyLine(char* out, double t, double mass1, double mass2) {
  char* p = out;
  auto literal = [&p](const char* text, std::size_t length) {
    std::memcpy(p, text, length);
    p += length;
  };
  literal(" ", 1);
  p += pexmoor::renderExponent(p, t, 12, 5);
  literal("  \t ", 4);
  p += pexmoor::renderExponent(p, mass1, 10, 4);
  literal(" \t  ", 4);
  p += pexmoor::renderExponent(p, mass2, 10, 4);
  literal(" \r\n", 3);
  return static_cast<std::size_t>(p - out);
}

void BM_RenderHistoryLine(benchmark::State& state) {
  const History& h = history();
  char line[4 * pexmoor::kMaxNumberText];
  std::size_t i = 0;
  for (auto _ : state) {
    const std::size_t k = i++ % kSamples;
    benchmark::DoNotOptimize(historyLine(line, h.time[k], h.displacement[k], h.acceleration[k]));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_SnprintfHistoryLine(benchmark::State& state) {
  const History& h = history();
  char line[4 * pexmoor::kMaxNumberText];
  std::size_t i = 0;
  for (auto _ : state) {
    const std::size_t k = i++ % kSamples;
    benchmark::DoNotOptimize(std::snprintf(line, sizeof line, " %12.5e  \t %10.4e \t  %10.4e \r\n",
                                           h.time[k], h.displacement[k], h.acceleration[k]));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_RenderHistoryLine)->Name("RenderHistoryLine");
BENCHMARK(BM_SnprintfHistoryLine)->Name("SnprintfHistoryLine");

}  // namespace
