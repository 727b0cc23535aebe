// Judging a measured value against a limit by its interval: it passes when the
// whole interval meets the limit, fails when the interval lies wholly beyond
// it, and is indeterminate when the interval straddles the limit (or there is
// no value): the measurement cannot tell. Crystals against their limits and
// traces against a mask are judged by this one rule.
#pragma once

#include <string_view>

namespace kolm::common {

enum class Verdict { Pass, Fail, Indeterminate };

// "pass", "fail", "indeterminate".
std::string_view verdictName(Verdict verdict);

// [low, high] against the most (`least` false) or the least value allowed.
// An interval touching the limit meets it. NaN ends count as unknown: a
// value known nowhere is indeterminate.
Verdict judgeInterval(double low, double high, double limit, bool least);

// The two verdicts together: fail over indeterminate over pass.
inline Verdict worseVerdict(Verdict a, Verdict b) {
  if (a == Verdict::Fail || b == Verdict::Fail) return Verdict::Fail;
  if (a == Verdict::Indeterminate || b == Verdict::Indeterminate) return Verdict::Indeterminate;
  return Verdict::Pass;
}

}  // namespace kolm::common
