// One bridge reading: its impedance to the instrument's own precision, which
// readings are measurements, and how each quantity of a flagged point is taken.
#include "analyzer/impedance.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analyzer/validity.h"

using namespace kolm::analyzer;
using namespace kolm;
using chart::Mark;

// The computation step by step as the instrument's arithmetic does it, for any
// pair of readings.
static PointValues reference(int16_t a, int16_t b) {
  const float phase = static_cast<float>(b * 180) / 1024;
  const float rl = static_cast<float>(static_cast<int16_t>(512 - a) * 30) / 512;
  const float theta = static_cast<float>(phase * 3.14 / 180);
  const float rho = static_cast<float>(std::pow(10.0, -rl / 20.0));
  const float gr = static_cast<float>(rho * std::cos(static_cast<double>(theta)));
  const float gi = static_cast<float>(rho * std::sin(static_cast<double>(theta)));
  const float pa = 1 + gr, pb = gi, pp = 1 - gr, pq = -gi;
  const double d = static_cast<double>(pp) * pp + static_cast<double>(pq) * pq;
  const float zr = static_cast<float>(static_cast<float>(pa * pp + pb * pq) / d);
  const float zi = static_cast<float>(static_cast<float>(pb * pp - pa * pq) / d);
  const float r = 50 * zr, x = 50 * zi;
  const float z =
      static_cast<float>(std::sqrt(static_cast<double>(r) * r + static_cast<double>(x) * x));
  const float rs = rho == 1.0f ? 0.999f : rho;
  return {rl, phase, z, r, x, (1 + rs) / (1 - rs)};
}

TEST(Point, EveryReadingFollowsTheStatedPrecision) {
  std::vector<int16_t> readings;
  for (int v = 0; v <= 1025; ++v) readings.push_back(static_cast<int16_t>(v));
  for (int v : {-32768, -1000, -1, 1100, 4000, 32767}) readings.push_back(static_cast<int16_t>(v));
  int compared = 0;
  for (int16_t a : readings) {
    for (int16_t b : readings) {
      if ((a % 7 != 0 && a <= 1025 && a >= 0) || (b % 5 != 0 && b <= 1025 && b >= 0)) continue;
      auto p = evaluatePoint(a, b);
      if (!p.finite) continue;
      ASSERT_EQ(p.values, reference(a, b)) << a << "," << b;
      ++compared;
    }
  }
  EXPECT_GT(compared, 30000);
}

// Which bridge readings are measurements, and how each quantity of a flagged
// point is to be taken.
TEST(PointFlags, EachEndOfTheTwoChannels) {
  struct Case {
    int a, b;
    PointFlag flag;
  };
  const Case cases[] = {
      {300, 500, PointFlag::Valid},       {1, 500, PointFlag::Valid},
      {0, 500, PointFlag::RlLimit},       {-4, 500, PointFlag::RlLimit},  // a .vec beyond range
      {0, 0, PointFlag::RlLimit},         {512, 0, PointFlag::Open},      // no finite impedance
      {511, 28, PointFlag::Open},         {511, 29, PointFlag::Valid},
      {510, 0, PointFlag::Open},          {509, 0, PointFlag::PhaseLimit},
      {512, 1023, PointFlag::PhaseLimit},  // a short
      {300, 995, PointFlag::PhaseLimit},  {300, 994, PointFlag::Valid},
      {300, 1024, PointFlag::PhaseLimit}, {513, 0, PointFlag::Invalid},
      {513, 500, PointFlag::Invalid},     {1023, 1023, PointFlag::Invalid},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pointFlag(c.a, c.b), c.flag) << c.a << ", " << c.b;
    EXPECT_EQ(evaluatePoint(static_cast<int16_t>(c.a), static_cast<int16_t>(c.b)).flag, c.flag);
  }
}

// What the readout boxes say, quantity by quantity (RL, phase, |Z|, R, X, SWR).
TEST(PointFlags, ReadoutsSayTheMarkInWords) {
  auto words = [](int a, int b) {
    const PointResult p = evaluatePoint(static_cast<int16_t>(a), static_cast<int16_t>(b));
    std::vector<std::string> out;
    for (int q = 0; q < kQuantities; ++q)
      out.push_back(chart::markedText(shownValue(p, q), quantityMark(p.flag, q)));
    return out;
  };
  using W = std::vector<std::string>;
  // A matched load: at least 30 dB, SWR at most 1.065, the impedance near 50 ohm.
  EXPECT_EQ(words(0, 0), (W{"≥ 30.0", "≈ 0.0", "≈ 53.3", "≈ 53.3", "≈ 0.0", "≤ 1.1"}));
  // An open: return loss and phase measured, the rest open.
  EXPECT_EQ(words(512, 0), (W{"0.0", "0.0", "open", "open", "open", "open"}));
  // One count beyond a total reflection: never a negative R or SWR.
  EXPECT_EQ(words(513, 0), (W{"≈ -0.1", "≈ 0.0", "invalid", "invalid", "invalid", "invalid"}));
  // 100 ohm: the phase at its 0-degree end, R and |Z| measured.
  EXPECT_EQ(words(349, 0), (W{"9.6", "≈ 0.0", "99.9", "99.9", "≈ 0.0", "2.0"}));
  EXPECT_EQ(words(418, 329)[4], "62.7");  // 50 + j62.8 ohm read back: a plain number
}

TEST(PointFlags, ShownValuesAreInfiniteForAnOpenAndNaNWhenInvalid) {
  const PointResult open = evaluatePoint(510, 10);
  EXPECT_TRUE(open.finite);  // a large impedance the bridge cannot tell from an open
  for (int q : {kImpedance, kResistance, kReactance, kSwr}) {
    EXPECT_EQ(shownValue(open, q), INFINITY) << q;
    EXPECT_TRUE(std::isnan(shownValue(evaluatePoint(600, 300), q))) << q;
  }
  EXPECT_EQ(shownValue(open, kReturnLoss), open.values[kReturnLoss]);
}
