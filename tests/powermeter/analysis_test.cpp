// The power meter's trace analysis on devices whose response is known in
// closed form, and on traces with flagged readings.
#include "powermeter/analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
#include <numbers>

#include "support/golden.h"

using namespace kolm::powermeter;

namespace {

constexpr double kPi = std::numbers::pi;

std::vector<float> sampled(double start, double stop, int steps,
                           const std::function<double(double)>& levelAt) {
  std::vector<float> out;
  for (int i = 0; i <= steps; ++i)
    out.push_back(static_cast<float>(levelAt(start + i * (stop - start) / steps)));
  return out;
}

// A crystal's motional branch (r, L, C) in series between a source and a load
// totalling r0: the level against the through path.
double crystalLevel(double fMHz, double r, double L, double C, double r0) {
  const double w = 2 * kPi * fMHz * 1e6;
  const std::complex<double> z(r, w * L - 1 / (w * C));
  return 20 * std::log10(r0 / std::abs(r0 + z));
}

}  // namespace

TEST(LevelAnalysis, CrystalResponseInClosedForm) {
  // 10 MHz crystal, r = 20 ohm, C = 20 fF (L = 12.665 mH), in a fixture of 50 ohm.
  const double C = 20e-15, r = 20, r0 = 50;
  const double L = 1 / (std::pow(2 * kPi * 10e6, 2) * C);
  // Half power is (r + r0) / (2 pi L) wide; 3.000 dB down is sqrt(10^0.3 - 1) of that.
  const double width3 = (r + r0) / (2 * kPi * L) / 1e6 * std::sqrt(std::pow(10, 0.3) - 1);
  const auto crystal =
      sampled(9.996, 10.004, 4000, [&](double f) { return crystalLevel(f, r, L, C, r0); });
  const LevelAnalysis x = analyzeLevels(crystal, 9.996, 10.004, {});
  ASSERT_TRUE(x.peakMHz && x.at3.width() && x.at6.width());
  EXPECT_NEAR(*x.peakMHz, 10, 2e-6);
  EXPECT_NEAR(*x.peakDbm, 20 * std::log10(r0 / (r + r0)), 1e-4);
  EXPECT_NEAR(*x.at3.width(), width3, width3 * 1e-4);
  EXPECT_NEAR(*x.centreMHz, 10, 2e-6);
  // A single resonance's widths at drops d grow as sqrt(10^(d/10) - 1).
  EXPECT_NEAR(*x.at6.width() / *x.at3.width(),
              std::sqrt((std::pow(10, 0.6) - 1) / (std::pow(10, 0.3) - 1)), 5e-3);
  EXPECT_FALSE(x.at60.width());  // the skirts never fall 60 dB in this span
  EXPECT_FALSE(x.shapeFactor);
}

TEST(LevelAnalysis, FlaggedReadingsAreNeverThePeakOrAnEdge) {
  // A symmetric band-pass: 0 dBm peak at 10 MHz, 1 dB per 0.1 MHz either side.
  const auto triangle = [](double f) { return -10 * std::fabs(f - 10); };
  const LevelLimits floorAt50{-50, 15, true};
  const LevelLimits overloadAtMinus1{-90, -1, true};
  struct Case {
    const char* name;
    std::vector<float> levels;
    LevelLimits limits;
    bool peak;
    bool bw3, bw6, bw60;
  };
  auto tri = sampled(0, 20, 200, triangle);
  auto dipped = tri;
  dipped[98] = -60;  // a floor reading inside the -3 dB walk, below the peak
  const Case cases[] = {
      {"clean", tri, {}, true, true, true, true},
      {"skirts on the floor", tri, floorAt50, true, true, true, false},
      {"peak in overload", tri, overloadAtMinus1, false, false, false, false},
      {"floor reading inside the band", dipped, floorAt50, true, false, false, false},
      {"all on the floor", std::vector<float>(11, -80), floorAt50, false, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LevelAnalysis a = analyzeLevels(c.levels, 0, 20, c.limits);
    EXPECT_EQ(a.peakMHz.has_value(), c.peak);
    EXPECT_EQ(a.at3.width().has_value(), c.bw3);
    EXPECT_EQ(a.at6.width().has_value(), c.bw6);
    EXPECT_EQ(a.at60.width().has_value(), c.bw60);
    if (c.bw3) {
      EXPECT_NEAR(*a.at3.width(), 0.6, 1e-6);
    }
    if (c.bw60) {
      EXPECT_NEAR(*a.shapeFactor, 12.0 / 1.2, 1e-6);
    }
  }
  // The -3 dB point on the clean side is still found next to a floor reading.
  const LevelAnalysis d = analyzeLevels(dipped, 0, 20, floorAt50);
  EXPECT_FALSE(d.at3.low);
  EXPECT_NEAR(*d.at3.high, 10.3, 1e-6);
}

TEST(LevelAnalysis, InsertionLossAndReport) {
  ReferenceTable through{};
  through.fill(-1.5f);
  const auto levels = sampled(9, 11, 20, [](double f) { return -7.5 - 10 * std::fabs(f - 10); });
  const LevelAnalysis a = analyzeLevels(levels, 9, 11, {}, &through);
  ASSERT_TRUE(a.insertionLossDb);
  EXPECT_NEAR(*a.insertionLossDb, 6.0, 1e-6);
  kolm::test::expectGolden("level_report.txt", levelReport(a));
  kolm::test::expectGolden("level_report_empty.txt", levelReport(analyzeLevels({}, 0, 1, {})));
}

TEST(LevelAnalysis, EdgesAcrossCoarseStepsAreMarkedApproximate) {
  // A band-pass falling 10 dB per MHz either side of 10 MHz (-3 dB width 0.6
  // MHz), and a low-pass flat to 4 MHz then falling 10 dB per MHz (one -3 dB
  // edge, 4.3 MHz from the peak at 0). Approximate exactly when the step the
  // edge lies in is wider than a tenth of the width it bounds.
  auto bandPass = [](double f) { return -10 * std::fabs(f - 10); };
  auto lowPass = [](double f) { return f < 4 ? 0.0 : -10 * (f - 4); };
  struct Case {
    std::function<double(double)> levelAt;
    double start, stop;
    int steps;
    bool approximate;
  };
  const Case cases[] = {
      {bandPass, 9, 11, 40, false},  // 0.05 MHz steps
      {bandPass, 9, 11, 32, true},   // 0.0625 MHz
      {bandPass, 5, 15, 10, true},   // 1 MHz: the whole band in one step
      {lowPass, 0, 10, 100, false},  // 0.1 MHz against 4.3
      {lowPass, 0, 10, 20, true},    // 0.5 MHz
      {lowPass, 0, 10, 1, true},     // one step over the whole span
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.steps);
    const auto levels = sampled(c.start, c.stop, c.steps, c.levelAt);
    const LevelAnalysis a = analyzeLevels(levels, c.start, c.stop, {});
    ASSERT_TRUE(a.at3.high);
    EXPECT_EQ(a.at3.approximate(), c.approximate);
    const std::string report = levelReport(a);
    EXPECT_NE(report.find(c.approximate ? "bw3_approx=yes" : "bw3_approx=no"), std::string::npos);
    const auto rows = levelAnalysisRows(a);
    EXPECT_EQ(rows[3].second.starts_with("\u2248 "), c.approximate) << rows[3].second;
  }
}

// The panel says where a -3 dB edge lies past the sweep's end, in the
// analyzer's words, and keeps "none" for an edge an unusable reading hides.
TEST(LevelAnalysis, PanelSaysWhereAnEdgeLiesPastTheSweep) {
  auto dipped = sampled(0, 20, 200, [](double f) { return -10 * std::fabs(f - 10); });
  dipped[98] = -60;
  const struct {
    std::vector<float> levels;
    LevelLimits limits;
    std::string low, high, width;  // "Hz": a frequency or a width
  } cases[] = {
      {sampled(0, 10, 100, [](double f) { return f < 4 ? 0.0 : -10 * (f - 4); }),
       {},
       "below the sweep's start",
       "Hz",
       "more than the sweep shows"},
      {std::vector<float>(11, -5),
       {},
       "below the sweep's start",
       "above the sweep's end",
       "more than the sweep shows"},
      {dipped, {-50, 15, true}, "none", "Hz", "none"},
  };
  for (const auto& c : cases) {
    const auto rows = levelAnalysisRows(analyzeLevels(c.levels, 0, 10, c.limits));
    EXPECT_TRUE(rows[2].second.ends_with(c.low)) << rows[2].second;
    EXPECT_TRUE(rows[3].second.ends_with(c.high)) << rows[3].second;
    EXPECT_TRUE(rows[5].second.ends_with(c.width)) << rows[5].second;
  }
}
