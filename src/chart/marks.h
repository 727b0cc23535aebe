// What a charted value is worth: a measured number, a bound, an approximation,
// an open circuit or nothing at all. Each instrument turns its own reading flags
// into these marks per quantity; the chart draws every marked point the same way
// (dimmed, infinite values pinned to the scale's edge) and the readouts say the
// mark in words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kolm::chart {

enum class Mark : uint8_t {
  Valid,        // the number is the measurement
  AtLeast,      // the quantity is the number or more
  AtMost,       // the quantity is the number or less
  Approximate,  // near the number, its last digits (and a sign) not known
  Open,         // no finite value: drawn at the top of the scale
  Invalid,      // nothing can be said: not drawn
  Uncertain,    // a measured number whose interval is too wide to read it as one
};

// Drawn in the marked style.
inline bool flagged(Mark mark) { return mark != Mark::Valid; }
// Read as a number (markers, searches): a plain or an uncertain value.
inline bool numeric(Mark mark) { return mark == Mark::Valid || mark == Mark::Uncertain; }

// The value in words: "12.3", "≥ 30.0", "≤ -83.9", "≈ 2.6", "open", "invalid",
// the number written with `pattern` (see common::formatPattern). An uncertain
// value is written as its number: the instrument adds its interval and says so.
std::string markedText(double value, Mark mark, std::string_view pattern = "0.0");

// A stretch of consecutive points drawn alike: [first, last], inclusive.
struct MarkRun {
  size_t first = 0;
  size_t last = 0;
  bool flagged = false;
  bool operator==(const MarkRun&) const = default;
};

// A trace cut into runs for drawing. Unflagged runs hold only unflagged points.
// A flagged run holds its flagged points and one unflagged neighbour on either
// side (when there is one), so the segments that lead into and out of flagged
// points are drawn as flagged and the line stays unbroken. No marks: one
// unflagged run over the whole trace.
void markRuns(const Mark* marks, size_t marksCount, size_t count, std::vector<MarkRun>& out);

}  // namespace kolm::chart
