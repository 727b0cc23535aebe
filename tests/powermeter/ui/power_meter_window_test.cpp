#include "powermeter/ui/power_meter_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>

#include "chart/chart.h"
#include "chart/ui/analysis_panel.h"
#include "common/text.h"
#include "powermeter/ui/power_meter_rig.h"
#include "vfo/dds_frames.h"

using namespace kolm;
using test::Rig;

TEST(PowerMeterWindowTest, OpensOnTheDefaultGridAndSendsNothing) {
  Rig rig;
  rig.open();
  EXPECT_EQ(rig.window->windowTitle(), "Power Meter Sweep");
  EXPECT_TRUE(rig.get<QWidget>("SimBanner")->isVisible());
  // The grid of 3 to 30 MHz, +20 to -80 dBm, and no trace before the first pass.
  EXPECT_EQ(rig.chart()->grid(), chart::powerMeterGrid(3, 30, 20, -80));
  EXPECT_TRUE(rig.chart()->traces().empty());
  // Parameters opens modally over this window.
  rig.get<QAction>("parametersAction")->trigger();
  EXPECT_EQ(rig.parameterOwners, std::vector<QWidget*>{rig.window.data()});
  EXPECT_TRUE(rig.port->writes.empty());  // nothing sent on opening
  // The controls keep their proportions; the launcher calls redraw by name.
  rig.window->resize(1200, 900);
  QTest::qWait(0);
  QWidget* area = rig.get<QWidget>("ChartArea");
  EXPECT_NEAR(rig.chart()->width(), 0.905 * area->width(), 1);
  EXPECT_NEAR(rig.get<QWidget>("generatorGroup")->y(), 0.89 * area->height(), 1);
  EXPECT_TRUE(QMetaObject::invokeMethod(rig.window, "redraw"));
}

TEST(PowerMeterWindowTest, SingleSweepFillsTheTraceAndMarksWhatCannotBeResolved) {
  Rig rig;
  rig.open();
  rig.type("startEdit", "10");
  rig.type("stopEdit", "5");
  rig.type("pointsEdit", "200");
  ASSERT_TRUE(rig.sweep());
  EXPECT_EQ(rig.text("startEdit"), " 5");  // the exchanged span, written back
  EXPECT_FALSE(rig.get<QToolButton>("singleSweepButton")->isChecked());
  EXPECT_EQ(rig.get<QProgressBar>("SweepProgress")->value(), 1000);
  EXPECT_EQ(rig.resets(), 1);
  // 201 levels through 20 dB, drawn over 5 to 10 MHz.
  const auto& t = rig.chart()->traces().at(0);
  EXPECT_EQ(t.y.size(), 201u);
  EXPECT_EQ(t.start, 5);
  for (float level : t.y) EXPECT_NEAR(level, -20, 0.2);
  // The analysis panel shows the trace's maximum.
  const QString maximum = rig.get<chart::ui::AnalysisPanel>("levelAnalysis")->value(0);
  EXPECT_NEAR(common::numericValue(maximum.toStdString()), -20, 0.2) << maximum.toStdString();
  // The readout follows the mouse.
  QTest::mouseMove(rig.chart(), rig.pixel(7.5, -50));
  EXPECT_EQ(rig.text("LevelReadout"), "level -20.0 dBm");
  EXPECT_EQ(rig.text("cursorReadout").left(3), "7.5");

  // Levels the detector cannot resolve are marked on the chart and read in words
  // (the typical board's own floor and top are pinned with the simulator).
  rig.connect("atten:90");
  ASSERT_TRUE(rig.sweep());
  EXPECT_EQ(rig.chart()->traces().at(0).marks.at(50), chart::Mark::AtMost);
  QTest::mouseMove(rig.chart(), rig.pixel(7, -50));
  EXPECT_EQ(rig.text("LevelReadout"), "level ≤ -83.9 dBm (floor)");
  rig.connect("amp:25");
  ASSERT_TRUE(rig.sweep());
  QTest::mouseMove(rig.chart(), rig.pixel(8, -50));
  EXPECT_EQ(rig.text("LevelReadout"), "level ≥ 20.0 dBm (overload)");
}

TEST(PowerMeterWindowTest, WarningsRefusalsAndAFailedPortReachTheUser) {
  Rig rig;
  rig.open();
  rig.type("pointsEdit", "25000");
  EXPECT_EQ(rig.text("pointsEdit"), "20000");
  rig.type("pointsEdit", "100");
  rig.type("delayEdit", "600");  // typed 6, 60, 600: only 60 s is above the limit
  EXPECT_THAT(rig.prompter.messages(),
              testing::ElementsAre(" attenzione il tempo potrebbe superare  60secondi"));
  rig.type("pointsEdit", "0");
  rig.get<QToolButton>("singleSweepButton")->click();
  EXPECT_EQ(rig.lastMessage(), "The number of points must be at least 1.");
  EXPECT_FALSE(rig.get<QToolButton>("singleSweepButton")->isChecked());
  rig.type("pointsEdit", "100");
  rig.type("stopEdit", "250");  // beyond half the 400 MHz clock
  rig.get<QToolButton>("continuousSweepButton")->click();
  EXPECT_NE(rig.lastMessage().find("half the DDS clock"), std::string::npos);
  EXPECT_FALSE(rig.get<QToolButton>("continuousSweepButton")->isChecked());
  EXPECT_TRUE(rig.port->writes.empty());

  // A port that stops working ends the pass with a message, and the banner says so.
  rig.type("stopEdit", "30");
  rig.type("delayEdit", "0");
  rig.type("pointsEdit", "2000");
  // Reset, multiplier and first word are about 150 writes, a point about 104.
  rig.port->failAtWrite = 150 + 104 * 300;
  ASSERT_TRUE(rig.sweep());
  EXPECT_NE(rig.lastMessage().find("stopped working: the adapter was unplugged"), std::string::npos)
      << rig.lastMessage();
  EXPECT_LT(rig.chart()->traces().at(0).y.size(), 400u);  // only what was measured
  common::ui::refreshSimBanners(rig.window);
  EXPECT_TRUE(rig.get<QLabel>("SimBanner")->text().contains("STOPPED WORKING"));
  EXPECT_EQ(rig.port->writes.size(), *rig.port->failAtWrite);
}

TEST(PowerMeterWindowTest, ContinuousPassesEndBySingleOrByEscapeAndCommandsWaitForThem) {
  Rig rig("atten:20", true);
  rig.open();
  // 2000 points of 20 us: about 60 ms a pass, several slices. Single, clicked
  // during continuous passes, ends them after one more.
  rig.type("pointsEdit", "2000");
  rig.type("delayEdit", "0.02");
  rig.get<QToolButton>("continuousSweepButton")->click();
  auto* progress = rig.get<QProgressBar>("SweepProgress");
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return rig.resets() >= 2 && progress->value() > 0 && progress->value() < 1000; },
      20000));
  const int passes = rig.resets();
  rig.get<QToolButton>("singleSweepButton")->click();
  EXPECT_FALSE(rig.get<QToolButton>("continuousSweepButton")->isChecked());
  ASSERT_TRUE(rig.waitIdle(20000));
  EXPECT_EQ(rig.resets(), passes + 1);

  // 20000 points of 50 us: a second a pass.
  rig.type("pointsEdit", "20000");
  rig.type("delayEdit", "0.05");
  rig.get<QToolButton>("continuousSweepButton")->click();
  // The menu commands wait, and a crystal measurement or a calibration cannot start.
  const char* commands[] = {"openAction",
                            "saveAsAction",
                            "calibrateZeroDbmAction",
                            "calibrateMinus60DbmAction",
                            "levelReferenceAction",
                            "crystalAction",
                            "quartzReferenceAction",
                            "printScreenAction"};
  for (const char* name : commands) EXPECT_FALSE(rig.get<QAction>(name)->isEnabled()) << name;
  EXPECT_FALSE(rig.window->startSingleSweep());
  // Past the settling wait, a few points in.
  ASSERT_TRUE(QTest::qWaitFor([&] { return progress->value() > 0; }, 20000));
  rig.window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(rig.window));
  QTest::keyClick(rig.window, Qt::Key_Escape);
  EXPECT_FALSE(rig.get<QToolButton>("continuousSweepButton")->isChecked());
  EXPECT_TRUE(rig.get<QLabel>("StatusLine")->text().startsWith("Sweep stopped at point "));
  EXPECT_EQ(rig.resets(), passes + 2);
  EXPECT_EQ(rig.port->writes.back(), 24);                   // a complete detector read-out
  EXPECT_LT(rig.chart()->traces().at(0).y.size(), 20001u);  // what was measured
  for (const char* name : commands) EXPECT_TRUE(rig.get<QAction>(name)->isEnabled()) << name;
}

TEST(PowerMeterWindowTest, ClosingDuringASweepStopsItSavesAndSwitchesOff) {
  Rig rig("atten:20", true);
  rig.open();
  rig.type("pointsEdit", "20000");
  rig.type("delayEdit", "0.05");
  rig.get<QToolButton>("continuousSweepButton")->click();
  QTest::qWait(20);
  rig.get<QAction>("exitAction")->trigger();
  QTest::qWait(0);
  // The last frame sent is the word 0, and nothing follows it.
  const auto& w = rig.port->writes;
  ASSERT_GE(w.size(), 82u);
  EXPECT_THAT(test::ddsEvents({w.end() - 82, w.end()}), testing::ElementsAre("word 0"));
  const size_t sent = w.size();
  QTest::qWait(50);
  EXPECT_EQ(rig.port->writes.size(), sent);
  rig.open();  // the next window opens with the boxes kept
  EXPECT_EQ(rig.text("pointsEdit"), "20000");
}

TEST(PowerMeterWindowTest, EveryZoomCountsItsPointsOnTheSweptSpan) {
  // 3 to 30 MHz in 1000 steps of 27 kHz: a drag narrower than five steps
  // (0.135 MHz) keeps the span, however far the view was zoomed before.
  Rig rig;
  rig.open();
  rig.type("startEdit", "3");
  rig.type("stopEdit", "30");
  rig.type("pointsEdit", "1000");
  ASSERT_TRUE(rig.sweep());
  auto drag = [&](double from, double to) {
    QTest::mousePress(rig.chart(), Qt::LeftButton, {}, rig.pixel(from, -10));
    QTest::mouseMove(rig.chart(), rig.pixel(to, -10));
    QTest::mouseRelease(rig.chart(), Qt::LeftButton, {}, rig.pixel(to, -10));
  };
  struct Case {
    double from, to;
    bool zooms;
  };
  for (const Case& c : {Case{10, 11, true}, Case{10.2, 10.22, false}, Case{10.2, 10.23, false},
                        Case{10.2, 10.4, true}, Case{10.25, 10.28, false}}) {
    SCOPED_TRACE(testing::Message() << c.from << " to " << c.to);
    const chart::View before = rig.window->view();
    const double pixel = 2 * (before.stop - before.start) / rig.chart()->width();
    drag(c.from, c.to);
    if (c.zooms) {  // to the drag, within two pixels
      EXPECT_NEAR(rig.window->view().start, c.from, pixel);
      EXPECT_NEAR(rig.window->view().stop, c.to, pixel);
    } else {
      EXPECT_EQ(rig.window->view().start, before.start);
      EXPECT_EQ(rig.window->view().stop, before.stop);
    }
  }
}
