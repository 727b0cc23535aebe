// The analyzer's SWR analysis on a series RLC load, whose SWR is known in closed
// form, with and without flagged points.
#include "analyzer/analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

using namespace kolm::analyzer;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kL = 2e-6, kC = 100e-12;

// The sweep of R + j(wL - 1/wC) against 50 ohm, all points measured.
TraceValues seriesRlc(double r, double start, double stop, int steps) {
  TraceValues t;
  for (int i = 0; i <= steps; ++i) {
    const double f = start + i * (stop - start) / steps;
    const double w = 2 * kPi * f * 1e6;
    const std::complex<double> z(r, w * kL - 1 / (w * kC));
    const double rho = std::abs((z - 50.0) / (z + 50.0));
    t.values[kSwr].push_back(static_cast<float>((1 + rho) / (1 - rho)));
    t.values[kResistance].push_back(static_cast<float>(z.real()));
    t.values[kReactance].push_back(static_cast<float>(std::fabs(z.imag())));
    t.reactanceResolution.push_back(0.01f);
    t.flags.push_back(PointFlag::Valid);
    t.frequencies.push_back(f);
  }
  for (int q : {kReturnLoss, kPhase, kImpedance}) t.values[q].assign(t.flags.size(), 0.f);
  inferSigns(t);
  return t;
}

// Where the reactance of the load is x ohm, MHz.
double whereReactance(double x) {
  return (x + std::sqrt(x * x + 4 * kL / kC)) / (2 * kL) / (2 * kPi) / 1e6;
}

}  // namespace

TEST(SwrAnalysis, SeriesRlcLoad) {
  const double f0 = 1 / (2 * kPi * std::sqrt(kL * kC)) / 1e6;  // 11.254 MHz
  // |gamma| = g where (1/g^2 - 1) X^2 = (R + 50)^2 - (R - 50)^2 / g^2: with R = 40,
  // SWR 2 (g = 1/3) at |X| = 30, SWR 1.5 (g = 1/5) at |X| = sqrt(5600 / 24).
  const double x2 = 30;
  const double x15 = std::sqrt((8100 - 25 * 100) / 24.0);
  struct Case {
    const char* name;
    int index;  // the point given `flag`, or -1
    PointFlag flag;
    bool swrMin, x, swr2Low, swr15;
  };
  const int steps = 6000;
  const double start = 5, stop = 20;
  const int atF0 = static_cast<int>(std::lround((f0 - start) / (stop - start) * steps));
  const int insideLow =
      static_cast<int>(std::lround((whereReactance(-25) - start) / (stop - start) * steps));
  const Case cases[] = {
      {"all measured", -1, PointFlag::Valid, true, true, true, true},
      {"phase limit at the minimum", atF0, PointFlag::PhaseLimit, true, false, true, true},
      {"return-loss limit at the minimum", atF0, PointFlag::RlLimit, false, false, true, true},
      {"open point in the lower half of the band", insideLow, PointFlag::Open, true, true, false,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TraceValues t = seriesRlc(40, start, stop, steps);
    if (c.index >= 0) t.flags[static_cast<size_t>(c.index)] = c.flag;
    inferSigns(t);
    const SwrAnalysis a = analyzeSwr(t);
    // The signed reactance crosses zero at the resonance (across an open
    // point below it too).
    ASSERT_TRUE(a.resMHz);
    EXPECT_NEAR(*a.resMHz, f0, 2e-3);
    // At the return-loss limit the minimum is the limit's bound (below).
    ASSERT_EQ(a.swrMin && !a.minIsBound, c.swrMin);
    if (c.swrMin) {
      EXPECT_NEAR(*a.swrMin, 1.25, 1e-4);
      EXPECT_NEAR(*a.minMHz, f0, 2.5e-3);
      EXPECT_NEAR(*a.rOhm, 40, 1e-4);
    }
    EXPECT_EQ(a.xOhm.has_value(), c.x);
    if (c.x) {
      EXPECT_LT(*a.xOhm, 0.1);
    }
    ASSERT_EQ(a.swr2.low.has_value(), c.swr2Low);
    if (c.swr2Low) {
      EXPECT_NEAR(*a.swr2.low, whereReactance(-x2), 1e-4);
    }
    EXPECT_NEAR(*a.swr2.high, whereReactance(x2), 1e-4);
    ASSERT_TRUE(a.swr15.width());
    EXPECT_NEAR(*a.swr15.width(), whereReactance(x15) - whereReactance(-x15), 2e-4);
  }
}

TEST(SwrAnalysis, WhatCannotBeFoundIsNone) {
  // A sweep that ends inside the SWR-2 band, and a load whose best SWR is 4.
  const SwrAnalysis narrow = analyzeSwr(seriesRlc(40, 10.5, 20, 300));
  EXPECT_FALSE(narrow.swr2.low);
  EXPECT_FALSE(narrow.swr2.width());
  EXPECT_TRUE(narrow.swr2.high);
  const SwrAnalysis high = analyzeSwr(seriesRlc(200, 5, 20, 300));
  EXPECT_NEAR(*high.swrMin, 4, 1e-3);
  EXPECT_FALSE(high.swr2.low || high.swr2.high || high.swr15.low || high.swr15.high);
  EXPECT_EQ(
      swrReport(analyzeSwr({})),
      "swr_min=none\nswr_min_pm=none\nswr_min_kind=none\nswr_min_mhz=none\nr_at_min_ohm=none\n"
      "r_at_min_ohm_pm=none\nx_at_min_ohm=none\nx_at_min_ohm_pm=none\n"
      "swr2_low_mhz=none\nswr2_high_mhz=none\nswr2_bw_mhz=none\nswr2_approx=no\n"
      "swr15_low_mhz=none\nswr15_high_mhz=none\nswr15_bw_mhz=none\nswr15_approx=no\n"
      "res_mhz=none\n");
}

TEST(SwrAnalysis, MinimumIsTheCentreOfTheLowestRunOrOfTheBound) {
  // Readings repeat where the converter's counts do: the minimum is the centre
  // of the longest run of the lowest value; at the return-loss limit it is the
  // bound at the centre of the stretch.
  struct Case {
    const char* name;
    std::vector<float> swr;
    std::vector<int> limit;  // points at the return-loss limit
    double mhz, swrMin;
    bool bound;
  };
  const Case cases[] = {
      {"odd run", {3, 2, 1.5f, 1.5f, 1.5f, 2, 3, 4}, {}, 3, 1.5, false},
      {"even run", {3, 1.5f, 1.5f, 1.5f, 1.5f, 2, 3, 4}, {}, 2.5, 1.5, false},
      {"longest of two", {1.5f, 2, 1.5f, 1.5f, 1.5f, 2, 3, 4}, {}, 3, 1.5, false},
      {"bound", {3, 1.2f, 1.1f, 1.1f, 1.1f, 1.1f, 1.2f, 3}, {2, 3, 4, 5}, 3.5, 1.065, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TraceValues t;
    for (size_t i = 0; i < c.swr.size(); ++i) {
      t.values[kSwr].push_back(c.swr[i]);
      t.flags.push_back(PointFlag::Valid);
      t.frequencies.push_back(static_cast<double>(i));
    }
    for (int i : c.limit) t.flags[static_cast<size_t>(i)] = PointFlag::RlLimit;
    for (int q : {kReturnLoss, kPhase, kImpedance, kResistance, kReactance})
      t.values[q].assign(t.flags.size(), 50.f);
    const SwrAnalysis a = analyzeSwr(t);
    ASSERT_TRUE(a.swrMin);
    EXPECT_DOUBLE_EQ(*a.minMHz, c.mhz);
    EXPECT_NEAR(*a.swrMin, c.swrMin, 1e-3);
    EXPECT_EQ(a.minIsBound, c.bound);
    EXPECT_EQ(a.rOhm.has_value(), !c.bound);  // approximate at the limit
    EXPECT_NE(swrReport(a).find(c.bound ? "swr_min_kind=bound" : "swr_min_kind=value"),
              std::string::npos);
    // The bands are walked from the centre: SWR 2 edges either side of it.
    ASSERT_TRUE(a.swr2.low && a.swr2.high);
    EXPECT_LT(*a.swr2.low, c.mhz);
    EXPECT_GT(*a.swr2.high, c.mhz);
  }
}

// The sign of the reactance along sweeps of loads whose reactance is known: a
// capacitor (|X| falls), a coil (|X| rises), a series RLC (falls, crosses zero
// at resonance, rises), a parallel RLC (|X| rises and falls on either side of
// its resonance: the turn of the reflection tells) and a lone point. Values
// are exact; the resolution is what |X| moves by within one count.
TEST(ReactanceSign, InferredFromHowTheReactanceChanges) {
  struct Case {
    const char* name;
    double r, l, c;  // ohm, henry, farad (0: absent)
    int points;
    double start, stop;
    bool parallel = false;
    size_t unknown;  // how many points may be left unknown
  };
  const Case cases[] = {
      {"capacitor", 0, 0, 100e-12, 100, 5, 30, false, 0},
      {"coil", 5, 1e-6, 0, 100, 5, 30, false, 0},
      {"series RLC", 12.5, 2e-6, 62.8e-12, 200, 5, 30, false, 1},  // beside the crossing
      {"parallel RLC", 200, 1e-6, 100e-12, 200, 5, 30, true, 20},
      {"lone point", 0, 0, 100e-12, 1, 10, 10.5, false, 2},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TraceValues t;
    std::vector<double> truth;
    for (int i = 0; i <= k.points; ++i) {
      const double f = k.start + i * (k.stop - k.start) / k.points;
      const double w = 2 * std::numbers::pi * f * 1e6;
      const std::complex<double> z =
          k.parallel ? 1.0 / std::complex<double>(1 / k.r, w * k.c - 1 / (w * k.l))
                     : std::complex<double>(k.r, w * k.l - (k.c > 0 ? 1 / (w * k.c) : 0));
      const double x = z.imag();
      t.values[kReactance].push_back(static_cast<float>(std::fabs(x)));
      t.values[kResistance].push_back(static_cast<float>(z.real()));
      t.reactanceResolution.push_back(0.05f);
      t.flags.push_back(PointFlag::Valid);
      t.frequencies.push_back(f);
      truth.push_back(x);
    }
    inferSigns(t);
    size_t right = 0, unknown = 0;
    for (size_t i = 0; i < truth.size(); ++i) {
      if (t.signs[i] == ReactanceSign::Unknown) {
        ++unknown;
        continue;
      }
      // Never the wrong sign.
      EXPECT_EQ(t.signs[i] == ReactanceSign::Inductive, truth[i] > 0) << i;
      right += (t.signs[i] == ReactanceSign::Inductive) == (truth[i] > 0);
    }
    EXPECT_LE(unknown, k.unknown);
    if (k.points == 1) {
      EXPECT_EQ(unknown, 2u);  // no change to tell
    }
    EXPECT_EQ(right + unknown, truth.size());
  }
}
