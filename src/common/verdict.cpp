#include "common/verdict.h"

#include <cmath>

namespace kolm::common {

std::string_view verdictName(Verdict verdict) {
  switch (verdict) {
    case Verdict::Fail:
      return "fail";
    case Verdict::Indeterminate:
      return "indeterminate";
    case Verdict::Pass:
      break;
  }
  return "pass";
}

Verdict judgeInterval(double low, double high, double limit, bool least) {
  if (std::isnan(low) || std::isnan(high) || std::isnan(limit)) return Verdict::Indeterminate;
  if (least ? high < limit : low > limit) return Verdict::Fail;
  if (least ? low < limit : high > limit) return Verdict::Indeterminate;
  return Verdict::Pass;
}

}  // namespace kolm::common
