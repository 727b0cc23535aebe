// Crystals sorted against limits by their intervals.
#include "powermeter/crystal_limits.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "common/text.h"
#include "support/golden.h"

using ::testing::HasSubstr;
using namespace kolm::powermeter;

TEST(CrystalLimits, LimitsAreReadOrRefusedWithTheReason) {
  std::string error;
  EXPECT_EQ(parseCrystalLimits("fs_min=4.9,fs_max=4.92, r_max=30,q_min=2e4", &error),
            (CrystalLimits{4.9, 4.92, 30, 2e4}));
  EXPECT_EQ(parseCrystalLimits("q_min=100", &error), (CrystalLimits{{}, {}, {}, 100}));
  auto refused = kolm::test::goldenRows("crystal_limit_refusals.tsv", 2);
  refused.push_back({"", "not a limit"});
  for (const auto& c : refused) {
    EXPECT_FALSE(parseCrystalLimits(c[0], &error)) << c[0];
    EXPECT_THAT(error, HasSubstr(c[1])) << c[0];
  }
}

// Every limit alike: the whole interval on the good side passes, wholly on
// the bad side fails, across it cannot be told; a fail outweighs the rest.
TEST(CrystalLimits, TheVerdictFollowsTheIntervals) {
  CrystalRow row;
  row.fsMHz = BatchValue(10.0000, 0.0001);
  row.rOhm = BatchValue(20, 2);
  row.q = BatchValue(50000, 5000);
  const struct {
    CrystalLimits limits;
    Verdict verdict;
  } cases[] = {
      {{9.9, 10.1, 30, 40000}, Verdict::Pass},
      {{10.00005, {}, {}, {}}, Verdict::Indeterminate},
      {{{}, 10.00005, {}, {}}, Verdict::Indeterminate},
      {{{}, 9.9998, {}, {}}, Verdict::Fail},
      {{{}, {}, 21, {}}, Verdict::Indeterminate},
      {{{}, {}, 17.9, {}}, Verdict::Fail},
      {{{}, {}, {}, 56000}, Verdict::Fail},
      {{{}, {}, {}, 50000}, Verdict::Indeterminate},
      {{{}, {}, 21, 56000}, Verdict::Fail},
  };
  for (const auto& c : cases) {
    const CrystalVerdict v = judgeCrystal(row, c.limits);
    EXPECT_EQ(v.verdict, c.verdict) << verdictName(v.verdict);
    EXPECT_EQ(v.reasons.empty(), c.verdict == Verdict::Pass);
  }
  row.q.reset();  // a limited value not measured cannot be told
  EXPECT_EQ(judgeCrystal(row, {{}, {}, {}, 100}).verdict, Verdict::Indeterminate);
}

// The reason states the interval as written, rounded outward: never narrower
// than the one the verdict was drawn from, whatever the digits.
TEST(CrystalLimits, TheReasonNeverStatesANarrowerInterval) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> exponent(-4, 3), digits(1, 10);
  for (int k = 0; k < 3000; ++k) {
    const double value = digits(random) * std::pow(10.0, exponent(random));
    const double pm = value * digits(random) * std::pow(10.0, exponent(random) - 4);
    CrystalRow row;
    row.rOhm = BatchValue(value, pm);
    const CrystalVerdict v = judgeCrystal(row, {{}, {}, value, {}});  // straddled
    ASSERT_EQ(v.reasons.size(), 1u);
    const std::string& why = v.reasons[0];
    const size_t at = why.find(" \u00b1 ");
    ASSERT_NE(at, std::string::npos) << why;
    const double shown = kolm::test::goldenNumber(why.substr(2, at - 2));
    const double shownPm = kolm::common::numericValue(std::string_view(why).substr(at + 4));
    EXPECT_LE(shown - shownPm, value - pm) << why << " for " << value << " +- " << pm;
    EXPECT_GE(shown + shownPm, value + pm) << why << " for " << value << " +- " << pm;
  }
}
