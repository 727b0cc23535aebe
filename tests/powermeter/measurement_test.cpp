#include "powermeter/measurement.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace kolm::powermeter;

namespace {
SweepPlan planOf(int16_t points, float start, float stop) {
  return prepareSweep({start, stop, static_cast<double>(points), 0, -60}, 100, {}).plan.value();
}
}  // namespace

// A pass keeps the levels of the last one valid only when they stand at the
// very same points; they are never taken from a chart, a partial pass or
// another span.
TEST(PowerMeasurement, APassReusesTheLastLevelsOnlyAtTheSamePoints) {
  struct Case {
    const char* what;
    bool wholeBefore;
    SweepPlan next;
    int valid;
  };
  const SweepPlan first = planOf(100, 1, 2);
  const Case cases[] = {{"same points", true, first, 101},
                        {"first pass partial", false, first, 0},
                        {"other points", true, planOf(99, 1, 2), 0},
                        {"other span", true, planOf(100, 1, 3), 0}};
  for (const Case& c : cases) {
    Measurement m;
    m.beginPass(first, {});
    EXPECT_EQ(m.validLevels, 0) << c.what;
    m.measured(c.wholeBefore ? 101 : 40);
    m.measured(10);  // never fewer than before
    m.beginPass(c.next, {});
    EXPECT_EQ(m.validLevels, c.valid) << c.what;
    EXPECT_EQ(m.viewStopMHz, c.next.viewStopMHz) << c.what;
    EXPECT_EQ(m.traceStopMHz, c.next.viewStopMHz) << c.what;
  }
}

TEST(PowerMeasurement, ChartsTheMemoryAndWhatASaveWrites) {
  Measurement m;
  EXPECT_FALSE(m.copyToMemory());  // nothing measured yet
  m.topDbm = 5;
  m.openChart({4, 10, 12, {-1, -2, -3, -4, -5}, -7.5f}, {});
  EXPECT_TRUE(m.whole() && m.fromFile);
  EXPECT_EQ(m.storedReference, -7.5f);
  EXPECT_EQ(m.topDbm, 5);  // the level range stays the window's
  EXPECT_EQ(m.traceStartMHz, 10);

  // After a zoom the file still gets the span the levels cover, and the level
  // reference at its centre (entry 110) becomes the stored one.
  m.viewStartMHz = 10.5f;
  ReferenceTable reference{};
  reference[110] = -3.25f;
  const ChartFile saved = m.savedChart(reference);
  EXPECT_EQ(std::tuple(saved.start, saved.stop, saved.levels),
            std::tuple(10, 12, std::vector<float>{-1, -2, -3, -4, -5}));
  EXPECT_EQ(m.storedReference, -3.25f);

  ASSERT_TRUE(m.copyToMemory());
  EXPECT_EQ(m.memoryPoints, 4);
  EXPECT_EQ(m.memoryLevels[4], -5);
  m.loadMemory({1, 3, 4, {-9, -8}, {}}, {});
  EXPECT_EQ(m.memoryStartMHz, 3);
  EXPECT_EQ(m.memoryLevels[1], -8);
}
