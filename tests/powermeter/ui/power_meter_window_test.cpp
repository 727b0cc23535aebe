#include "powermeter/ui/power_meter_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "chart/chart.h"
#include "chart/ui/analysis_panel.h"
#include "common/files.h"
#include "common/text.h"
#include "common/ui/recent_files.h"
#include "hw/dds.h"
#include "hw/wire.h"
#include "powermeter/chart_file.h"
#include "powermeter/crystal_batch.h"
#include "powermeter/fixture_steps.h"
#include "powermeter/reference.h"
#include "powermeter/settings.h"
#include "powermeter/ui/crystal_batch_window.h"
#include "powermeter/ui/ladder_window.h"
#include "powermeter/ui/power_meter_rig.h"
#include "sim/ui/sim_banner.h"
#include "support/dds_frames.h"

using namespace kolm;
using test::Rig;

TEST(PowerMeterWindowTest, OpensOnTheDefaultGridAndSendsNothing) {
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
  EXPECT_NE(rig.lastMessage().find("stopped working: the adapter was unplugged"), std::string::npos)
      << rig.lastMessage();
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
  EXPECT_NE(rig.prompter.shown.at(rig.prompter.shown.size() - 2).text.find("7.5 MHz"),
            std::string::npos);
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

  rig.connect("crystal:fs=10,r=50,c=20f,c0=1p,r0=50");
  // 10 Hz steps across the series resonance.
  rig.type("startEdit", "9.996");
  rig.type("stopEdit", "10.004");
  rig.type("pointsEdit", "800");

  // Calibrate the fixture with the crystal bypassed.
  rig.connect("through");
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

// The crystal meter as a new user meets it: a loss step through the fixture
// (one not of the stated loss refused, nothing kept), then a crystal found
// from the 3 to 30 MHz sweep the window opens with, asked once, in at most
// three sweeps, its values read through the step.
TEST(PowerMeterCommands, LossStepAndACrystalFoundFromTheWideSweep) {
  Rig rig("through");
  rig.open();
  rig.prompter.inputs = {std::string("50")};
  ASSERT_TRUE(rig.run("quartzReferenceAction"));
  for (const char* attenuator : {"atten:20", "atten:10"}) {
    rig.connect(attenuator);
    rig.prompter.inputs = {std::string("10"), std::string("0,1")};
    ASSERT_TRUE(rig.run("lossStepAction"));
  }
  std::string error;
  const auto record = powermeter::readFixtureRecord(powermeter::kFixtureRecordFile, &error);
  ASSERT_TRUE(record) << error;
  ASSERT_EQ(record->steps.size(), 1u);
  EXPECT_EQ(record->steps[0].pmDb, 0.1);
  EXPECT_TRUE(record->through);  // the counts Quartz.rif was read with

  // The load the crystal is to oscillate with: a load no crystal has is
  // refused and the one set kept; empty clears it.
  for (const auto& [typed, kept] : {std::pair<const char*, std::optional<double>>{"20", 20.0},
                                    {"-5", 20.0},
                                    {"2000", 20.0},
                                    {"twenty", 20.0},
                                    {"", std::nullopt},
                                    {"15,5", 15.5},
                                    {"20", 20.0}}) {
    rig.prompter.inputs = {std::string(typed)};
    rig.get<QAction>("crystalLoadAction")->trigger();
    EXPECT_EQ(rig.window->crystalLoadPf(), kept) << typed;
  }

  rig.connect("crystal:fs=10,r=20,c=20f,c0=5p,r0=50");
  rig.type("pointsEdit", "1000");
  const int resets = rig.resets();
  const size_t messages = rig.prompter.messages().size();
  const auto asked = static_cast<long>(rig.prompter.shown.size());
  rig.get<QAction>("crystalAction")->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return rig.prompter.messages().size() > messages; }, 60000));
  EXPECT_EQ(std::count_if(rig.prompter.shown.begin() + asked, rig.prompter.shown.end(),
                          [](const auto& s) { return s.kind == "confirm"; }),
            1);
  EXPECT_LE(rig.resets() - resets, 3);
  const std::string result = rig.lastMessage();
  EXPECT_NE(result.find("L(mH): "), std::string::npos) << result;
  EXPECT_EQ(result.find("Loss step"), std::string::npos) << result;  // the step narrowed them
  const double fs = common::numericValue(result.substr(4));
  EXPECT_NEAR(fs, 10, 1e-5) << result;
  // The load resonance with its interval: Fs (1 + Cs / 2 (C0 + CL)).
  const size_t fl = result.find("Fl at 20 pF  ");
  ASSERT_NE(fl, std::string::npos) << result;
  const double flHz = common::numericValue(result.substr(fl + 13)) * 1e6;
  const double flPmHz = common::numericValue(result.substr(result.find("\u00b1", fl) + 2));
  EXPECT_NEAR(flHz, 10e6 * (1 + 20e-15 / (2 * 25e-12)), flPmHz) << result;
  EXPECT_GT(flPmHz, 0) << result;
  // The span narrowed onto the crystal.
  const double start = common::numericValue(rig.text("startEdit").toStdString());
  const double stop = common::numericValue(rig.text("stopEdit").toStdString());
  EXPECT_LT(start, 10);
  EXPECT_GT(stop, 10);
  EXPECT_LT(stop - start, 0.02);
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

  // Double-click: the boxes as they are now, not as last swept; back from there.
  rig.type("startEdit", "5");
  QTest::mouseDClick(rig.chart(), Qt::LeftButton, {}, rig.pixel(15, -50));
  EXPECT_EQ(rig.window->view(), (chart::View{5, 30, 20, -80}));
  rig.chart()->zoomBack();
  EXPECT_NEAR(rig.window->view().start, 10, 0.1);

  // Sweep this view: the boxes (kept in pow.ini) and the trace take the view.
  ASSERT_TRUE(rig.run("sweepViewAction"));
  const auto kept = powermeter::readPowIni(rig.context.settings.file(powermeter::kSettingsFile));
  const auto& trace = rig.chart()->traces().at(0);
  for (double f : {kept.viewStartMHz, float(trace.start), float(rig.window->view().start)})
    EXPECT_NEAR(f, zoomed.start, 0.03);  // a step of 10 kHz resolved
  EXPECT_NEAR(kept.bottomDbm, zoomed.bottom, 0.05);
}

// The crystal batch window, on the simulated instrument.
using powermeter::ui::CrystalBatchWindow;

TEST(CrystalBatchWindow, MeasuresNumbersMatchesSavesAndOpens) {
  Rig rig("through");
  rig.open();
  // The fixture calibrated (R0 50 ohm) and the span set across 10 MHz crystals.
  rig.prompter.inputs.push_back("50");
  ASSERT_TRUE(rig.run("quartzReferenceAction"));
  rig.type("startEdit", "9.997");
  rig.type("stopEdit", "10.004");
  rig.type("pointsEdit", "700");
  CrystalBatchWindow* batch = rig.window->crystalBatch();
  auto* label = batch->findChild<QLineEdit*>("batchLabel");
  auto* measure = batch->findChild<QPushButton*>("batchMeasure");
  const struct {
    const char* label;
    double offsetHz, r;
  } crystals[] = {{"A1", 0, 20}, {"B1", 900, 20}, {"A2", 40, 21}, {"", 930, 40}, {"B2", 950, 20}};
  for (const auto& c : crystals) {
    rig.connect("crystal:fs=" + common::shortestText(10 + c.offsetHz * 1e-6, 12) +
                ",r=" + common::shortestText(c.r) + ",c=20f,c0=5p,r0=50");
    label->setText(c.label);
    // The last one measured twice: the mean and the spread of two fitted passes.
    batch->findChild<QSpinBox*>("batchRepeat")->setValue(std::string(c.label) == "B2" ? 2 : 1);
    if (std::string(c.label) == "B2") {  // with its load resonance
      auto* load = batch->findChild<QLineEdit*>("batchLoadPf");
      load->setText("20");
      load->setModified(true);
      emit load->editingFinished();
    }
    measure->click();
    EXPECT_FALSE(measure->isEnabled());  // one crystal at a time
    ASSERT_TRUE(QTest::qWaitFor([&] { return measure->isEnabled(); }, 10000));
  }
  EXPECT_EQ(batch->rows().back().repeats, 2);
  EXPECT_TRUE(batch->rows().back().fsMHz.sd);
  EXPECT_FALSE(batch->rows().front().fsMHz.sd);
  auto* table = batch->findChild<QTableWidget*>("batchTable");
  ASSERT_EQ(table->rowCount(), 5);
  EXPECT_EQ(table->item(4, 1)->text(), "B2");
  EXPECT_NEAR(batch->rows()[1].fsMHz.value, 10.0009, 1e-6);
  EXPECT_FALSE(batch->rows()[3].flMHz);
  ASSERT_TRUE(batch->rows()[4].flMHz);
  EXPECT_EQ(batch->rows()[4].loadPf, 20);
  EXPECT_TRUE(table->item(4, 4)->text().endsWith(" Hz"));
  EXPECT_FALSE(table->isColumnHidden(4));

  // Sorted by the intervals: the 40 ohm crystal's R straddles a 40 ohm limit;
  // limits no crystal can meet are refused; no limit clears the verdicts.
  auto sortBy = [&](const char* fsMin, const char* fsMax, const char* rMax) {
    batch->findChild<QLineEdit*>("limitFsMin")->setText(fsMin);
    batch->findChild<QLineEdit*>("limitFsMax")->setText(fsMax);
    batch->findChild<QLineEdit*>("limitRMax")->setText(rMax);
    batch->findChild<QPushButton*>("batchSort")->click();
    std::vector<std::string> verdicts;
    for (const auto& r : batch->rows()) verdicts.push_back(r.verdict);
    return verdicts;
  };
  using Verdicts = std::vector<std::string>;
  const Verdicts sorted = {"pass", "pass", "pass", "indeterminate", "pass"};
  EXPECT_EQ(sortBy("", "", "40"), sorted);
  EXPECT_EQ(table->item(3, 11)->text(), "indeterminate");
  EXPECT_NE(table->item(3, 11)->toolTip().indexOf("straddles"), -1);
  EXPECT_EQ(sortBy("9,998", "9,999", ""), Verdicts(5, "fail"));  // every Fs wholly above
  EXPECT_EQ(sortBy("10,0005", "10", ""), Verdicts(5, "fail"));   // refused: kept as they were
  EXPECT_NE(rig.lastMessage().find("fs_min is not below fs_max"), std::string::npos);
  EXPECT_EQ(sortBy("", "", ""), Verdicts(5));

  // Pairs within 100 Hz: A1 + A2; B1 with B2 once R must agree within 10 %.
  batch->findChild<QSpinBox*>("matchSize")->setValue(2);
  batch->findChild<QDoubleSpinBox*>("matchToleranceHz")->setValue(100);
  batch->findChild<QPushButton*>("batchMatch")->click();
  auto* groups = batch->findChild<QListWidget*>("matchGroups");
  ASSERT_EQ(groups->count(), 2);
  EXPECT_TRUE(groups->item(1)->text().endsWith(": B1, B2"))
      << groups->item(1)->text().toStdString();
  EXPECT_EQ(table->item(1, 0)->background(), table->item(4, 0)->background());

  // Saved whole, opened again; closing an unsaved batch asks first.
  rig.prompter.files = {"batch.csv", "batch.csv"};
  batch->findChild<QPushButton*>("batchSave")->click();
  const std::string saved = powermeter::formatBatchCsv(batch->rows());
  batch->findChild<QPushButton*>("batchOpen")->click();
  EXPECT_EQ(groups->count(), 0);  // opened
  EXPECT_EQ(powermeter::formatBatchCsv(batch->rows()), saved);
  // New limits give new verdicts, which the file does not hold yet.
  EXPECT_EQ(sortBy("", "", "40"), sorted);
  rig.prompter.confirms = {false};
  EXPECT_FALSE(batch->close());
  table->selectRow(0);
  batch->findChild<QPushButton*>("batchRemove")->click();
  ASSERT_EQ(table->rowCount(), 4);
  rig.prompter.confirms = {false};
  EXPECT_FALSE(rig.window->close());  // the power meter asks through its batch
  EXPECT_TRUE(rig.window->isVisible());
}

// The ladder filter window: a design from a batch file's group, and its
// prediction in the power meter's memory over the filter's span.
using powermeter::ui::LadderWindow;

TEST(LadderWindow, DesignsAGroupAndPutsItsPredictionInMemory) {
  Rig rig("through");
  rig.open();
  std::vector<powermeter::CrystalRow> rows;
  for (int i = 0; i < 5; ++i) {
    powermeter::CrystalRow r;
    r.number = i + 1;
    r.label = "X" + std::to_string(i + 1);
    r.fsMHz = {4.9152 + i * 5e-6, 2e-6};
    r.rOhm = {12, 1.2};
    r.lMilliHenry = powermeter::BatchValue{70.0, 0.7};
    r.c0PicoFarad = powermeter::BatchValue{4.0, 0.1};
    if (i < 4) r.group = 1;  // the fifth is in no group
    rows.push_back(r);
  }
  std::string error;
  ASSERT_TRUE(common::writeFileAtomic("batch.csv", powermeter::formatBatchCsv(rows), &error));

  rig.get<QAction>("ladderFilterAction")->trigger();
  auto* ladder = rig.window->findChild<LadderWindow*>();
  ASSERT_NE(ladder, nullptr);
  EXPECT_FALSE(ladder->findChild<QPushButton*>("ladderShow")->isEnabled());
  rig.prompter.files = {"batch.csv"};
  ladder->findChild<QPushButton*>("ladderOpenBatch")->click();
  ladder->findChild<QPushButton*>("ladderDesign")->click();
  ASSERT_TRUE(ladder->design());
  EXPECT_EQ(ladder->design()->network.crystals.size(), 4u);
  EXPECT_NEAR(*ladder->design()->predicted.bw3Hz, 2400, 0.05 * 2400);
  EXPECT_GT(ladder->findChild<QTableWidget*>("ladderTable")->rowCount(), 10);

  ladder->findChild<QPushButton*>("ladderShow")->click();
  EXPECT_TRUE(rig.get<QCheckBox>("compareCheck")->isChecked());
  ASSERT_EQ(rig.chart()->memoryTraces().size(), 1u);
  const double centre = ladder->design()->predicted.centreHz / 1e6;
  EXPECT_LT(rig.window->view().start, centre);
  EXPECT_GT(rig.window->view().stop, centre);
  // The predicted peak, near the through level, lies inside the span.
  const auto& memory = rig.chart()->memoryTraces().front().y;
  EXPECT_NEAR(*std::max_element(memory.begin(), memory.end()), -ladder->design()->predicted.ilDb,
              0.05);
  // Shaded within what the crystals' intervals allow, which is said in figures.
  const auto& shown = rig.chart()->memoryTraces().front();
  ASSERT_EQ(shown.bandLow.size(), memory.size());
  double widest = 0;
  for (size_t i = 0; i < memory.size(); ++i) {
    EXPECT_LE(shown.bandLow[i], memory[i]);
    EXPECT_GE(shown.bandHigh[i], memory[i]);
    widest = std::max(widest, static_cast<double>(shown.bandHigh[i] - shown.bandLow[i]));
  }
  EXPECT_GT(widest, 0.5);
  EXPECT_GT(ladder->spread(0).bw3Hz, 0);
  EXPECT_LT(ladder->spread(0).bw3Hz, 0.5 * 2400);
  // The width and its spread as the table writes them hold the computed ones.
  auto* table = ladder->findChild<QTableWidget*>("ladderTable");
  auto cell = [&](const QString& name) {
    for (int r = 0; r < table->rowCount(); ++r)
      if (table->item(r, 0)->text() == name)
        return common::numericValue(table->item(r, 1)->text().remove(u'\u00b1').toStdString());
    ADD_FAILURE() << name.toStdString();
    return 0.0;
  };
  const double bw3 = *ladder->design()->predicted.bw3Hz, written = cell("-3 dB width (Hz)");
  EXPECT_GE(cell("-3 dB width spread (Hz)"),
            ladder->spread(0).bw3Hz + std::fabs(written - bw3) - 1e-9);

  // A crystal without its intervals (a table written before they were kept):
  // the spread is not known, and nothing is shaded as if it were none.
  rows[2].lMilliHenry = powermeter::BatchValue{70.0};
  ASSERT_TRUE(common::writeFileAtomic("batch.csv", powermeter::formatBatchCsv(rows), &error));
  rig.prompter.files = {"batch.csv"};
  ladder->findChild<QPushButton*>("ladderOpenBatch")->click();
  ladder->findChild<QPushButton*>("ladderDesign")->click();
  EXPECT_FALSE(std::isfinite(ladder->spread(0).bw3Hz));
  ladder->findChild<QPushButton*>("ladderShow")->click();
  EXPECT_TRUE(rig.chart()->memoryTraces().front().bandLow.empty());
  EXPECT_TRUE(rig.chart()->memoryTraces().front().name.contains("not known"));
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
  EXPECT_TRUE(rig.text("levelReadout").endsWith(", avg 4/4"))
      << rig.text("levelReadout").toStdString();
  rig.type("averageEdit", "0");  // refused, with the reason; nothing is swept
  rig.get<QToolButton>("singleSweepButton")->click();
  EXPECT_EQ(rig.resets(), 4);
  EXPECT_NE(rig.get<QLabel>("statusLine")->text().indexOf("1 to 100"), -1);
  rig.window->close();
  rig.open();
  EXPECT_EQ(rig.text("averageEdit"), "4");  // the last number accepted, from kolm.ini
}
