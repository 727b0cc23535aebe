#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QThread>
#include <QToolButton>

#include "analyzer/files.h"
#include "analyzer/ui/analyzer_fixture.h"
#include "analyzer/ui/analyzer_window.h"
#include "chart/ui/sweep_chart.h"
#include "common/files.h"
#include "common/text.h"

using namespace kolm;
using namespace kolm::analyzer;
using kolm::analyzer::ui::AnalyzerWindow;

using kolm::test::AnalyzerUi;

TEST_F(AnalyzerUi, OpensOnTheSimulatedMeasurementWithoutTouchingThePort) {
  open();
  EXPECT_EQ(window->windowTitle(), "Antenna_Analizer");
  EXPECT_TRUE(find<QWidget>("SimBanner")->isVisible());

  // No ant.ini: 3 to 30 MHz, 500 points, the simulated return loss alone.
  EXPECT_EQ(box("pointsEdit")->text(), "500");
  EXPECT_EQ(active(), (std::vector<bool>{true, false, false, false, false, false}));
  EXPECT_FALSE(box("quantityReadout1")->isVisible());
  ASSERT_EQ(window->chart()->traces().size(), 1u);
  ASSERT_EQ(window->chart()->traces()[0].y.size(), 501u);
  EXPECT_NEAR(window->chart()->traces()[0].y[0], 0.70, 0.01);
  EXPECT_FALSE(find<QLabel>("quantityIcon")->pixmap().isNull());
  EXPECT_TRUE(port->log.empty());

  find<QAction>("parametersAction")->trigger();
  EXPECT_EQ(parametersShown, 1);
}

TEST_F(AnalyzerUi, SelectQuantityTogglesOrShowsOneChart) {
  open();
  auto click = [&](int q) {
    QTest::mouseClick(find<QToolButton>(("quantityButton" + std::to_string(q)).c_str()),
                      Qt::LeftButton);
  };
  click(1);
  EXPECT_EQ(active(), (std::vector<bool>{true, true, false, false, false, false}));
  EXPECT_TRUE(box("quantityReadout1")->isVisible());
  EXPECT_FLOAT_EQ(static_cast<float>(window->chart()->scale().top), 180.0f);  // phase
  // Hiding the selected trace selects the highest one still drawn.
  click(3);
  click(5);
  click(5);
  EXPECT_EQ(active(), (std::vector<bool>{true, true, false, true, false, false}));
  EXPECT_EQ(window->selection().selectedQuantity, 3);
  click(1);
  click(3);
  click(0);
  // Nothing left: the selection stays where it was and nothing is drawn.
  EXPECT_EQ(active(), (std::vector<bool>(6, false)));
  EXPECT_EQ(window->selection().selectedQuantity, 0);
  EXPECT_TRUE(window->chart()->traces().empty());

  // Single-chart mode: each click shows that quantity alone.
  QTest::mouseClick(find<QToolButton>("Combine"), Qt::LeftButton);
  click(2);
  click(4);
  EXPECT_EQ(active(), (std::vector<bool>{false, false, false, false, true, false}));
  ASSERT_EQ(window->chart()->traces().size(), 1u);
  EXPECT_EQ(window->chart()->traces()[0].colour, QColor(255, 0, 255));
}

TEST_F(AnalyzerUi, CursorReadoutAndZoomFollowTheMouse) {
  open();
  window->selectQuantity(2);
  window->onChartMoved(3.0, 250);
  EXPECT_EQ(box("cursorFrequencyEdit")->text(), "3.000 000");
  EXPECT_EQ(box("quantityReadout1")->text(), "≈ 180.0\u00b0");  // the phase at its 180-degree end
  auto* line = find<QWidget>("cursorLine");

  window->onChartMoved(30.0, 0);
  const PointResult last = evaluatePoint(window->measurement().live.returnLossCounts[500],
                                         window->measurement().live.phaseCounts[500]);
  const std::string lastZ = chart::valueReadout(last.values[kImpedance]) + " \u03a9";
  EXPECT_EQ(box("quantityReadout2")->text().toStdString(), lastZ);
  EXPECT_EQ(line->x(), window->chart()->width() - 1);

  // A drag across a third of the chart zooms to it; a double-click undoes it.
  auto* plot = window->chart();
  const auto map = plot->pixelMap();
  const int y = plot->height() / 2;
  QTest::mousePress(plot, Qt::LeftButton, {}, QPoint(static_cast<int>(map.x(12)), y));
  QTest::mouseMove(plot, QPoint(static_cast<int>(map.x(21)), y + 40));
  QTest::mouseRelease(plot, Qt::LeftButton, {}, QPoint(static_cast<int>(map.x(21)), y + 40));
  EXPECT_NEAR(window->measurement().ViewStop, 21, 0.05);
  EXPECT_NEAR(plot->scale().left, 12, 0.05);
  // The boxes follow the view at once (the next sweep covers it).
  EXPECT_NEAR(box("startEdit")->text().toDouble(), 12, 0.05);
  QTest::mouseDClick(plot, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(window->measurement().ViewStop, 30);
  EXPECT_EQ(box("startEdit")->text(), "3");
}

TEST_F(AnalyzerUi, BadBoxesAreRefusedBeforeAnythingIsSent) {
  open();
  const auto before = window->measurement().live.returnLossCounts;
  // The plan's rules are its own: one refusal reaches the user.
  box("pointsEdit")->setText("20002");
  QTest::mouseClick(find<QToolButton>("singleSweepButton"), Qt::LeftButton);
  EXPECT_FALSE(window->sweeping());
  ASSERT_EQ(prompter.messages().size(), 1u);
  EXPECT_NE(prompter.messages()[0].find("20001"), std::string::npos);
  instrument.params.RefClkMHz = 0;
  box("pointsEdit")->setText("500");
  QTest::mouseClick(find<QToolButton>("continuousSweepButton"), Qt::LeftButton);
  EXPECT_EQ(prompter.messages().back(), hw::noClockMessage());
  EXPECT_FALSE(find<QToolButton>("continuousSweepButton")->isChecked());
  EXPECT_TRUE(port->log.empty());
  EXPECT_EQ(window->measurement().live.returnLossCounts, before);
}

TEST_F(AnalyzerUi, StopDropsThePassAndKeepsTheChart) {
  // The 10 ms settling wait of a pass really waits, so the first slice of the
  // runner ends early in the pass.
  struct SettleDelayer : hw::Delayer {
    void wait(double units, int) override {
      if (units >= 100000) QThread::msleep(30);
    }
  };
  instrument.setDelayer(std::make_unique<SettleDelayer>());
  open();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));  // Esc is the window's shortcut
  box("pointsEdit")->setText("20001");
  const auto a = window->measurement().live.returnLossCounts;
  bool stopped = false;
  QObject::connect(&window->runner(), &common::ui::JobRunner::progressed, window, [&](double) {
    if (!stopped) {
      stopped = true;
      QTest::keyClick(window, Qt::Key_Escape);
    }
  });
  QTest::mouseClick(find<QToolButton>("singleSweepButton"), Qt::LeftButton);
  waitIdle();
  EXPECT_TRUE(stopped);
  EXPECT_EQ(window->measurement().Points, 500);
  EXPECT_EQ(window->measurement().live.returnLossCounts, a);
  // Stopped between points: the port log ends on a whole read-out.
  ASSERT_FALSE(port->log.empty());
  EXPECT_EQ(port->log.back().value, 24);
}

TEST_F(AnalyzerUi, SinglePassClickEndsAContinuousSweep) {
  open();
  box("pointsEdit")->setText("50");
  int passes = 0;
  QObject::connect(&window->runner(), &common::ui::JobRunner::finished, window, [&](bool done) {
    EXPECT_TRUE(done);
    ++passes;
    if (passes == 2) {
      EXPECT_TRUE(window->sweeping());  // the third pass is under way
      QTest::mouseClick(find<QToolButton>("singleSweepButton"), Qt::LeftButton);
      EXPECT_FALSE(find<QToolButton>("continuousSweepButton")->isChecked());
    }
    ASSERT_LT(passes, 10);
  });
  QTest::mouseClick(find<QToolButton>("continuousSweepButton"), Qt::LeftButton);
  EXPECT_TRUE(find<QToolButton>("continuousSweepButton")->isChecked());
  waitIdle();
  // Passes 1 to 3 of the continuous sweep, then the one the click asked for.
  EXPECT_EQ(passes, 4);
  int resets = 0;
  for (const auto& a : port->log)
    if (a.write && a.value == 144) ++resets;
  EXPECT_EQ(resets, 2);  // at the start of each sweep, not of each pass
}

TEST_F(AnalyzerUi, ClosingSavesTheBoxesAndSwitchesTheGeneratorOff) {
  open();
  box("startEdit")->setText("5.5");
  box("stopEdit")->setText("6 MHz");
  box("pointsEdit")->setText("100");
  instrument.tune(1234);
  find<QAction>("Exit")->trigger();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  EXPECT_EQ(common::readTextFile("ant.ini").value(), "\"5.5\"\r\n\"6 MHz\"\r\n\"100\"\r\n");
  // Word 0 went out (the frame itself is the command-line tests'), the lines end low.
  EXPECT_EQ(instrument.tunedWord(), 0u);
  ASSERT_FALSE(port->log.empty());
  EXPECT_EQ(port->writes().back(), 0);
  open();  // the next window starts from the saved span
  EXPECT_EQ(box("stopEdit")->text(), "6");
}
