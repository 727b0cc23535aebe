#include "chart/hold.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace kolm::chart;

// Over random passes, each held point is the highest (lowest) reading with a
// value that any pass gave there, with that reading's interval and mark; a
// pass on another grid starts again.
TEST(TraceHold, HoldsTheExtremeReadingWithItsOwnInterval) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> level(-80, 0), pm(0.1, 3);
  std::uniform_int_distribution<int> markOf(0, 9);
  const size_t n = 40;
  TraceHold hold;
  std::vector<StoredTrace> passes;
  for (int p = 0; p < 30; ++p) {
    StoredTrace t{"live", "level", "dBm"};
    t.marks.assign(n, Mark::Valid);
    for (size_t i = 0; i < n; ++i) {
      const double v = level(rng), h = pm(rng);
      const int k = markOf(rng);
      t.x.push_back(1 + static_cast<double>(i));
      t.value.push_back(k == 0 ? NAN : v);
      t.low.push_back(v - h);
      t.high.push_back(v + h);
      t.marks[i] = k == 1 ? Mark::Invalid : k == 2 ? Mark::AtMost : Mark::Valid;
    }
    EXPECT_EQ(hold.take(t), p == 0);
    passes.push_back(std::move(t));
  }
  ASSERT_EQ(hold.passes(), 30);
  for (size_t i = 0; i < n; ++i) {
    const StoredTrace* top = nullptr;
    const StoredTrace* bottom = nullptr;
    for (const StoredTrace& t : passes) {
      if (!std::isfinite(t.value[i]) || t.marks[i] == Mark::Invalid) continue;
      if (!top || t.value[i] > top->value[i]) top = &t;
      if (!bottom || t.value[i] < bottom->value[i]) bottom = &t;
    }
    ASSERT_TRUE(top && bottom) << i;
    for (auto [held, from] : {std::pair{&*hold.highest(), top}, {&*hold.lowest(), bottom}}) {
      EXPECT_EQ(held->value[i], from->value[i]) << i;
      EXPECT_EQ(held->low[i], from->low[i]) << i;
      EXPECT_EQ(held->high[i], from->high[i]) << i;
      EXPECT_EQ(held->markAt(i), from->markAt(i)) << i;
    }
  }
  StoredTrace other = passes[0];
  other.x.back() += 0.5;
  EXPECT_TRUE(hold.take(other));
  EXPECT_EQ(hold.passes(), 1);
  EXPECT_EQ(hold.highest()->x, other.x);
}
