// The analyzer's whole chain on the simulated instrument: DDS frames, the bridge
// model, the read-out and the impedance maths, against a series RLC load.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

#include "analyzer/measurement.h"
#include "analyzer/sweep.h"
#include "common/text.h"
#include "sim/sim_rig.h"

using namespace kolm;
using namespace kolm::analyzer;

namespace {

constexpr double kL = 1e-6;
constexpr double kC = 125e-12;
const double kResonanceMHz = 1 / (2 * std::numbers::pi * std::sqrt(kL * kC)) / 1e6;

struct Swept {
  Measurement m;
  SweepPlan plan;
};

Swept sweepRlc(double r, double start, double stop, int points) {
  test::SimRig rig("through", "rlc:r=" + common::shortestText(r) + ",l=1u,c=125p");
  hw::Instrument& instrument = rig.instrument;
  Swept s;
  auto planned = planSweep(start, stop, points, instrument.params.RefClkMHz);
  EXPECT_TRUE(planned.ok()) << planned.error;
  s.plan = planned.plan;
  ReadWriteJob job(instrument, s.plan, s.m.live, true);
  job.runToEnd();
  s.m.Points = s.plan.points;
  return s;
}

}  // namespace

TEST(AnalyzerOnSimulator, RlcResonanceAndResistance) {
  const double start = 12, stop = 16.5;
  const int points = 450;  // 0.01 MHz steps
  const double step = (stop - start) / points;
  for (double r : {25.0, 33.0, 75.0, 100.0}) {
    SCOPED_TRACE("R = " + kolm::common::shortestText(r));
    Swept s = sweepRlc(r, start, stop, points);

    // The lowest SWR is a plateau (10-bit read-out): one run of equal values.
    float lowest = INFINITY;
    for (int i = 0; i <= points; ++i) {
      ASSERT_TRUE(s.m.CalcolaPunto(i)) << i;
      lowest = std::min(lowest, s.m.ValoriPunto[kSwr]);
    }
    int first = -1, last = -1;
    for (int i = 0; i <= points; ++i) {
      s.m.CalcolaPunto(i);
      if (s.m.ValoriPunto[kSwr] != lowest) continue;
      if (first < 0) first = i;
      EXPECT_TRUE(last < 0 || last == i - 1) << "second lowest-SWR region at " << i;
      last = i;
    }
    ASSERT_GE(first, 0);
    const double centre = (s.m.live.Frequenze[first] + s.m.live.Frequenze[last]) / 2;
    EXPECT_NEAR(centre, kResonanceMHz, step)
        << "plateau " << s.m.live.Frequenze[first] << " to " << s.m.live.Frequenze[last];
    // Off resonance the load is clearly mismatched.
    s.m.CalcolaPunto(0);
    EXPECT_GT(s.m.ValoriPunto[kSwr], lowest + 0.2f);

    const int atResonance = static_cast<int>(std::lround((kResonanceMHz - start) / step));
    ASSERT_TRUE(s.m.CalcolaPunto(atResonance));
    EXPECT_NEAR(s.m.ValoriPunto[kResistance], r, 0.02 * r);
    EXPECT_NEAR(s.m.ValoriPunto[kReactance], 0, 0.02 * r);
    if (std::getenv("KOLM_VERBOSE"))
      std::printf("R %g: plateau %.4f..%.4f centre %.4f (model %.4f), R %.3f X %.3f\n", r,
                  s.m.live.Frequenze[first], s.m.live.Frequenze[last], centre, kResonanceMHz,
                  s.m.ValoriPunto[kResistance], s.m.ValoriPunto[kReactance]);
    // Well above resonance the series RLC is inductive: the reactance shows
    // (as a magnitude: the bridge gives no sign) and grows with frequency.
    s.m.CalcolaPunto(points);
    const float xHigh = s.m.ValoriPunto[kReactance];
    const double expected =
        2 * std::numbers::pi * stop * 1e6 * kL - 1 / (2 * std::numbers::pi * stop * 1e6 * kC);
    EXPECT_NEAR(xHigh, expected, 0.1 * expected);
  }
}
