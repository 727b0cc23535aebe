#include "chart/grid.h"

#include <algorithm>
#include <cmath>

#include "common/text.h"

namespace kolm::chart {

namespace {
// Far more lines than any sane range needs; absurd ranges stop here.
constexpr int kMaxLines = 2000;
}  // namespace

float levelStep(float top, float bottom) {
  float d = std::fabs(top - bottom);
  float s = 10;
  if (d < 60) s = 5;
  if (d < 30) s = 2;
  if (d < 15) s = 1;
  if (d < 5) s = 0.5f;
  if (top < bottom) s = -s;
  return s;
}

double deltaFromScientific(const std::string& text) {
  if (text.size() < 4) return 0;
  int m = 0;
  if (text[0] >= '0' && text[0] <= '9' && text[2] >= '0' && text[2] <= '9')
    m = (text[0] - '0') * 10 + (text[2] - '0');
  std::string digit;
  if (m >= 10 && m <= 20)
    digit = "1";
  else if (m >= 21 && m <= 46)
    digit = "2";
  else if (m >= 47)
    digit = "5";
  return common::numericValue(digit + ".0" + text.substr(text.size() - 4));
}

double powerMeterFrequencyStep(float viewStart, float viewStop) {
  float q = static_cast<float>(viewStop - viewStart) / 8.0f;
  return deltaFromScientific(common::formatScientific(q));
}

double analyzerFrequencyStep(double viewStart, double viewStop) {
  double q = (viewStop - viewStart) / 8.0;
  return deltaFromScientific(common::formatScientific(q));
}

double firstGridLine(double start, std::string t) {
  std::string prev = t;
  size_t i = t.size();  // position counted from 1
  while (i >= 1) {
    prev = t;
    if (t[i - 1] != '.') t[i - 1] = '0';
    --i;
    if (common::numericValue(t) < start) break;
  }
  return common::numericValue(prev);
}

double powerMeterFirstLine(float viewStart, float viewStop) {
  return firstGridLine(viewStart, common::strSingle(viewStop));
}

double analyzerFirstLine(double viewStart, double viewStop) {
  return firstGridLine(viewStart, common::shortestText(viewStop, 15));
}

std::vector<GridLine> frequencyLines(double start, double stop, double top, double step,
                                     double x0) {
  std::vector<GridLine> lines;
  if (!(step > 0) || !std::isfinite(step) || !std::isfinite(x0)) return lines;
  auto add = [&](double x) { lines.push_back({x, common::formatPattern(x, "#.### ###"), x, top}); };
  int n = 0;
  for (double x = x0; x < stop && n < kMaxLines; x += step, ++n) add(x);
  // The line at x0 belongs to both runs; it is drawn once.
  double x = x0;
  if (n > 0) x -= step;
  for (; x > start && n < kMaxLines; x -= step, ++n) add(x);
  return lines;
}

GridSpec powerMeterGrid(float viewStart, float viewStop, float levelTop, float levelBottom) {
  GridSpec g;
  g.xUnit = "MHz";
  g.yUnit = "dBm";
  const float s = levelStep(levelTop, levelBottom);
  const double as = std::fabs(s);
  const double lo = std::min(levelTop, levelBottom) - as;
  const double hi = std::max(levelTop, levelBottom) + as;
  auto add = [&](double y) {
    if (y < lo || y > hi) return;
    g.horizontal.push_back({y, common::strSingle(static_cast<float>(y)), viewStart, y + s / 5.0});
  };
  // Lines at j x s: towards the top while |y| < |top|, towards the bottom while
  // |y| <= |bottom|. Only the indices that can fall near the area are visited.
  const double aTop = std::fabs(levelTop);
  const double aBottom = std::fabs(levelBottom);
  // Index range of the visible band, in units of s (s may be negative).
  double jA = lo / s, jB = hi / s;
  double jLo = std::floor(std::min(jA, jB)) - 1, jHi = std::ceil(std::max(jA, jB)) + 1;
  // Towards the top: j = 0, 1, 2, ... while |j s| < |top|.
  const bool zeroDrawn = aTop > 0 && jLo <= 0 && jHi >= 0;
  {
    double first = std::max(0.0, jLo);
    int n = 0;
    for (double j = first; j <= jHi && std::fabs(j * s) < aTop && n < kMaxLines; ++j, ++n)
      add(j * s);
  }
  // Towards the bottom: y = -j s, j = 0, 1, ... while |y| <= |bottom|; j = 0 is
  // already drawn when the top run drew it.
  {
    double first = std::max(0.0, -jHi);
    double last = -jLo;
    int n = 0;
    for (double j = first; j <= last && std::fabs(j * s) <= aBottom && n < kMaxLines; ++j, ++n) {
      if (j == 0 && zeroDrawn) continue;
      add(-j * s);
    }
  }
  g.frequencyStep = powerMeterFrequencyStep(viewStart, viewStop);
  g.firstLine = powerMeterFirstLine(viewStart, viewStop);
  g.vertical = frequencyLines(viewStart, viewStop, levelTop, g.frequencyStep, g.firstLine);
  return g;
}

GridSpec analyzerGrid(const QuantityScale& quantity, double viewStart, double viewStop) {
  GridSpec g;
  g.xUnit = "MHz";
  g.yUnit = quantity.unit;
  float y = quantity.top;
  for (int k = 0; k < 11; ++k) {
    g.horizontal.push_back({y, common::shortestText(y, 7), static_cast<double>(viewStart),
                            static_cast<double>(y + quantity.step / 5.0f)});
    y = y - quantity.step;
  }
  g.frequencyStep = analyzerFrequencyStep(viewStart, viewStop);
  g.firstLine = analyzerFirstLine(viewStart, viewStop);
  g.vertical = frequencyLines(viewStart, viewStop, quantity.top, g.frequencyStep, g.firstLine);
  return g;
}

std::vector<GridLine> ownScaleLabels(const VerticalScale& own, const ChartScale& chart) {
  std::vector<GridLine> labels;
  const double range = own.bottom - own.top;
  if (!chart.valid() || !std::isfinite(range) || range == 0 || !std::isfinite(own.step) ||
      own.step == 0 || (own.step > 0) != (range > 0))
    return labels;
  auto onChart = [&](double v) { return chart.top + (v - own.top) / range * chart.height; };
  const double lo = std::min(own.top, own.bottom), hi = std::max(own.top, own.bottom);
  for (int k = 0; k < kMaxLines; ++k) {
    const double v = own.top + k * own.step;
    if (v < lo || v > hi) break;
    labels.push_back({onChart(v), common::shortestText(v == 0 ? 0 : v, 7), chart.left,
                      onChart(v - own.step / 5.0)});
  }
  return labels;
}

}  // namespace kolm::chart
