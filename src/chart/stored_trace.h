// Traces kept beside the live one (any number per instrument, the memory trace
// among them), each one quantity over frequency with every value's interval
// and mark, and the arithmetic between two of them on one frequency grid that
// carries the intervals and the marks through.
#pragma once

#include <complex>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chart/marks.h"

namespace kolm::chart {

// The load's reflection at a point of an analyzer's trace: where it was read,
// the radius of a disk about it that holds every reflection the readings allow,
// and what it is worth: valid, uncertain, approximate (the disk may not hold
// it) or invalid (nothing: the value 0, the radius infinite).
struct ReflectionPoint {
  std::complex<double> value{};
  double radius = 0;
  Mark mark = Mark::Valid;
  bool operator==(const ReflectionPoint&) const = default;
};

struct StoredTrace {
  std::string name;
  // What the values are ("level", "rl", "phase", "z", "r", "x", "swr", or a
  // result such as "level-level") and their unit as the chart labels it.
  std::string quantity;
  std::string unit;
  std::vector<double> x{};  // MHz, rising
  std::vector<double> value{};
  // Each value's interval: low <= value <= high; an end may be infinite.
  std::vector<double> low{}, high{};
  std::vector<Mark> marks{};  // empty when no value is flagged
  // The load's reflection at each point where the trace is one of the
  // analyzer's quantities (whichever it shows); empty otherwise.
  std::vector<ReflectionPoint> reflection{};
  bool shown = true;
  uint32_t colour = 0;  // 0xRRGGBB
  size_t size() const { return x.size(); }
  Mark markAt(size_t i) const { return marks.empty() ? Mark::Valid : marks[i]; }
  bool operator==(const StoredTrace&) const = default;
};

// Why a trace cannot be kept as it is (lengths that differ, frequencies that
// are not finite or not rising, a value outside its interval, an unknown
// mark, a reflection that is no number); empty when it can.
std::string traceProblem(const StoredTrace& trace);

// A frequency in MHz as the traces' and masks' messages write it: the shortest
// text of at most 10 significant digits.
std::string traceMhzText(double mhz);

// A value with its interval and mark.
struct TracePoint {
  double value = 0, low = 0, high = 0;
  Mark mark = Mark::Valid;
};

// Where the quantity may lie as a mark leaves it: a bound is open on its far
// side, an open circuit is +infinity, an approximate or invalid value may be
// anything.
std::pair<double, double> markedInterval(const TracePoint& point);

// The trace at frequency x within its span. On a point: that point. Between
// two: the straight line, its interval the line between the two intervals
// widened by what a straight line may miss there (from the trace's curvature
// at the nearest points: t (1 - t) h^2 / 2 times the largest second
// derivative the neighbouring points show); a flagged neighbour's mark is
// carried (the nearer one's when both are) with the hull of both intervals.
// Empty outside the span.
std::optional<TracePoint> pointAt(const StoredTrace& trace, double x);

// Difference and Ratio of the values; ReflectionDistance |a - b| of two
// traces' reflections (both the analyzer's, whatever quantity each shows).
enum class TraceOperation { Difference, Ratio, ReflectionDistance };
// The quantity of the reflections' distance (no unit; 0 to 2).
inline constexpr const char* kReflectionDistance = "reflection_distance";

struct CombinedTrace {
  std::optional<StoredTrace> trace;
  std::string note;   // what the result covers when it is less than both traces
  std::string error;  // why there is no result
};

// a - b, or a / b, at a's frequencies where both traces have values, b read
// there by pointAt. Each result's interval holds every value the operands'
// intervals allow; its mark says what the operands' marks leave (a bound of
// either side becomes the bound it implies, opposite bounds or an invalid
// operand leave nothing). A difference of levels in dBm is in dB. A ratio is
// only taken of quantities that are not in dB or degrees, and is invalid
// where b's interval reaches 0 or below. The reflections' distance is taken
// of traces that carry reflections, b's read between its points as pointAt
// reads a value (the straight line, its disk widened by what the line may
// miss); its interval is the distance less and plus both disks' radii,
// rounded outward, and it is as flagged as the worse of the two reflections.
CombinedTrace combineTraces(const StoredTrace& a, const StoredTrace& b, TraceOperation operation);

}  // namespace kolm::chart
