// The analyzer's measurement: one bridge reading, the traces and the memory of a
// measurement, and the pass that fills it on the wire.
#include "analyzer/measurement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <map>
#include <numbers>
#include <string>
#include <tuple>
#include <vector>

#include "analyzer/analysis.h"
#include "analyzer/impedance.h"
#include "analyzer/readouts.h"
#include "analyzer/sweep.h"
#include "analyzer/validity.h"
#include "analyzer/vec_bytes.h"
#include "common/text.h"
#include "hw/dds.h"
#include "hw/readout.h"
#include "hw/wire.h"
#include "support/golden.h"
#include "support/port_rig.h"

using namespace kolm::analyzer;
using namespace kolm;
using chart::Mark;

TEST(fillSyntheticMeasurement, FillsTheDocumentedTraceWithinTheCounts) {
  Measurement m;  // 3 to 30 MHz, 500 points
  m.live.returnLossCounts[501] = -7;
  m.fillSyntheticMeasurement();
  // Each point's readings and frequency; the return loss peaks once, where
  // 3i/N = pi/2 (i about 262). Index N + 1 is left for a real sweep.
  std::string text;
  for (int i = 0; i <= 501; ++i)
    text += std::to_string(m.live.returnLossCounts[i]) + " " +
            std::to_string(m.live.phaseCounts[i]) + " " +
            common::shortestText(m.live.frequencies[i], 7) + "\n";
  test::expectGolden("synthetic_measurement.txt", text);

  // The largest plan stays within the counts, far beyond 16-bit products of the index.
  m.points = kMaxPoints;
  m.fillSyntheticMeasurement();
  for (int i = 0; i <= kMaxPoints; ++i) {
    ASSERT_TRUE(m.live.returnLossCounts[i] >= 300 && m.live.returnLossCounts[i] <= 500) << i;
    ASSERT_TRUE(m.live.phaseCounts[i] >= 0 && m.live.phaseCounts[i] <= 1024) << i;
  }
  EXPECT_EQ(m.live.phaseCounts[4096], 1024);
  EXPECT_EQ(m.live.phaseCounts[19840], 0);
  EXPECT_FLOAT_EQ(m.live.frequencies[kMaxPoints], 30.0f);
}

// An open point is drawn as an open (|Z|, R, X and SWR infinite), never with the
// values of the point before it; its return loss and phase are measured.
TEST(TraceValues, AnOpenPointIsInfiniteNotThePreviousValues) {
  Measurement m;
  m.points = 4;
  m.fillSyntheticMeasurement();
  m.live.returnLossCounts[1] = 0;  // a matched point before the open
  m.live.phaseCounts[1] = 300;
  m.live.returnLossCounts[2] = 512;
  m.live.phaseCounts[2] = 0;
  m.live.returnLossCounts[3] = 513;
  TraceValues t;
  computeTraceValues(m.live, m.points, t);
  ASSERT_EQ(t.frequencies.size(), 5u);
  EXPECT_EQ(t.frequencies[4], 30.0);
  EXPECT_EQ(std::tuple(t.flags[1], t.flags[2], t.flags[3]),
            std::tuple(PointFlag::RlLimit, PointFlag::Open, PointFlag::Invalid));
  EXPECT_EQ(std::pair(t.values[kReturnLoss][2], t.values[kPhase][2]), std::pair(0.0f, 0.0f));
  for (int q : {kImpedance, kResistance, kReactance, kSwr}) {
    EXPECT_EQ(t.values[q][2], INFINITY) << q;
    EXPECT_TRUE(std::isnan(t.values[q][3])) << q;
  }
  const PointResult p = evaluatePoint(m.live.returnLossCounts[4], m.live.phaseCounts[4]);
  ASSERT_TRUE(p.finite);
  for (int q = 0; q < kQuantities; ++q) EXPECT_EQ(t.values[q][4], p.values[q]);
}

TEST(MemoryTrace, EmptyWhileBothTestEntriesAreZeroWithinTheTrace) {
  Measurement m;
  EXPECT_TRUE(m.memoryEmpty());  // never filled
  m.loadMemory(test::chartOf(40, 1, 2, 0, 0));
  EXPECT_FALSE(m.memoryEmpty());  // entries 20 and 30 hold 20 and 30
  auto zeros = test::chartOf(40, 1, 2, 0, 0);
  zeros.returnLossCounts[20] = zeros.returnLossCounts[30] = 0;
  m.loadMemory(zeros);
  EXPECT_TRUE(m.memoryEmpty());
  zeros.returnLossCounts[30] = 1;
  m.loadMemory(zeros);
  EXPECT_FALSE(m.memoryEmpty());

  // A shorter trace: entries past its end are not looked at, whatever an
  // earlier, longer one left there.
  m.loadMemory(test::chartOf(40, 1, 2, 100, 0));
  auto short25 = test::chartOf(25, 1, 2, 0, 0);
  short25.returnLossCounts[20] = 0;
  m.loadMemory(short25);
  EXPECT_EQ(m.memory.returnLossCounts[30], 0);  // cleared by the load
  EXPECT_TRUE(m.memoryEmpty());
  short25.returnLossCounts[20] = 5;
  m.loadMemory(short25);
  EXPECT_FALSE(m.memoryEmpty());
  m.loadMemory(test::chartOf(10, 1, 2, 0, 0));
  EXPECT_FALSE(m.memoryEmpty());  // no test entry within ten steps
}

TEST(MemoryTrace, FileInMemoryRebuildsItsOwnFrequenciesAndLeavesTheLiveOnesAlone) {
  Measurement m;
  m.fillSyntheticMeasurement();
  const Channels live = m.live;
  m.loadMemory(test::chartOf(200, 7, 7.5, 300, 10));
  EXPECT_EQ(std::tuple(m.memoryPoints, m.memoryStopMHz, m.memory.returnLossCounts[199]),
            std::tuple(200, 7.5, 499));
  EXPECT_EQ(m.memory.frequencies[100], 7.25f);
  EXPECT_EQ(std::tuple(m.live.returnLossCounts, m.live.frequencies, m.points),
            std::tuple(live.returnLossCounts, live.frequencies, 500));
}

TEST(OpenAndSave, ChartShownWholeAndSavedWithTheSpanItsReadingsCover) {
  Measurement m;
  m.fillSyntheticMeasurement();
  m.live.returnLossCounts[60] = 77;  // past the chart about to be opened
  m.openChart(test::chartOf(50, 0.5, 1.5, 400, 20));
  EXPECT_EQ(std::tuple(m.points, m.viewStopMHz, m.traceStartMHz), std::tuple(50, 1.5, 0.5f));
  EXPECT_EQ(std::tuple(m.live.phaseCounts[50], m.live.frequencies[25], m.live.returnLossCounts[60]),
            std::tuple(70, 1.0f, 0));

  // After a zoom the saved chart keeps the whole span, so that reading i still
  // stands at its own frequency when the file is opened again.
  m.viewStartMHz = 0.8;
  m.viewStopMHz = 1.0;
  const ChartData saved = m.savedChart();
  EXPECT_EQ(std::tuple(saved.points, saved.start, saved.stop), std::tuple(50, 0.5, 1.5));
  ASSERT_EQ(saved.returnLossCounts.size(), 51u);
  EXPECT_EQ(saved.returnLossCounts[50], 450);
}

// A completed pass replaces the live readings; only the first pass of a sweep
// takes the view with it, so a continuous sweep keeps the view zoomed to.
TEST(Measurement, APassBecomesLiveAndTheFirstSetsTheView) {
  Measurement m;
  m.viewStartMHz = 7;
  m.pass.returnLossCounts[3] = 99;
  m.takePass(5, 10, 100, false);
  EXPECT_EQ(std::tuple(m.live.returnLossCounts[3], m.viewStartMHz, m.points),
            std::tuple(99, 7, kDefaultPoints));
  m.pass.returnLossCounts[3] = 42;
  m.takePass(5, 10, 100, true);
  EXPECT_EQ(std::tuple(m.live.returnLossCounts[3], m.viewStartMHz, m.points, m.traceStopMHz,
                       m.spanStopMHz),
            std::tuple(42, 5, 100, 10.0f, 10));
}

// One bridge reading stands for a reflection: 30/512 dB of return loss and
// 180/1024 degree a count, the phase turned into radians with the
// instrument's constant 3.14. Its quantities are that reflection's, to the
// single precision the point is computed in.
TEST(Point, QuantitiesAreThoseOfTheReflectionRead) {
  int compared = 0;
  for (int a = 0; a <= 1025; a += a == 511 ? 1 : 7) {
    for (int b = 0; b <= 1025; b += 5) {
      const PointResult p = evaluatePoint(static_cast<int16_t>(a), static_cast<int16_t>(b));
      if (!p.finite) continue;
      const double rl = (512.0 - a) * 30 / 512, phase = b * 180.0 / 1024;
      const double rho = std::pow(10.0, -rl / 20);
      const std::complex<double> g = std::polar(rho, phase * 3.14 / 180);
      const std::complex<double> z = 50.0 * (1.0 + g) / (1.0 - g);
      const double near = 1e-4 * std::abs(z) + 1e-4;
      const PointValues& v = p.values;
      ASSERT_NEAR(v[kReturnLoss], rl, 1e-5) << a << "," << b;
      ASSERT_NEAR(v[kPhase], phase, 1e-4) << a << "," << b;
      ASSERT_NEAR(v[kResistance], z.real(), near) << a << "," << b;
      ASSERT_NEAR(v[kReactance], z.imag(), near) << a << "," << b;
      ASSERT_NEAR(v[kImpedance], std::abs(z), near) << a << "," << b;
      if (rho < 1) {
        ASSERT_NEAR(v[kSwr], (1 + rho) / (1 - rho), 1e-4 * (1 + rho) / (1 - rho));
      } else if (a == 512) {
        ASSERT_NEAR(v[kSwr], 1999.03, 0.01) << b;  // a total reflection: the SWR of rho 0.999
      }
      ++compared;
    }
  }
  EXPECT_GT(compared, 30000 / 7);
}

// Which bridge readings are measurements, and how each quantity of a flagged
// point is to be taken.
TEST(PointFlags, EachEndOfTheTwoChannels) {
  const std::map<std::string, PointFlag> flags = {{"valid", PointFlag::Valid},
                                                  {"rl limit", PointFlag::RlLimit},
                                                  {"open", PointFlag::Open},
                                                  {"phase limit", PointFlag::PhaseLimit},
                                                  {"invalid", PointFlag::Invalid}};
  for (const auto& c : test::goldenRows("point_flags.tsv", 3)) {
    const int16_t a = static_cast<int16_t>(std::stoi(c[0])),
                  b = static_cast<int16_t>(std::stoi(c[1]));
    EXPECT_EQ(pointFlag(a, b), flags.at(c[2])) << a << ", " << b;
    EXPECT_EQ(evaluatePoint(a, b).flag, flags.at(c[2])) << a << ", " << b;
  }
}

// What the readout boxes say, quantity by quantity (RL, phase, |Z|, R, X, SWR).
TEST(PointFlags, ReadoutsSayTheMarkInWords) {
  auto words = [](int a, int b) {
    const PointResult p = evaluatePoint(static_cast<int16_t>(a), static_cast<int16_t>(b));
    std::vector<std::string> out;
    for (int q = 0; q < kQuantities; ++q)
      out.push_back(chart::markedText(shownValue(p, q), quantityMark(p.flag, q)));
    return out;
  };
  using W = std::vector<std::string>;
  // A matched load: at least 30 dB, SWR at most 1.065, the impedance near 50 ohm.
  EXPECT_EQ(words(0, 0), (W{"≥ 30.0", "≈ 0.0", "≈ 53.3", "≈ 53.3", "≈ 0.0", "≤ 1.1"}));
  // An open: return loss and phase measured, the rest open.
  EXPECT_EQ(words(512, 0), (W{"0.0", "0.0", "open", "open", "open", "open"}));
  // One count beyond a total reflection: never a negative R or SWR.
  EXPECT_EQ(words(513, 0), (W{"≈ -0.1", "≈ 0.0", "invalid", "invalid", "invalid", "invalid"}));
  // 100 ohm: the phase at its 0-degree end, R and |Z| measured.
  EXPECT_EQ(words(349, 0), (W{"9.6", "≈ 0.0", "99.9", "99.9", "≈ 0.0", "2.0"}));
  EXPECT_EQ(words(418, 329)[4], "62.7");  // 50 + j62.8 ohm read back: a plain number
}

TEST(PointFlags, ShownValuesAreInfiniteForAnOpenAndNaNWhenInvalid) {
  const PointResult open = evaluatePoint(510, 10);
  EXPECT_TRUE(open.finite);  // a large impedance the bridge cannot tell from an open
  for (int q : {kImpedance, kResistance, kReactance, kSwr}) {
    EXPECT_EQ(shownValue(open, q), INFINITY) << q;
    EXPECT_TRUE(std::isnan(shownValue(evaluatePoint(600, 300), q))) << q;
  }
  EXPECT_EQ(shownValue(open, kReturnLoss), open.values[kReturnLoss]);
}

TEST(SweepPlan, RefusesWhatTheArraysOrTheDdsCannotTake) {
  // Typed points are rounded halves to even.
  EXPECT_EQ(planSweep(3, 30, 500.5, 400).plan.points, 500);
  EXPECT_EQ(planSweep(3, 30, 501.5, 400).plan.points, 502);
  // The extra point past the stop must be reachable too, in either direction;
  // 14.0000001 equals 14 in single precision.
  for (const auto& c : kolm::test::goldenRows("sweep_plans.tsv", 4)) {
    const auto n = [&](int k) { return kolm::test::goldenNumber(c[k]); };
    EXPECT_EQ(planSweep(n(0), n(1), n(2), 400).ok(), c[3] == "ok") << c[0] << " " << c[1];
  }
  EXPECT_EQ(planSweep(3, 30, 500, 0).error, hw::noClockMessage());
  EXPECT_NE(planSweep(3, 30, 0, 400).error.find("20001"), std::string::npos);
  EXPECT_NE(planSweep(100, 199.99, 1, 400).error.find("299.98"), std::string::npos);
}

TEST(ReadWrite, GoldenTraceOfASmallPass) {
  test::PortRig rig(400, 20);
  // Each read-out gives its own pair: A = 10 x n + 1, B = 10 x n + 2 for the
  // n-th read-out (the settling one is n = 0).
  rig.port->status = [](size_t read) {
    const int n = static_cast<int>(read / 10), bit = 9 - static_cast<int>(read % 10);
    uint8_t s = 0;
    if (((10 * n + 1) >> bit) & 1) s |= hw::wire::kBridgeABit;
    if (((10 * n + 2) >> bit) & 1) s |= hw::wire::kBridgeBBit;
    return s;
  };
  // 10 to 20 MHz on a 400 MHz clock in 2 steps: Ws = 107374182 (107374182.4),
  // We = 214748365 (214748364.8), dW = 53687091.5, so the words of indices 1
  // and 3 are halves, rounded to the even neighbour.
  auto r = planSweep(10, 20, 2, 400);
  ASSERT_TRUE(r.ok());
  Channels target;
  target.returnLossCounts[4] = -1;
  PassJob job(rig.instrument, r.plan, target, true);
  // The reset and the settling read-out, then one point a step; every step ends
  // on a whole read-out.
  int steps = 0;
  for (; !job.done() && steps < 10; ++steps) {
    job.step();
    EXPECT_EQ(rig.port->log.back().value, 24) << steps;
  }
  EXPECT_EQ(steps, 5);
  EXPECT_EQ(job.stored(), 4);
  EXPECT_EQ(job.progress(), 1.0);
  EXPECT_FALSE(job.step());

  const std::string trace = test::wireText(rig);
  test::expectGolden("analyzer_small_pass.trace", trace);
  for (int i = 0; i <= 3; ++i) {
    EXPECT_EQ(target.returnLossCounts[i], 10 * (i + 1) + 1) << i;
    EXPECT_EQ(target.phaseCounts[i], 10 * (i + 1) + 2) << i;
  }
  EXPECT_EQ(target.returnLossCounts[4], -1);
  EXPECT_EQ(std::tuple(target.frequencies[0], target.frequencies[2], target.frequencies[3]),
            std::tuple(10.0f, 20.0f, 25.0f));
  EXPECT_EQ(rig.instrument.tunedWord(), 268435456u);

  // A later pass of a continuous sweep loads no reset or multiplier.
  test::PortRig again(400, 20);
  PassJob second(again.instrument, r.plan, target, false);
  second.runToEnd();
  EXPECT_EQ(test::wireText(again), trace.substr(trace.find("word")));
}

// The analyzer's SWR analysis on a series RLC load, whose SWR is known in closed
// form, with and without flagged points.
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
  test::expectGolden("swr_report_empty.txt", swrReport(analyzeSwr({})));
}

// The minimum of readings that repeat (swr_minima.tsv), shown as what it is.
TEST(SwrAnalysis, MinimumIsTheCentreOfTheLowestRunOrOfTheBound) {
  for (const auto& row : test::goldenRows("swr_minima.tsv", 8)) {
    SCOPED_TRACE(row[0]);
    const struct {
      double mhz, swrMin;
      bool bound;
      std::string kind;
      bool unbounded;
    } c{test::goldenNumber(row[3]), test::goldenNumber(row[4]), row[5] == "yes", row[6],
        row[7] == "yes"};
    TraceValues t;
    for (double swr : test::goldenNumbers(row[1])) {
      t.values[kSwr].push_back(static_cast<float>(swr));
      if (c.unbounded) t.swrLow.push_back(static_cast<float>(swr / 2));
      t.flags.push_back(PointFlag::Valid);
      t.frequencies.push_back(static_cast<double>(t.flags.size() - 1));
    }
    if (row[2] != "-")
      for (double i : test::goldenNumbers(row[2]))
        t.flags[static_cast<size_t>(i)] = PointFlag::RlLimit;
    if (c.unbounded)
      t.halfWidths[kSwr].assign(t.flags.size(), std::numeric_limits<float>::infinity());
    for (int q : {kReturnLoss, kPhase, kImpedance, kResistance, kReactance})
      t.values[q].assign(t.flags.size(), 50.f);
    const SwrAnalysis a = analyzeSwr(t);
    ASSERT_TRUE(a.swrMin);
    EXPECT_DOUBLE_EQ(*a.minMHz, c.mhz);
    EXPECT_NEAR(*a.swrMin, c.swrMin, 1e-3);
    EXPECT_EQ(a.minIsBound, c.bound);
    EXPECT_EQ(a.rOhm.has_value(), !c.bound);  // approximate at the limit
    EXPECT_NE(swrReport(a).find(std::string("swr_min_kind=") + c.kind), std::string::npos);
    // A bound or a lowest value is shown as such, never as a bare number.
    const std::string shown = swrAnalysisRows(a)[0].second;
    EXPECT_EQ(shown.find("\u2264") != std::string::npos, c.bound) << shown;
    EXPECT_EQ(shown.find("\u2265") != std::string::npos, c.unbounded) << shown;
    // X there with its inferred sign (none at the limit, where it is approximate).
    for (ReactanceSign sign :
         {ReactanceSign::Capacitive, ReactanceSign::Unknown, ReactanceSign::Inductive}) {
      t.signs.assign(t.flags.size(), sign);
      EXPECT_EQ(swrAnalysisRows(analyzeSwr(t))[3].second,
                c.bound ? "none" : reactancePrefix(sign) + std::string("50.0 \u03a9"));
    }
    if (!c.bound && *a.minMHz != std::floor(*a.minMHz)) {  // middle points that disagree
      t.signs[static_cast<size_t>(*a.minMHz) + 1] = ReactanceSign::Capacitive;
      EXPECT_EQ(swrAnalysisRows(analyzeSwr(t))[3].second.rfind("\u00b1j", 0), 0u);
    }
    // The bands are walked from the centre: SWR 2 edges either side of it.
    ASSERT_TRUE(a.swr2.low && a.swr2.high);
    EXPECT_LT(*a.swr2.low, c.mhz);
    EXPECT_GT(*a.swr2.high, c.mhz);
  }
}

// The sign of the reactance along sweeps of loads whose reactance is known
// (reactance_signs.tsv): never the wrong one. Values are exact; the resolution
// is what |X| moves by within one count.
TEST(ReactanceSign, InferredFromHowTheReactanceChanges) {
  for (const auto& row : test::goldenRows("reactance_signs.tsv", 12)) {
    SCOPED_TRACE(row[0]);
    const auto n = [&row](size_t field) { return test::goldenNumber(row[field]); };
    const double r = n(1), l = n(2), c = n(3), start = n(5), stop = n(6), noise = n(9);
    const double offset = n(11);
    const int points = static_cast<int>(n(4));
    const bool parallel = row[7] == "parallel", crossingHidden = row[10] == "yes";
    TraceValues t;
    std::vector<double> truth;
    // Where |X| peaks: the susceptance equals the conductance.
    auto peakAt = [&](double sign) {
      const double lr = l / r;
      return (sign * lr + std::sqrt(lr * lr + 4 * l * c)) / (2 * l * c);
    };
    const double below = crossingHidden ? peakAt(-1) : 0, above = crossingHidden ? peakAt(1) : 0;
    const double readPeak = below + (above - below) / 4;
    for (int i = 0; i <= points; ++i) {
      const double f = start + i * (stop - start) / points;
      const double w = 2 * std::numbers::pi * f * 1e6;
      const std::complex<double> z =
          parallel ? 1.0 / std::complex<double>(1 / r, w * c - 1 / (w * l))
                   : std::complex<double>(r, w * l - (c > 0 ? 1 / (w * c) : 0));
      const double x = z.imag(), wobble = noise * std::sin(i * 2.3999), read = x + offset;
      const bool hidden = w > below && w < above;
      const double tent = r / 2 + 40 * (1 - std::fabs(w - readPeak) / (above - below));
      t.values[kReactance].push_back(static_cast<float>(hidden ? tent : std::fabs(read) + wobble));
      t.halfWidths[kReactance].push_back(hidden ? 1e6f : static_cast<float>(offset * 1.2));
      t.values[kResistance].push_back(static_cast<float>(z.real() - wobble));
      t.reactanceResolution.push_back(static_cast<float>(0.05 + 2 * noise));
      t.flags.push_back(std::fabs(read) < offset / 2 ? PointFlag::PhaseLimit : PointFlag::Valid);
      t.frequencies.push_back(f);
      truth.push_back(x);
    }
    inferSigns(t);
    size_t unknown = 0;
    for (size_t i = 0; i < truth.size(); ++i) {
      // Never the wrong sign.
      if (t.signs[i] == ReactanceSign::Unknown)
        ++unknown;
      else
        EXPECT_EQ(t.signs[i] == ReactanceSign::Inductive, truth[i] > 0) << i;
    }
    EXPECT_LE(unknown, static_cast<size_t>(n(8)));
    if (points == 1) {
      EXPECT_EQ(unknown, 2u);  // no change to tell
    }
  }
}
