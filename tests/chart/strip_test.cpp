#include "chart/strip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace kolm::chart;

// A strip keeps its last readings only, and its view holds every bounded
// interval it shows, whatever the readings' size and spread.
TEST(Strip, KeepsItsLastReadingsAndItsViewHoldsTheirIntervals) {
  std::mt19937 rng(3);
  for (double scale : {1e-6, 0.01, 1.0, 50.0, 1e5}) {
    Strip strip(100);
    std::normal_distribution<double> noise(0, scale);
    for (int k = 0; k < 250; ++k) {
      const double v = noise(rng), h = std::fabs(noise(rng)) / 10;
      strip.add(k * 1.5, k % 50 == 7 ? TracePoint{v, v, INFINITY, Mark::AtLeast}
                                     : TracePoint{v, v - h, v + h, Mark::Valid});
    }
    const StoredTrace t = strip.trace("swr", "");
    ASSERT_EQ(t.size(), 100u);
    EXPECT_EQ(t.x.front(), 150 * 1.5);
    const StripView view = stripView(t);
    for (size_t i = 0; i < t.size(); ++i) {
      EXPECT_GE(t.x[i], view.scale.left);
      EXPECT_LE(t.x[i], view.scale.right());
      for (double y : {t.low[i], t.high[i]})
        EXPECT_TRUE(!std::isfinite(y) || (y <= view.scale.top && y >= view.scale.bottom()))
            << scale;
    }
    EXPECT_FALSE(view.grid.horizontal.empty()) << scale;
    EXPECT_FALSE(view.grid.vertical.empty()) << scale;
  }
}
