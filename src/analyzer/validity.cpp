#include "analyzer/validity.h"

#include <cmath>
#include <limits>

namespace kolm::analyzer {

PointFlag pointFlag(int a, int b) {
  return pointFlag(static_cast<double>(a), static_cast<double>(b));
}

PointFlag pointFlag(double a, double b) {
  if (a > kTotalReflectionCounts) return PointFlag::Invalid;
  const bool phaseAtZero = b <= kPhaseEndCounts;
  const bool phaseAtEnd = phaseAtZero || b >= kHalfTurnCounts - 1 - kPhaseEndCounts;
  if (a >= kOpenCounts && phaseAtZero) return PointFlag::Open;
  if (a <= 0) return PointFlag::RlLimit;
  if (phaseAtEnd) return PointFlag::PhaseLimit;
  return PointFlag::Valid;
}

std::string_view flagWord(PointFlag flag) {
  switch (flag) {
    case PointFlag::Valid:
      return "";
    case PointFlag::RlLimit:
      return "rl_limit";
    case PointFlag::PhaseLimit:
      return "phase_limit";
    case PointFlag::Open:
      return "open";
    case PointFlag::Invalid:
      return "invalid";
  }
  return "";
}

float shownValue(const PointResult& point, int q) {
  switch (quantityMark(point.flag, q)) {
    case chart::Mark::Open:
      return std::numeric_limits<float>::infinity();
    case chart::Mark::Invalid:
      return std::numeric_limits<float>::quiet_NaN();
    default:
      return point.values[q];
  }
}

}  // namespace kolm::analyzer
