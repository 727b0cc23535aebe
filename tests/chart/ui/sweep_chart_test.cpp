#include "chart/ui/sweep_chart.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

using namespace kolm::chart;
using kolm::chart::ui::SweepChart;
using kolm::chart::ui::Trace;

namespace {

QImage paint(const SweepChart& chart, QSize size) {
  QImage img(size, QImage::Format_RGB32);
  QPainter p(&img);
  chart.paintChart(p, size);
  return img;
}

int countColour(const QImage& img, QColor c) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixelColor(x, y) == c) ++n;
  return n;
}

// A level trace from 0 to `stop` MHz.
Trace flat(float y, QColor colour, double stop = 10) {
  Trace t;
  t.y = {y, y};
  t.start = 0;
  t.stop = stop;
  t.colour = colour;
  return t;
}

}  // namespace

TEST(SweepChartWidget, LayersInOrderAndOwnVerticalScales) {
  SweepChart chart;
  chart.resize(200, 101);
  chart.setScale(powerMeterScale(0, 10, 0, -100));
  const Trace live = flat(-50, QColor(0, 0, 255));
  chart.setTraces({live});
  chart.setMemoryTraces({flat(-50, QColor(255, 0, 255))});
  // Memory under the live trace (power meter), which is painted in a blue
  // that stands out from the black background.
  EXPECT_EQ(paint(chart, chart.size()).pixelColor(100, 50), chart.paintedColour(live));
  // Memory over it (analyzer).
  chart.setMemoryOnTop(true);
  EXPECT_EQ(paint(chart, chart.size()).pixelColor(100, 50), QColor(255, 0, 255));

  // A trace on its own scale: 250 of 500..0 sits at mid height whatever the
  // chart's scale.
  Trace own = flat(250, QColor(0, 255, 0));
  own.vertical = VerticalScale{500, 0};
  chart.setMemoryTraces({});
  chart.setTraces({own});
  QImage img = paint(chart, chart.size());
  EXPECT_EQ(img.pixelColor(100, 50), QColor(0, 255, 0));
  EXPECT_EQ(countColour(img, QColor(0, 255, 0)), 200);
}

TEST(SweepChartWidget, GridLinesAndLabelsFromTheSpec) {
  SweepChart chart;
  chart.resize(1000, 600);
  chart.setScale(powerMeterScale(3, 30, 20, -80));
  chart.setGrid(powerMeterGrid(3, 30, 20, -80));
  QImage img = paint(chart, chart.size());
  const QColor red(255, 0, 0);
  // 0 dB sits a fifth of the height down, 4 MHz 1/27 of the width in.
  EXPECT_EQ(img.pixelColor(500, 120), red);
  EXPECT_EQ(img.pixelColor(static_cast<int>(std::lround(999.0 / 27)), 300), red);
  // Labels (grey, smoothed) exist: pixels neither black nor grid red.
  EXPECT_GT(1000 * 600 - countColour(img, red) - countColour(img, QColor(0, 0, 0)), 500);
}

// Marked points are drawn one way for every trace: the stretches into, through
// and out of them dashed in the dimmed colour, an open on the top edge.
TEST(SweepChartWidget, MarkedStretchesAreDimmedAndOpensSitOnTheEdge) {
  SweepChart chart;
  chart.resize(201, 101);
  chart.setScale(powerMeterScale(0, 20, 10, -10));
  chart.setGrid({});
  for (bool dense : {false, true}) {
    Trace t = flat(0, QColor(0, 255, 255), 20);
    const int n = dense ? 2001 : 21;
    std::vector<float> y(n, 0.0f);
    std::fill(y.begin() + n / 2, y.end(), INFINITY);
    t.y = std::move(y);
    t.marks.assign(n, Mark::Valid);
    for (int i = n / 2; i < n; ++i) t.marks[i] = Mark::Open;
    chart.setTraces({t});
    const QImage img = paint(chart, chart.size());
    const QColor dim = ui::flaggedColour(t.colour, QColor(0, 0, 0));
    EXPECT_EQ(dim, QColor(64, 191, 191));
    int brightLeft = 0, dimRight = 0, brightRight = 0;
    for (int x = 0; x < 201; ++x)
      for (int y = 0; y < 101; ++y) {
        const QColor c = img.pixelColor(x, y);
        if (x < 95 && c == t.colour) ++brightLeft;
        if (x > 105 && c == dim) {
          ++dimRight;
          EXPECT_EQ(y, 2) << dense;
        }
        if (x > 105 && c == t.colour) ++brightRight;
      }
    EXPECT_GE(brightLeft, 90) << dense;
    EXPECT_GT(dimRight, dense ? 90 : 45) << dense;  // dashed when drawn as a line
    EXPECT_EQ(brightRight, 0) << dense;
  }
}
