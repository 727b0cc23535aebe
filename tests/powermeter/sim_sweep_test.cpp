// End to end on the simulated instrument: the bytes of a real pass decoded by
// the simulator's DDS and answered by its detector.
#include <gtest/gtest.h>

#include <cmath>

#include "powermeter/sweep.h"
#include "sim/sim_rig.h"

using namespace kolm;
using namespace kolm::powermeter;

namespace {

struct SimSweep {
  std::vector<float> trace = std::vector<float>(kTraceSize);
  SweepPlan plan;
};

SimSweep sweep(const std::string& dut, const std::string& start, const std::string& stop,
               const std::string& points) {
  test::SimRig rig(dut);
  SimSweep s;
  auto prepared = prepareSweep({start, stop, points, "20", "-80"}, 400, {});
  EXPECT_TRUE(prepared.plan) << prepared.error;
  s.plan = *prepared.plan;
  SweepJob job(
      rig.instrument, s.plan, {}, [] { return 0.0; }, s.trace);
  job.runToEnd();
  return s;
}

double frequencyAt(const SimSweep& s, int i) {
  return s.plan.ViewStart + (s.plan.ViewStop - s.plan.ViewStart) * i / s.plan.Points;
}

}  // namespace

TEST(SimulatedSweep, LowpassMinusThreeDecibelPoint) {
  SimSweep ref = sweep("through", "1", "30", "580");
  SimSweep lp = sweep("lowpass:fc=10,order=3", "1", "30", "580");
  double crossing = NAN;
  for (int i = 1; i <= 580; ++i) {
    double a = lp.trace[i - 1] - ref.trace[i - 1], b = lp.trace[i] - ref.trace[i];
    if (a > -3 && b <= -3) {
      double fa = frequencyAt(lp, i - 1), fb = frequencyAt(lp, i);
      crossing = fa + (fb - fa) * (-3 - a) / (b - a);
      break;
    }
  }
  ASSERT_FALSE(std::isnan(crossing));
  EXPECT_NEAR(crossing, 10, 0.1);
  // Well above the cutoff the filter falls by 18 dB per octave: 20 MHz is 18 dB down.
  EXPECT_NEAR(lp.trace[380] - ref.trace[380], -18.1, 0.5);  // 20 MHz
}
