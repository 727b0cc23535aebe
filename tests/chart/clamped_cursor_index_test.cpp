#include <gtest/gtest.h>

#include <cmath>

#include "chart/readout.h"

using kolm::chart::clampedCursorIndex;

TEST(ClampedCursorIndex, EndsOfTheSweepAndBeyond) {
  EXPECT_EQ(clampedCursorIndex(3.0, 3.0f, 30.0f, 500), 0);
  EXPECT_EQ(clampedCursorIndex(30.0, 3.0f, 30.0f, 500), 500);
  EXPECT_EQ(clampedCursorIndex(16.5, 3.0f, 30.0f, 500), 250);
  // Half a step goes to the even index.
  EXPECT_EQ(clampedCursorIndex(0.5, 0.0f, 8.0f, 8), 0);
  EXPECT_EQ(clampedCursorIndex(1.5, 0.0f, 8.0f, 8), 2);
  EXPECT_EQ(clampedCursorIndex(2.5, 0.0f, 8.0f, 8), 2);
  // A pointer dragged beyond the chart stays on the sweep's end points.
  EXPECT_EQ(clampedCursorIndex(-1000.0, 3.0f, 30.0f, 500), 0);
  EXPECT_EQ(clampedCursorIndex(1e9, 3.0f, 30.0f, 500), 500);
  EXPECT_EQ(clampedCursorIndex(std::nan(""), 3.0f, 30.0f, 500), 0);
  // A mirrored span counts from its start.
  EXPECT_EQ(clampedCursorIndex(30.0, 30.0f, 3.0f, 500), 0);
  EXPECT_EQ(clampedCursorIndex(3.0, 30.0f, 3.0f, 500), 500);
  EXPECT_EQ(clampedCursorIndex(5.0, 7.0f, 7.0f, 500), 0);
}
