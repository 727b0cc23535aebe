#include "chart/marks.h"

#include "common/text.h"

namespace kolm::chart {

std::string markedText(double value, Mark mark, std::string_view pattern) {
  switch (mark) {
    case Mark::Valid:
    case Mark::Uncertain:
      return common::formatPattern(value, pattern);
    case Mark::AtLeast:
      return "\u2265 " + common::formatPattern(value, pattern);
    case Mark::AtMost:
      return "\u2264 " + common::formatPattern(value, pattern);
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
