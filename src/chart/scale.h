// The user scale of a chart area and the vertical scales of the swept
// instruments: the power meter's level range and the analyzer's six quantities.
#pragma once

#include <cstdint>
#include <optional>

namespace kolm::chart {

// The frequency of point i of a sweep of `steps` steps from `start` to `stop`
// (any unit): i x ((stop - start) / steps) + start, the step taken first as a
// sweep steps.
constexpr double pointFrequency(double start, double stop, int steps, double i) {
  return i * ((stop - start) / steps) + start;
}

// Left edge, top edge, width and height of the drawing area in user units. Width
// and height may be negative (the axis then runs the other way); a usable scale
// has neither equal to 0.
struct ChartScale {
  double left = 0;
  double top = 0;
  double width = 1;
  double height = -1;

  double right() const { return left + width; }
  double bottom() const { return top + height; }
  // Finite, with neither width nor height 0.
  bool valid() const;
  bool operator==(const ChartScale&) const = default;
};

// A trace's own vertical extent: the values at the top and the bottom edge.
struct VerticalScale {
  double top = 0;
  double bottom = 0;
  // The step of its grid lines from the top, 0 when it has none of its own.
  double step = 0;
  bool operator==(const VerticalScale&) const = default;
};

// The power meter's chart scale: the displayed span across, the level range
// up. Values are single precision, as the chart area keeps them.
ChartScale powerMeterScale(float viewStart, float viewStop, float levelTop, float levelBottom);

// The analyzer's fixed scale of one quantity: value at the top and at the bottom
// edge, and the step of its eleven horizontal grid lines.
struct QuantityScale {
  float top = 0;
  float bottom = 0;
  float step = 0;
  // What the vertical axis reads in: "dB", "°", "Ω", "SWR".
  const char* unit = "";
};

inline constexpr int kQuantityCount = 6;
// Quantity 0 return loss, 1 phase, 2 |Z|, 3 R, 4 X, 5 SWR; empty outside 0..5.
std::optional<QuantityScale> analyzerQuantityScale(int quantity);

// The analyzer's chart scale for quantity q: the displayed span across, the quantity's
// fixed range up.
ChartScale analyzerScale(const QuantityScale& quantity, double viewStart, double viewStop);

// A view that can always be scaled: an empty span becomes 0.1 MHz wide, equal
// levels move the bottom 1 below the top (the rule the zoom uses).
void guardSpan(float& start, float& stop);
void guardLevels(float& top, float& bottom);

// The 16-colour palette the drawings name by number (2 green, 9 light blue, 12
// light red, ...). Numbers outside 0..15 give black.
struct Rgb {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};
Rgb paletteColour(int index);

}  // namespace kolm::chart
