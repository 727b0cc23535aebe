// Ladder filters designed from measured crystals: the published coefficients,
// a design's prediction against the simulator's own solution of the built
// circuit and against a sweep of it, and the design file.
#include "powermeter/ladder_filter.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/files.h"
#include "powermeter/reference.h"
#include "powermeter/sweep.h"
#include "sim/ladder_network.h"
#include "sim/sim_rig.h"
#include "support/temp_dir.h"

using namespace kolm;
using namespace kolm::powermeter;

namespace {

// Four 4.9152 MHz crystals a few hertz apart, as a matched group measures.
std::vector<LadderCrystal> group() {
  std::vector<LadderCrystal> xs;
  const double offsets[] = {0, 11, 4, 17}, rs[] = {14, 11, 18, 12}, c0s[] = {3.8, 4.2, 4.0, 3.6};
  for (int i = 0; i < 4; ++i)
    xs.push_back({"X" + std::to_string(i + 1),
                  {4.9152e6 + offsets[i], rs[i], 0.0703 * (1 + 0.01 * i), c0s[i] * 1e-12}});
  return xs;
}

}  // namespace

TEST(LadderFilter, CoefficientsAreThePublishedOnes) {
  // Butterworth n = 4 and Chebyshev 0.5 dB n = 3, as tabulated for coupled
  // resonators; Cohn's are equal couplings with q k = 1.
  const LadderCoefficients b = ladderCoefficients({LadderShape::Butterworth, 0}, 4);
  EXPECT_NEAR(b.q1, 0.7654, 1e-4);
  ASSERT_EQ(b.k.size(), 3u);
  EXPECT_NEAR(b.k[0], 0.8409, 1e-4);
  EXPECT_NEAR(b.k[1], 0.5412, 1e-4);
  const LadderCoefficients c = ladderCoefficients({LadderShape::Chebyshev, 0.5}, 3);
  EXPECT_NEAR(c.q1, 1.5963, 1e-3);
  EXPECT_NEAR(c.qK, 1.5963, 1e-3);
  EXPECT_NEAR(c.k[0], 0.7558, 1e-3);
  const LadderCoefficients even = ladderCoefficients({LadderShape::Chebyshev, 0.5}, 4);
  EXPECT_NEAR(even.qK, even.q1, 1e-9);  // equal terminations
  for (int n = 2; n <= 8; ++n) {
    const LadderCoefficients cohn = ladderCoefficients({LadderShape::Cohn, 0}, n);
    for (double k : cohn.k) EXPECT_NEAR(k * cohn.q1, 1, 1e-9) << n;
  }
  EXPECT_NEAR(ladderCoefficients({LadderShape::Cohn, 0}, 2).q1, std::sqrt(2.0), 1e-3);
}

TEST(LadderFilter, PreferredValues) {
  const struct {
    double value, e12, e24;
  } cases[] = {{33.6e-12, 33e-12, 33e-12}, {948, 1000, 910}, {8.7, 8.2, 9.1}, {97, 100, 100}};
  for (const auto& c : cases) {
    EXPECT_NEAR(preferredValue(c.value, ESeries::E12), c.e12, c.e12 * 1e-9) << c.value;
    EXPECT_NEAR(preferredValue(c.value, ESeries::E24), c.e24, c.e24 * 1e-9) << c.value;
  }
}

// The worked design: a 4-pole Cohn filter of 2.4 kHz. Its prediction meets the
// goals; the simulator's nodal solution of the same parts agrees; a sweep of
// the built filter through the simulated instrument agrees within 0.5 dB
// across the passband.
TEST(LadderFilter, CohnDesignPredictedSolvedAndSwept) {
  const LadderDesign d = designLadder(group(), {4, 2400, {LadderShape::Cohn, 0}, std::nullopt});
  ASSERT_TRUE(d.ok()) << d.error;
  ASSERT_TRUE(d.predicted.bw3Hz);
  EXPECT_NEAR(*d.predicted.bw3Hz, 2400, 0.05 * 2400);
  EXPECT_NEAR(d.predicted.rippleDb, d.shapeRippleDb, 0.3);
  for (size_t i = 1; i < d.network.shunt.size(); ++i)  // alike but for the crystals' own Cs
    EXPECT_NEAR(d.network.shunt[i], d.network.shunt[0], 0.02 * d.network.shunt[0]);
  const double f0 = d.predicted.centreHz, bw = *d.predicted.bw3Hz;
  for (const LadderNetwork* n : {&d.network, &d.e12, &d.e24})
    for (double f = f0 - 3 * bw; f <= f0 + 3 * bw; f += bw / 40)
      EXPECT_NEAR(ladderGainDb(*n, f), 20 * std::log10(std::abs(sim::ladderNodalTransfer(*n, f))),
                  1e-6);

  test::InTempDir dir;
  std::string error;
  ASSERT_TRUE(common::writeFileAtomic("design.txt", formatLadderFile(d.network), &error)) << error;
  test::SimRig rig;
  auto words = tableWords(400, kRifEntries, nullptr);
  QuartzReferenceJob reference(rig.instrument, *words, {});
  reference.runToEnd();
  ASSERT_EQ(rig.sim->configure({"ladder:design.txt", "r=50", "ideal"}), "");
  const double lo = (f0 - bw / 2) / 1e6, hi = (f0 + bw / 2) / 1e6;
  const auto plan = prepareSweep({lo, hi, 200, 20, -80}, 400, {}).plan;
  std::vector<float> trace(kTraceSize);
  SweepJob job(
      rig.instrument, *plan, {}, [] { return 0.0; }, trace);
  job.runToEnd();
  const double through = throughLevel(reference.table(), f0 / 1e6, 60.0 / 591).levelDb;
  for (int i = 0; i <= 200; ++i) {
    const double f = (plan->ViewStart + i * (plan->ViewStop - plan->ViewStart) / 200.0) * 1e6;
    EXPECT_NEAR(trace[i] - through, ladderGainDb(d.network, f), 0.5) << f;
  }
}

TEST(LadderFilter, DesignFileRoundTripAndRefusals) {
  const LadderDesign d =
      designLadder(group(), {4, 2400, {LadderShape::Chebyshev, 0.2}, std::nullopt});
  ASSERT_TRUE(d.ok()) << d.error;
  std::string error;
  const auto back = parseLadderFile(formatLadderFile(d.network), &error);
  ASSERT_TRUE(back) << error;
  ASSERT_EQ(back->crystals.size(), 4u);
  for (double f : {4.9150e6, 4.9162e6, 4.9171e6})
    EXPECT_NEAR(ladderGainDb(*back, f), ladderGainDb(d.network, f), 1e-3);
  for (const char* bad : {"", "ladder_filter=2\n", "ladder_filter=1\nr_term_ohm=200\n",
                          "ladder_filter=1\nr_term_ohm=-3\ncrystal1=A fs_mhz=5 r_ohm=1 l_mh=70 "
                          "c0_pf=4\ncrystal2=B fs_mhz=5 r_ohm=1 l_mh=70 c0_pf=4\nc12_pf=100\n"
                          "c_end1_pf=none\nc_end2_pf=none\n"})
    EXPECT_FALSE(parseLadderFile(bad, &error)) << bad;
  // Too few crystals, and a bandwidth a crystal filter cannot have.
  EXPECT_FALSE(designLadder({group()[0]}, {4, 2400, {}, std::nullopt}).ok());
  EXPECT_FALSE(designLadder(group(), {4, 1e6, {}, std::nullopt}).ok());
}
