#include "analyzer/measurement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace kolm::analyzer;

TEST(MisuraSimulata, FillsTheDocumentedTraceForFiveHundredPoints) {
  Measurement m;  // 3 to 30 MHz, 500 points
  m.live.CanaleA[501] = -7;
  m.live.CanaleB[501] = -7;
  m.MisuraSimulata();
  EXPECT_EQ(m.live.CanaleA[0], 500);
  EXPECT_EQ(m.live.CanaleB[0], 1024);
  EXPECT_EQ(m.live.CanaleB[64], 512);
  EXPECT_EQ(m.live.CanaleB[128], 0);
  EXPECT_EQ(m.live.CanaleB[256], 1024);
  // The return loss peaks once, where 3i/N = pi/2 (i about 262).
  EXPECT_EQ(*std::min_element(m.live.CanaleA.begin(), m.live.CanaleA.begin() + 501), 300);
  EXPECT_EQ(m.live.CanaleA[262], 300);
  EXPECT_EQ(m.live.Frequenze[0], 3.0f);
  EXPECT_FLOAT_EQ(m.live.Frequenze[250], 16.5f);
  EXPECT_FLOAT_EQ(m.live.Frequenze[500], 30.0f);
  // Index N + 1 is left for a real sweep.
  EXPECT_EQ(m.live.CanaleA[501], -7);
  EXPECT_EQ(m.live.CanaleB[501], -7);

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
    ASSERT_GE(m.live.CanaleA[i], 300) << i;
    ASSERT_LE(m.live.CanaleA[i], 500) << i;
    ASSERT_GE(m.live.CanaleB[i], 0) << i;
    ASSERT_LE(m.live.CanaleB[i], 1024) << i;
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

TEST(TraceValues, AnOpenCircuitPointRepeatsThePreviousValues) {
  Measurement m;
  m.Points = 4;
  m.MisuraSimulata();
  m.live.CanaleA[2] = 512;
  m.live.CanaleB[2] = 0;
  m.live.CanaleA[0] = 512;
  m.live.CanaleB[0] = 0;
  PointValues previous{1, 2, 3, 4, 5, 6};
  TraceValues t;
  computeTraceValues(m.live, m.Points, previous, t);
  ASSERT_EQ(t.frequencies.size(), 5u);
  EXPECT_EQ(t.frequencies[4], 30.0);
  for (int q = 0; q < kQuantities; ++q) {
    ASSERT_EQ(t.values[q].size(), 5u);
    EXPECT_EQ(t.values[q][0], q + 1) << q;
    EXPECT_EQ(t.values[q][2], t.values[q][1]) << q;
  }
  PointValues v{};
  ASSERT_TRUE(CalcolaPunto(m.live.CanaleA[3], m.live.CanaleB[3], v));
  for (int q = 0; q < kQuantities; ++q) EXPECT_EQ(t.values[q][3], v[q]);
  ASSERT_TRUE(CalcolaPunto(m.live.CanaleA[4], m.live.CanaleB[4], v));
  EXPECT_EQ(previous, v);  // the last point computed is left behind
}
