#include "powermeter/ui/power_meter_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>
#include <fstream>

#include "chart/chart.h"
#include "chart/ui/analysis_panel.h"
#include "common/files.h"
#include "common/text.h"
#include "hw/wire.h"
#include "powermeter/chart_file.h"
#include "powermeter/reference.h"
#include "powermeter/settings.h"
#include "powermeter/ui/power_meter_rig.h"
#include "sim/ui/sim_banner.h"

using namespace kolm;
using test::Rig;
using testing::HasSubstr;

// The window opens on the default grid and sends nothing; a single sweep
// fills the trace and marks what cannot be resolved.
TEST(PowerMeterWindowTest, OpensSendingNothingThenASweepFillsTheTrace) {
  Rig rig;
  rig.open();
  EXPECT_EQ(rig.window->windowTitle(), "Power Meter Sweep");
  EXPECT_TRUE(rig.get<QWidget>("simBanner")->isVisible());
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
  QWidget* area = rig.get<QWidget>("chartArea");
  EXPECT_NEAR(rig.chart()->width(), 0.905 * area->width(), 1);
  EXPECT_TRUE(QMetaObject::invokeMethod(rig.window, "redraw"));

  rig.type("startEdit", "10");
  rig.type("stopEdit", "5");
  rig.type("pointsEdit", "200");
  ASSERT_TRUE(rig.sweep());
  EXPECT_EQ(rig.text("startEdit"), " 5");  // the exchanged span, written back
  EXPECT_FALSE(rig.get<QToolButton>("singleSweepButton")->isChecked());
  EXPECT_EQ(rig.get<QProgressBar>("sweepProgress")->value(), 1000);
  // 201 levels through 20 dB, drawn over 5 to 10 MHz.
  const auto& t = rig.chart()->traces().at(0);
  EXPECT_EQ(t.y.size(), 201u);
  EXPECT_EQ(t.start, 5);
  EXPECT_NEAR(t.y[100], -20, 0.2);
  // The analysis panel shows the trace's maximum.
  const QString maximum = rig.get<chart::ui::AnalysisPanel>("levelAnalysis")->value(0);
  EXPECT_TRUE(maximum.startsWith("\u2248 ")) << maximum.toStdString();
  EXPECT_NEAR(common::numericValue(maximum.mid(2).toStdString()), -20, 0.2);
  // The readout follows the mouse.
  QTest::mouseMove(rig.chart(), rig.pixel(7.5, -50));
  EXPECT_EQ(rig.text("levelReadout"), "level ≈ -20.0 dBm, not calibrated");
  EXPECT_EQ(rig.text("cursorReadout").left(3), "7.5");

  // Levels the detector cannot resolve are marked on the chart and read in words
  // (both ends' texts are the core's; the typical board's ends the simulator's).
  // With the default counts a floor is no bound: said approximate, and not calibrated.
  rig.connect("atten:90");
  ASSERT_TRUE(rig.sweep());
  EXPECT_EQ(rig.chart()->traces().at(0).marks.at(50), chart::Mark::Approximate);
  QTest::mouseMove(rig.chart(), rig.pixel(7, -50));
  EXPECT_EQ(rig.text("levelReadout"), "level ≈ -83.9 dBm, not calibrated (floor)");
  rig.window->close();  // a stored calibration, read by the next window
  powermeter::PowIni ini = powermeter::readPowIni(powermeter::kSettingsFile);
  ini.calibration = {827, 235};
  ASSERT_TRUE(powermeter::savePowIni(powermeter::powIniTexts(ini), powermeter::kSettingsFile,
                                     rig.context.settings.keeper()));
  rig.open();
  rig.connect("atten:90");
  ASSERT_TRUE(rig.sweep());
  EXPECT_EQ(rig.chart()->traces().at(0).marks.at(50), chart::Mark::AtMost);
  QTest::mouseMove(rig.chart(), rig.pixel(7.1, -50));
  EXPECT_EQ(rig.text("levelReadout"), "level ≤ -83.8 dBm (floor)");
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
  // A box that is not one number sweeps nothing, framed and said why.
  for (const char* box : {"startEdit", "stopEdit", "pointsEdit", "bottomLevelEdit"}) {
    const QString kept = rig.text(box);
    rig.type(box, "1O");
    rig.get<QToolButton>("singleSweepButton")->click();
    EXPECT_TRUE(rig.get<QLabel>("statusLine")->text().contains("'1O' is not a number")) << box;
    EXPECT_TRUE(rig.get<QLineEdit>(box)->styleSheet().contains("border")) << box;
    rig.type(box, kept);
  }
  EXPECT_TRUE(rig.port->writes.empty());

  // A port that stops working ends the pass with a message, and the banner says so.
  rig.type("stopEdit", "30");
  rig.type("delayEdit", "0");
  rig.type("pointsEdit", "2000");
  rig.type("startEdit", "1,5");  // the decimal comma
  // Reset, multiplier and first word are about 150 writes, a point about 104.
  rig.port->failAtWrite = 150 + 104 * 300;
  ASSERT_TRUE(rig.sweep());
  EXPECT_THAT(rig.lastMessage(), HasSubstr("stopped working: the adapter was unplugged"));
  EXPECT_LT(rig.chart()->traces().at(0).y.size(), 400u);  // only what was measured
  EXPECT_EQ(rig.chart()->traces().at(0).start, 1.5);
  sim::ui::refreshSimBanners(rig.window);
  EXPECT_TRUE(rig.get<QLabel>("simBanner")->text().contains("STOPPED WORKING"));
  EXPECT_EQ(rig.port->writes.size(), *rig.port->failAtWrite);
}

// The power meter window's calibration, reference level, crystal meter and chart
// file commands, on the simulated instrument with scripted dialogs.
namespace {

const QColor kGreen(0, 128, 0), kCyan(0, 128, 128), kGrey(192, 192, 192);

// A chart file of `points` steps whose level k is -k / 10 dB.
void writeChart(const std::string& name, int points, float start, float stop,
                std::optional<float> reference) {
  powermeter::ChartFile c;
  c.points = static_cast<int16_t>(points);
  c.start = start;
  c.stop = stop;
  for (int k = 0; k <= points; ++k) c.levels.push_back(-0.1f * static_cast<float>(k));
  c.reference = reference;
  ASSERT_TRUE(common::writeFileAtomic(name, powermeter::formatChartFile(c)));
}

// Entry k of a level.rif holds -k / 100 dB.
void writeRampRif(const std::string& name) {
  powermeter::ReferenceTable t{};
  for (int k = 0; k < powermeter::kRifEntries; ++k) t[k] = -0.01f * static_cast<float>(k);
  ASSERT_TRUE(powermeter::writeRif(t, name, nullptr));
}

const chart::ui::Trace* referenceIn(chart::ui::SweepChart* chart, const QColor& colour) {
  for (const auto& t : chart->referenceTraces())
    if (t.colour == colour) return &t;
  return nullptr;
}

}  // namespace

// The level reference: measured, written, drawn, and the levels shown against it.
TEST(PowerMeterCommands, ReferenceLevelMeasuredDrawnAndNormalisedAgainst) {
  Rig rig("atten:3");
  rig.open();
  auto normalise = [&rig] { return rig.get<QAction>("normaliseAction"); };
  // No level.rif yet: Normalise is refused; no trace yet: nothing to save.
  normalise()->trigger();
  EXPECT_NE(rig.lastMessage().find("no level reference (level.rif)"), std::string::npos);
  EXPECT_FALSE(normalise()->isChecked());
  rig.get<QAction>("saveAsAction")->trigger();
  EXPECT_NE(rig.lastMessage().find("no chart to save"), std::string::npos);

  ASSERT_TRUE(rig.run("levelReferenceAction"));
  EXPECT_EQ(rig.lastMessage(), "Reference level stored in level.rif.");
  const auto* drawn = referenceIn(rig.chart(), kGreen);  // through 3 dB, drawn at once
  ASSERT_NE(drawn, nullptr);
  EXPECT_NEAR(drawn->y.front(), -3, 0.11);

  // A sweep through 20 dB: -17 dB relative. A saved chart keeps the absolute
  // levels, and the reference at the centre of the span.
  rig.connect("atten:20");
  ASSERT_TRUE(rig.sweep());
  normalise()->trigger();
  EXPECT_NEAR(rig.chart()->traces().at(0).y[500], -17, 0.25);
  const std::string path = (rig.dir.path() / "n.pwm").string();
  rig.withFile("saveAsAction", path);
  EXPECT_EQ(rig.text("fileNameEdit").toStdString(), path);
  const auto saved = powermeter::readChartFile(path);
  ASSERT_TRUE(saved.chart) << saved.error;
  EXPECT_NEAR(saved.chart->levels[500], -20, 0.2);
  EXPECT_NEAR(saved.chart->reference.value_or(0), rig.window->levelReference()[165], 1e-3);
  // A save that fails says so and leaves the file name box alone.
  rig.withFile("saveAsAction", (rig.dir.path() / "missing" / "x.pwm").string());
  EXPECT_NE(rig.lastMessage().find("could not be saved"), std::string::npos);
  EXPECT_EQ(rig.text("fileNameEdit").toStdString(), path);

  // The next window reads level.rif and opens normalised; a switch-off is kept too.
  rig.window->close();
  rig.open();
  EXPECT_NEAR(rig.window->levelReference()[30], -3, 0.11);
  EXPECT_TRUE(normalise()->isChecked());
}

TEST(PowerMeterCommands, AStoppedReferenceOrCalibrationChangesNothing) {
  Rig rig("through", true);  // real delays: about 2 s for the table
  writeRampRif("level.rif");
  const std::string before = common::readTextFile("level.rif").value();
  rig.open();
  rig.get<QAction>("levelReferenceAction")->trigger();
  ASSERT_TRUE(rig.window->sweeping());
  QTest::qWait(60);
  rig.window->activateWindow();
  QApplication::setActiveWindow(rig.window);
  QTest::keyClick(rig.window, Qt::Key_Escape);
  EXPECT_FALSE(rig.window->sweeping());
  EXPECT_NE(rig.lastMessage().find("not changed"), std::string::npos);
  EXPECT_EQ(common::readTextFile("level.rif").value(), before);
  EXPECT_EQ(rig.window->levelReference()[165], -1.65f);
  // The wire rests: the stop came after a whole read-out (24) or dropped the
  // point held after its word (idle), never inside either.
  EXPECT_TRUE(rig.port->writes.back() == 24 || rig.port->writes.back() == hw::wire::kDdsIdle)
      << int(rig.port->writes.back());

  // Closing during the crystal fixture's calibration stops it unwritten.
  rig.prompter.inputs = {std::string("50")};
  rig.get<QAction>("quartzReferenceAction")->trigger();
  ASSERT_TRUE(rig.window->sweeping());
  QTest::qWait(20);
  rig.window->close();
  QTest::qWait(0);
  EXPECT_TRUE(powermeter::findQuartzRif(".").empty());
  EXPECT_EQ(powermeter::readPowIni(powermeter::kSettingsFile).r0Ohm, 50);  // pow.ini written
  EXPECT_EQ(rig.simulator().tuningWord(), 0u);                             // the generator is off
}

TEST(PowerMeterCommands, CalibrationsAndTheCrystalMeter) {
  Rig rig("through");
  rig.open();
  rig.type("pointsEdit", "100");
  ASSERT_TRUE(rig.sweep());
  EXPECT_NE(rig.chart()->note().indexOf("Not calibrated"), -1);  // the default counts
  // A calibration at a frequency of the user's: the generator there meanwhile.
  rig.prompter.inputs = {std::string("7,5")};
  rig.get<QAction>("calibrationFrequencyAction")->trigger();
  rig.get<QAction>("calibrateZeroDbmAction")->trigger();  // its prompts are pinned with the core
  EXPECT_TRUE(rig.window->sweeping());                    // the chart shows the new calibration
  EXPECT_THAT(rig.prompter.shown.at(rig.prompter.shown.size() - 2).text, HasSubstr("7.5 MHz"));
  EXPECT_EQ(rig.window->calibration().countsAt0Dbm, 826);  // the ideal board's count at 0 dBm
  ASSERT_TRUE(rig.waitIdle());
  rig.connect("atten:57");  // 3 dB more than the -60 dBm step asks: a count of its own
  ASSERT_TRUE(rig.run("calibrateMinus60DbmAction"));
  EXPECT_NEAR(rig.window->calibration().countsAtMinus60Dbm, 265, 1);
  // Stored the moment it was accepted (a kill -9 now loses nothing), the
  // calibration it replaced kept for undo.
  EXPECT_EQ(powermeter::readPowIni(powermeter::kSettingsFile).calibration,
            rig.window->calibration());
  EXPECT_EQ(powermeter::readPreviousCalibration(powermeter::kPreviousCalibrationFile),
            (powermeter::Calibration{826, 235}));
  rig.connect("through");
  EXPECT_EQ(rig.chart()->note(), "");
  // The last change undone, and the undo undone.
  rig.get<QAction>("previousCalibrationAction")->trigger();
  EXPECT_EQ(rig.window->calibration(), (powermeter::Calibration{826, 235}));
  rig.get<QAction>("previousCalibrationAction")->trigger();
  EXPECT_NEAR(rig.window->calibration().countsAtMinus60Dbm, 265, 1);
  // The default counts, and no sweep after them.
  rig.prompter.confirms = {true};
  rig.get<QAction>("defaultCalibrationAction")->trigger();
  EXPECT_FALSE(rig.window->sweeping());
  EXPECT_EQ(rig.window->calibration(), (powermeter::Calibration{826, 235}));

  // 10 Hz steps across the series resonance; the fixture calibrated with the
  // crystal bypassed (still "through").
  rig.type("startEdit", "9.996");
  rig.type("stopEdit", "10.004");
  rig.type("pointsEdit", "800");
  rig.prompter.inputs = {std::string("50")};
  ASSERT_TRUE(rig.run("quartzReferenceAction"));
  EXPECT_NE(rig.lastMessage().find("stored in Quartz.rif; R0 is 50 ohm."), std::string::npos);

  // The analysis waits for the sweep's end (its figures are pinned with the core).
  rig.connect("crystal:fs=10,r=50,c=20f,c0=1p,r0=50");
  const size_t shown = rig.prompter.shown.size();
  rig.get<QAction>("crystalAction")->trigger();
  EXPECT_EQ(rig.prompter.shown.size(), shown);
  ASSERT_TRUE(rig.waitIdle());
  EXPECT_NE(rig.lastMessage().find("L(mH): 12."), std::string::npos) << rig.lastMessage();
  EXPECT_NE(referenceIn(rig.chart(), kCyan), nullptr);  // the through path over the crystal
  // The next ordinary sweep drops the through path from the chart.
  ASSERT_TRUE(rig.sweep());
  EXPECT_EQ(referenceIn(rig.chart(), kCyan), nullptr);
  rig.window->close();  // pow.ini keeps the calibration (R0: the stopped-calibration test)
  EXPECT_EQ(powermeter::readPowIni(powermeter::kSettingsFile).calibration,
            (powermeter::Calibration{826, 235}));
}

// A box left with a new value is kept at once; what another program changed
// meanwhile (a calibration, R0) is not undone when the window closes.
TEST(PowerMeterCommands, ConfirmedSettingsKeptAtOnceOthersChangesLeftAlone) {
  Rig rig("through");
  rig.open();
  rig.type("stopEdit", "21");
  emit rig.get<QLineEdit>("stopEdit")->editingFinished();
  EXPECT_EQ(powermeter::powIniTexts(powermeter::readPowIni(powermeter::kSettingsFile)).stopMHz,
            "21");
  common::SettingsFolder other(".");
  ASSERT_TRUE(powermeter::storeCalibration(other, [](const powermeter::Calibration&) {
                return std::optional(powermeter::Calibration{800, 210});
              }).written);
  powermeter::PowIniChange r0;
  r0.r0Ohm = 33;
  ASSERT_TRUE(powermeter::changePowIni(other, r0).written);
  rig.type("pointsEdit", "300");
  rig.window->close();
  const auto ini = powermeter::readPowIni(powermeter::kSettingsFile);
  EXPECT_EQ(ini.calibration, (powermeter::Calibration{800, 210}));
  EXPECT_EQ(ini.r0Ohm, 33);
  EXPECT_EQ(ini.points, 300);
  EXPECT_EQ(ini.viewStopMHz, 21);
  EXPECT_TRUE(rig.prompter.shown.empty());
}

TEST(PowerMeterCommands, OpenedChartReplacesTheTraceUnlessUnreadable) {
  Rig rig("atten:20");
  rig.open();
  rig.type("bottomLevelEdit", "-50");
  writeChart("a.pwm", 100, 14, 14.35f, -3.5f);
  writeChart("b.pwm", 1000, 1, 21, std::nullopt);  // no reference level
  rig.withFile("openAction", "a.pwm");
  EXPECT_EQ(rig.text("fileNameEdit"), "a.pwm");
  // The level range stays the window's.
  EXPECT_EQ(rig.window->view(), (chart::View{14, 14.35f, 20, -50}));
  EXPECT_FLOAT_EQ(rig.chart()->traces().at(0).y[100], -10);
  // The stored level as one flat line across the view.
  ASSERT_NE(referenceIn(rig.chart(), kGrey), nullptr);
  EXPECT_EQ(referenceIn(rig.chart(), kGrey)->y, (std::vector<float>{-3.5f, -3.5f}));

  // An unreadable file changes nothing, nor does it reach the memory trace.
  std::ofstream("short.pwm") << "3\r\n1\r\n2\r\n-1\r\n-2\r\n-3\r\n";
  rig.withFile("openAction", "short.pwm");
  EXPECT_NE(rig.lastMessage().find("was not opened"), std::string::npos);
  EXPECT_FLOAT_EQ(rig.window->trace()[100], -10);
  rig.withFile("fileToMemoryAction", "short.pwm");
  EXPECT_NE(rig.lastMessage().find("not put in memory"), std::string::npos);
  EXPECT_TRUE(rig.chart()->memoryTraces().empty());
  // A readable one goes to memory only: the chart, its file and its reference stay.
  writeChart("mem.pwm", 50, 10, 20, -7.0f);
  rig.withFile("fileToMemoryAction", "mem.pwm");
  EXPECT_TRUE(rig.get<QCheckBox>("compareCheck")->isChecked());
  EXPECT_EQ(rig.chart()->memoryTraces().at(0).y.size(), 51u);
  EXPECT_EQ(rig.text("fileNameEdit"), "a.pwm");
  EXPECT_EQ(rig.window->storedReference(), -3.5f);
  rig.get<QCheckBox>("compareCheck")->setChecked(false);  // unticking Compare hides it
  EXPECT_TRUE(rig.chart()->memoryTraces().empty());

  // A file without a reference level keeps the one in force.
  rig.withFile("openAction", "b.pwm");
  EXPECT_EQ(rig.text("pointsEdit"), "1000");
  EXPECT_EQ(rig.window->storedReference(), -3.5f);
  // A sweep ends the loaded chart.
  ASSERT_TRUE(rig.sweep());
  EXPECT_FALSE(rig.window->chartFromFile());
  EXPECT_EQ(rig.text("fileNameEdit"), "");

  // The recent files: newest first, kept past the window; an entry reopens its chart.
  rig.withFile("openAction", "a.pwm");
  rig.window->close();
  rig.open();
  const QString dir = QString::fromStdString(rig.dir.path().string()) + "/";
  EXPECT_EQ(rig.get<QMenu>("recentFilesMenu")->actions().at(0)->data().toString(), dir + "a.pwm");
  rig.get<QAction>("recent1")->trigger();
  EXPECT_EQ(rig.window->points(), 1000);
}

// Every zoom counts its points on the swept span: 3 to 30 MHz in 1000 steps of
// 27 kHz, a drag narrower than five steps (0.135 MHz) keeps the span, however
// far the view was zoomed before. A zoom moves the view only: the boxes,
// pow.ini and the next sweep keep the span; a double-click shows the boxes'
// span and levels again (as a step the history can go back on); "Sweep this
// view" makes the view the sweep's.
TEST(PowerMeterWindowTest, ZoomMovesTheViewTheBoxesKeepTheSweep) {
  Rig rig;
  rig.open();
  rig.type("pointsEdit", "1000");
  ASSERT_TRUE(rig.sweep());
  auto dragTo = [&](double x0, double y0, double x1, double y1) {
    QTest::mousePress(rig.chart(), Qt::LeftButton, {}, rig.pixel(x0, y0));
    QTest::mouseMove(rig.chart(), rig.pixel(x1, y1));
    QTest::mouseRelease(rig.chart(), Qt::LeftButton, {}, rig.pixel(x1, y1));
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
    dragTo(c.from, -10, c.to, -10);
    if (c.zooms) {  // to the drag, within two pixels
      EXPECT_NEAR(rig.window->view().start, c.from, pixel);
      EXPECT_NEAR(rig.window->view().stop, c.to, pixel);
    } else {
      EXPECT_EQ(rig.window->view().start, before.start);
      EXPECT_EQ(rig.window->view().stop, before.stop);
    }
  }
  QTest::mouseDClick(rig.chart(), Qt::LeftButton, {}, rig.pixel(10.3, -50));
  const chart::View boxes{3, 30, 20, -80};
  const std::string ini = common::readTextFile("pow.ini").value_or("");
  auto boxTexts = [&] {
    return rig.text("startEdit") + rig.text("stopEdit") + "|" + rig.text("topLevelEdit") + "|" +
           rig.text("bottomLevelEdit");
  };
  dragTo(10, 0, 20, -40);  // 10 to 20 MHz, 0 to -40 dBm
  const chart::View zoomed = rig.window->view();
  EXPECT_NEAR(zoomed.start, 10, 0.1);
  EXPECT_EQ(boxTexts(), " 3 30|20|-80");
  EXPECT_EQ(common::readTextFile("pow.ini").value_or(""), ini);
  // A sweep starts on the boxes; its further passes keep a zoom made meanwhile.
  // While it runs the menu commands wait, and a crystal measurement or a
  // calibration cannot start (Escape and Single: SweptWindows).
  const auto enabled = [&](bool on) {
    for (const char* name :
         {"openAction", "saveAsAction", "calibrateZeroDbmAction", "calibrateMinus60DbmAction",
          "levelReferenceAction", "crystalAction", "quartzReferenceAction", "printScreenAction"})
      EXPECT_EQ(rig.get<QAction>(name)->isEnabled(), on) << name;
  };
  const int before = rig.resets();  // one at every pass
  rig.get<QToolButton>("continuousSweepButton")->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return rig.resets() > before; }, 10000));
  EXPECT_EQ(rig.window->view(), boxes);
  enabled(false);
  EXPECT_FALSE(rig.window->startSingleSweep());
  dragTo(10, 0, 20, -40);
  ASSERT_TRUE(QTest::qWaitFor([&] { return rig.resets() >= before + 3; }, 10000));
  EXPECT_NEAR(rig.window->view().start, 10, 0.1);
  ASSERT_TRUE(rig.run("stopAction"));
  enabled(true);
  EXPECT_EQ(rig.chart()->traces().at(0).stop, 30);

  // Double-click: the boxes as they are now, not as last swept; back from
  // there by the chart's right-click menu.
  rig.type("startEdit", "5");
  QTest::mouseDClick(rig.chart(), Qt::LeftButton, {}, rig.pixel(15, -50));
  EXPECT_EQ(rig.window->view(), (chart::View{5, 30, 20, -80}));
  QAction* back = rig.chart()->findChild<QAction*>("zoomBack");
  ASSERT_TRUE(rig.chart()->actions().contains(back));
  back->trigger();
  EXPECT_NEAR(rig.window->view().start, 10, 0.1);

  // Sweep this view: the boxes (kept in pow.ini) and the trace take the view.
  ASSERT_TRUE(rig.run("sweepViewAction"));
  const auto kept = powermeter::readPowIni(rig.context.settings.file(powermeter::kSettingsFile));
  const auto& trace = rig.chart()->traces().at(0);
  for (double f : {kept.viewStartMHz, float(trace.start), float(rig.window->view().start)})
    EXPECT_NEAR(f, zoomed.start, 0.03);  // a step of 10 kHz resolved
  EXPECT_NEAR(kept.bottomDbm, zoomed.bottom, 0.05);
}

TEST(PowerMeterWindowTest, AveragesTheSetPassesSaysSoAndRemembersTheSetting) {
  Rig rig("atten:20", false, "typical");
  rig.open();
  rig.type("pointsEdit", "50");
  rig.type("averageEdit", "4");
  ASSERT_TRUE(rig.sweep());
  EXPECT_EQ(rig.resets(), 4);  // one sweep of four passes
  EXPECT_TRUE(rig.get<QLabel>("statusLine")->text().endsWith("avg 4/4"));
  QTest::mouseMove(rig.chart(), rig.pixel(7.5, -50));
  EXPECT_THAT(rig.text("levelReadout").toStdString(), testing::EndsWith(", avg 4/4"));
  rig.type("averageEdit", "0");  // refused, with the reason; nothing is swept
  rig.get<QToolButton>("singleSweepButton")->click();
  EXPECT_EQ(rig.resets(), 4);
  EXPECT_NE(rig.get<QLabel>("statusLine")->text().indexOf("1 to 100"), -1);
  rig.window->close();
  rig.open();
  EXPECT_EQ(rig.text("averageEdit"), "4");  // the last number accepted, from kolm.ini
}
