// Passes averaged: levels in linear power, bridge readings on their counts
// before the point computation, the ring of the last N passes, and --average.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "analyzer/measurement.h"
#include "common/pass_average.h"
#include "powermeter/averaging.h"
#include "support/cli_run.h"

using namespace kolm;

TEST(Averaging, LevelsAreAveragedInLinearPower) {
  std::mt19937 rng(25);
  std::uniform_real_distribution<float> level(-85, 15);
  for (int trial = 0; trial < 200; ++trial) {
    const int depth = 1 + trial % 16;
    const int points = 1 + trial % 7;
    std::vector<float> pass(points + 1);
    for (auto& v : pass) v = level(rng);
    // N identical passes average to that pass.
    common::PassAverage same(depth);
    std::vector<float> levels;
    for (int k = 0; k < depth; ++k) {
      levels = pass;
      powermeter::averageLevels(same, levels, points);
    }
    for (int i = 0; i <= points; ++i) EXPECT_NEAR(levels[i], pass[i], 1e-4) << trial;
    // Two levels 3.0103 dB apart hold 1.5 times the lower one's power: their
    // mean lies 1.7609 dB above it, not half-way in dB (1.5051).
    common::PassAverage two(2);
    levels = pass;
    powermeter::averageLevels(two, levels, points);
    for (auto& v : levels) v = pass[&v - levels.data()] - 3.0103f;
    powermeter::averageLevels(two, levels, points);
    for (int i = 0; i <= points; ++i)
      EXPECT_NEAR(levels[i], pass[i] - 3.0103 + 1.7609, 2e-3) << trial;
  }
}

TEST(Averaging, TheRingKeepsTheLastNPasses) {
  common::PassAverage ring(3);
  for (int k = 1; k <= 5; ++k) {
    ring.add(std::vector<float>{float(k), float(10 * k)});
    EXPECT_EQ(ring.held(), std::min(k, 3));
    const double low = std::max(1, k - 2);
    EXPECT_DOUBLE_EQ(ring.mean(0), (low + k) / 2) << k;  // the mean of low..k
    EXPECT_DOUBLE_EQ(ring.mean(1), 10 * (low + k) / 2) << k;
  }
  // Another number of points is another sweep: it starts again.
  ring.add(std::vector<float>{7, 8, 9});
  EXPECT_EQ(ring.held(), 1);
  EXPECT_DOUBLE_EQ(ring.mean(2), 9);
  ring.restart(2);
  EXPECT_EQ(ring.held(), 0);
  EXPECT_TRUE(std::isnan(ring.mean(0)));
  EXPECT_EQ(common::averageText(3, 16), "avg 3/16");
  EXPECT_EQ(common::averageText(1, 1), "");
}

TEST(Averaging, BridgeCountsAreAveragedBeforeThePointIsComputed) {
  // Flagged as the mean of the passes stands, not as either pass read.
  struct Case {
    std::vector<int16_t> a, b;
    analyzer::PointFlag flag;
  };
  const std::vector<Case> cases = {
      {{0, 2}, {300, 300}, analyzer::PointFlag::Valid},
      {{0, 1}, {300, 300}, analyzer::PointFlag::Valid},
      {{0, 0}, {300, 300}, analyzer::PointFlag::RlLimit},
      {{200, 200}, {26, 32}, analyzer::PointFlag::Valid},
      {{200, 200}, {26, 29}, analyzer::PointFlag::PhaseLimit},
      {{511, 514}, {300, 300}, analyzer::PointFlag::Invalid},
      {{509, 512}, {10, 10}, analyzer::PointFlag::Open},
  };
  for (const auto& c : cases) {
    common::PassAverage ring(static_cast<int>(c.a.size()));
    analyzer::Channels ch;
    for (size_t k = 0; k < c.a.size(); ++k) {
      ch.returnLossCounts[0] = c.a[k];
      ch.phaseCounts[0] = c.b[k];
      analyzer::averageChannels(ring, ch, 0);
    }
    const double a = (c.a[0] + c.a[1]) / 2.0, b = (c.b[0] + c.b[1]) / 2.0;
    analyzer::TraceValues t;
    analyzer::computeTraceValues(ch, 0, t);
    EXPECT_EQ(t.flags[0], c.flag) << a << ", " << b;
    EXPECT_EQ(ch.passes, 2);
    EXPECT_DOUBLE_EQ(ch.meanReturnLoss[0], a);
    const auto p = analyzer::evaluateMeanPoint(a, b);
    EXPECT_FLOAT_EQ(t.values[analyzer::kPhase][0], p.values[analyzer::kPhase]);
    // At the bottom of channel A's range the return loss is a bound below the reading.
    if (c.flag == analyzer::PointFlag::RlLimit)
      EXPECT_LT(t.values[analyzer::kReturnLoss][0], p.values[analyzer::kReturnLoss]);
    else
      EXPECT_FLOAT_EQ(t.values[analyzer::kReturnLoss][0], p.values[analyzer::kReturnLoss]);
  }
  // Whole means give exactly the single reading's point.
  for (int a = -3; a < 1030; a += 7)
    for (int b = -2; b < 1030; b += 61)
      ASSERT_EQ(analyzer::evaluateMeanPoint(a, b).values,
                analyzer::evaluatePoint(int16_t(a), int16_t(b)).values);
}

TEST(Averaging, OnlyTheNoiseTermOfAnIntervalShrinksWithThePasses) {
  // Four passes halve the noise, and only the noise.
  analyzer::BridgeFigures half = analyzer::publishedBridge();
  half.noiseCounts /= 2;
  for (double a : {40.0, 150.5, 300.25, 470.0})
    for (double b : {100.0, 512.5, 900.0}) {
      const auto shown = analyzer::evaluateMeanPoint(a, b).values;
      const auto one = analyzer::pointInterval(a, b, shown, analyzer::publishedBridge(), 1);
      const auto four = analyzer::pointInterval(a, b, shown, analyzer::publishedBridge(), 4);
      const auto halved = analyzer::pointInterval(a, b, shown, half, 1);
      EXPECT_EQ(four.low, halved.low);
      EXPECT_EQ(four.high, halved.high);
      EXPECT_LT(four.halfWidth(analyzer::kReturnLoss, shown[0]),
                one.halfWidth(analyzer::kReturnLoss, shown[0]));
    }
}

namespace {
class CliAverage : public test::CliTest {};
}  // namespace

// (What is not a whole number of passes is in the refusals' table.)
TEST_F(CliAverage, AverageIsAWholeNumberOfPasses) {
  auto r = test::runCli(
      "--backend sim --board ideal --dut atten:20 power-sweep --start 5 --stop 7 --points 4 "
      "--average 3 --out a.csv");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "levels=5 start=5 stop=7 file=a.csv passes=3\n");
  r = test::runCli("--backend sim analyze --start 5 --stop 7 --points 4 --average 2 --out a.vna");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "points=5 file=a.vna passes=2\n");
}
