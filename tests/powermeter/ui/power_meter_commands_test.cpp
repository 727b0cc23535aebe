// The power meter window's calibration, reference level, crystal meter and chart
// file commands, on the simulated instrument with scripted dialogs.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "common/files.h"
#include "common/ui/recent_files.h"
#include "powermeter/chart_file.h"
#include "powermeter/reference.h"
#include "powermeter/settings.h"
#include "powermeter/ui/power_meter_rig.h"

using namespace kolm;
using test::Rig;

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
  powermeter::RifTable t{};
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

  rig.get<QAction>("levelReferenceAction")->trigger();
  ASSERT_TRUE(rig.waitIdle());
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
  // The last bytes are a complete read-out: the point ended before the stop.
  EXPECT_EQ(rig.port->writes.back(), 24);

  // Closing during the crystal fixture's calibration stops it unwritten.
  rig.prompter.inputs = {std::string("50")};
  rig.get<QAction>("quartzReferenceAction")->trigger();
  ASSERT_TRUE(rig.window->sweeping());
  QTest::qWait(20);
  rig.window->close();
  QTest::qWait(0);
  EXPECT_TRUE(powermeter::findQuartzRif().empty());
  EXPECT_EQ(powermeter::readPowIni().R0, 50);   // pow.ini written
  EXPECT_EQ(rig.simulator().tuningWord(), 0u);  // the generator is off
}

TEST(PowerMeterCommands, CalibrationsAndTheCrystalMeter) {
  Rig rig("through");
  rig.open();
  rig.type("pointsEdit", "100");
  ASSERT_TRUE(rig.sweep());
  const int passes = rig.resets();
  // The generator stays at 30 MHz, where the simulated detector reads about 0 dBm.
  const int reading = rig.simulator().detectorCounts();
  rig.get<QAction>("calibrateZeroDbmAction")->trigger();  // its prompts are pinned with the core
  EXPECT_EQ(rig.window->calibration().Cal0, reading);
  ASSERT_TRUE(rig.waitIdle());
  EXPECT_EQ(rig.resets(), passes + 1);  // one sweep with the new calibration
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
  rig.get<QAction>("quartzReferenceAction")->trigger();
  ASSERT_TRUE(rig.waitIdle());
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
  EXPECT_EQ(powermeter::readPowIni().calibration, (powermeter::Calibration{826, 235}));
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
  EXPECT_EQ(rig.get<QMenu>("RecentFiles")->actions().at(0)->data().toString(), dir + "a.pwm");
  rig.get<QAction>("Recent_1")->trigger();
  EXPECT_EQ(rig.window->points(), 1000);
}
