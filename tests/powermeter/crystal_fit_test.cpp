// The crystal's circuit fitted to curves the simulated instrument sweeps: its
// values land within their intervals, and a sweep too coarse for a fit falls
// back to the -3 dB points and says so.
#include "powermeter/crystal_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "common/text.h"
#include "powermeter/reference.h"
#include "powermeter/sweep.h"
#include "sim/sim_rig.h"

using namespace kolm;
using namespace kolm::powermeter;

namespace {

struct Truth {
  double fsMHz, r, csF, c0F;
  double lH() const { return 1 / (std::pow(2 * std::numbers::pi * fsMHz * 1e6, 2) * csF); }
  double bwHz(double r0) const { return (r + r0) / (2 * std::numbers::pi * lH()); }
};

// The through path, then the crystal swept over `bandwidths` either side in `points` steps.
CrystalParameters measure(const Truth& t, double r0, int points, double bandwidths) {
  test::SimRig rig;
  auto words = tableWords(400, kRifEntries, nullptr);
  QuartzReferenceJob reference(rig.instrument, *words, {});
  reference.runToEnd();
  const std::string dut = "crystal:fs=" + common::shortestText(t.fsMHz, 12) +
                          ",r=" + common::shortestText(t.r) + ",c=" + common::shortestText(t.csF) +
                          ",c0=" + common::shortestText(t.c0F) + ",r0=" + common::shortestText(r0);
  EXPECT_EQ(rig.sim->configure({dut, "r=50", "ideal"}), "");
  const double half = bandwidths * t.bwHz(r0) / 1e6;
  const auto prepared =
      prepareSweep({common::numericValue(common::shortestText(t.fsMHz - half, 10)),
                    common::numericValue(common::shortestText(t.fsMHz + half, 10)),
                    static_cast<double>(points), 20, -80},
                   400, {});
  static std::vector<float> trace;
  trace.assign(kTraceSize, 0);
  SweepJob job(
      rig.instrument, *prepared.plan, {}, [] { return 0.0; }, trace);
  job.runToEnd();
  const CrystalSweep sweep{trace, prepared.plan->Points, prepared.plan->ViewStart,
                           prepared.plan->ViewStop};
  return fitCrystal({sweep, reference.table(), r0, {}, 400, {}});
}

}  // namespace

TEST(CrystalFit, ValuesLieWithinTheirIntervalsAndTheGoals) {
  // Low and high frequency, low and high R, a large and a small C0; the last
  // in a fixture of 100 ohm, where a low R loses only a few counts.
  const struct {
    Truth t;
    double r0;
  } cases[] = {{{4.9152, 12, 15e-15, 4e-12}, 50},
               {{27.79, 80, 25e-15, 6.5e-12}, 50},
               {{1.8, 40, 28e-15, 2.2e-12}, 50},
               {{10.7, 6, 10e-15, 5e-12}, 100}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.t.fsMHz);
    const CrystalParameters p = measure(c.t, c.r0, 1000, 3);
    ASSERT_TRUE(p.ok()) << p.error;
    ASSERT_EQ(p.method, CrystalMethod::Fit) << p.fallback;
    ASSERT_TRUE(p.lMilliHenry && p.csFemtoFarad && p.c0PicoFarad && p.fpMHz && p.q);
    const CrystalModel truth{c.t.fsMHz * 1e6, c.t.r, c.t.lH(), c.t.c0F};
    const struct {
      const char* name;
      Measured m;
      double truth, goal;  // the goal as a fraction of the true value
    } values[] = {{"Fs", p.fsMHz, c.t.fsMHz, 0.5e-6},
                  {"R", p.rOhm, c.t.r, 0.02},
                  {"L", *p.lMilliHenry, c.t.lH() * 1e3, 0.02},
                  {"Cs", *p.csFemtoFarad, c.t.csF * 1e15, 0.02},
                  {"C0", *p.c0PicoFarad, c.t.c0F * 1e12, 0.1},
                  // Fp - Fs follows C0: the goal is C0's.
                  {"Fp", *p.fpMHz, truth.fpHz() / 1e6, 0.1 * (1 - truth.fsHz / truth.fpHz())},
                  {"Q", *p.q, truth.q(), 0.04}};
    for (const auto& v : values) {
      const double error = std::fabs(v.m.value - v.truth);
      EXPECT_LE(error, v.m.pm) << v.name;
      // The goals hold for a fixture of 50 ohm on the ideal board.
      if (c.r0 == 50) {
        EXPECT_LE(error, v.goal * v.truth) << v.name;
      }
    }
    EXPECT_LT(p.rmsDb, 0.05);
  }
}

// The result box keeps its lines and their order; each value carries its interval.
TEST(CrystalFit, TheReportKeepsItsLines) {
  const CrystalParameters p = measure({4.9152, 12, 15e-15, 4e-12}, 50, 1000, 3);
  const std::string text = crystalParametersReport(p);
  size_t at = 0;
  for (const char* line :
       {"Fs  4.915", " MHz \u00b1 ", " Hz\nFp  4.92", "\nQ:  ", "\n\nR: ", " \u03a9 \u00b1 ",
        "\nL(mH): ", "\nCs(fF): ", "\nC0(pF): ", "\n\nFitted to 1001 levels"}) {
    const size_t next = text.find(line, at);
    ASSERT_NE(next, std::string::npos) << line << " in\n" << text;
    at = next;
  }
}

TEST(CrystalFit, ACoarseSweepFallsBackToTheEdgesAndSaysSo) {
  const Truth t{10, 25, 20e-15, 5e-12};
  // 60 steps over 20 bandwidths either side: the -3 dB width spans 1.5 steps.
  const CrystalParameters p = measure(t, 50, 60, 20);
  ASSERT_TRUE(p.ok()) << p.error;
  EXPECT_EQ(p.method, CrystalMethod::Edges);
  EXPECT_NE(p.fallback.find("sweep steps"), std::string::npos) << p.fallback;
  EXPECT_NE(crystalParametersReport(p).find(p.fallback), std::string::npos);
  // The wider intervals of the estimate still hold the crystal.
  EXPECT_LE(std::fabs(p.fsMHz.value - t.fsMHz), p.fsMHz.pm);
  EXPECT_LE(std::fabs(p.rOhm.value - t.r), p.rOhm.pm);
  ASSERT_TRUE(p.lMilliHenry);
  EXPECT_LE(std::fabs(p.lMilliHenry->value - t.lH() * 1e3), p.lMilliHenry->pm);
  // A span that never falls 3 dB on one side gives no L, Cs or Q.
  const CrystalParameters narrow = measure(t, 50, 400, 0.3);
  EXPECT_EQ(narrow.method, CrystalMethod::Edges);
  EXPECT_FALSE(narrow.lMilliHenry || narrow.q || narrow.csFemtoFarad);
}

TEST(CrystalFit, DigitsFollowTheInterval) {
  const struct {
    double value, pm;
    const char *text, *pmText;
  } cases[] = {{10.0000123456, 3.2e-6, "10.0000123", "0.0000032"},
               {20.345, 0.42, "20.35", "0.42"},
               {20.345, 0.0996, "20.35", "0.10"},
               {127345, 3140, "127300", "3100"},
               {5.5, 0, "5.50", "0.00"}};
  for (const auto& c : cases) {
    const DeservedText t = deservedText(c.value, c.pm, 2);
    EXPECT_EQ(t.value, c.text);
    EXPECT_EQ(t.pm, c.pmText);
  }
}

TEST(CrystalFit, RepeatsGiveTheMeanTheirSpreadAndANarrowerNoiseTerm) {
  CrystalParameters a, b;
  a.fsMHz = {10.000010, 0, 0.5e-6, 1e-6, 0};
  b.fsMHz = {10.000012, 0, 0.5e-6, 1e-6, 0};
  a.rOhm = b.rOhm = {20, 0, 0.1, 0.5, 0};
  const CrystalParameters m = combineRepeats({a, b});
  EXPECT_EQ(m.repeats, 2);
  EXPECT_NEAR(m.fsMHz.value, 10.000011, 1e-12);
  EXPECT_NEAR(m.fsMHz.sd, std::sqrt(2.0) * 1e-6, 1e-12);
  // The spread is larger than each fit's noise: it sets the noise term.
  EXPECT_NEAR(m.fsMHz.pm, 2 * m.fsMHz.sd / std::sqrt(2.0) + 1e-6, 1e-12);
  EXPECT_NEAR(m.rOhm.pm, 2 * 0.1 / std::sqrt(2.0) + 0.5, 1e-12);
}
