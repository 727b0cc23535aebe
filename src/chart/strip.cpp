#include "chart/strip.h"

#include <algorithm>
#include <cmath>

#include "common/text.h"

namespace kolm::chart {

void Strip::add(double seconds, const TracePoint& reading) {
  points_.push_back({seconds, reading});
  while (points_.size() > capacity_) points_.pop_front();
}

StoredTrace Strip::trace(const std::string& quantity, const std::string& unit) const {
  StoredTrace t{"", quantity, unit};
  bool flagged = false;
  for (const Point& p : points_) {
    t.x.push_back(p.seconds);
    t.value.push_back(p.reading.value);
    t.low.push_back(p.reading.low);
    t.high.push_back(p.reading.high);
    t.marks.push_back(p.reading.mark);
    flagged = flagged || p.reading.mark != Mark::Valid;
  }
  if (!flagged) t.marks.clear();
  return t;
}

namespace {

// A 1-2-5 step near a fifth of `span`.
double stepOf(double span) {
  const double rough = span / 5;
  const double decade = std::pow(10.0, std::floor(std::log10(rough)));
  for (double m : {1.0, 2.0, 5.0})
    if (m * decade >= rough / 1.5) return m * decade;
  return 10 * decade;
}

std::vector<GridLine> lines(double from, double to, double step, bool across, double at,
                            double labelOffset) {
  std::vector<GridLine> out;
  for (double v = std::ceil(from / step) * step; v <= to && out.size() < 50; v += step) {
    const double shown = std::fabs(v) < step / 1e6 ? 0 : v;
    if (across)
      out.push_back({shown, common::shortestText(shown, 7), at, shown + labelOffset});
    else
      out.push_back({shown, common::shortestText(shown, 7), shown, at});
  }
  return out;
}

}  // namespace

StripView stripView(const StoredTrace& t) {
  double t0 = 0, t1 = 10;
  if (t.size() > 0) t0 = t.x.front(), t1 = std::max(t.x.back(), t0 + 10);
  double lo = INFINITY, hi = -INFINITY;
  for (size_t i = 0; i < t.size(); ++i)
    for (double v : {t.low[i], t.high[i], t.value[i]})
      if (std::isfinite(v)) lo = std::min(lo, v), hi = std::max(hi, v);
  if (!(lo <= hi)) lo = 0, hi = 1;
  const double span = std::max(hi - lo, std::max(std::fabs(hi), 1.0) * 1e-3);
  lo -= span / 10, hi += span / 10;
  StripView v;
  v.scale = {t0, hi, t1 - t0, lo - hi};
  const double dy = stepOf(hi - lo);
  v.grid.horizontal = lines(lo, hi, dy, true, t0, dy / 5);
  v.grid.vertical = lines(t0, t1, stepOf(t1 - t0), false, hi, 0);
  v.grid.frequencyStep = stepOf(t1 - t0);
  v.grid.xUnit = "s";
  v.grid.yUnit = t.unit;
  return v;
}

}  // namespace kolm::chart
