#include "chart/readout.h"

#include <cmath>

#include "common/text.h"

namespace kolm::chart {

std::string frequencyReadout(double x) { return common::formatPattern(x, "0.000 000"); }

std::string valueReadout(double value) { return common::formatPattern(value, "0.0"); }

std::string cursorReadout(double x, double y) {
  return withUnit(frequencyReadout(x), "MHz") + "   " + withUnit(valueReadout(y), "dBm");
}

std::string withUnit(const std::string& text, const std::string& unit) {
  if (unit.empty()) return text;
  if (unit == "\u00b0") return text + unit;
  return text + " " + unit;
}

std::optional<float> valueAt(const float* values, size_t count, double start, double stop,
                             double x) {
  if (count == 0) return std::nullopt;
  if (count == 1) return x == start ? std::optional<float>(values[0]) : std::nullopt;
  auto i = cursorIndex(x, start, stop, static_cast<int>(count - 1));
  if (!i) return std::nullopt;
  return values[*i];
}

std::optional<int> cursorIndex(double x, double traceStart, double traceStop, int points) {
  const double span = traceStop - traceStart;
  if (span == 0 || points < 0) return std::nullopt;
  const double i = common::roundHalfEven((x - traceStart) / span * points);
  if (!std::isfinite(i) || i < 0 || i > points) return std::nullopt;
  return static_cast<int>(i);
}

int clampedCursorIndex(double x, double traceStart, double traceStop, int points) {
  const double span = traceStop - traceStart;
  if (span == 0 || points < 1) return 0;
  const double position = (x - traceStart) / span * points;
  if (!(position > 0)) return 0;  // also a NaN
  if (position >= points) return points;
  return static_cast<int>(common::roundHalfEven(position));
}

}  // namespace kolm::chart
