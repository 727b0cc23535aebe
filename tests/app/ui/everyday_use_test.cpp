// What both swept instruments share about looking at a measurement: readouts
// that follow the data, the view and the size; the zoom history; colours that
// stand out; and the keyboard shortcuts of every window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "analyzer/ui/analyzer_fixture.h"
#include "app/launcher.h"
#include "chart/chart.h"
#include "common/text.h"
#include "powermeter/ui/power_meter_rig.h"
#include "sim/simulated_instrument.h"
#include "vfo/ui/vfo_window.h"

using namespace kolm;
using test::AnalyzerUi;
using test::Rig;

namespace {

void ctrlWheel(QWidget* w, QPoint at, int notches) {
  QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &e);
}

double levelIn(const QString& readout) {
  return common::numericValue(readout.mid(readout.indexOf(' ')).toStdString());
}

}  // namespace

TEST(EverydayUse, PowerMeterReadoutFollowsANewSweepAndAResizeAndTheLegendNamesEachTrace) {
  Rig rig("atten:20");
  rig.open();
  rig.type("Text3", "200");
  ASSERT_TRUE(rig.sweep());
  QTest::mouseMove(rig.chart(), rig.pixel(15, -50));
  ASSERT_TRUE(rig.chart()->cursorPosition());
  const double cursor = rig.chart()->cursorPosition()->x();  // 15 MHz, to a pixel
  const QString text4 = rig.text("Text4");
  // A new sweep on another attenuator: the mouse has not moved, the readout has.
  rig.connect("atten:40");
  ASSERT_TRUE(rig.sweep());
  QTest::qWait(5);
  EXPECT_NEAR(levelIn(rig.text("LevelReadout")), -40, 0.3);
  // A resize keeps the cursor at its frequency (not at its pixel).
  rig.window->resize(1200, 800);
  QTest::qWait(5);
  ASSERT_TRUE(rig.chart()->cursorPosition());
  EXPECT_EQ(rig.chart()->cursorPosition()->x(), cursor);
  EXPECT_EQ(rig.text("Text4"), text4);
  // This chart in memory: each trace named for the legend, the memory dashed
  // (the colours' contrast is the chart's rule).
  rig.get<QAction>("ScrMem")->trigger();
  auto* c = rig.chart();
  for (const auto* list : {&c->traces(), &c->memoryTraces(), &c->referenceTraces()}) {
    ASSERT_EQ(list->size(), 1u);
    EXPECT_FALSE((*list)[0].name.isEmpty());
  }
  EXPECT_TRUE(c->memoryTraces()[0].dashed);
  EXPECT_FALSE(c->traces()[0].dashed);
}

TEST_F(AnalyzerUi, ReadoutFollowsANewSweepAndTheDemonstrationIsLabelled) {
  useSimulator("r=100");
  open();
  EXPECT_FALSE(window->chart()->note().isEmpty());  // the opening measurement is a demonstration
  box("Text3")->setText("100");
  window->Sweep(false);
  waitIdle();
  EXPECT_TRUE(window->chart()->note().isEmpty());
  window->Pc1_MouseMove(16.5, 0);
  ASSERT_EQ(sim::findSimulator(instrument.port())->configure({"through", "r=25"}), "");
  window->Sweep(false);
  waitIdle();
  QTest::qWait(5);
  EXPECT_NEAR(common::numericValue(box("Calc_3")->text().toStdString()), 25, 1);
  EXPECT_EQ(box("Text4")->text(), "16.500 000");
}

TEST(EverydayUse, ZoomHistoryBoxesFollowAndCtrlWheelZoomsAboutThePointer) {
  Rig rig("atten:20");
  rig.open();
  ASSERT_TRUE(rig.sweep());  // 3 to 30 MHz, +20 to -80 dBm
  auto* pc1 = rig.chart();
  QTest::mousePress(pc1, Qt::LeftButton, {}, rig.pixel(10, 0));
  QTest::mouseMove(pc1, rig.pixel(20, -40));
  QTest::mouseRelease(pc1, Qt::LeftButton, {}, rig.pixel(20, -40));
  EXPECT_NEAR(rig.window->view().start, 10, 0.05);
  EXPECT_NEAR(rig.text("Text2").toDouble(), 20, 0.05);  // the boxes follow the view
  EXPECT_NEAR(rig.text("Text9").toDouble(), -40, 0.3);
  // Back (Backspace), forward (Shift+Backspace), home (double-click), and back
  // again from the right-click menu.
  rig.window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(rig.window));
  QTest::keyClick(rig.window, Qt::Key_Backspace);
  EXPECT_EQ(rig.text("Text1"), " 3");
  QTest::keyClick(rig.window, Qt::Key_Backspace, Qt::ShiftModifier);
  EXPECT_NEAR(rig.window->view().start, 10, 0.05);
  QTest::mouseDClick(pc1, Qt::LeftButton, {}, rig.pixel(15, -50));
  EXPECT_EQ(rig.window->view(), (chart::View{3, 30, 20, -80}));
  QAction* back = pc1->findChild<QAction*>("ZoomBack");
  ASSERT_TRUE(pc1->actions().contains(back));
  back->trigger();
  EXPECT_NEAR(rig.window->view().start, 10, 0.05);
  // Ctrl + wheel: a notch narrows the span by a fifth about the pointer.
  ctrlWheel(pc1, rig.pixel(15, -50), 1);
  EXPECT_NEAR(rig.window->view().stop - rig.window->view().start, 8, 0.05);
  EXPECT_NEAR((15 - rig.window->view().start) / 8, 0.5, 0.02);  // about the pointer
}

// Each shortcut reaches its action (the action's own work is tested elsewhere).
TEST(EverydayUse, ShortcutsReachTheirActions) {
  Rig rig("atten:20");
  int exits = 0;
  rig.context.exitProgram = [&exits] { ++exits; };
  rig.open();
  hw::Instrument instrument;
  instrument.setPort(std::move(hw::openPort("sim", 0, {"through", "r=50"}).port));
  common::ScriptedPrompter prompter;
  common::ui::UiContext context{instrument, prompter};
  context.exitProgram = [&exits] { ++exits; };
  auto* analyzer = new analyzer::ui::AnalyzerWindow(context);
  QWidget* vfo = vfo::ui::createVfoWindow(context);
  app::Launcher launcher(context);
  struct Case {
    QWidget* window;
    QKeySequence keys;
    const char* action;
  } cases[] = {
      {rig.window, QKeySequence("Ctrl+O"), "open"},
      {rig.window, QKeySequence("Ctrl+S"), "saveas"},
      {rig.window, QKeySequence("Ctrl+P"), "Print_Screen"},
      {rig.window, QKeySequence("F5"), "SingleSweep"},
      {rig.window, QKeySequence("Shift+F5"), "ContinuousSweep"},
      {rig.window, QKeySequence("F1"), "About_Power_Meter"},
      {rig.window, QKeySequence("Ctrl+Q"), "ExitProgram"},
      {analyzer, QKeySequence("Ctrl+O"), "Mfilevna"},
      {analyzer, QKeySequence("Ctrl+S"), "Save"},
      {analyzer, QKeySequence("Ctrl+P"), "PrintScreen"},
      {analyzer, QKeySequence("F5"), "SingleSweep"},
      {analyzer, QKeySequence("Shift+F5"), "ContinuousSweep"},
      {analyzer, QKeySequence("Esc"), "StopAction"},
      {analyzer, QKeySequence("F1"), "About"},
      {vfo, QKeySequence("F1"), "AboutVFO"},
      {&launcher, QKeySequence("F1"), "AboutMenu"},
      {&launcher, QKeySequence("Ctrl+Q"), "ExitProgram"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.window->objectName().toStdString() + " " + c.action);
    c.window->show();
    c.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(c.window));
    QAction* a = c.window->findChild<QAction*>(c.action);
    ASSERT_NE(a, nullptr);
    a->setEnabled(true);
    // Only the delivery is checked here: the action's own slots are taken off.
    QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
    QSignalSpy spy(a, &QAction::triggered);
    QTest::keySequence(c.window, c.keys);
    EXPECT_EQ(spy.count(), 1);
  }
  delete analyzer;
  delete vfo;
}
