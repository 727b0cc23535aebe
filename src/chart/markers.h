// Markers on a sweep chart: up to four numbered frequencies that stay where
// they were put across sweeps and zooms, the readings of a trace there, a
// delta between two of them, and the search for a trace's extremes. A reading
// that falls on a flagged point is never a number: it carries the point's mark
// and is said in words.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chart/edges.h"
#include "chart/marks.h"
#include "chart/polyline.h"

namespace kolm::chart {

inline constexpr int kMaxMarkers = 4;

// What a trace reads at a frequency.
struct Reading {
  enum class Kind { Value, Flagged, Outside };
  Kind kind = Kind::Outside;
  double value = 0;         // the measurement, when kind is Value
  Mark mark = Mark::Valid;  // the mark of the point that decided, when Flagged
};

// The reading of a trace at x. On a point: that point. Between two points: the
// straight line between them when both are plain measurements; otherwise the
// mark of the flagged one (the nearer when both are). Outside: x beyond the
// trace, or the trace empty. A point whose value is not finite reads as
// Invalid whatever its mark.
Reading readingAt(const TraceSamples& trace, const Mark* marks, size_t marksCount, double x);

enum class Extreme { Maximum, Minimum };

// The run of points with the largest (or smallest) value whose frequencies
// lie in [from, to] (chart::extremeRun: the longest run of that value). A
// point takes part when its value is plain and finite and, with `bounds`, when
// it is a bound that reaches beyond the search (at most, for a minimum; at
// least, for a maximum): a matched load's flat bottom "SWR at most 1.065" is
// its minimum. Other flagged points are never chosen. Empty when there is no
// such point.
std::optional<ExtremeRun> extremeIndex(const TraceSamples& trace, const Mark* marks,
                                       size_t marksCount, Extreme which, double from, double to,
                                       bool bounds = false);
// The frequency at the centre of a run (halfway between its two middle points
// when it has an even number of points).
double runCentre(const TraceSamples& trace, const ExtremeRun& run);

// Words for flagged readings, by mark (an instrument may use its own, as the
// power meter's "floor" and "overload").
using MarkWords = std::array<std::string_view, 7>;
const MarkWords& defaultMarkWords();

// A reading with its unit ("-12.3 dBm"), the word of its mark ("floor"), or
// "outside the sweep". `pattern` as common::formatPattern.
std::string readingText(const Reading& reading, std::string_view unit, std::string_view pattern,
                        const MarkWords& words);

// b - a with its unit, or "not measurable" when either is not a number.
std::string deltaText(const Reading& a, const Reading& b, std::string_view unit,
                      std::string_view pattern);

// The markers of one chart, by number (1 to kMaxMarkers). New markers take the
// lowest free number. One marker is active: the last placed, moved or chosen;
// the extreme searches move it.
class MarkerSet {
 public:
  struct Marker {
    int number = 0;
    double x = 0;
  };

  // A new marker at x; empty when all four are placed or x is not finite.
  std::optional<int> add(double x);
  bool move(int number, double x);
  bool remove(int number);
  void clear();
  const Marker* find(int number) const;
  // In order of number.
  const std::vector<Marker>& markers() const { return markers_; }
  bool full() const { return markers_.size() >= kMaxMarkers; }

  std::optional<int> active() const { return active_; }
  void setActive(int number);

  // The delta readout shows `to` minus `from`; it goes when either is removed.
  // A second marker placed while there is no delta starts one from the first.
  void setDelta(std::optional<std::pair<int, int>> fromTo);
  std::optional<std::pair<int, int>> delta() const { return delta_; }

  // The marker nearest to x within `tolerance` (user units), if any.
  std::optional<int> nearest(double x, double tolerance) const;

 private:
  std::vector<Marker> markers_;
  std::optional<int> active_;
  std::optional<std::pair<int, int>> delta_;
};

}  // namespace kolm::chart
