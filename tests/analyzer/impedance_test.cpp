#include "analyzer/impedance.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kolm::analyzer;

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
