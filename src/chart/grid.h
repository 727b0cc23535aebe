// Grid of a sweep chart: the 1-2-5 frequency step, the first vertical line, the
// level step, and the lines with their labels. Both swept instruments build
// their grid here; they differ only in the policy functions at the end.
#pragma once

#include <string>
#include <vector>

#include "chart/scale.h"

namespace kolm::chart {

// The level step of the power meter: 10, 5, 2, 1 or 0.5 dB for a range below
// 60, 30, 15 and 5 dB; negative when the top is below the bottom.
float levelStep(float top, float bottom);

// A 1-2-5 step near an eighth of the span, read off the scientific form of the
// eighth: "3.38E+00" gives 2. Zero for an empty or negative span.
// powerMeterFrequencyStep keeps the eighth in single precision (the power meter);
// analyzerFrequencyStep keeps it in double precision (the analyzer).
double powerMeterFrequencyStep(float viewStart, float viewStop);
double analyzerFrequencyStep(double viewStart, double viewStop);
// The step for the scientific text of the eighth ("d.ddE+xx").
double deltaFromScientific(const std::string& text);

// The roundest frequency not below `start` made by zeroing the trailing digits
// of `stopText` from the right (the point is skipped). powerMeterFirstLine uses the
// Str form of the single-precision stop (the power meter);
// analyzerFirstLine the shortest double form, no leading blank (the analyzer).
double firstGridLine(double start, std::string stopText);
double powerMeterFirstLine(float viewStart, float viewStop);
double analyzerFirstLine(double viewStart, double viewStop);

struct GridLine {
  double value = 0;  // y of a horizontal line, x of a vertical one
  std::string label;
  // Top-left corner of the label, user units.
  double labelX = 0;
  double labelY = 0;
  bool operator==(const GridLine&) const = default;
};

// Horizontal lines run across the whole width, vertical ones over the whole
// height; each label stands at its corner in the chart's foreground colour.
struct GridSpec {
  std::vector<GridLine> horizontal;
  std::vector<GridLine> vertical;
  double frequencyStep = 0;
  double firstLine = 0;
  // The units the axes read in, written at their ends: "MHz" across, "dBm" up.
  std::string xUnit;
  std::string yUnit;
  bool operator==(const GridSpec&) const = default;
};

// Vertical lines from x0 up while below `stop`, then from x0 down while above
// `start`, `step` apart, labelled "#.### ###" at the top edge `top`. Nothing for
// a step that is not positive.
std::vector<GridLine> frequencyLines(double start, double stop, double top, double step, double x0);

// The power meter's grid: horizontal lines through 0 dB and its multiples of the
// level step towards the top edge (excluded) and the bottom edge (included),
// labelled in the Str form a fifth of a step above the line at the left edge.
// Lines more than a step outside the area (which would not show) are left out.
GridSpec powerMeterGrid(float viewStart, float viewStop, float levelTop, float levelBottom);

// The analyzer's grid for one quantity: eleven horizontal lines from the top
// value down by the quantity's step, labelled in the shortest decimal form, and
// the vertical lines of analyzerFrequencyStep / analyzerFirstLine.
GridSpec analyzerGrid(const QuantityScale& quantity, double viewStart, double viewStop);

// The lines of a trace drawn on its own vertical scale (a quantity of a combined
// chart): from its top value by its step while inside its range, each placed
// at the height it has on the chart (`value` and `labelY`, a fifth of a step
// above, in the chart's units; `labelX` the chart's left edge) and labelled in
// the shortest form of its own value. None without a step.
std::vector<GridLine> ownScaleLabels(const VerticalScale& own, const ChartScale& chart);

}  // namespace kolm::chart
