// Texts of the cursor readout that follows the mouse over a sweep chart.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace kolm::chart {

// The power meter's readout: MHz as "0.000 000", three blanks, the level as
// "0.0", each with its unit (14.0255, -12.34 gives "14.025 500 MHz   -12.3 dBm").
std::string cursorReadout(double x, double y);

// A readout with its unit after a blank ("12.3 dB"); the degree sign follows
// the number directly ("45.0°"); no unit leaves the text as it is.
std::string withUnit(const std::string& text, const std::string& unit);

// The analyzer's frequency box ("0.000 000") and its value boxes ("0.0").
std::string frequencyReadout(double x);
std::string valueReadout(double value);

// The sweep index under the cursor: the nearest point (halves to even) of a
// trace of `points` steps over [traceStart, traceStop]; empty when the cursor
// is beyond the trace or the trace has no span.
std::optional<int> cursorIndex(double x, double traceStart, double traceStop, int points);

// The same index held to 0..points, for a readout that must always show a
// point: a cursor beyond either end of the trace (a drag that left the chart)
// shows that end; a trace with no span, or a cursor position that is not a
// number, shows index 0.
int clampedCursorIndex(double x, double traceStart, double traceStop, int points);

// The value of an evenly spaced trace (values[0] at start, the last at stop) at
// the point nearest to x; empty when x is beyond the trace or it is empty.
std::optional<float> valueAt(const float* values, size_t count, double start, double stop,
                             double x);

}  // namespace kolm::chart
