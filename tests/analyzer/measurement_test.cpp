#include "analyzer/measurement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace kolm::analyzer;

TEST(MisuraSimulata, FillsTheDocumentedTraceForFiveHundredPoints) {
  Measurement m;  // 3 to 30 MHz, 500 points
  m.live.CanaleA[501] = -7;
  m.MisuraSimulata();
  EXPECT_EQ(m.live.CanaleA[0], 500);
  EXPECT_EQ(m.live.CanaleB[64], 512);
  EXPECT_EQ(m.live.CanaleB[128], 0);
  EXPECT_EQ(m.live.CanaleB[256], 1024);
  // The return loss peaks once, where 3i/N = pi/2 (i about 262).
  EXPECT_EQ(*std::min_element(m.live.CanaleA.begin(), m.live.CanaleA.begin() + 501), 300);
  EXPECT_EQ(m.live.CanaleA[262], 300);
  EXPECT_FLOAT_EQ(m.live.Frequenze[250], 16.5f);
  EXPECT_FLOAT_EQ(m.live.Frequenze[500], 30.0f);
  // Index N + 1 is left for a real sweep.
  EXPECT_EQ(m.live.CanaleA[501], -7);

  ASSERT_TRUE(m.CalcolaPunto(0));
  EXPECT_NEAR(m.ValoriPunto[kReturnLoss], 0.70, 0.01);
  ASSERT_TRUE(m.CalcolaPunto(262));
  EXPECT_NEAR(m.ValoriPunto[kReturnLoss], 12.42, 0.01);
}

TEST(MisuraSimulata, LargestPlanStaysInRange) {
  Measurement m;
  m.Points = kMaxPoints;
  m.MisuraSimulata();
  for (int i = 0; i <= kMaxPoints; ++i) {
    ASSERT_TRUE(m.live.CanaleA[i] >= 300 && m.live.CanaleA[i] <= 500) << i;
    ASSERT_TRUE(m.live.CanaleB[i] >= 0 && m.live.CanaleB[i] <= 1024) << i;
  }
  // Far beyond 16-bit products of the index: the triangle keeps its period.
  EXPECT_EQ(m.live.CanaleB[4096], 1024);
  EXPECT_EQ(m.live.CanaleB[19840], 0);
  EXPECT_FLOAT_EQ(m.live.Frequenze[kMaxPoints], 30.0f);
}

TEST(Measurement, PointOutsideTheArraysComputesNothing) {
  Measurement m;
  m.MisuraSimulata();
  ASSERT_TRUE(m.CalcolaPunto(10));
  const PointValues before = m.ValoriPunto;
  EXPECT_FALSE(m.CalcolaPunto(-1));
  EXPECT_FALSE(m.CalcolaPunto(kChannelEntries));
  EXPECT_FALSE(m.CalcolaPuntoComp(40000));
  EXPECT_EQ(m.ValoriPunto, before);
  m.memory.CanaleA[3] = 0;
  m.memory.CanaleB[3] = 0;
  ASSERT_TRUE(m.CalcolaPuntoComp(3));
  EXPECT_EQ(m.ValoriPunto[kReturnLoss], 30.0f);
}

// An open point is drawn as an open (|Z|, R, X and SWR infinite), never with the
// values of the point before it; its return loss and phase are measured.
TEST(TraceValues, AnOpenPointIsInfiniteNotThePreviousValues) {
  Measurement m;
  m.Points = 4;
  m.MisuraSimulata();
  m.live.CanaleA[1] = 0;  // a matched point before the open
  m.live.CanaleB[1] = 300;
  m.live.CanaleA[2] = 512;
  m.live.CanaleB[2] = 0;
  m.live.CanaleA[3] = 513;
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
  PointValues v{};
  ASSERT_TRUE(CalcolaPunto(m.live.CanaleA[4], m.live.CanaleB[4], v));
  for (int q = 0; q < kQuantities; ++q) EXPECT_EQ(t.values[q][4], v[q]);
}

namespace {
ChartData chartOf(int16_t n, double start, double stop, int16_t a, int16_t b) {
  ChartData c;
  c.points = n;
  c.start = start;
  c.stop = stop;
  for (int i = 0; i <= n; ++i) {
    c.canaleA.push_back(static_cast<int16_t>(a + i));
    c.canaleB.push_back(static_cast<int16_t>(b + i));
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
  zeros.canaleA[20] = zeros.canaleA[30] = 0;
  m.loadMemory(zeros);
  EXPECT_TRUE(m.memoryEmpty());
  zeros.canaleA[30] = 1;
  m.loadMemory(zeros);
  EXPECT_FALSE(m.memoryEmpty());

  // A shorter trace: entries past its end are not looked at, whatever an
  // earlier, longer one left there.
  m.loadMemory(chartOf(40, 1, 2, 100, 0));
  auto short25 = chartOf(25, 1, 2, 0, 0);
  short25.canaleA[20] = 0;
  m.loadMemory(short25);
  EXPECT_EQ(m.memory.CanaleA[30], 0);  // cleared by the load
  EXPECT_TRUE(m.memoryEmpty());
  short25.canaleA[20] = 5;
  m.loadMemory(short25);
  EXPECT_FALSE(m.memoryEmpty());
  m.loadMemory(chartOf(10, 1, 2, 0, 0));
  EXPECT_FALSE(m.memoryEmpty());  // no test entry within ten steps
}

TEST(MemoryTrace, FileInMemoryRebuildsItsOwnFrequenciesAndLeavesTheLiveOnesAlone) {
  Measurement m;
  m.MisuraSimulata();
  const Channels live = m.live;
  m.loadMemory(chartOf(200, 7, 7.5, 300, 10));
  EXPECT_EQ(m.MemPoints, 200);
  EXPECT_EQ(m.MemStop, 7.5);
  EXPECT_EQ(m.memory.CanaleA[200], 500);
  EXPECT_EQ(m.memory.Frequenze[100], 7.25f);
  EXPECT_EQ(m.live.CanaleA, live.CanaleA);
  EXPECT_EQ(m.live.Frequenze, live.Frequenze);
  EXPECT_EQ(m.Points, 500);
}

TEST(OpenAndSave, ChartShownWholeAndSavedWithTheSpanItsReadingsCover) {
  Measurement m;
  m.MisuraSimulata();
  m.live.CanaleA[60] = 77;  // past the chart about to be opened
  m.openChart(chartOf(50, 0.5, 1.5, 400, 20));
  EXPECT_EQ(m.Points, 50);
  EXPECT_EQ(m.ViewStop, 1.5);
  EXPECT_EQ(m.TraceStart, 0.5f);
  EXPECT_EQ(m.live.CanaleB[50], 70);
  EXPECT_EQ(m.live.Frequenze[25], 1.0f);
  EXPECT_EQ(m.live.CanaleA[60], 0);

  // After a zoom the saved chart keeps the whole span, so that reading i still
  // stands at its own frequency when the file is opened again.
  m.ViewStart = 0.8;
  m.ViewStop = 1.0;
  const ChartData saved = m.savedChart();
  EXPECT_EQ(saved.points, 50);
  EXPECT_EQ(saved.start, 0.5);
  EXPECT_EQ(saved.stop, 1.5);
  ASSERT_EQ(saved.canaleA.size(), 51u);
  EXPECT_EQ(saved.canaleA[50], 450);
}
