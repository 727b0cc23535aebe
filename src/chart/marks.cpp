#include "chart/marks.h"

#include <cmath>

#include "common/text.h"

namespace kolm::chart {

namespace {

// A bound written with the pattern's decimals, rounded outward: a lower bound
// down, an upper one up, so that what is written still bounds the value.
std::string outwardBoundText(double value, bool lower, std::string_view pattern) {
  if (!std::isfinite(value)) return common::formatPattern(value, pattern);
  const double scale = std::pow(10.0, common::patternDecimals(pattern));
  double steps = lower ? std::floor(value * scale) : std::ceil(value * scale);
  while (lower && steps / scale > value) --steps;
  while (!lower && steps / scale < value) ++steps;
  return common::formatPattern(steps / scale, pattern);
}

}  // namespace

std::string markedText(double value, Mark mark, std::string_view pattern) {
  switch (mark) {
    case Mark::Valid:
    case Mark::Uncertain:
      return common::formatPattern(value, pattern);
    case Mark::AtLeast:
      return "\u2265 " + outwardBoundText(value, true, pattern);
    case Mark::AtMost:
      return "\u2264 " + outwardBoundText(value, false, pattern);
    case Mark::Approximate:
      return "\u2248 " + common::formatPattern(value, pattern);
    case Mark::Open:
      return "open";
    case Mark::Invalid:
      return "invalid";
  }
  return {};
}

void markRuns(const Mark* marks, size_t marksCount, size_t count, std::vector<MarkRun>& out) {
  out.clear();
  if (count == 0) return;
  auto isFlagged = [&](size_t i) { return i < marksCount && flagged(marks[i]); };
  size_t i = 0;
  while (i < count) {
    const bool f = isFlagged(i);
    size_t j = i;
    while (j + 1 < count && isFlagged(j + 1) == f) ++j;
    if (f) {
      out.push_back({i > 0 ? i - 1 : i, j + 1 < count ? j + 1 : j, true});
    } else {
      out.push_back({i, j, false});
    }
    i = j + 1;
  }
}

}  // namespace kolm::chart
