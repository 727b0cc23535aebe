// The crystal workbench's analyses: the fit of a crystal's circuit to a swept
// curve of 1000 points, and the design of a ladder filter (its predictions with
// E12 and E24 parts included), alone and with its spread.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "powermeter/crystal_fit.h"
#include "powermeter/ladder_filter.h"
#include "powermeter/ladder_spread.h"
#include "powermeter/sweep.h"

namespace {

using namespace kolm::powermeter;

// A 10 MHz crystal swept over three bandwidths either side in 1000 steps, its
// levels read as the default calibration's whole counts.
struct Curve {
  Curve() {
    const CrystalModel m{10e6, 25, 12.665e-3, 5e-12};
    const double bw = (m.rOhm + 50) / (2 * std::numbers::pi * m.lHenry);
    start = static_cast<float>((m.fsHz - 3 * bw) / 1e6);
    stop = static_cast<float>((m.fsHz + 3 * bw) / 1e6);
    trace.assign(kTraceSize, 0.f);
    const Calibration cal;
    for (int i = 0; i <= 1000; ++i) {
      const double f = (start + i * static_cast<double>(stop - start) / 1000) * 1e6;
      const double db = 20 * std::log10(std::abs(fixtureTransfer(m, 50, f)));
      const int count = static_cast<int>(
          std::lround(cal.countsAt0Dbm + db * (cal.countsAt0Dbm - cal.countsAtMinus60Dbm) / 60));
      trace[static_cast<size_t>(i)] = readingToDbm(count, cal);
    }
    through.fill(0);
  }
  std::vector<float> trace;
  float start = 0, stop = 0;
  ReferenceTable through{};
};

void BM_CrystalFit1000(benchmark::State& state) {
  const Curve c;
  const CrystalFitInput in{.sweep = {c.trace, 1000, c.start, c.stop},
                           .through = c.through,
                           .r0Ohm = 50,
                           .clockMHz = 400};
  for (auto _ : state) {
    CrystalParameters p = fitCrystal(in);
    benchmark::DoNotOptimize(p.fsMHz.value);
  }
}
BENCHMARK(BM_CrystalFit1000)->Unit(benchmark::kMillisecond);

// Four crystals of 4.9152 MHz a few hertz apart, a 2.4 kHz Cohn filter.
void BM_LadderDesignCohn4(benchmark::State& state) {
  std::vector<LadderCrystal> xs;
  for (int i = 0; i < 4; ++i)
    xs.push_back({"X" + std::to_string(i + 1), {4.9152e6 + 7.0 * i, 12.0 + i, 0.0703, 4e-12}});
  const LadderSpec spec{4, 2400, {LadderShape::Cohn, 0}, std::nullopt};
  for (auto _ : state) {
    LadderDesign d = designLadder(xs, spec);
    benchmark::DoNotOptimize(d.network.rTermOhm);
  }
}
BENCHMARK(BM_LadderDesignCohn4)->Unit(benchmark::kMillisecond);

// The same design with its spread: the prediction again for crystals anywhere
// within intervals as a level calibration leaves them, and the band of gains
// they allow at 401 frequencies across three widths.
void BM_LadderDesignWithSpreadCohn4(benchmark::State& state) {
  std::vector<LadderCrystal> xs;
  for (int i = 0; i < 4; ++i)
    xs.push_back({"X" + std::to_string(i + 1), {4.9152e6 + 7.0 * i, 12.0 + i, 0.0703, 4e-12}});
  const LadderSpec spec{4, 2400, {LadderShape::Cohn, 0}, std::nullopt};
  const std::vector<CrystalSpread> spreads(4, {2, 250, 1.5, 0.0703 * 0.08, 0.3e-12});
  std::vector<double> band;
  for (int j = 0; j <= 400; ++j) band.push_back(4.9152e6 - 3600 + 18.0 * j);
  for (auto _ : state) {
    LadderDesign d = designLadder(xs, spec);
    LadderSpread s = ladderSpread(d.network, d.predicted, 2400, spreads, band);
    benchmark::DoNotOptimize(s.bw3Hz);
  }
}
BENCHMARK(BM_LadderDesignWithSpreadCohn4)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
