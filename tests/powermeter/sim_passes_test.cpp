// End to end on the simulated instrument: the bytes of real power meter passes
// decoded by the simulator's DDS and answered by its detector. A low-pass
// filter must measure as itself.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

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

// The fixture's through path measured with the crystal bypassed (the crystal
// itself is measured by the fit's tests).
TEST(SimulatedPass, CrystalFixtureThroughPathFollowsTheGenerator) {
  test::SimRig rig;
  auto words = tableWords(400, 1601, nullptr);
  ASSERT_TRUE(words);
  QuartzReferenceJob reference(rig.instrument, *words, {});
  reference.runToEnd();
  const ReferenceTable& ref = reference.table();
  EXPECT_NEAR(ref[100], 0, 0.11);
  EXPECT_NEAR(ref[1600], -2.5, 0.2);  // the generator's sin x / x roll-off towards 160 MHz
}
