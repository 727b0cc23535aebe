// The crystal meter's analysis on hand-made traces, and its result text.
#include "powermeter/crystal.h"

#include <gtest/gtest.h>

#include <cmath>

#include "powermeter/sweep.h"

using namespace kolm::powermeter;

namespace {

// A sweep of `points` steps from 9.99 to 10.01 MHz, every level at `floor`.
struct Sweep {
  explicit Sweep(int16_t points = 200, float floor = -30) : points(points) {
    trace.assign(kTraceSize, 0.f);
    for (int i = 0; i <= points; ++i) trace[i] = floor;
  }
  CrystalSweep view() const { return {trace, points, start, stop}; }
  float df() const { return (stop - start) / static_cast<float>(points); }
  std::vector<float> trace;
  int16_t points;
  float start = 9.99f;
  float stop = 10.01f;
};

// A through-path reference of 0 dB everywhere.
RifTable flatReference(float level = 0) {
  RifTable t;
  t.fill(level);
  return t;
}

}  // namespace

TEST(CrystalPeak, SearchStartsAtIndexSixAndFirstHighestWins) {
  Sweep s;
  // Indices 0 to 5 are higher but never searched; from 6 on the trace falls.
  for (int i = 0; i < 6; ++i) s.trace[i] = 10;
  for (int i = 6; i <= s.points; ++i) s.trace[i] = -1.0f - 0.1f * static_cast<float>(i - 6);
  auto r = analyzeCrystal(s.view(), flatReference(), 50);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.iMax, 6);
  EXPECT_EQ(r.Fs, static_cast<float>(s.start + 6.0 * s.df()));
  EXPECT_FALSE(r.Fp);  // it keeps falling to its last point: no parallel resonance
}

TEST(CrystalPeak, NotchAboveThePeakGivesTheParallelResonance) {
  Sweep s;
  s.trace[100] = -2;
  for (int i = 101; i <= s.points; ++i) s.trace[i] = -25;
  s.trace[150] = -40;
  s.trace[s.points] = -10;  // rises again by more than 1 dB
  auto r = analyzeCrystal(s.view(), flatReference(), 50);
  ASSERT_TRUE(r.ok()) << r.error;
  ASSERT_TRUE(r.Fp);
  EXPECT_EQ(*r.Fp, static_cast<float>(s.start + 150.0 * s.df()));
  // Not more than 1 dB above the notch at the end: none.
  s.trace[s.points] = -39.5f;
  EXPECT_FALSE(analyzeCrystal(s.view(), flatReference(), 50).Fp);
}

TEST(CrystalPeak, FlatTopCentreMayBeAHalfStepAndTheNotchWalkKeepsIt) {
  Sweep s;
  for (int i = 100; i <= 103; ++i) s.trace[i] = -2;
  s.trace[120] = -2.0001f;  // lower than the top: not part of it
  auto r = analyzeCrystal(s.view(), flatReference(), 50);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.iMax, 100);
  EXPECT_EQ(r.iLast, 103);
  EXPECT_EQ(r.Fs, static_cast<float>(s.start + 101.5 * s.df()));
  // A second peak of the same height further on ends the flat top there.
  s.trace[150] = -2;
  EXPECT_EQ(analyzeCrystal(s.view(), flatReference(), 50).iLast, 150);

  // From the centre 101.5 the walk visits 101.5, 102.5, ... and looks at the
  // indices those round to (halves to even), so a notch at an odd index is
  // passed over and the frequency keeps the half step.
  for (int i = 104; i <= s.points; ++i) s.trace[i] = -25;
  s.trace[151] = -45;  // odd: never looked at
  s.trace[150] = -35;  // 149.5 and 150.5 both round to 150
  s.trace[152] = -34;
  s.trace[s.points] = -10;
  r = analyzeCrystal(s.view(), flatReference(), 50);
  ASSERT_TRUE(r.Fp);
  EXPECT_EQ(*r.Fp, static_cast<float>(s.start + 149.5 * s.df()));
}

TEST(CrystalMotional, LossAgainstTheReferenceGivesR) {
  Sweep s;
  s.trace[100] = -6.02f;
  auto r = analyzeCrystal(s.view(), flatReference(), 50);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_NEAR(r.R, 50, 0.05);  // 10^(6.02 / 20) = 2.0
  // The reference is looked up at Fs x 10: entry 100 for 10 MHz.
  RifTable ref = flatReference(-50);
  ref[100] = -1;
  EXPECT_NEAR(analyzeCrystal(s.view(), ref, 50).R, 50 * (std::pow(10.0, 5.02 / 20) - 1), 1e-3);
  // A peak above the reference: negative R, Q, L and Cs, shown as computed.
  s.trace[100] = 1;
  auto above = analyzeCrystal(s.view(), flatReference(), 50);
  ASSERT_TRUE(above.ok()) << above.error;
  EXPECT_LT(above.R, 0);
  EXPECT_LT(above.Q, 0);
  EXPECT_NE(crystalReport(above).find("R: -"), std::string::npos);
}

TEST(CrystalMotional, BandwidthQInductanceAndCapacitance) {
  Sweep s;
  // A peak of -6.02 dB falling 1 dB per step: the -3 dB walk stops three steps
  // either side (a level of exactly max - 3 is not above it).
  for (int i = 0; i <= s.points; ++i) s.trace[i] = -6.02f - static_cast<float>(std::abs(i - 100));
  auto r = analyzeCrystal(s.view(), flatReference(), 50);
  ASSERT_TRUE(r.ok()) << r.error;
  const double df = s.df();
  EXPECT_DOUBLE_EQ(r.F1, s.start + 97 * df);
  EXPECT_DOUBLE_EQ(r.F2, s.start + 103 * df);
  const double QL = r.Fs / (6 * df);
  EXPECT_NEAR(r.Q, QL * (r.R + 50) / r.R, 1e-9 * r.Q);
  EXPECT_NEAR(r.L, r.Q * r.R / (6.28 * r.Fs), 1e-9 * r.L);  // 6.28, not 2 pi
  EXPECT_NEAR(r.Cs, 1 / (std::pow(6.28 * r.Fs, 2) * r.L), 1e-9 * r.Cs);
}

TEST(CrystalMotional, ArithmeticFailuresSayErrore) {
  Sweep s;
  s.trace[100] = -6.02f;
  // R0 of 0: R is 0 and Q would divide by it.
  auto noR0 = analyzeCrystal(s.view(), flatReference(), 0);
  EXPECT_FALSE(noR0.ok());
  EXPECT_EQ(crystalFailure(noR0).substr(0, 7), "errore\n");
  EXPECT_NE(noR0.error.find("R0"), std::string::npos);
  // A peak exactly at the reference: R = 0.
  auto noLoss = analyzeCrystal(s.view(), flatReference(-6.02f), 50);
  EXPECT_FALSE(noLoss.ok());
  EXPECT_EQ(crystalFailure(noLoss).substr(0, 6), "errore");
  // No span: the bandwidth is 0.
  Sweep empty = s;
  empty.stop = empty.start;
  EXPECT_FALSE(analyzeCrystal(empty.view(), flatReference(), 50).ok());
  // Fs beyond the 160 MHz table.
  Sweep high = s;
  high.start = 199.9f;
  high.stop = 200.1f;
  EXPECT_FALSE(analyzeCrystal(high.view(), flatReference(), 50).ok());
  // Too few points to search from index 6.
  Sweep few(6);
  EXPECT_FALSE(analyzeCrystal(few.view(), flatReference(), 50).ok());
  // A trace shorter than its points claim.
  std::vector<float> shortTrace(50, -3.f);
  EXPECT_FALSE(analyzeCrystal({shortTrace, 100, 9, 11}, flatReference(), 50).ok());
}

TEST(CrystalReport, ResultTextAndItsUnits) {
  CrystalResult r;
  r.Fs = 10.0001234f;
  r.Q = 15915.4;
  r.R = 49.96;
  r.L = 1500;   // uH
  r.Cs = 2e-8;  // uF: 0.02 pF
  EXPECT_EQ(crystalReport(r),
            "Fs  10.000 123 MHz\nFp   \nQ:  15 915\n\nR: 50 \u03a9\nL(mH): 1.50\nCs(fF): 20.0");
  r.Fp = 10.02f;
  r.Q = 523.4;
  r.R = 12.34;
  r.L = 12.3456;  // not above 1000 uH
  r.Cs = 3.3e-6;  // 3.3 pF
  EXPECT_EQ(crystalReport(r),
            "Fs  10.000 123 MHz\nFp  10.020 000 MHz\nQ:  523\n\nR: 12.3 \u03a9\nL(microH): 12.346\n"
            "Cs(pF): 3.30");
  r.Cs = 0.0012345;  // 1234.5 pF
  EXPECT_NE(crystalReport(r).find("Cs(pF): 1 234.50"), std::string::npos);
}

// A result that cannot be trusted says why and what to change, under the result.
TEST(CrystalWarnings, EachDoubtOnItsOwnLine) {
  // A resonance of -3 dB half-width `half` steps at index `at`, with a notch
  // `depth` dB deep near the end (rising again after it).
  auto sweepOf = [](double at, double half, float notch) {
    Sweep s(200, -40);
    for (int i = 0; i <= 200; ++i) {
      const double x = (i - at) / half;
      s.trace[i] = static_cast<float>(-3 - 10 * std::log10(1 + x * x));
    }
    for (int i = 180; i <= 190; ++i) s.trace[i] = notch;
    return s;
  };
  const auto limits = levelLimits(Calibration{});  // floor up to -73.86 dBm
  auto warnings = [&](const Sweep& s) {
    const CrystalResult r = analyzeCrystal(s.view(), flatReference(), 50);
    EXPECT_TRUE(r.ok()) << r.error;
    return crystalWarnings(r, s.view(), limits);
  };
  auto has = [](const std::vector<std::string>& w, const std::string& part) {
    for (const auto& line : w)
      if (line.find(part) != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(warnings(sweepOf(100, 20, -50)).empty());
  const auto coarse = warnings(sweepOf(100, 2, -50));
  ASSERT_EQ(coarse.size(), 1u);
  EXPECT_EQ(coarse[0],
            "The -3 dB width covers only 4 sweep steps of 100 Hz: R and Q are not reliable. "
            "Narrow the span around Fs or take more points (at least 10 steps across the -3 dB "
            "width).");
  EXPECT_TRUE(has(warnings(sweepOf(100, 400, -50)), "Widen the span"));
  EXPECT_TRUE(has(warnings(sweepOf(200, 20, -50)), "Centre the span"));
  const auto floor = warnings(sweepOf(100, 20, -80));
  ASSERT_EQ(floor.size(), 1u);
  EXPECT_TRUE(has(floor, "lies on the detector's floor over 1.1 kHz")) << floor[0];

  // Under the result, which keeps its layout.
  const Sweep s = sweepOf(100, 2, -50);
  const CrystalResult r = analyzeCrystal(s.view(), flatReference(), 50);
  const std::string text = crystalMessage(r, crystalWarnings(r, s.view(), limits));
  EXPECT_EQ(text.rfind(crystalReport(r) + "\n\nThe -3 dB width", 0), 0u);
  EXPECT_EQ(crystalMessage(r, {}), crystalReport(r));
}
