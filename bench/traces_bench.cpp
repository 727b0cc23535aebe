// Stored traces at their largest: the arithmetic between two traces of 20001
// points on different grids (target 5 ms), and what one such trace holds.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "chart/stored_trace.h"

namespace {

using namespace kolm;

chart::StoredTrace noisyTrace(double from, double to, int points, unsigned seed) {
  std::mt19937 rng(seed);
  std::normal_distribution<double> noise(0, 0.3);
  chart::StoredTrace t{"t", "level", "dBm"};
  for (int i = 0; i < points; ++i) {
    const double x = from + (to - from) * i / (points - 1);
    const double v = -30 + 20 * std::exp(-(x - 15) * (x - 15)) + noise(rng);
    t.x.push_back(x);
    t.value.push_back(v);
    t.low.push_back(v - 0.5);
    t.high.push_back(v + 0.5);
  }
  return t;
}

void BM_TraceDifference20001(benchmark::State& state) {
  const chart::StoredTrace a = noisyTrace(1, 30, 20001, 1), b = noisyTrace(1.0007, 30.2, 20001, 2);
  for (auto _ : state) {
    auto r = chart::combineTraces(a, b, chart::TraceOperation::Difference);
    benchmark::DoNotOptimize(r.trace->value.data());
  }
  state.counters["target_ms"] = 5;
  state.counters["bytes_per_trace"] = static_cast<double>(
      a.size() * (4 * sizeof(double)) + a.size() * sizeof(chart::Mark) + sizeof(a));
}
BENCHMARK(BM_TraceDifference20001)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
