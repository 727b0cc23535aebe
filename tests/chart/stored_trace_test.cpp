#include "chart/stored_trace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace kolm::chart;

namespace {

// A resonance on a slope: what either instrument sweeps.
struct Truth {
  double base, slope, height, centre, width;
  double operator()(double x) const {
    const double u = (x - centre) / width;
    return base + slope * x + height / (1 + u * u);
  }
};

// A sweep of `truth`: each reading somewhere within its stated half-width;
// readings below `floor` read as the floor and are marked "at most".
StoredTrace sweep(const Truth& truth, double from, double to, int points, double pm, double floor,
                  std::mt19937& rng) {
  std::uniform_real_distribution<double> within(-pm, pm);
  StoredTrace t{"t", "level", "dBm"};
  t.marks.assign(static_cast<size_t>(points), Mark::Valid);
  for (int i = 0; i < points; ++i) {
    const double x = from + (to - from) * i / (points - 1);
    const double v = std::max(truth(x), floor) + within(rng);
    t.x.push_back(x);
    t.value.push_back(v);
    t.low.push_back(v - pm);
    t.high.push_back(v + pm);
    if (truth(x) < floor) t.marks[static_cast<size_t>(i)] = Mark::AtMost;
  }
  return t;
}

}  // namespace

// The promise: at every point of a difference or a ratio of two sweeps on
// different grids, the truth lies within the result's interval or the point
// is marked; and the intervals stay close to what the operands' give.
TEST(TraceArithmetic, TruthInsideOrMarkedOverGeneratedPairs) {
  std::mt19937 rng(44);
  std::uniform_real_distribution<double> u(0, 1);
  for (const TraceOperation op : {TraceOperation::Difference, TraceOperation::Ratio}) {
    const bool ratio = op == TraceOperation::Ratio;
    long points = 0, inside = 0, marked = 0;
    double widthOverStated = 0;
    for (int pair = 0; pair < 400; ++pair) {
      auto truth = [&] {
        const double width = 0.05 + 2 * u(rng);
        return Truth{ratio ? 1 + 3 * u(rng) : -40 + 20 * u(rng), 0.05 * (u(rng) - 0.5),
                     (ratio ? 5 : 40) * u(rng), 5 + 20 * u(rng), width};
      };
      const Truth ta = truth(), tb = truth();
      const double pmA = 0.02 + 0.5 * u(rng), pmB = 0.02 + 0.5 * u(rng);
      const double floor = ratio ? 0 : -45;
      StoredTrace a = sweep(ta, 3 + 3 * u(rng), 25 + 5 * u(rng),
                            50 + static_cast<int>(400 * u(rng)), pmA, floor, rng);
      StoredTrace b = sweep(tb, 2 + 3 * u(rng), 27 + 5 * u(rng),
                            50 + static_cast<int>(400 * u(rng)), pmB, floor, rng);
      if (ratio) {
        a.quantity = b.quantity = "swr";
        a.unit = b.unit = "";
      }
      const CombinedTrace c = combineTraces(a, b, op);
      ASSERT_TRUE(c.trace) << c.error;
      const StoredTrace& r = *c.trace;
      ASSERT_EQ(traceProblem(r), "");
      for (size_t i = 0; i < r.size(); ++i) {
        const double truthThere = ratio ? ta(r.x[i]) / tb(r.x[i]) : ta(r.x[i]) - tb(r.x[i]);
        ++points;
        if (flagged(r.markAt(i))) {
          ++marked;
          // A bound still bounds: the truth is on its side.
          const auto [lo, hi] = markedInterval({r.value[i], r.low[i], r.high[i], r.markAt(i)});
          if (r.markAt(i) == Mark::AtLeast || r.markAt(i) == Mark::AtMost) {
            EXPECT_TRUE(truthThere >= lo && truthThere <= hi) << r.x[i];
          }
          continue;
        }
        inside += truthThere >= r.low[i] && truthThere <= r.high[i];
        if (!ratio) widthOverStated += (r.high[i] - r.low[i]) / 2 / (pmA + pmB);
      }
    }
    const long plain = points - marked;
    EXPECT_GE(static_cast<double>(inside + marked) / static_cast<double>(points), 0.98);
    // Not bought with marks or with wide intervals.
    EXPECT_GT(plain, points / 2);
    if (!ratio) {
      EXPECT_LT(widthOverStated / static_cast<double>(plain), 1.5);
    }
    RecordProperty(ratio ? "ratio_inside" : "difference_inside",
                   std::to_string(inside) + "/" + std::to_string(plain));
  }
}

TEST(TraceArithmetic, RefusalsAndOverlap) {
  auto line = [](double from, double to, const char* quantity, const char* unit) {
    StoredTrace t{"t", quantity, unit};
    for (int i = 0; i <= 10; ++i) {
      t.x.push_back(from + (to - from) * i / 10);
      t.value.push_back(2), t.low.push_back(1.5), t.high.push_back(2.5);
    }
    return t;
  };
  const struct {
    StoredTrace a, b;
    TraceOperation op;
    bool result;
    bool note;
  } cases[] = {
      {line(3, 30, "level", "dBm"), line(3, 30, "level", "dBm"), TraceOperation::Difference, true,
       false},
      {line(3, 30, "level", "dBm"), line(10, 40, "level", "dBm"), TraceOperation::Difference, true,
       true},
      {line(3, 30, "level", "dBm"), line(31, 40, "level", "dBm"), TraceOperation::Difference, false,
       false},
      {line(3, 30, "level", "dBm"), line(3, 30, "swr", ""), TraceOperation::Difference, false,
       false},
      {line(3, 30, "level", "dBm"), line(3, 30, "level", "dBm"), TraceOperation::Ratio, false,
       false},
      {line(3, 30, "swr", ""), line(1, 40, "swr", ""), TraceOperation::Ratio, true, true},
  };
  for (const auto& c : cases) {
    const CombinedTrace r = combineTraces(c.a, c.b, c.op);
    EXPECT_EQ(r.trace.has_value(), c.result) << r.error;
    EXPECT_EQ(r.error.empty(), c.result);
    EXPECT_EQ(!r.note.empty(), c.note) << r.note;
    if (r.trace && c.op == TraceOperation::Difference) {
      EXPECT_EQ(r.trace->unit, "dB");
      EXPECT_EQ(r.trace->low.front(), -1);  // 1.5 - 2.5
    }
  }
  // Opposite bounds leave nothing; an operand's bound becomes the result's.
  StoredTrace a = line(3, 30, "swr", ""), b = a;
  a.marks.assign(a.size(), Mark::AtLeast);
  b.marks.assign(b.size(), Mark::AtMost);
  EXPECT_EQ(combineTraces(a, b, TraceOperation::Difference).trace->markAt(3), Mark::AtLeast);
  EXPECT_EQ(combineTraces(a, a, TraceOperation::Difference).trace->markAt(3), Mark::Invalid);
  EXPECT_EQ(combineTraces(b, a, TraceOperation::Ratio).trace->markAt(3), Mark::AtMost);
}
