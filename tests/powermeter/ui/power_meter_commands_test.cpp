// The power meter window's calibration, reference level, crystal meter and chart
// file commands, on the simulated instrument with scripted dialogs.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "common/files.h"
#include "common/text.h"
#include "common/ui/recent_files.h"
#include "hw/dds.h"
#include "powermeter/chart_file.h"
#include "powermeter/reference.h"
#include "powermeter/settings.h"
#include "powermeter/ui/power_meter_rig.h"

using namespace kolm;
using test::Rig;

namespace {

const QColor kGreen(0, 128, 0), kCyan(0, 128, 128), kGrey(192, 192, 192);
const QColor kMagenta(255, 0, 255), kBlue(0, 0, 255);

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", start)) {
    out.push_back(text.substr(start, p - start));
    start = p + 2;
  }
  return out;
}

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
  for (int k = 0; k < powermeter::kRifSize; ++k) t[k] = -0.01f * static_cast<float>(k);
  ASSERT_TRUE(powermeter::writeRif(t, name, nullptr));
}

const chart::ui::Trace* referenceIn(chart::ui::SweepChart* chart, const QColor& colour) {
  for (const auto& t : chart->referenceTraces())
    if (t.colour == colour) return &t;
  return nullptr;
}

}  // namespace

TEST(PowerMeterCommands, MenuItemsWaitForARunningJob) {
  Rig rig("atten:20", true);
  rig.open();
  const char* commands[] = {"open",  "saveas", "Cal_0dbm", "Cal_60dbm",
                            "refer", "quarz",  "calQuarz", "Print_Screen"};
  for (const char* name : commands) EXPECT_TRUE(rig.get<QAction>(name)->isEnabled()) << name;
  EXPECT_EQ(rig.get<QAction>("Print_Screen")->text(), "Print_Screen");
  EXPECT_EQ(rig.get<QAction>("refer")->text(), "Reference_Level");
  EXPECT_EQ(rig.get<QAction>("quarz")->text(), "Quarzo");
  EXPECT_EQ(rig.get<QAction>("finMem")->text(), "File in memory");

  rig.type("Text3", "20000");
  rig.type("Text7", "0.05");
  rig.get<QToolButton>("Option1")->click();
  ASSERT_TRUE(rig.window->sweeping());
  for (const char* name : commands) EXPECT_FALSE(rig.get<QAction>(name)->isEnabled()) << name;
  // A crystal measurement or a calibration sweep cannot start over it either.
  EXPECT_FALSE(rig.window->startSingleSweep());
  rig.get<QAction>("StopSweep")->trigger();
  for (const char* name : commands) EXPECT_TRUE(rig.get<QAction>(name)->isEnabled()) << name;
}

TEST(PowerMeterCommands, CalibrationTakesTheReadingThenSweeps) {
  Rig rig("through");
  rig.open();
  rig.type("Text3", "100");
  ASSERT_TRUE(rig.sweep());
  const int passes = rig.resets();
  // The generator stays at 30 MHz, where the simulated detector reads about 0 dBm.
  const int reading = rig.simulator().detectorCounts();
  rig.get<QAction>("Cal_0dbm")->trigger();  // its prompts are pinned with the core
  ASSERT_EQ(rig.prompter.shown.size(), 2u);
  EXPECT_EQ(rig.window->calibration().Cal0, reading);
  // One sweep shows the chart with the new calibration.
  ASSERT_TRUE(rig.waitIdle());
  EXPECT_EQ(rig.resets(), passes + 1);

  // Cancel at the reading changes nothing and sweeps nothing.
  rig.prompter.confirms = {true, false};
  rig.get<QAction>("Cal_60dbm")->trigger();
  EXPECT_EQ(rig.window->calibration().Cal60, 235);
  EXPECT_FALSE(rig.window->sweeping());

  // The default counts, kept in pow.ini.
  rig.prompter.confirms = {true};
  rig.get<QAction>("Cal_def")->trigger();
  EXPECT_EQ(rig.window->calibration(), (powermeter::Calibration{826, 235}));
  EXPECT_FALSE(rig.window->sweeping());  // no sweep follows the default
  rig.window->close();
  EXPECT_EQ(powermeter::ReadVar().calibration, (powermeter::Calibration{826, 235}));
}

// The level reference: measured, written, drawn, and the levels shown against it.
TEST(PowerMeterCommands, ReferenceLevelMeasuredDrawnAndNormalisedAgainst) {
  Rig rig("atten:3");
  rig.open();
  auto normalise = [&rig] { return rig.get<QAction>("Normalise"); };
  // No level.rif yet: Normalise is refused, and the flat 0 dBm is drawn in green.
  normalise()->trigger();
  EXPECT_NE(rig.lastMessage().find("There is no level reference (level.rif)"), std::string::npos);
  EXPECT_FALSE(normalise()->isChecked());
  const auto* before = referenceIn(rig.chart(), kGreen);
  ASSERT_NE(before, nullptr);
  EXPECT_EQ(before->y.front(), 0);

  rig.get<QAction>("refer")->trigger();
  EXPECT_EQ(rig.prompter.shown.back().text,
            "Per memorizzare il livello di riferimento unire direttamente uscita e ingresso");
  ASSERT_TRUE(rig.waitIdle());
  EXPECT_EQ(rig.get<QProgressBar>("SweepProgress")->value(), 1000);
  EXPECT_EQ(rig.lastMessage(), "Reference level stored in level.rif.");
  // Through 3 dB of attenuation, and drawn at once.
  const auto* after = referenceIn(rig.chart(), kGreen);
  ASSERT_NE(after, nullptr);
  EXPECT_NEAR(after->y.front(), -3, 0.11);

  // A sweep through 20 dB: -20 dBm, -17 dB relative; the reference is the 0 dB line.
  rig.connect("atten:20");
  ASSERT_TRUE(rig.sweep());  // 3 to 30 MHz, 1000 points
  EXPECT_NEAR(rig.chart()->traces().at(0).y[500], -20, 0.2);
  normalise()->trigger();
  ASSERT_TRUE(normalise()->isChecked());
  const auto& relative = rig.chart()->traces()[0];
  EXPECT_EQ(relative.unit, "dB");
  for (size_t i : {0u, 500u, 1000u}) EXPECT_NEAR(relative.y[i], -17, 0.25) << i;
  EXPECT_TRUE(rig.chart()->referenceTraces().empty());
  // A saved chart keeps the absolute levels.
  const std::string path = (rig.dir.path() / "n.pwm").string();
  rig.withFile("saveas", path);
  const auto saved = powermeter::readChartFile(path);
  ASSERT_TRUE(saved.chart) << saved.error;
  EXPECT_NEAR(saved.chart->levels[500], -20, 0.2);

  // The next window reads level.rif and opens normalised (kolm.ini); a switch-off
  // is kept too.
  rig.window->close();
  rig.open();
  powermeter::RifTable stored{};
  ASSERT_EQ(powermeter::ReadRif(stored), 1601);
  EXPECT_EQ(rig.window->levelReference(), stored);
  EXPECT_NEAR(stored[30], -3, 0.11);
  EXPECT_TRUE(normalise()->isChecked());
  normalise()->trigger();
  EXPECT_FALSE(normalise()->isChecked());
  EXPECT_FALSE(common::ui::uiSettings().value("PowerMeter/normalised").toBool());
}

TEST(PowerMeterCommands, StoppedReferenceChangesNothing) {
  Rig rig("through", true);  // real delays: about 2 s for the table
  writeRampRif("level.rif");
  const std::string before = common::readTextFile("level.rif").value();
  rig.open();
  EXPECT_EQ(rig.window->levelReference()[165], -1.65f);
  rig.get<QAction>("refer")->trigger();
  ASSERT_TRUE(rig.window->sweeping());
  // The sweep buttons wait too.
  EXPECT_FALSE(rig.get<QToolButton>("Option1")->isEnabled());
  QTest::qWait(60);
  rig.window->activateWindow();
  QApplication::setActiveWindow(rig.window);
  QTest::keyClick(rig.window, Qt::Key_Escape);
  EXPECT_FALSE(rig.window->sweeping());
  EXPECT_NE(rig.lastMessage().find("not changed"), std::string::npos);
  EXPECT_EQ(common::readTextFile("level.rif").value(), before);
  EXPECT_EQ(rig.window->levelReference()[165], -1.65f);
  EXPECT_TRUE(rig.get<QToolButton>("Option1")->isEnabled());
  // The last bytes are a complete read-out: the point ended before the stop.
  EXPECT_EQ(rig.port->writes.back(), 24);
}

TEST(PowerMeterCommands, ReferenceRefusedWithoutAClock) {
  Rig rig("through");
  rig.instrument.params.RefClkMHz = 0;
  rig.open();
  rig.get<QAction>("refer")->trigger();
  EXPECT_FALSE(rig.window->sweeping());
  EXPECT_EQ(rig.lastMessage(), hw::noClockMessage());
  EXPECT_TRUE(rig.port->writes.empty());
  EXPECT_FALSE(std::filesystem::exists("level.rif"));
}

TEST(PowerMeterCommands, ClosingDuringACalibrationStopsItUnwritten) {
  Rig rig("through", true);
  rig.open();
  rig.prompter.inputs = {std::string("50")};
  rig.get<QAction>("calQuarz")->trigger();
  ASSERT_TRUE(rig.window->sweeping());
  QTest::qWait(20);
  rig.window->close();
  QTest::qWait(0);
  EXPECT_TRUE(powermeter::findQuartzRif().empty());
  EXPECT_EQ(powermeter::ReadVar().R0, 50);  // pow.ini written
  EXPECT_EQ(rig.instrument.LastTuningWord, 0);
  EXPECT_EQ(rig.simulator().tuningWord(), 0u);  // the generator is off
}

TEST(PowerMeterCommands, CrystalMeterOnASimulatedCrystal) {
  Rig rig("through");
  rig.open();
  // Calibrate the fixture with the crystal bypassed.
  rig.prompter.inputs = {std::string("50")};
  rig.get<QAction>("calQuarz")->trigger();
  ASSERT_EQ(rig.prompter.shown[0].kind, "input");
  EXPECT_EQ(rig.prompter.shown[0].title, "Calibrazione Crystal Meter");
  EXPECT_EQ(rig.prompter.shown[0].text, "Bypassare il quarzo\n(si può cambiare R0)");
  EXPECT_EQ(rig.prompter.shown[1].text, " Bypassare il quarzo");
  ASSERT_TRUE(rig.waitIdle());
  EXPECT_EQ(rig.window->r0(), 50);
  EXPECT_EQ(rig.prompter.shown.back().kind, "message");
  // The end notice says what was done.
  EXPECT_EQ(rig.prompter.shown.back().text,
            "The crystal fixture's through path was measured at 1601 points from 0.1 to 160 MHz "
            "and stored in Quartz.rif; R0 is 50 ohm.");
  EXPECT_EQ(rig.prompter.shown.back().title, "CalQuartz");
  EXPECT_EQ(powermeter::findQuartzRif().filename(), "Quartz.rif");
  EXPECT_EQ(lines(common::readTextFile("Quartz.rif").value()).size(), 1601u);
  EXPECT_NEAR(rig.window->quartzReference()[100], 0, 0.11);
  EXPECT_NE(referenceIn(rig.chart(), kCyan), nullptr);

  // Now the crystal, 10 Hz steps across its series resonance: the analysis waits
  // for the sweep's end (its figures are pinned by the simulated crystal tests).
  rig.connect("crystal:fs=10,r=50,c=20f,c0=1p,r0=50");
  rig.type("Text1", "9.996");
  rig.type("Text2", "10.004");
  rig.type("Text3", "800");
  const size_t shown = rig.prompter.shown.size();
  rig.get<QAction>("quarz")->trigger();
  EXPECT_TRUE(rig.window->sweeping());
  EXPECT_EQ(rig.prompter.shown.size(), shown);
  ASSERT_TRUE(rig.waitIdle());
  ASSERT_EQ(rig.prompter.shown.size(), shown + 1);
  const std::string result = rig.lastMessage();
  EXPECT_EQ(rig.prompter.shown.back().title, "Kolm");
  EXPECT_EQ(result.substr(0, 4), "Fs  ") << result;
  EXPECT_NE(result.find("\nFp   \nQ:  "), std::string::npos) << result;
  EXPECT_NE(result.find("L(mH): 12."), std::string::npos) << result;  // R0 of 50 ohm taken
  // The crystal's sweep with the through path over it.
  ASSERT_EQ(rig.chart()->traces().size(), 1u);
  EXPECT_EQ(rig.chart()->traces()[0].y.size(), 801u);
  EXPECT_NE(referenceIn(rig.chart(), kCyan), nullptr);
  // The next ordinary sweep drops the through path from the chart.
  ASSERT_TRUE(rig.sweep());
  EXPECT_EQ(referenceIn(rig.chart(), kCyan), nullptr);
  rig.window->close();
  EXPECT_EQ(powermeter::ReadVar().R0, 50);
}

TEST(PowerMeterCommands, CrystalMeterSaysErroreWithoutR0) {
  Rig rig("crystal:fs=10,r=50,c=20f,c0=1p,r0=50");
  rig.open();
  rig.type("Text1", "9.996");
  rig.type("Text2", "10.004");
  rig.type("Text3", "200");
  rig.get<QAction>("quarz")->trigger();
  ASSERT_TRUE(rig.waitIdle());
  // R0 is 0 without a calibration: no division by it, a message instead.
  EXPECT_EQ(rig.lastMessage().substr(0, 7), "errore\n");
  EXPECT_NE(rig.lastMessage().find("R0"), std::string::npos);
  // A refused sweep shows its own reason and nothing more.
  const size_t shown = rig.prompter.shown.size();
  rig.type("Text3", "0");
  rig.get<QAction>("quarz")->trigger();
  EXPECT_FALSE(rig.window->sweeping());
  ASSERT_EQ(rig.prompter.shown.size(), shown + 1);
  EXPECT_EQ(rig.lastMessage(), "The number of points must be at least 1.");
}

TEST(PowerMeterCommands, SavedChartHoldsTheReferenceAtTheCentre) {
  Rig rig("atten:20");
  writeRampRif("level.rif");
  rig.open();
  // No trace yet: nothing to save.
  rig.get<QAction>("saveas")->trigger();
  EXPECT_NE(rig.lastMessage().find("no chart to save"), std::string::npos);
  EXPECT_TRUE(rig.prompter.filters.empty());

  ASSERT_TRUE(rig.sweep());  // 3 to 30 MHz, 1000 points
  const std::string path = (rig.dir.path() / "sweep.pwm").string();
  rig.withFile("saveas", path);
  EXPECT_EQ(rig.prompter.shown.back().kind, "save");
  EXPECT_EQ(rig.prompter.shown.back().title, "Save File ");
  EXPECT_EQ(rig.prompter.filters.back(), "file pwm(*.pwm)|*.pwm");
  EXPECT_EQ(rig.text("Text6").toStdString(), path);
  // The format is pinned with its writer; the last line is level.rif's entry 165.
  const auto saved = lines(common::readTextFile(path).value());
  ASSERT_EQ(saved.size(), 1005u);
  EXPECT_NEAR(common::numericValue(saved[3]), -20, 0.2);
  EXPECT_EQ(saved[1004], "-1.65");
  EXPECT_EQ(rig.window->storedReference(), -1.65f);

  // A save that fails says so and leaves the earlier file and Text6 alone.
  rig.withFile("saveas", (rig.dir.path() / "missing" / "x.pwm").string());
  EXPECT_NE(rig.lastMessage().find("could not be saved"), std::string::npos);
  EXPECT_EQ(rig.text("Text6").toStdString(), path);
  // Cancel: nothing.
  const size_t shown = rig.prompter.shown.size();
  rig.get<QAction>("saveas")->trigger();
  EXPECT_EQ(rig.prompter.shown.size(), shown + 1);
}

TEST(PowerMeterCommands, OpenedChartReplacesTheTraceUnlessUnreadable) {
  Rig rig("atten:20");
  rig.open();
  rig.type("Text8", "0");
  rig.type("Text9", "-50");
  writeChart("a.pwm", 100, 14, 14.35f, -3.5f);
  writeChart("b.pwm", 1000, 1, 21, std::nullopt);  // no reference level
  rig.withFile("open", "a.pwm");
  EXPECT_EQ(rig.prompter.shown.back().title, "Load File");
  EXPECT_EQ(rig.prompter.filters.back(), "file pwm(*.pwm)|*.pwm");
  EXPECT_EQ(rig.text("Text6"), "a.pwm");
  EXPECT_EQ(rig.text("Text1"), " 14");
  EXPECT_EQ(rig.text("Text2"), " 14.35");
  EXPECT_EQ(rig.text("Text3"), "100");
  EXPECT_TRUE(rig.window->chartFromFile());
  // The level range stays the window's.
  EXPECT_EQ(rig.window->view(), (chart::View{14, 14.35f, 0, -50}));
  ASSERT_EQ(rig.chart()->traces().size(), 1u);
  EXPECT_EQ(rig.chart()->traces()[0].y.size(), 101u);
  EXPECT_FLOAT_EQ(rig.chart()->traces()[0].y[100], -10);
  // The stored level as one flat line across the view; no table curve.
  EXPECT_EQ(referenceIn(rig.chart(), kGreen), nullptr);
  const auto* flat = referenceIn(rig.chart(), kGrey);
  ASSERT_NE(flat, nullptr);
  EXPECT_EQ(flat->y, (std::vector<float>{-3.5f, -3.5f}));

  // Unreadable files change nothing: more steps than the trace holds (refused
  // before a level is read), one level short, no file.
  const std::vector<float> trace(rig.window->trace().begin(), rig.window->trace().begin() + 101);
  std::ofstream("big.pwm") << "30000\r\n1\r\n2\r\n-1\r\n";
  std::ofstream("short.pwm") << "3\r\n1\r\n2\r\n-1\r\n-2\r\n-3\r\n";
  const size_t messages = rig.prompter.messages().size();
  for (const char* bad : {"big.pwm", "short.pwm", "none.pwm"}) {
    rig.withFile("open", bad);
    EXPECT_NE(rig.lastMessage().find("was not opened"), std::string::npos) << bad;
    EXPECT_NE(rig.lastMessage().find(bad), std::string::npos) << bad;
    EXPECT_EQ(rig.text("Text6"), "a.pwm") << bad;
    EXPECT_EQ(rig.window->points(), 100) << bad;
    EXPECT_EQ(rig.window->storedReference(), -3.5f) << bad;
    EXPECT_TRUE(std::equal(trace.begin(), trace.end(), rig.window->trace().begin())) << bad;
  }
  EXPECT_NE(rig.prompter.messages().at(messages).find("20002"), std::string::npos);
  // The memory trace is as careful.
  rig.withFile("finMem", "short.pwm");
  EXPECT_NE(rig.lastMessage().find("not put in memory"), std::string::npos);
  EXPECT_FALSE(rig.get<QCheckBox>("Check1")->isChecked());
  EXPECT_TRUE(rig.chart()->memoryTraces().empty());

  // A file without a reference level keeps the one in force.
  rig.withFile("open", "b.pwm");
  EXPECT_EQ(rig.window->points(), 1000);
  EXPECT_EQ(rig.text("Text3"), "1000");
  EXPECT_EQ(rig.window->storedReference(), -3.5f);
  ASSERT_NE(referenceIn(rig.chart(), kGrey), nullptr);
  // A stored level of 0 draws none.
  writeChart("c.pwm", 10, 1, 2, 0.0f);
  rig.withFile("open", "c.pwm");
  EXPECT_TRUE(rig.chart()->referenceTraces().empty());
  // A sweep ends the loaded chart.
  ASSERT_TRUE(rig.sweep());
  EXPECT_FALSE(rig.window->chartFromFile());
  EXPECT_EQ(rig.text("Text6"), "");
  EXPECT_NE(referenceIn(rig.chart(), kGreen), nullptr);

  // The recent files: newest first, once each, kept past the window; an entry
  // reopens its chart.
  rig.withFile("open", "a.pwm");
  rig.window->close();
  rig.open();
  QStringList names;
  for (QAction* a : rig.get<QMenu>("RecentFiles")->actions()) names << a->data().toString();
  const QString dir = QString::fromStdString(rig.dir.path().string()) + "/";
  EXPECT_EQ(names, (QStringList{dir + "a.pwm", dir + "c.pwm", dir + "b.pwm"}));
  rig.get<QAction>("Recent_1")->trigger();
  EXPECT_EQ(rig.window->points(), 10);
  EXPECT_EQ(rig.text("Text6"), dir + "c.pwm");
}

TEST(PowerMeterCommands, MemoryTraceFromAFileAndFromTheChart) {
  Rig rig("atten:20");
  rig.open();
  writeChart("mem.pwm", 50, 10, 20, -7.0f);
  rig.withFile("finMem", "mem.pwm");
  EXPECT_EQ(rig.prompter.shown.back().title, "Load File");
  EXPECT_TRUE(rig.get<QCheckBox>("Check1")->isChecked());
  ASSERT_EQ(rig.chart()->memoryTraces().size(), 1u);
  const auto& m = rig.chart()->memoryTraces()[0];
  EXPECT_EQ(m.colour, kMagenta);
  EXPECT_EQ(m.y.size(), 51u);
  EXPECT_EQ(m.start, 10);
  EXPECT_EQ(m.stop, 20);
  // The file goes to memory only: the chart and its reference stay.
  EXPECT_FALSE(rig.window->chartFromFile());
  EXPECT_EQ(rig.window->storedReference(), 0);
  EXPECT_EQ(rig.text("Text6"), "");

  // This chart in memory, then a new sweep over another device: the old trace
  // in colour 13 under the new one in colour 9.
  rig.type("Text3", "300");
  ASSERT_TRUE(rig.sweep());
  rig.get<QAction>("ScrMem")->trigger();
  rig.connect("atten:10");
  ASSERT_TRUE(rig.sweep());
  ASSERT_EQ(rig.chart()->memoryTraces().size(), 1u);
  ASSERT_EQ(rig.chart()->traces().size(), 1u);
  EXPECT_EQ(rig.chart()->memoryTraces()[0].colour, kMagenta);
  EXPECT_EQ(rig.chart()->traces()[0].colour, kBlue);
  EXPECT_NEAR(rig.chart()->memoryTraces()[0].y[150], -20, 0.2);
  EXPECT_NEAR(rig.chart()->traces()[0].y[150], -10, 0.2);
  // Unticking Compare hides it at the redraw.
  rig.get<QCheckBox>("Check1")->setChecked(false);
  EXPECT_TRUE(rig.chart()->memoryTraces().empty());
}
