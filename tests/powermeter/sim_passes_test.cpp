// End to end on the simulated instrument: the bytes of real power meter passes
// decoded by the simulator's DDS and answered by its detector. A low-pass
// filter and a crystal must measure as themselves.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "powermeter/crystal.h"
#include "powermeter/reference.h"
#include "powermeter/sweep.h"
#include "sim/sim_rig.h"

using namespace kolm;
using namespace kolm::powermeter;

namespace {

struct Pass {
  std::vector<float> trace = std::vector<float>(kTraceSize);
  SweepPlan plan;
  double step() const { return (plan.ViewStop - plan.ViewStart) / plan.Points; }
};

Pass sweep(test::SimRig& rig, double start, double stop, double points) {
  Pass p;
  auto prepared = prepareSweep({start, stop, points, 20, -80}, 400, {});
  EXPECT_TRUE(prepared.plan) << prepared.error;
  p.plan = prepared.plan.value_or(SweepPlan{});
  SweepJob job(
      rig.instrument, p.plan, {}, [] { return 0.0; }, p.trace);
  job.runToEnd();
  return p;
}

}  // namespace

TEST(SimulatedPass, LowpassMinusThreeDecibelPoint) {
  test::SimRig rig;
  const Pass through = sweep(rig, 1, 30, 580);
  ASSERT_EQ(rig.sim->configure({"lowpass:fc=10,order=3", "r=50", "ideal"}), "");
  const Pass lp = sweep(rig, 1, 30, 580);
  double crossing = NAN;
  for (int i = 1; i <= 580 && std::isnan(crossing); ++i) {
    const double a = lp.trace[i - 1] - through.trace[i - 1], b = lp.trace[i] - through.trace[i];
    if (a > -3 && b <= -3) crossing = 1 + lp.step() * (i - 1 + (-3 - a) / (b - a));
  }
  EXPECT_NEAR(crossing, 10, 0.1);
  // Well above the cutoff the filter falls by 18 dB per octave: 20 MHz is 18 dB down.
  EXPECT_NEAR(lp.trace[380] - through.trace[380], -18.1, 0.5);
}

// The fixture's through path measured with the crystal bypassed, then a 10 MHz
// crystal of 20 fF and 50 ohm with 5 pF across it swept and analysed.
TEST(SimulatedPass, TenMegahertzCrystalMeasuresAsItself) {
  test::SimRig rig;
  auto words = tableWords(400, 1601, nullptr);
  ASSERT_TRUE(words);
  QuartzReferenceJob reference(rig.instrument, *words, {});
  reference.runToEnd();
  const RifTable& ref = reference.table();
  EXPECT_NEAR(ref[100], 0, 0.11);
  EXPECT_NEAR(ref[1600], -2.5, 0.2);  // the generator's sin x / x roll-off towards 160 MHz

  ASSERT_EQ(rig.sim->configure({"crystal:fs=10,r=50,c=20f,c0=5p,r0=50", "r=50", "ideal"}), "");
  const Pass p = sweep(rig, 9.99, 10.03, 4000);  // 10 Hz steps
  const auto r =
      analyzeCrystal({p.trace, p.plan.Points, p.plan.ViewStart, p.plan.ViewStop}, ref, 50);
  ASSERT_TRUE(r.ok()) << r.error;
  // The capacitance across moves the transmission peak 15 Hz below the series
  // resonance. Q = 1 / (2 pi fs C R), L = 1 / ((2 pi fs)^2 C), fp = fs sqrt(1 + C / C0).
  EXPECT_NEAR(r.Fs, 10.0 - 15e-6, p.step());
  EXPECT_NEAR(r.R, 50, 0.03 * 50);
  const double w = 2 * std::numbers::pi * 10e6;
  EXPECT_NEAR(r.Q, 1 / (w * 20e-15 * 50), 0.05 * 15915);
  EXPECT_NEAR(r.L, 1e6 / (w * w * 20e-15), 0.05 * 12665);  // uH
  EXPECT_NEAR(r.Cs * 1e9, 20, 0.05 * 20);                  // fF
  ASSERT_TRUE(r.Fp);
  EXPECT_NEAR(*r.Fp, 10 * std::sqrt(1 + 20e-15 / 5e-12), 5 * p.step());
}
