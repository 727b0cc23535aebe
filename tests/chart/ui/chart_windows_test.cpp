// Markers and the analyzer's Touchstone export, driven as a user does (what both
// windows share: SweptWindows); the chart's text and drawing.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <complex>

#include "analyzer/ui/analyzer_fixture.h"
#include "chart/ui/chart_export.h"
#include "chart/ui/sweep_chart.h"
#include "chart/ui/text_lines.h"
#include "common/files.h"
#include "powermeter/ui/power_meter_rig.h"
#include "sim/touchstone.h"

using namespace kolm;
using kolm::test::Rig;

class AnalyzerExports : public test::AnalyzerUi {};

// 1 uH and 129.2 pF resonate at 14.00 MHz, where the load is 30 ohm: SWR 1.67.
TEST_F(AnalyzerExports, SwrMinimumMarkerThenTouchstoneOfTheSweep) {
  useSimulator("rlc:r=30,l=1u,c=129.2p");
  open();
  get<QAction>("exportS1p")->trigger();
  EXPECT_EQ(prompter.messages().back(),
            "The chart shows no finished measurement to export: sweep or open one first.");
  box("startEdit")->setText("10");
  box("stopEdit")->setText("18");
  box("pointsEdit")->setText("400");
  ASSERT_TRUE(sweep());
  // The marker at the SWR minimum (placed by the search: EverydayUse) reads it.
  window->selectQuantity(analyzer::kSwr);
  window->chart()->addMarker(14.0);
  const QString line = window->chart()->markerReadout().at(0);
  const QRegularExpression swr("SWR ?([0-9.]+)");
  EXPECT_NEAR(swr.match(line).captured(1).toDouble(), 50.0 / 30, 0.02) << line.toStdString();
  window->chart()->addMarker(15);

  prompter.files = {"load.s1p"};
  get<QAction>("exportS1p")->trigger();
  const auto back = sim::parseTouchstone(common::readTextFile("load.s1p").value());
  ASSERT_TRUE(back.ok()) << back.error;
  const auto& s11 = back.table.gamma;
  // (Every point written or listed as left out for its unknown sign: Exports.)
  EXPECT_GT(s11.size(), 300u);
  // The best match at resonance: 30 ohm against 50, |S11| = 0.25.
  const auto best = std::min_element(s11.begin(), s11.end(), [](const auto& a, const auto& b) {
    return std::abs(a) < std::abs(b);
  });
  EXPECT_NEAR(back.table.frequencyMHz[static_cast<size_t>(best - s11.begin())], 14.0, 0.05);
  EXPECT_NEAR(std::abs(*best), 0.25, 0.02);
}

// Markers on both swept instruments' charts, driven as a user does: Ctrl+click,
// drag, the Markers menu, new sweeps and zooms under them.
namespace {

// The number after `name ` in a readout line; NaN when it is not a number.
double valueIn(const QString& line, const QString& name) {
  const QRegularExpression re(QRegularExpression::escape(name) + " ?(?:\u2248 )?(-?[0-9.]+)");
  auto m = re.match(line);
  return m.hasMatch() ? m.captured(1).toDouble() : std::nan("");
}

void sweep(Rig& rig, const char* start, const char* stop, const char* points) {
  rig.type("startEdit", start);
  rig.type("stopEdit", stop);
  rig.type("pointsEdit", points);
  ASSERT_TRUE(rig.sweep());
}

double attenuationDb(double f, double fc, int order) {
  return 10 * std::log10(1 + std::pow(f / fc, 2 * order));
}

}  // namespace

TEST(ChartMarkers, PlacedByCtrlClickDraggedReadWithADeltaAndRemoved) {
  Rig rig("lowpass:fc=10,order=3");
  rig.open();
  sweep(rig, "1", "30", "1000");
  auto* chart = rig.chart();
  const double pixelMHz = 29.0 / chart->width();
  QTest::mouseClick(chart, Qt::LeftButton, Qt::ControlModifier, rig.pixel(5, -3));
  QTest::mouseClick(chart, Qt::LeftButton, Qt::ControlModifier, rig.pixel(15, -3));
  ASSERT_EQ(chart->markers().markers().size(), 2u);
  EXPECT_NEAR(chart->markers().markers()[0].x, 5, pixelMHz);
  // A drag moves the marker grabbed, not the view.
  QTest::mousePress(chart, Qt::LeftButton, {}, rig.pixel(chart->markers().markers()[1].x, -40));
  QTest::mouseMove(chart, rig.pixel(20, -40));
  QTest::mouseRelease(chart, Qt::LeftButton, {}, rig.pixel(20, -40));
  EXPECT_NEAR(chart->markers().markers()[1].x, 20, pixelMHz);
  EXPECT_EQ(rig.window->view().start, 1);
  // Each marker reads the level there; the delta is the filter's slope.
  const QStringList lines = chart->markerReadout();
  ASSERT_EQ(lines.size(), 3);
  EXPECT_NEAR(valueIn(lines[0], "trace"), -attenuationDb(5, 10, 3), 0.15);
  EXPECT_NEAR(valueIn(lines[2], "trace"), attenuationDb(5, 10, 3) - attenuationDb(20, 10, 3), 0.3)
      << lines[2].toStdString();
  // The menu and Delete remove them.
  emit rig.get<QMenu>("markerRemove")->aboutToShow();
  rig.get<QAction>("markerRemove1")->trigger();
  ASSERT_EQ(chart->markers().markers().size(), 1u);
  EXPECT_FALSE(chart->markers().delta());  // its marker went
  QTest::keyClick(chart, Qt::Key_Delete);  // the active one
  EXPECT_TRUE(chart->markers().markers().empty());
}

// The search skipping flagged levels is the marker rules' own test.
TEST(ChartMarkers, ExtremesTypedFrequenciesAndMarkersAcrossSweeps) {
  Rig rig("atten:20");
  rig.open();
  sweep(rig, "2", "25", "300");
  auto* chart = rig.chart();
  rig.get<QAction>("markerToMax")->trigger();  // places one
  ASSERT_EQ(chart->markers().markers().size(), 1u);
  const double x = chart->markers().markers()[0].x;
  EXPECT_TRUE(chart->markerReadout().at(0).endsWith("trace \u2248 -20.0 dBm, not calibrated"));
  // A new sweep is read where the marker is; with nothing measured in view the
  // search says so and moves nothing.
  rig.connect("atten:90");
  sweep(rig, "2", "25", "300");
  EXPECT_TRUE(chart->markerReadout().at(0).endsWith("trace floor, not calibrated"));
  rig.get<QAction>("markerToMin")->trigger();
  EXPECT_EQ(rig.lastMessage(), "No measured value in view to put the marker on.");
  EXPECT_EQ(chart->markers().markers()[0].x, x);
  // Each search adds a marker of its own; the same extreme again adds none.
  rig.connect("atten:20");
  sweep(rig, "2", "25", "300");
  rig.get<QAction>("markerToMin")->trigger();
  rig.get<QAction>("markerToMin")->trigger();
  ASSERT_EQ(chart->markers().markers().size(), 2u);
  EXPECT_EQ(chart->markers().markers()[0].x, x);
  chart->removeMarker(2);
  // A typed frequency adds one; a bad one says why.
  rig.prompter.inputs = {std::string("14,2 MHz"), std::string("7MHz")};  // a comma is the point
  rig.get<QAction>("markerAdd")->trigger();
  rig.get<QAction>("markerAdd")->trigger();
  ASSERT_EQ(chart->markers().markers().size(), 2u);
  EXPECT_EQ(chart->markers().markers()[1].x, 14.2);
  EXPECT_EQ(rig.lastMessage(), "\"7MHz\" is not a frequency in MHz.");
}

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

// A readout or legend text broken to a width: every line fits unless it is a
// single word, and the lines joined at their breaks give the text back.
TEST(ChartText, WrappedLinesFitAndKeepEveryWord) {
  const QFontMetrics fm(QFont("DejaVu Sans", 9));
  const QStringList texts = {
      "1: 17.148 MHz  SWR 1.63 \u00b1 0.19",
      "    R 30.8 \u00b1 3.6 \u03a9  X +j2.3 \u00b1 3.6 \u03a9, sign inferred",
      "dimmed: a marked or uncertain point; a point of unknown reactance sign is drawn at both "
      "signs",
      "averyveryverylongwordwithoutblanks and more",
      "",
      "one"};
  for (const QString& text : texts)
    for (int width = 1; width < 700; width += 13) {
      const QStringList lines = ui::wrappedLines(fm, text, width);
      ASSERT_FALSE(lines.isEmpty());
      EXPECT_EQ(lines.join(' '), text) << width;
      for (QString line : lines) {
        while (line.endsWith(' ')) line.chop(1);  // a blank at a break takes no room
        EXPECT_TRUE(fm.horizontalAdvance(line) <= width || !line.trimmed().contains(' '))
            << line.toStdString() << " at " << width;
      }
    }
}

// A picture's title too long for its line wraps onto more: every word of it
// is in the picture, none cut, and the chart keeps its size under it.
TEST(ChartText, PictureTitleWrapsWholeAtAnyWidth) {
  test::InTempDir here;
  const QString title =
      "Antenna Analyzer  3.000 000 to 30.000 000 MHz, 500 points, average 4, bridge corrected "
      "from the standards of 2026-12-08, cable 10 m VF 0.66 taken out, 3 stored traces";
  for (int width : {320, 520, 900, 1600}) {
    const ui::ChartPicture picture{
        QSize(width, 240), QFont("DejaVu Sans", 9),        Qt::black,
        Qt::white,         [](QPainter&, const QSize&) {}, "simulated instrument"};
    ASSERT_TRUE(ui::savePicture(picture, "titled.svg", title).isEmpty());
    QString svg = QString::fromStdString(common::readTextFile("titled.svg").value_or(""));
    svg.replace(QRegularExpression("<[^>]*>|\\s+"), " ");
    for (const QString& word : title.split(' ', Qt::SkipEmptyParts))
      EXPECT_TRUE(svg.contains(word)) << word.toStdString() << " at " << width;
    EXPECT_FALSE(svg.contains(QChar(0x2026))) << width;
    const int header = ui::titleHeight(picture, title, width);
    const int oneLine = ui::titleHeight(picture, "Short", width);
    EXPECT_TRUE(width > 520 ? header >= oneLine : header > oneLine) << width;
    ASSERT_TRUE(ui::savePicture(picture, "titled.png", title).isEmpty());
    EXPECT_EQ(QImage("titled.png").size(), QSize(width, 240 + header));
  }
}

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

// The markers' readout never covers the chart's note, at any size.
TEST(SweepChartWidget, MarkerReadoutKeepsClearOfTheNote) {
  SweepChart chart;
  chart.setScale(powerMeterScale(3, 30, 20, -80));
  chart.setGrid(powerMeterGrid(3, 30, 20, -80));
  Trace live = flat(-20, QColor(0, 0, 255));
  live.name = "Return loss";
  chart.setTraces({live});
  chart.setNote("DEMONSTRATION: a built-in simulated measurement, not a sweep");
  for (double x : {5.0, 14.2, 21.3, 28.0}) chart.addMarker(x);
  int apart = 0;
  for (int width = 420; width <= 1700; width += 60)
    for (int height = 260; height <= 900; height += 160) {
      const QSize size(width, height);
      const auto note = chart.noteBox(size);
      ASSERT_TRUE(note);
      EXPECT_FALSE(chart.readoutBox(size).intersects(*note)) << width << " x " << height;
      apart += chart.readoutBox(size).top >= note->bottom();
    }
  EXPECT_GT(apart, 0);  // the readout was moved down somewhere
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
