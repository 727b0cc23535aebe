// Markers on both swept instruments' charts, driven as a user does: Ctrl+click,
// drag, the Markers menu, new sweeps and zooms under them.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QRegularExpression>
#include <cmath>

#include "powermeter/ui/power_meter_rig.h"

using namespace kolm;
using kolm::test::Rig;

namespace {

// The number after `name ` in a readout line; NaN when it is not a number.
double valueIn(const QString& line, const QString& name) {
  const QRegularExpression re(QRegularExpression::escape(name) + " ?(-?[0-9.]+)");
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
  emit rig.get<QMenu>("MarkerRemove")->aboutToShow();
  rig.get<QAction>("MarkerRemove1")->trigger();
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
  rig.get<QAction>("MarkerToMax")->trigger();  // places one
  ASSERT_EQ(chart->markers().markers().size(), 1u);
  const double x = chart->markers().markers()[0].x;
  EXPECT_TRUE(chart->markerReadout().at(0).endsWith("trace -20.0 dBm"));
  // A new sweep is read where the marker is; with nothing measured in view the
  // search says so and moves nothing.
  rig.connect("atten:90");
  sweep(rig, "2", "25", "300");
  EXPECT_TRUE(chart->markerReadout().at(0).endsWith("trace floor"));
  rig.get<QAction>("MarkerToMin")->trigger();
  EXPECT_EQ(rig.lastMessage(), "No measured value in view to put the marker on.");
  EXPECT_EQ(chart->markers().markers()[0].x, x);
  // A typed frequency adds one; a bad one says why.
  rig.prompter.inputs = {std::string("14.2"), std::string("7 MHz")};
  rig.get<QAction>("MarkerAdd")->trigger();
  rig.get<QAction>("MarkerAdd")->trigger();
  ASSERT_EQ(chart->markers().markers().size(), 2u);
  EXPECT_EQ(chart->markers().markers()[1].x, 14.2);
  EXPECT_EQ(rig.lastMessage(), "\"7 MHz\" is not a frequency in MHz.");
}
