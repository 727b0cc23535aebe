#include "chart/limit_mask.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "support/golden.h"

using namespace kolm::chart;
using kolm::common::Verdict;

// Over generated traces and masks: a point that passes has its truth within
// every limit over it, a point that fails has it beyond one, and the sweep's
// verdict is its points' worst; the mask written out reads back the same.
TEST(LimitMask, VerdictAgreesWithTheTruthOverGeneratedMasks) {
  std::mt19937 rng(4);
  std::uniform_real_distribution<double> u(0, 1);
  int told = 0, judged = 0;
  for (int round = 0; round < 300; ++round) {
    StoredTrace t{"t", "swr", ""};
    std::vector<double> truth;
    const double pm = 0.01 + 0.2 * u(rng);
    for (int i = 0; i <= 200; ++i) {
      const double x = 3 + 0.1 * i, v = 1.5 + std::sin(x * (0.2 + u(rng) * 0.01)) * 0.8;
      const double read = v + pm * (2 * u(rng) - 1);
      truth.push_back(v);
      t.x.push_back(x), t.value.push_back(read), t.low.push_back(read - pm);
      t.high.push_back(read + pm);
    }
    LimitMask mask;
    double at = 3 + 3 * u(rng);
    for (int k = 0; k < 4 && at < 22; ++k) {
      const double to = at + 1 + 4 * u(rng);
      const double lowLine = 0.6 + u(rng), highLine = lowLine + 0.2 + 1.5 * u(rng);
      mask.segments.push_back({"swr", true, at, to, highLine, highLine + 0.3 * u(rng), 2 + 2 * k});
      mask.segments.push_back({"swr", false, at, to, lowLine, lowLine - 0.2 * u(rng), 3 + 2 * k});
      at = to + u(rng);
    }
    const MaskRead back = parseLimitMask(formatLimitMask(mask), "m");
    ASSERT_TRUE(back.mask) << back.error;
    EXPECT_EQ(formatLimitMask(*back.mask), formatLimitMask(mask));
    const MaskVerdict v = judgeTrace(t, mask);
    Verdict worst = Verdict::Pass;
    for (size_t i = 0; i < t.size(); ++i) {
      if (!v.points[i]) continue;
      ++judged;
      bool meets = true;
      for (const LimitSegment& s : mask.segments)
        if (t.x[i] >= s.fromMHz && t.x[i] <= s.toMHz)
          meets =
              meets && (s.upper ? truth[i] <= s.limitAt(t.x[i]) : truth[i] >= s.limitAt(t.x[i]));
      if (*v.points[i] != Verdict::Indeterminate) {
        EXPECT_EQ(meets, *v.points[i] == Verdict::Pass) << t.x[i];
      }
      told += *v.points[i] != Verdict::Indeterminate;
      worst = kolm::common::worseVerdict(worst, *v.points[i]);
    }
    EXPECT_EQ(v.verdict, worst);
  }
  EXPECT_GT(told, judged * 3 / 4);  // the intervals decide most points
}

TEST(LimitMask, DamagedFilesNamedByFileAndLine) {
  auto cases = kolm::test::goldenRows("mask_refusals.tsv", 2);
  cases.push_back({"m:1: ", ""});  // an empty file
  for (const auto& c : cases) {
    const MaskRead r = parseLimitMask(c[1], "m");
    EXPECT_EQ(r.mask.has_value(), c[0] == "-") << c[1] << r.error;
    if (c[0] != "-") {
      EXPECT_EQ(r.error.rfind(c[0], 0), 0u) << c[1] << r.error;
      EXPECT_GT(r.error.size(), c[0].size() + 5);
    }
  }
}

TEST(LimitMask, SweepVerdictWhereThePointsCannotTell) {
  StoredTrace t{"t", "level", "dBm", {3, 4, 5}, {-10, -10, -10}, {-11, -11, -11}, {-9, -9, -9}};
  const auto judge = [&](const char* mask) {
    return judgeTrace(t, *parseLimitMask(mask, "m").mask).verdict;
  };
  EXPECT_EQ(judge("kolm-mask 1\nquantity level\nupper 3 5 -8\n"), Verdict::Pass);
  EXPECT_EQ(judge("kolm-mask 1\nquantity level\nupper 3 5 -12\n"), Verdict::Fail);
  EXPECT_EQ(judge("kolm-mask 1\nquantity level\nupper 3 5 -9.5\n"), Verdict::Indeterminate);
  // A limit beyond the sweep, or none of this quantity: not told.
  EXPECT_EQ(judge("kolm-mask 1\nquantity level\nupper 3 6 -8\n"), Verdict::Indeterminate);
  EXPECT_EQ(judge("kolm-mask 1\nquantity swr\nupper 3 5 2\n"), Verdict::Indeterminate);
  t.marks = {Mark::Valid, Mark::AtMost, Mark::Approximate};
  EXPECT_EQ(judge("kolm-mask 1\nquantity level\nupper 3 4.5 -8\n"), Verdict::Pass);
  EXPECT_EQ(judge("kolm-mask 1\nquantity level\nlower 3 4.5 -12\n"), Verdict::Indeterminate);
  EXPECT_EQ(judge("kolm-mask 1\nquantity level\nupper 5 6 -8\nupper 3 5 -8\n"),
            Verdict::Indeterminate);
}
