#include "chart/markers.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/text.h"

namespace kolm::chart {

namespace {

Mark markOf(const TraceSamples& t, const Mark* marks, size_t marksCount, size_t i) {
  if (!std::isfinite(t.y[i]))
    return i < marksCount && marks[i] == Mark::Open ? Mark::Open : Mark::Invalid;
  return i < marksCount ? marks[i] : Mark::Valid;
}

Reading pointReading(const TraceSamples& t, const Mark* marks, size_t marksCount, size_t i) {
  const Mark m = markOf(t, marks, marksCount, i);
  if (!numeric(m)) return {Reading::Kind::Flagged, 0, m};
  return {Reading::Kind::Value, t.y[i], Mark::Valid};
}

// Within this fraction of a step of a point, x is on it (a marker put on a
// point by a search reads that point, whatever the rounding of its frequency).
constexpr double kOnPoint = 1e-9;

}  // namespace

Reading readingAt(const TraceSamples& t, const Mark* marks, size_t marksCount, double x) {
  if (t.count == 0 || !t.y || !std::isfinite(x)) return {};
  if (t.count == 1) return t.xAt(0) == x ? pointReading(t, marks, marksCount, 0) : Reading{};
  // The step [i, i + 1] that holds x, and where x lies along it.
  size_t i = 0;
  double along = 0;
  if (t.x) {
    const double* end = t.x + t.count;
    if (x < t.x[0] || x > t.x[t.count - 1]) return {};
    const double* above = std::upper_bound(t.x, end, x);
    i = above == end ? t.count - 2 : static_cast<size_t>(above - t.x) - 1;
    const double step = t.x[i + 1] - t.x[i];
    along = step > 0 ? (x - t.x[i]) / step : 0;
  } else {
    const double span = t.stop - t.start;
    if (span == 0) return x == t.start ? pointReading(t, marks, marksCount, 0) : Reading{};
    const double position = (x - t.start) / span * static_cast<double>(t.count - 1);
    const double last = static_cast<double>(t.count - 1);
    if (position < -kOnPoint || position > last + kOnPoint) return {};
    const double floor = std::clamp(std::floor(position), 0.0, last - 1);
    i = static_cast<size_t>(floor);
    along = position - floor;
  }
  if (along <= kOnPoint) return pointReading(t, marks, marksCount, i);
  if (along >= 1 - kOnPoint) return pointReading(t, marks, marksCount, i + 1);
  const Reading a = pointReading(t, marks, marksCount, i);
  const Reading b = pointReading(t, marks, marksCount, i + 1);
  if (a.kind == Reading::Kind::Value && b.kind == Reading::Kind::Value)
    return {Reading::Kind::Value, a.value + (b.value - a.value) * along, Mark::Valid};
  if (a.kind == Reading::Kind::Flagged && b.kind == Reading::Kind::Flagged)
    return along <= 0.5 ? a : b;
  return a.kind == Reading::Kind::Flagged ? a : b;
}

std::optional<ExtremeRun> extremeIndex(const TraceSamples& t, const Mark* marks, size_t marksCount,
                                       Extreme which, double from, double to, bool bounds) {
  if (from > to) std::swap(from, to);
  // Frequencies kept in single precision may lie past a view's end by their
  // rounding (14.35 MHz is kept as 14.3500004): the end points stay in.
  const double slack =
      4 * std::numeric_limits<float>::epsilon() * std::max(std::fabs(from), std::fabs(to));
  const Mark bound = which == Extreme::Maximum ? Mark::AtLeast : Mark::AtMost;
  auto candidate = [&](size_t i) {
    const double f = t.xAt(i);
    if (!(f >= from - slack && f <= to + slack)) return false;
    const Mark m = markOf(t, marks, marksCount, i);
    return numeric(m) || (bounds && m == bound && std::isfinite(t.y[i]));
  };
  auto value = [&](size_t i) { return static_cast<double>(t.y[i]); };
  return extremeRun(t.count, value, candidate, which == Extreme::Maximum);
}

double runCentre(const TraceSamples& t, const ExtremeRun& run) {
  const size_t c = run.centre();
  if (!run.even()) return t.xAt(c);
  return (t.xAt(c) + t.xAt(c + 1)) / 2;
}

const MarkWords& defaultMarkWords() {
  static const MarkWords words{"",     "at least", "at most",  "approximate",
                               "open", "invalid",  "uncertain"};
  return words;
}

std::string readingText(const Reading& r, std::string_view unit, std::string_view pattern,
                        const MarkWords& words) {
  switch (r.kind) {
    case Reading::Kind::Value: {
      std::string text = common::formatPattern(r.value, pattern);
      if (unit.empty()) return text;
      if (unit == "\u00b0") return text + std::string(unit);
      return text + " " + std::string(unit);
    }
    case Reading::Kind::Flagged:
      return std::string(words[static_cast<size_t>(r.mark)]);
    case Reading::Kind::Outside:
      break;
  }
  return "outside the sweep";
}

std::string deltaText(const Reading& a, const Reading& b, std::string_view unit,
                      std::string_view pattern) {
  if (a.kind != Reading::Kind::Value || b.kind != Reading::Kind::Value) return "not measurable";
  return readingText({Reading::Kind::Value, b.value - a.value, Mark::Valid}, unit, pattern,
                     defaultMarkWords());
}

std::optional<int> MarkerSet::add(double x) {
  if (full() || !std::isfinite(x)) return std::nullopt;
  int number = 1;
  while (find(number)) ++number;
  auto at = std::find_if(markers_.begin(), markers_.end(),
                         [number](const Marker& m) { return m.number > number; });
  markers_.insert(at, {number, x});
  active_ = number;
  if (!delta_ && markers_.size() == 2) delta_ = {markers_[0].number, markers_[1].number};
  return number;
}

bool MarkerSet::move(int number, double x) {
  if (!std::isfinite(x)) return false;
  for (Marker& m : markers_)
    if (m.number == number) {
      m.x = x;
      active_ = number;
      return true;
    }
  return false;
}

bool MarkerSet::remove(int number) {
  auto it = std::find_if(markers_.begin(), markers_.end(),
                         [number](const Marker& m) { return m.number == number; });
  if (it == markers_.end()) return false;
  markers_.erase(it);
  if (delta_ && (delta_->first == number || delta_->second == number)) delta_.reset();
  if (active_ == number)
    active_ = markers_.empty() ? std::nullopt : std::optional<int>(markers_.back().number);
  return true;
}

void MarkerSet::clear() {
  markers_.clear();
  active_.reset();
  delta_.reset();
}

const MarkerSet::Marker* MarkerSet::find(int number) const {
  for (const Marker& m : markers_)
    if (m.number == number) return &m;
  return nullptr;
}

void MarkerSet::setActive(int number) {
  if (find(number)) active_ = number;
}

void MarkerSet::setDelta(std::optional<std::pair<int, int>> fromTo) {
  if (fromTo && (fromTo->first == fromTo->second || !find(fromTo->first) || !find(fromTo->second)))
    return;
  delta_ = fromTo;
}

std::optional<int> MarkerSet::nearest(double x, double tolerance) const {
  std::optional<int> best;
  double bestDistance = tolerance;
  for (const Marker& m : markers_) {
    const double d = std::fabs(m.x - x);
    if (d <= bestDistance) {
      bestDistance = d;
      best = m.number;
    }
  }
  return best;
}

}  // namespace kolm::chart
