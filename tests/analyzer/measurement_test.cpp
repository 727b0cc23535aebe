#include "analyzer/measurement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace kolm::analyzer;

TEST(fillSyntheticMeasurement, FillsTheDocumentedTraceWithinTheCounts) {
  Measurement m;  // 3 to 30 MHz, 500 points
  m.live.returnLossCounts[501] = -7;
  m.fillSyntheticMeasurement();
  EXPECT_EQ(m.live.returnLossCounts[0], 500);
  EXPECT_EQ(m.live.phaseCounts[64], 512);
  EXPECT_EQ(m.live.phaseCounts[128], 0);
  EXPECT_EQ(m.live.phaseCounts[256], 1024);
  // The return loss peaks once, where 3i/N = pi/2 (i about 262).
  EXPECT_EQ(
      *std::min_element(m.live.returnLossCounts.begin(), m.live.returnLossCounts.begin() + 501),
      300);
  EXPECT_EQ(m.live.returnLossCounts[262], 300);
  EXPECT_FLOAT_EQ(m.live.frequencies[250], 16.5f);
  EXPECT_FLOAT_EQ(m.live.frequencies[500], 30.0f);
  // Index N + 1 is left for a real sweep.
  EXPECT_EQ(m.live.returnLossCounts[501], -7);

  // The largest plan stays within the counts, far beyond 16-bit products of the index.
  m.Points = kMaxPoints;
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
  m.Points = 4;
  m.fillSyntheticMeasurement();
  m.live.returnLossCounts[1] = 0;  // a matched point before the open
  m.live.phaseCounts[1] = 300;
  m.live.returnLossCounts[2] = 512;
  m.live.phaseCounts[2] = 0;
  m.live.returnLossCounts[3] = 513;
  TraceValues t;
  computeTraceValues(m.live, m.Points, t);
  ASSERT_EQ(t.frequencies.size(), 5u);
  EXPECT_EQ(t.frequencies[4], 30.0);
  EXPECT_EQ(t.flags[1], PointFlag::RlLimit);
  EXPECT_EQ(t.flags[2], PointFlag::Open);
  EXPECT_EQ(t.flags[3], PointFlag::Invalid);
  EXPECT_EQ(t.values[kReturnLoss][2], 0.0f);
  EXPECT_EQ(t.values[kPhase][2], 0.0f);
  for (int q : {kImpedance, kResistance, kReactance, kSwr}) {
    EXPECT_EQ(t.values[q][2], INFINITY) << q;
    EXPECT_TRUE(std::isnan(t.values[q][3])) << q;
  }
  const PointResult p = evaluatePoint(m.live.returnLossCounts[4], m.live.phaseCounts[4]);
  ASSERT_TRUE(p.finite);
  for (int q = 0; q < kQuantities; ++q) EXPECT_EQ(t.values[q][4], p.values[q]);
}

namespace {
ChartData chartOf(int16_t n, double start, double stop, int16_t a, int16_t b) {
  ChartData c;
  c.points = n;
  c.start = start;
  c.stop = stop;
  for (int i = 0; i <= n; ++i) {
    c.returnLossCounts.push_back(static_cast<int16_t>(a + i));
    c.phaseCounts.push_back(static_cast<int16_t>(b + i));
  }
  return c;
}
}  // namespace

TEST(MemoryTrace, EmptyWhileBothTestEntriesAreZeroWithinTheTrace) {
  Measurement m;
  EXPECT_TRUE(m.memoryEmpty());  // never filled
  m.loadMemory(chartOf(40, 1, 2, 0, 0));
  EXPECT_FALSE(m.memoryEmpty());  // entries 20 and 30 hold 20 and 30
  auto zeros = chartOf(40, 1, 2, 0, 0);
  zeros.returnLossCounts[20] = zeros.returnLossCounts[30] = 0;
  m.loadMemory(zeros);
  EXPECT_TRUE(m.memoryEmpty());
  zeros.returnLossCounts[30] = 1;
  m.loadMemory(zeros);
  EXPECT_FALSE(m.memoryEmpty());

  // A shorter trace: entries past its end are not looked at, whatever an
  // earlier, longer one left there.
  m.loadMemory(chartOf(40, 1, 2, 100, 0));
  auto short25 = chartOf(25, 1, 2, 0, 0);
  short25.returnLossCounts[20] = 0;
  m.loadMemory(short25);
  EXPECT_EQ(m.memory.returnLossCounts[30], 0);  // cleared by the load
  EXPECT_TRUE(m.memoryEmpty());
  short25.returnLossCounts[20] = 5;
  m.loadMemory(short25);
  EXPECT_FALSE(m.memoryEmpty());
  m.loadMemory(chartOf(10, 1, 2, 0, 0));
  EXPECT_FALSE(m.memoryEmpty());  // no test entry within ten steps
}

TEST(MemoryTrace, FileInMemoryRebuildsItsOwnFrequenciesAndLeavesTheLiveOnesAlone) {
  Measurement m;
  m.fillSyntheticMeasurement();
  const Channels live = m.live;
  m.loadMemory(chartOf(200, 7, 7.5, 300, 10));
  EXPECT_EQ(m.MemPoints, 200);
  EXPECT_EQ(m.MemStop, 7.5);
  EXPECT_EQ(m.memory.returnLossCounts[200], 500);
  EXPECT_EQ(m.memory.frequencies[100], 7.25f);
  EXPECT_EQ(m.live.returnLossCounts, live.returnLossCounts);
  EXPECT_EQ(m.live.frequencies, live.frequencies);
  EXPECT_EQ(m.Points, 500);
}

TEST(OpenAndSave, ChartShownWholeAndSavedWithTheSpanItsReadingsCover) {
  Measurement m;
  m.fillSyntheticMeasurement();
  m.live.returnLossCounts[60] = 77;  // past the chart about to be opened
  m.openChart(chartOf(50, 0.5, 1.5, 400, 20));
  EXPECT_EQ(m.Points, 50);
  EXPECT_EQ(m.ViewStop, 1.5);
  EXPECT_EQ(m.TraceStart, 0.5f);
  EXPECT_EQ(m.live.phaseCounts[50], 70);
  EXPECT_EQ(m.live.frequencies[25], 1.0f);
  EXPECT_EQ(m.live.returnLossCounts[60], 0);

  // After a zoom the saved chart keeps the whole span, so that reading i still
  // stands at its own frequency when the file is opened again.
  m.ViewStart = 0.8;
  m.ViewStop = 1.0;
  const ChartData saved = m.savedChart();
  EXPECT_EQ(saved.points, 50);
  EXPECT_EQ(saved.start, 0.5);
  EXPECT_EQ(saved.stop, 1.5);
  ASSERT_EQ(saved.returnLossCounts.size(), 51u);
  EXPECT_EQ(saved.returnLossCounts[50], 450);
}

// A completed pass replaces the live readings; only the first pass of a sweep
// takes the view with it, so a continuous sweep keeps the view zoomed to.
TEST(Measurement, APassBecomesLiveAndTheFirstSetsTheView) {
  Measurement m;
  m.ViewStart = 7;
  m.pass.returnLossCounts[3] = 99;
  m.takePass(5, 10, 100, false);
  EXPECT_EQ(m.live.returnLossCounts[3], 99);
  EXPECT_EQ(m.ViewStart, 7);
  EXPECT_EQ(m.Points, kDefaultPoints);
  m.pass.returnLossCounts[3] = 42;
  m.takePass(5, 10, 100, true);
  EXPECT_EQ(m.live.returnLossCounts[3], 42);
  EXPECT_EQ(m.ViewStart, 5);
  EXPECT_EQ(m.Points, 100);
  EXPECT_EQ(m.TraceStop, 10.0f);
  EXPECT_EQ(m.SpanStop, 10);
}
