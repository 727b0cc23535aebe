// Looking at a measurement: readouts that follow the data, the view and the
// size; the legend; the zoom history; the analyzer's demonstration label.
#include <gtest/gtest.h>

#include <fstream>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "analyzer/ui/analyzer_fixture.h"
#include "app/launcher.h"
#include "chart/ui/analysis_panel.h"
#include "common/text.h"
#include "powermeter/ui/power_meter_rig.h"
#include "vfo/ui/vfo_window.h"

using namespace kolm;
using test::AnalyzerUi;
using test::Rig;

TEST(EverydayUse, PowerMeterReadoutLegendAndZoomHistory) {
  Rig rig("atten:20");
  rig.open();
  rig.type("pointsEdit", "200");
  ASSERT_TRUE(rig.sweep());
  QTest::mouseMove(rig.chart(), rig.pixel(15, -50));
  ASSERT_TRUE(rig.chart()->cursorPosition());
  const double cursor = rig.chart()->cursorPosition()->x();  // 15 MHz, to a pixel
  const QString readout = rig.text("cursorReadout");
  // A new sweep on another attenuator: the mouse has not moved, the readout has.
  rig.connect("atten:40");
  ASSERT_TRUE(rig.sweep());
  QTest::qWait(5);
  EXPECT_EQ(rig.text("levelReadout"), "level \u2248 -40.0 dBm, not calibrated");
  // A resize keeps the cursor at its frequency (not at its pixel).
  rig.window->resize(1200, 800);
  QTest::qWait(5);
  ASSERT_TRUE(rig.chart()->cursorPosition());
  EXPECT_EQ(rig.chart()->cursorPosition()->x(), cursor);
  EXPECT_EQ(rig.text("cursorReadout"), readout);
  // This chart in memory: each trace named for the legend, the memory dashed
  // (the colours' contrast is the chart's rule).
  rig.get<QAction>("screenToMemoryAction")->trigger();
  auto* c = rig.chart();
  for (const auto* list : {&c->traces(), &c->memoryTraces(), &c->referenceTraces()}) {
    ASSERT_EQ(list->size(), 1u);
    EXPECT_FALSE((*list)[0].name.isEmpty());
  }
  EXPECT_TRUE(c->memoryTraces()[0].dashed);
  EXPECT_FALSE(c->traces()[0].dashed);

  // A pass leaves the focus where the user put it.
  rig.get<QLineEdit>("pointsEdit")->setFocus();
  ASSERT_TRUE(rig.sweep());
  EXPECT_EQ(QApplication::focusWidget(), rig.get<QLineEdit>("pointsEdit"));

  // A drag zooms.
  QTest::mousePress(c, Qt::LeftButton, {}, rig.pixel(10, 0));
  QTest::mouseMove(c, rig.pixel(20, -40));
  QTest::mouseRelease(c, Qt::LeftButton, {}, rig.pixel(20, -40));
  EXPECT_NEAR(rig.window->view().start, 10, 0.05);
  EXPECT_NEAR(rig.window->view().bottom, -40, 0.3);
  // The chart's keys act only while it has the focus: with a text box focused,
  // Backspace and Delete edit the box.
  rig.window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(rig.window));
  auto* points = rig.get<QLineEdit>("pointsEdit");
  points->setFocus();
  points->setCursorPosition(1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace, Qt::ShiftModifier);
  EXPECT_EQ(points->text(), "0");  // "200" less two digits, the view unchanged
  EXPECT_NEAR(rig.window->view().start, 10, 0.05);
  // A click on the chart gives it the focus. Back (Backspace) and forward
  // (Shift+Backspace); home and back from the right-click menu: the zoom test.
  QTest::mouseClick(c, Qt::LeftButton, {}, rig.pixel(15, -50));
  EXPECT_TRUE(c->hasFocus());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
  EXPECT_EQ(rig.window->view().start, 3);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace, Qt::ShiftModifier);
  EXPECT_NEAR(rig.window->view().start, 10, 0.05);
  // Ctrl + wheel: a notch narrows the span by a fifth about the pointer.
  QWheelEvent wheel(rig.pixel(15, -50), c->mapToGlobal(rig.pixel(15, -50)), QPoint(),
                    QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(c, &wheel);
  EXPECT_NEAR(rig.window->view().stop - rig.window->view().start, 8, 0.05);
  EXPECT_NEAR((15 - rig.window->view().start) / 8, 0.5, 0.02);  // about the pointer
}

// Each shortcut reaches its action, and only that one: two actions of a window
// given the same keys would make Qt deliver neither.
TEST(EverydayUse, ShortcutsReachTheirActions) {
  Rig rig("atten:20");
  rig.context.exitProgram = [] {};
  rig.open();
  auto* analyzer = new analyzer::ui::AnalyzerWindow(rig.context);
  QWidget* vfo = vfo::ui::createVfoWindow(rig.context);
  app::Launcher launcher(rig.context);
  // Each window's "key action" pairs.
  const std::pair<QWidget*, const char*> windows[] = {
      {rig.window,
       "Ctrl+O openAction, Ctrl+S saveAsAction, Ctrl+P printScreenAction, F5 singleSweepAction, "
       "Shift+F5 continuousSweepAction, Ctrl+F5 sweepViewAction, F1 aboutAction, Ctrl+Q "
       "exitProgram"},
      {analyzer,
       "Ctrl+O openVnaAction, Ctrl+S saveAsAction, Ctrl+P printScreenAction, F5 singleSweepAction, "
       "Shift+F5 continuousSweepAction, Esc stopAction, F1 aboutAction"},
      {vfo, "F1 aboutVfo"},
      {&launcher, "F1 aboutMenu, Ctrl+Q exitProgram"},
  };
  for (const auto& [window, pairs] : windows)
    for (const QString& pair : QString(pairs).split(", ")) {
      const QString key = pair.section(' ', 0, 0), action = pair.section(' ', 1);
      SCOPED_TRACE((window->objectName() + " " + pair).toStdString());
      window->show();
      window->activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(window));
      QAction* a = window->findChild<QAction*>(action);
      ASSERT_NE(a, nullptr);
      a->setEnabled(true);
      // Only the delivery is checked here: the action's own slots are taken off.
      QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
      QSignalSpy spy(a, &QAction::triggered);
      QTest::keySequence(window, QKeySequence(key));
      EXPECT_EQ(spy.count(), 1);
    }
  delete analyzer;
  delete vfo;
}

// The analyzer's opening measurement is labelled a demonstration until a sweep,
// whose analysis the panel shows.
TEST_F(AnalyzerUi, TheDemonstrationIsLabelledUntilASweep) {
  useSimulator("r=100");
  {
    std::ofstream ini(analyzer::kSettingsFile, std::ios::binary);
    ini << "\"14\"\r\n\"14.35\"\r\n\"200\"\r\n";
  }
  open();
  EXPECT_FALSE(window->chart()->note().isEmpty());
  // The demonstration is drawn over its own span; the boxes keep the next
  // sweep's, as the settings gave it.
  EXPECT_EQ(window->chart()->scale().left, analyzer::kDefaultStartMHz);
  EXPECT_EQ(window->chart()->scale().right(), analyzer::kDefaultStopMHz);
  EXPECT_EQ(box("startEdit")->text(), "14");
  EXPECT_EQ(box("stopEdit")->text(), "14.35");
  EXPECT_EQ(window->analysisPanel()->value(0), "not analysed");
  box("pointsEdit")->setText("100");
  window->startSweep(false);
  ASSERT_TRUE(waitIdle());
  EXPECT_TRUE(window->chart()->note().isEmpty());
  // The analysis panel shows the sweep's SWR minimum: 2 on 100 ohm.
  EXPECT_NEAR(common::numericValue(window->analysisPanel()->value(0).toStdString()), 2, 0.05);
  // Its last line says the intervals rest on figures this board never bore out.
  const auto* panel = window->analysisPanel();
  int last = 0;
  while (!panel->caption(last + 1).isEmpty()) ++last;
  EXPECT_EQ(panel->caption(last), "Figures:");
  EXPECT_EQ(panel->value(last), "unchecked");
}

// "Marker to maximum" of the return loss and "Marker to minimum" of the SWR
// each add a marker at the frequency the Analysis panel gives for the SWR
// minimum: on it (to the hertz it is written with) for a flat load, whose
// lowest readings run across the sweep; within half a step of it at a
// resonance, where the panel refines the one lowest point.
TEST_F(AnalyzerUi, MarkersToTheExtremesAgreeWithTheAnalysis) {
  const double halfStep = 2.35 / 400 / 2;
  for (const auto& [load, within] :
       std::vector<std::pair<const char*, double>>{{"r=50", 1.5e-6},
                                                   {"r=25", 1.5e-6},
                                                   {"rlc:r=30,l=1u,c=129.2p", halfStep},
                                                   {"rlc:r=80,l=2u,c=60p", halfStep}}) {
    SCOPED_TRACE(load);
    useSimulator(load);
    open();
    box("startEdit")->setText("12");
    box("stopEdit")->setText("14.35");
    box("pointsEdit")->setText("400");
    window->startSweep(false);
    ASSERT_TRUE(waitIdle());
    const double at = common::numericValue(window->analysisPanel()->value(1).toStdString());
    window->selectQuantity(analyzer::kReturnLoss);
    get<QAction>("markerToMax")->trigger();
    window->selectQuantity(analyzer::kSwr);
    get<QAction>("markerToMin")->trigger();
    const auto& markers = window->chart()->markers().markers();
    ASSERT_GE(markers.size(), 1u);
    for (const auto& m : markers) EXPECT_NEAR(m.x, at, within);
    window->close();
    window = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}
