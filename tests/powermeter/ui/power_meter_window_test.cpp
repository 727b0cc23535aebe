#include "powermeter/ui/power_meter_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <algorithm>

#include "chart/chart.h"
#include "chart/ui/sweep_chart.h"
#include "common/files.h"
#include "common/prompter.h"
#include "hw/port_factory.h"
#include "powermeter/settings.h"
#include "powermeter/ui/power_meter_rig.h"
#include "support/temp_dir.h"

using namespace kolm;
using powermeter::ui::PowerMeterWindow;

using test::Rig;

TEST(PowerMeterWindowTest, OpensWithTheDefaultsAndItsMenus) {
  Rig rig;
  rig.open();
  EXPECT_EQ(rig.window->windowTitle(), "Power Meter Sweep");
  EXPECT_TRUE(rig.window->testAttribute(Qt::WA_DeleteOnClose));
  EXPECT_EQ(rig.text("Text1"), " 3");
  EXPECT_EQ(rig.text("Text2"), " 30");
  EXPECT_EQ(rig.text("Text3"), "1000");
  EXPECT_EQ(rig.text("Text8"), "20");
  EXPECT_EQ(rig.text("Text9"), "-80");
  EXPECT_EQ(rig.text("Text7"), "0");
  EXPECT_EQ(rig.text("Text5"), "Start<----------MHz--------->Stop");
  EXPECT_EQ(rig.get<QLabel>("Label5")->text(), "POWER METER SWEEP");
  EXPECT_EQ(rig.get<QLabel>("Label4")->text(), "Points");
  EXPECT_EQ(rig.get<QLabel>("Label1")->text(), "Delay");
  EXPECT_EQ(rig.get<QLineEdit>("Text3")->toolTip(), "Frequency Axsis Points");
  EXPECT_EQ(rig.get<QLineEdit>("Text7")->toolTip(), "Delay in msec");
  EXPECT_EQ(rig.get<QGroupBox>("Frame2")->title(), "Signal Generator");
  EXPECT_EQ(rig.get<QCheckBox>("Check1")->text(), "Compare");
  EXPECT_TRUE(rig.get<QWidget>("SimBanner")->isVisible());
  // The menu bar, left to right.
  QStringList menus;
  for (QAction* a : rig.window->menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus,
            (QStringList{"File", "Parameters", "Compare", "Calibrate", "Reference_Level",
                         "CrystalMeter", "Markers", "Print", "About_Power_Meter", "Analysis"}));
  EXPECT_EQ(rig.get<QAction>("ScrMem")->text(), "This Chart in memory");
  // The grid of 3 to 30 MHz, +20 to -80 dBm, and no trace before the first pass.
  EXPECT_EQ(rig.chart()->scale(), chart::powerMeterScale(3, 30, 20, -80));
  EXPECT_EQ(rig.chart()->grid(), chart::powerMeterGrid(3, 30, 20, -80));
  EXPECT_TRUE(rig.chart()->traces().empty());
  // Parameters opens modally over this window.
  rig.get<QAction>("Parametri")->trigger();
  ASSERT_EQ(rig.parameterOwners.size(), 1u);
  EXPECT_EQ(rig.parameterOwners[0], rig.window.data());
  EXPECT_TRUE(rig.port->writes.empty());  // nothing sent on opening
}

TEST(PowerMeterWindowTest, SettingsFromPowIniAndWrittenBackOnClose) {
  Rig rig;
  ASSERT_TRUE(powermeter::SaveVar({" 14", " 14.35", "350", "0", "-50", {800, 200}, "0.5", 12}));
  rig.open();
  EXPECT_EQ(rig.text("Text1"), " 14");
  EXPECT_EQ(rig.text("Text2"), " 14.35");
  EXPECT_EQ(rig.text("Text3"), "350");
  EXPECT_EQ(rig.text("Text8"), "0");
  EXPECT_EQ(rig.text("Text9"), "-50");
  EXPECT_EQ(rig.text("Text7"), "0.5");
  EXPECT_TRUE(rig.prompter.messages().empty());
  rig.type("Text2", "14.2");
  rig.window->close();
  EXPECT_EQ(
      common::readTextFile("pow.ini").value(),
      "\" 14\"\r\n\"14.2\"\r\n\"350\"\r\n\"0\"\r\n\"-50\"\r\n\" 800\"\r\n\" 200\"\r\n\"0.5\"\r\n\" "
      "12\"\r\n");
}

TEST(PowerMeterWindowTest, PointLimitAndTimeWarning) {
  Rig rig;
  rig.open();
  rig.type("Text3", "25000");
  EXPECT_EQ(rig.text("Text3"), "20000");
  EXPECT_TRUE(rig.prompter.messages().empty());  // changing Text3 gives no warning
  rig.type("Text3", "100");
  rig.type("Text7", "600");  // typed 6, 60, 600: only 60 s is above the limit
  ASSERT_EQ(rig.prompter.messages().size(), 1u);
  EXPECT_EQ(rig.prompter.messages()[0], " attenzione il tempo potrebbe superare  60secondi");
  EXPECT_EQ(rig.prompter.shown.back().title, "Kolm");
}

TEST(PowerMeterWindowTest, SingleSweepFillsTheTraceAndEnds) {
  Rig rig;
  rig.open();
  rig.type("Text1", "10");
  rig.type("Text2", "5");
  rig.type("Text3", "200");
  rig.get<QToolButton>("Option1")->click();
  EXPECT_TRUE(rig.get<QToolButton>("Option1")->isChecked());
  EXPECT_TRUE(rig.get<QAction>("StopSweep")->isEnabled());
  ASSERT_TRUE(rig.waitIdle());
  // The exchanged span, written back.
  EXPECT_EQ(rig.text("Text1"), " 5");
  EXPECT_EQ(rig.text("Text2"), " 10");
  EXPECT_FALSE(rig.get<QToolButton>("Option1")->isChecked());
  EXPECT_FALSE(rig.get<QAction>("StopSweep")->isEnabled());
  EXPECT_EQ(rig.get<QProgressBar>("SweepProgress")->value(), 1000);
  EXPECT_EQ(QApplication::focusWidget(), rig.get<QLineEdit>("Text1"));
  EXPECT_EQ(rig.resets(), 1);
  // 201 levels through 20 dB, drawn over 5 to 10 MHz.
  ASSERT_EQ(rig.chart()->traces().size(), 1u);
  const auto& t = rig.chart()->traces()[0];
  EXPECT_EQ(t.y.size(), 201u);
  EXPECT_EQ(t.start, 5);
  EXPECT_EQ(t.stop, 10);
  EXPECT_EQ(t.colour, QColor(0, 0, 255));
  for (float level : t.y) EXPECT_NEAR(level, -20, 0.2);
  EXPECT_EQ(rig.chart()->scale(), chart::powerMeterScale(5, 10, 20, -80));
}

// Levels the detector cannot resolve are marked on the chart and read in words
// (the typical board's own floor and top are pinned with the simulator).
TEST(PowerMeterWindowTest, FloorAndOverloadAreMarkedAndReadAsABound) {
  Rig rig("atten:90");
  rig.open();
  rig.type("Text3", "100");
  ASSERT_TRUE(rig.sweep());
  const auto& t = rig.chart()->traces().at(0);
  ASSERT_EQ(t.marks.size(), 101u);
  for (chart::Mark m : t.marks) EXPECT_EQ(m, chart::Mark::AtMost);
  QTest::mouseMove(rig.chart(), rig.pixel(14, -50));
  EXPECT_EQ(rig.text("LevelReadout"), "level ≤ -83.9 dBm (floor)");
  rig.connect("amp:25");
  ASSERT_TRUE(rig.sweep());
  for (chart::Mark m : rig.chart()->traces().at(0).marks) EXPECT_EQ(m, chart::Mark::AtLeast);
  QTest::mouseMove(rig.chart(), rig.pixel(16, -50));
  EXPECT_EQ(rig.text("LevelReadout"), "level ≥ 20.0 dBm (overload)");
  rig.connect("atten:20");
  ASSERT_TRUE(rig.sweep());
  EXPECT_TRUE(rig.chart()->traces().at(0).marks.empty());
  QTest::mouseMove(rig.chart(), rig.pixel(15, -50));
  EXPECT_EQ(rig.text("LevelReadout"), "level -20.0 dBm");
}

TEST(PowerMeterWindowTest, RefusalsComeBeforeAnythingIsSent) {
  Rig rig;
  rig.open();
  rig.type("Text3", "0");
  rig.get<QToolButton>("Option1")->click();
  EXPECT_FALSE(rig.window->sweeping());
  ASSERT_EQ(rig.prompter.messages().size(), 1u);
  EXPECT_EQ(rig.prompter.messages()[0], "The number of points must be at least 1.");
  EXPECT_FALSE(rig.get<QToolButton>("Option1")->isChecked());
  rig.type("Text3", "100");
  rig.type("Text2", "250");  // beyond half the 400 MHz clock
  rig.get<QToolButton>("Option2")->click();
  EXPECT_FALSE(rig.window->sweeping());
  EXPECT_FALSE(rig.get<QToolButton>("Option2")->isChecked());
  EXPECT_NE(rig.prompter.messages().back().find("half the DDS clock"), std::string::npos);
  EXPECT_TRUE(rig.port->writes.empty());
}

TEST(PowerMeterWindowTest, SingleClickDuringContinuousEndsAfterOneMorePass) {
  Rig rig("atten:20", true);
  rig.open();
  // 2000 points of 20 us: about 60 ms a pass, several slices.
  rig.type("Text3", "2000");
  rig.type("Text7", "0.02");
  rig.get<QToolButton>("Option2")->click();
  auto* progress = rig.get<QProgressBar>("SweepProgress");
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return rig.resets() >= 2 && progress->value() > 0 && progress->value() < 1000; },
      20000));
  // Passes follow one another while Option2 stays selected.
  EXPECT_TRUE(rig.window->sweeping());
  EXPECT_TRUE(rig.get<QToolButton>("Option2")->isChecked());
  const int passesAtClick = rig.resets();
  rig.get<QToolButton>("Option1")->click();
  EXPECT_FALSE(rig.get<QToolButton>("Option2")->isChecked());
  ASSERT_TRUE(rig.waitIdle(20000));
  EXPECT_EQ(rig.resets(), passesAtClick + 1);
  EXPECT_FALSE(rig.get<QToolButton>("Option1")->isChecked());

  // A click before the next pass has measured anything makes that pass the last.
  const int before = rig.resets();
  rig.get<QToolButton>("Option2")->click();
  rig.get<QToolButton>("Option1")->click();
  ASSERT_TRUE(rig.waitIdle(20000));
  EXPECT_EQ(rig.resets(), before + 1);
}

TEST(PowerMeterWindowTest, StopEndsAPassAtAPointBoundary) {
  Rig rig("atten:20", true);
  rig.open();
  // 20000 points of 50 us: a second a pass.
  rig.type("Text3", "20000");
  rig.type("Text7", "0.05");
  auto* stop = rig.get<QAction>("StopSweep");  // Esc: see the shortcut tests
  rig.get<QToolButton>("Option2")->click();
  ASSERT_TRUE(rig.window->sweeping());
  // Past the settling wait, a few points in.
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return rig.get<QProgressBar>("SweepProgress")->value() > 0; }, 20000));
  stop->trigger();
  EXPECT_FALSE(rig.window->sweeping());
  EXPECT_FALSE(rig.get<QToolButton>("Option2")->isChecked());
  EXPECT_EQ(rig.resets(), 1);
  // The last bytes are a complete detector read-out.
  EXPECT_EQ(rig.port->writes.back(), 24);
  const auto& t = rig.chart()->traces();
  ASSERT_EQ(t.size(), 1u);
  EXPECT_LT(t[0].y.size(), 20001u);  // what was measured, not the old zeros
}

TEST(PowerMeterWindowTest, ClosingDuringASweepStopsItSavesAndSwitchesOff) {
  Rig rig("atten:20", true);
  rig.open();
  rig.type("Text3", "20000");
  rig.type("Text7", "0.05");
  rig.get<QToolButton>("Option2")->click();
  QTest::qWait(20);
  rig.instrument.LastTuningWord = 77;
  rig.get<QAction>("Exit_Power_Meter")->trigger();
  QTest::qWait(0);
  EXPECT_TRUE(rig.window.isNull() || !rig.window->sweeping());
  // pow.ini holds the boxes; the last frame sent is the word 0.
  auto ini = powermeter::ReadVar();
  EXPECT_EQ(ini.Points, 20000);
  EXPECT_EQ(rig.instrument.LastTuningWord, 0);
  const auto& w = rig.port->writes;
  ASSERT_GE(w.size(), 82u);
  EXPECT_EQ(w[w.size() - 2], 20);  // the update strobe ends the frame
  for (size_t k = w.size() - 66; k < w.size() - 2; ++k) EXPECT_TRUE(w[k] == 16 || w[k] == 18) << k;
  // Nothing more happens afterwards.
  const size_t sent = w.size();
  QTest::qWait(50);
  EXPECT_EQ(rig.port->writes.size(), sent);
}

// The readout follows the mouse; a drag shows its band, then zooms the grid
// over the trace (the zoom rule and its history are pinned elsewhere).
TEST(PowerMeterWindowTest, ReadoutAndZoomOverTheTrace) {
  Rig rig;
  rig.open();
  ASSERT_TRUE(rig.sweep());
  auto* pc1 = rig.chart();
  QPoint p = rig.pixel(14.0255, -12.34);
  QTest::mouseMove(pc1, p);
  auto u = pc1->toUser(QPointF(p)).value();
  EXPECT_EQ(rig.text("Text4").toStdString(), chart::cursorReadout(u.x(), u.y()));
  EXPECT_EQ(rig.text("Text4").left(4), QString("14.0"));

  QTest::mousePress(pc1, Qt::LeftButton, {}, rig.pixel(10, 0));
  QTest::mouseMove(pc1, rig.pixel(20, -40));
  ASSERT_TRUE(pc1->rubberBand().has_value());
  QTest::mouseRelease(pc1, Qt::LeftButton, {}, rig.pixel(20, -40));
  EXPECT_FALSE(pc1->rubberBand().has_value());
  chart::View v = rig.window->view();
  EXPECT_NEAR(v.start, 10, 0.05);
  EXPECT_EQ(pc1->scale(),
            chart::powerMeterScale(static_cast<float>(v.start), static_cast<float>(v.stop),
                                   static_cast<float>(v.top), static_cast<float>(v.bottom)));
  EXPECT_EQ(pc1->traces()[0].start, 3);
  EXPECT_EQ(pc1->traces()[0].stop, 30);
}

TEST(PowerMeterWindowTest, ProportionalLayoutAndVisualizza) {
  Rig rig;
  rig.open();
  rig.window->resize(1200, 900);
  QTest::qWait(0);
  QWidget* area = rig.get<QWidget>("ChartArea");
  const int W = area->width(), H = area->height();
  QRect g = rig.chart()->geometry();
  EXPECT_NEAR(g.x(), 0.05 * W, 1);
  EXPECT_NEAR(g.y(), 0.09 * H, 1);
  EXPECT_NEAR(g.width(), 0.905 * W, 1);
  EXPECT_NEAR(g.height(), 0.8 * H - 2, 1);
  EXPECT_NEAR(rig.get<QWidget>("Frame2")->x(), 0.563 * W, 1);
  EXPECT_NEAR(rig.get<QWidget>("Frame2")->y(), 0.89 * H, 1);
  EXPECT_NEAR(rig.get<QWidget>("Text7")->x(), 0.76 * W, 1);
  EXPECT_NEAR(rig.get<QWidget>("Text9")->y(), 0.85 * H, 1);
  EXPECT_TRUE(rig.window->statusBar()->isAncestorOf(rig.get<QWidget>("SweepPanel")));
  // The launcher calls Visualizza by name.
  rig.get<QLineEdit>("Text8")->setText("0");
  EXPECT_TRUE(QMetaObject::invokeMethod(rig.window, "Visualizza"));
}
