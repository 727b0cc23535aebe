#include "chart/label_room.h"

#include <algorithm>

namespace kolm::chart {

bool Box::intersects(const Box& other) const {
  return left < other.right() && other.left < right() && top < other.bottom() &&
         other.top < bottom();
}

Box clearOf(Box box, const std::vector<Box>& taken, double dx, double dy, int maxSteps) {
  const Box asked = box;
  for (int step = 0; step <= maxSteps; ++step) {
    const bool free =
        std::none_of(taken.begin(), taken.end(), [&](const Box& t) { return box.intersects(t); });
    if (free) return box;
    box.left += dx;
    box.top += dy;
  }
  return asked;
}

std::vector<std::pair<double, double>> openStretches(double x, double top, double bottom,
                                                     const std::vector<Box>& taken) {
  std::vector<std::pair<double, double>> cuts;
  for (const Box& t : taken)
    if (x >= t.left && x < t.right() && t.bottom() > top && t.top < bottom)
      cuts.emplace_back(std::max(top, t.top), std::min(bottom, t.bottom()));
  std::sort(cuts.begin(), cuts.end());
  std::vector<std::pair<double, double>> open;
  double from = top;
  for (const auto& [cutTop, cutBottom] : cuts) {
    if (cutTop > from) open.emplace_back(from, cutTop);
    from = std::max(from, cutBottom);
  }
  if (from < bottom) open.emplace_back(from, bottom);
  return open;
}

}  // namespace kolm::chart
