// A strip chart: one reading (a marker's value) over time, each with its
// interval and mark, the last `capacity` passes kept so that a long watch
// holds its memory flat. Its view and grid: seconds across in 1-2-5 steps,
// the readings' intervals up with room around them.
#pragma once

#include <deque>
#include <string>

#include "chart/grid.h"
#include "chart/scale.h"
#include "chart/stored_trace.h"

namespace kolm::chart {

class Strip {
 public:
  explicit Strip(size_t capacity = 3600) : capacity_(capacity) {}
  // The reading at `seconds` since the watch began.
  void add(double seconds, const TracePoint& reading);
  void clear() { points_.clear(); }
  size_t size() const { return points_.size(); }
  // The readings as a trace over time (x in seconds), `quantity` and `unit`
  // as the reading's.
  StoredTrace trace(const std::string& quantity, const std::string& unit) const;

 private:
  struct Point {
    double seconds;
    TracePoint reading;
  };
  size_t capacity_;
  std::deque<Point> points_;
};

struct StripView {
  ChartScale scale;
  GridSpec grid;
};
// The view of `trace` (a strip's): its whole time, at least 10 s, and its
// values' intervals (the values where an interval is unbounded) with a tenth
// of their span to spare; the grid's lines at 1-2-5 steps near a fifth of each.
StripView stripView(const StoredTrace& trace);

}  // namespace kolm::chart
