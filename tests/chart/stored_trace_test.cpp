#include "chart/stored_trace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
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

// A load's reflection near a resonance: a circle on the chart, swept round
// as the frequency passes `centre`.
struct ReflectionTruth {
  std::complex<double> offset, size;
  double centre, width;
  std::complex<double> operator()(double x) const {
    return offset + size / std::complex<double>(1, (x - centre) / width);
  }
};

// An analyzer's sweep of `truth`: each reflection read somewhere in its
// disk of radius pm; one point in 20 read wide of it and approximate.
StoredTrace reflectionSweep(const ReflectionTruth& truth, double from, double to, int points,
                            double pm, std::mt19937& rng) {
  std::uniform_real_distribution<double> u(0, 1);
  StoredTrace t{"t", "rl", "dB"};
  for (int i = 0; i < points; ++i) {
    const double x = from + (to - from) * i / (points - 1);
    const bool wide = u(rng) < 0.05;
    const auto off = std::polar((wide ? 4 : 1) * pm * std::sqrt(u(rng)), 6.3 * u(rng));
    t.x.push_back(x);
    t.value.push_back(0), t.low.push_back(0), t.high.push_back(0);
    t.reflection.push_back({truth(x) + off, pm, wide ? Mark::Approximate : Mark::Valid});
  }
  return t;
}

}  // namespace

// The promise: at every point of a difference, a ratio or a reflections'
// distance of two sweeps on different grids, the truth lies within the
// result's interval or the point is marked; and the intervals stay close to
// what the operands' give.
TEST(TraceArithmetic, TruthInsideOrMarkedOverGeneratedPairs) {
  std::mt19937 rng(44);
  std::uniform_real_distribution<double> u(0, 1);
  for (const TraceOperation op :
       {TraceOperation::Difference, TraceOperation::Ratio, TraceOperation::ReflectionDistance}) {
    const bool ratio = op == TraceOperation::Ratio;
    const bool distance = op == TraceOperation::ReflectionDistance;
    long points = 0, inside = 0, marked = 0;
    double widthOverStated = 0;
    for (int pair = 0; pair < 400; ++pair) {
      auto truth = [&] {
        const double width = 0.05 + 2 * u(rng);
        return Truth{ratio ? 1 + 3 * u(rng) : -40 + 20 * u(rng), 0.05 * (u(rng) - 0.5),
                     (ratio ? 5 : 40) * u(rng), 5 + 20 * u(rng), width};
      };
      auto reflectionTruth = [&] {
        return ReflectionTruth{std::polar(0.4 * u(rng), 6.3 * u(rng)),
                               std::polar(0.5 * u(rng), 6.3 * u(rng)), 5 + 20 * u(rng),
                               0.1 + 2 * u(rng)};
      };
      const double pmA = 0.02 + 0.5 * u(rng), pmB = 0.02 + 0.5 * u(rng);
      const double floor = ratio ? 0 : -45;
      const double fromA = 3 + 3 * u(rng), toA = 25 + 5 * u(rng), fromB = 2 + 3 * u(rng),
                   toB = 27 + 5 * u(rng);
      const int nA = 50 + static_cast<int>(400 * u(rng)), nB = 50 + static_cast<int>(400 * u(rng));
      StoredTrace a, b;
      std::function<double(double)> truthAt;
      if (distance) {
        const ReflectionTruth ga = reflectionTruth(), gb = reflectionTruth();
        a = reflectionSweep(ga, fromA, toA, nA, pmA / 25, rng);
        b = reflectionSweep(gb, fromB, toB, nB, pmB / 25, rng);
        truthAt = [=](double x) { return std::abs(ga(x) - gb(x)); };
      } else {
        const Truth ta = truth(), tb = truth();
        a = sweep(ta, fromA, toA, nA, pmA, floor, rng);
        b = sweep(tb, fromB, toB, nB, pmB, floor, rng);
        truthAt = [=](double x) { return ratio ? ta(x) / tb(x) : ta(x) - tb(x); };
      }
      if (ratio) {
        a.quantity = b.quantity = "swr";
        a.unit = b.unit = "";
      }
      const CombinedTrace c = combineTraces(a, b, op);
      ASSERT_TRUE(c.trace) << c.error;
      const StoredTrace& r = *c.trace;
      ASSERT_EQ(traceProblem(r), "");
      for (size_t i = 0; i < r.size(); ++i) {
        const double truthThere = truthAt(r.x[i]);
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
        if (!ratio)
          widthOverStated += (r.high[i] - r.low[i]) / 2 / (pmA + pmB) * (distance ? 25 : 1);
      }
    }
    const long plain = points - marked;
    EXPECT_GE(static_cast<double>(inside + marked) / static_cast<double>(points), 0.98);
    // Not bought with marks or with wide intervals.
    EXPECT_GT(plain, points / 2);
    if (!ratio) {
      EXPECT_LT(widthOverStated / static_cast<double>(plain), 1.5);
    }
  }
}

TEST(TraceArithmetic, RefusalsAndOverlap) {
  // A level in dBm or an SWR, no unit.
  auto line = [](double from, double to, const std::string& quantity) {
    StoredTrace t{"t", quantity, quantity == "level" ? "dBm" : ""};
    for (int i = 0; i <= 10; ++i) {
      t.x.push_back(from + (to - from) * i / 10);
      t.value.push_back(2), t.low.push_back(1.5), t.high.push_back(2.5);
    }
    return t;
  };
  using Op = TraceOperation;
  const struct {
    StoredTrace a, b;
    TraceOperation op;
    bool result;
    bool note;
  } cases[] = {
      {line(3, 30, "level"), line(3, 30, "level"), Op::Difference, true, false},
      {line(3, 30, "level"), line(10, 40, "level"), Op::Difference, true, true},
      {line(3, 30, "level"), line(31, 40, "level"), Op::Difference, false, false},
      {line(3, 30, "level"), line(3, 30, "swr"), Op::Difference, false, false},
      {line(3, 30, "level"), line(3, 30, "level"), Op::Ratio, false, false},
      {line(3, 30, "swr"), line(1, 40, "swr"), Op::Ratio, true, true},
      // Reflections' distance: only of traces that hold reflections.
      {line(3, 30, "swr"), line(3, 30, "swr"), Op::ReflectionDistance, false, false},
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
  StoredTrace a = line(3, 30, "swr"), b = a;
  a.marks.assign(a.size(), Mark::AtLeast);
  b.marks.assign(b.size(), Mark::AtMost);
  EXPECT_EQ(combineTraces(a, b, TraceOperation::Difference).trace->markAt(3), Mark::AtLeast);
  EXPECT_EQ(combineTraces(a, a, TraceOperation::Difference).trace->markAt(3), Mark::Invalid);
  EXPECT_EQ(combineTraces(b, a, TraceOperation::Ratio).trace->markAt(3), Mark::AtMost);
}
