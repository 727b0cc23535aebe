#include "app/launcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <csignal>
#include <filesystem>

#include "app/parameters_window.h"
#include "app/stop_signals.h"
#include "common/files.h"
#include "common/prompter.h"
#include "hw/params.h"
#include "hw/port_factory.h"
#include "support/recording_port.h"
#include "support/temp_dir.h"
#include "support/ui/widgets.h"
#include "vfo/dds_frames.h"

using namespace kolm;

namespace {

// Notes, for every write, whether the VFO's three files were in place by then.
struct FileWatchingPort : hw::RecordingPort {
  void writeData(uint8_t value) override {
    filesThere.push_back(std::filesystem::exists("radio.ini") &&
                         std::filesystem::exists("VFO_FreqMem") &&
                         std::filesystem::exists("VFO_FreqButton.txt"));
    hw::RecordingPort::writeData(value);
  }
  std::vector<bool> filesThere;
};

struct LauncherRig {
  LauncherRig() : context{instrument, prompter}, launcher(context) {
    launcher.portOpener = [this](const std::string& backend, int32_t) {
      openedBackends.push_back(backend);
      hw::PortOpenResult r;
      if (backend == "ppdev:/dev/parport9") {
        r.error = "There is no parallel port /dev/parport9 on this computer.";
        return r;
      }
      if (backend == "sim") {
        r.port = std::make_unique<test::SimRecordingPort>();
      } else {
        auto p = std::make_unique<FileWatchingPort>();
        port = p.get();
        r.port = std::move(p);
      }
      return r;
    };
  }
  static float steadyTimer() { return 100.0f; }

  test::InTempDir dir;
  hw::Instrument instrument;
  common::ScriptedPrompter prompter;
  common::ui::UiContext context;
  app::Launcher launcher;
  FileWatchingPort* port = nullptr;
  std::vector<std::string> openedBackends;
};

using test::child;

}  // namespace

// What the launcher makes of dds.cfg: Parameters without a clock, the stored
// port, or the simulator offered once when that port cannot be opened.
TEST(LauncherStartUp, ClockAndPortFromDdsCfg) {
  const std::string missing = "20\r\n20\r\n400\r\n888\r\n\"ppdev:/dev/parport9\"\r\n";
  struct Case {
    const char* name;
    std::string config;
    bool accept;
    bool parameters;
    std::string port;
  } cases[] = {
      {"no dds.cfg", "", true, true, "sim"},
      {"the chosen port", "20\r\n20\r\n400\r\n632\r\n\"ppdev:/dev/parport0\"\r\n", true, false,
       "ppdev:/dev/parport0"},
      {"a missing port, the simulator accepted", missing, true, false, "sim"},
      {"a missing port, the simulator declined", missing, false, false, "null"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LauncherRig rig;
    if (!c.config.empty()) {
      ASSERT_TRUE(common::writeFileAtomic("dds.cfg", c.config));
    }
    rig.prompter.confirms = {c.accept};
    rig.launcher.load(&LauncherRig::steadyTimer);
    auto* parameters = rig.launcher.parametersWindow();
    EXPECT_EQ(parameters && parameters->isVisible(), c.parameters);
    if (c.config == missing) {
      ASSERT_EQ(rig.prompter.shown.size(), 1u);
      EXPECT_NE(rig.prompter.shown[0].text.find("no parallel port /dev/parport9"),
                std::string::npos);
      EXPECT_EQ(rig.instrument.port()->name(), c.port);
      continue;
    }
    EXPECT_TRUE(rig.prompter.shown.empty());
    EXPECT_EQ(rig.openedBackends, std::vector<std::string>{c.port});
    EXPECT_TRUE(static_cast<hw::RecordingPort*>(rig.instrument.port())->log.empty());
  }
}

// Parameters shows the shared values; Close drops the edits; OK stores only a
// clock up to the maximum.
TEST(ParametersWindowTest, LoadsTheSharedValuesAndStoresOnlyASoundClock) {
  LauncherRig rig;
  rig.instrument.params = {4, 50, 200, 956, "sim"};
  rig.launcher.showParameters();
  auto* w = rig.launcher.parametersWindow();
  auto* clock = child<QLabel>(w, "clockValue");
  auto* quartz = child<QLineEdit>(w, "quartzEdit");
  EXPECT_EQ(quartz->text(), "50");
  EXPECT_EQ(clock->text(), "200");
  EXPECT_TRUE(child<QRadioButton>(w, "lpt3Option")->isChecked());
  quartz->setText("10");
  child<QScrollBar>(w, "multiplierScroll")->setValue(6);
  EXPECT_EQ(clock->text(), "60");
  w->close();  // not OK: the edits are dropped
  EXPECT_EQ(rig.instrument.params.quartzMHz, 50);

  rig.launcher.showParameters();
  quartz->setText("30");
  child<QScrollBar>(w, "multiplierScroll")->setValue(20);
  child<QRadioButton>(w, "lpt2Option")->setChecked(true);
  child<QPushButton>(w, "okButton")->click();
  EXPECT_THAT(rig.prompter.messages(), testing::ElementsAre("Ref Frequency over the maximum!"));
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(rig.instrument.params.refClockMHz, 200);
  EXPECT_FALSE(common::readTextFile("dds.cfg").has_value());
  quartz->setText("25.05");  // exactly the maximum
  child<QPushButton>(w, "okButton")->click();
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(rig.instrument.params.refClockMHz, 501);
  EXPECT_EQ(rig.instrument.params.portAddress, 632);  // LPT2
  hw::HardwareParams stored;                          // and kept in dds.cfg
  ASSERT_TRUE(hw::readHardwareConfig(stored));
  EXPECT_EQ(stored.refClockMHz, 501);
}

// "EXIT PROGRAM", and the stop signals that end the program the same way: the
// windows' files are written and the DDS set to 0 Hz before the program ends.
TEST(LauncherExit, ExitProgramClosesEveryWindowAndSwitchesTheOutputOff) {
  for (int signal : {0, SIGTERM, SIGHUP, SIGINT}) {
    SCOPED_TRACE(signal ? "signal " + std::to_string(signal) : std::string("EXIT PROGRAM"));
    LauncherRig rig;
    ASSERT_TRUE(common::writeFileAtomic("dds.cfg", "20\r\n20\r\n400\r\n888\r\n\"direct\"\r\n"));
    rig.instrument.setDelayer(std::make_unique<hw::NoDelayer>());
    app::StopSignals stopSignals;
    QObject::connect(&stopSignals, &app::StopSignals::stopRequested, &rig.launcher,
                     &app::Launcher::exitProgram);
    rig.launcher.load(&LauncherRig::steadyTimer);
    ASSERT_NE(rig.port, nullptr);
    rig.launcher.show();
    child<QPushButton>(&rig.launcher, "vfoButton")->click();  // DIGITAL VFO
    QPointer<QWidget> vfo = rig.launcher.openVfo();
    auto* keyboard = child<QLineEdit>(vfo, "keyboardEdit");
    keyboard->clear();
    QTest::keyClicks(keyboard, "14.2");
    QTest::keyClick(keyboard, Qt::Key_Return);
    child<QPushButton>(vfo, "addMemoryButton")->click();
    // The other instruments open too, one window of each kind.
    QPointer<QWidget> meter = rig.launcher.openPowerMeter();
    EXPECT_EQ(rig.launcher.openPowerMeter(), meter.data());
    QPointer<QWidget> analyzer = rig.launcher.openAnalyzer();
    const size_t before = rig.port->writes().size();

    if (signal == 0) {
      child<QPushButton>(&rig.launcher, "exitButton")->click();  // EXIT PROGRAM
    } else {
      std::raise(signal);
      EXPECT_TRUE(QTest::qWaitFor([&] { return !rig.launcher.isVisible(); }, 5000));
    }
    for (QWidget* w :
         {vfo.data(), meter.data(), analyzer.data(), static_cast<QWidget*>(&rig.launcher)})
      EXPECT_FALSE(w && w->isVisible());
    auto writes = rig.port->writes();
    // Nothing but the word 0 (the analyzer then takes every data line low).
    using testing::Eq;
    EXPECT_THAT(test::ddsEvents({writes.begin() + static_cast<long>(before), writes.end()}),
                testing::AllOf(testing::Contains("word 0"),
                               testing::Each(testing::AnyOf(Eq("word 0"), Eq("bad 0")))));
    // Every write of that last frame came after the files were in place.
    for (size_t i = before; i < rig.port->filesThere.size(); ++i)
      EXPECT_TRUE(rig.port->filesThere[i]);
    EXPECT_EQ(common::readTextFile("VFO_FreqMem").value_or(""), "14.2\r\n");
    EXPECT_TRUE(std::filesystem::exists("pow.ini") && std::filesystem::exists("ant.ini"));
    EXPECT_TRUE(rig.prompter.shown.empty());
  }
}

// The Parameters window's port test: of the port in use, or of another one.
TEST(ParametersPortTest, ReportsEachCheckInTheWindow) {
  for (const char* backend : {"sim", "ppdev:/nonexistent/parport5"}) {
    SCOPED_TRACE(backend);
    const bool sim = std::string(backend) == "sim";
    test::InTempDir dir;
    hw::Instrument instrument;
    instrument.params = {20, 20, 400, hw::kLpt1, backend};
    if (sim)  // the ideal board: exact counts
      instrument.setPort(hw::openPort("sim", hw::kLpt1, {"through", "r=50", "ideal"}).port);
    common::ScriptedPrompter prompter;
    common::ui::UiContext context{instrument, prompter};
    app::ParametersWindow window(context, [] {});
    auto* report = window.findChild<QPlainTextEdit*>("portTestReport");
    EXPECT_TRUE(report->isHidden());
    window.findChild<QPushButton*>("portTestButton")->click();
    EXPECT_FALSE(report->isHidden());
    const std::string text = report->toPlainText().toStdString();
    EXPECT_EQ(text.find(sim ? "The port and the instrument answer." : "The port test failed."), 0u)
        << text;
    EXPECT_NE(text.find(sim ? "PASS  Detector: reads 826" : "FAIL  Port"), std::string::npos);
    EXPECT_TRUE(prompter.messages().empty());
  }
}

TEST(ParametersPortTest, UsesTheClockTypedInTheWindowBeforeOk) {
  // A first start: no clock accepted yet, 20 MHz x 20 typed, OK not pressed.
  test::InTempDir dir;
  hw::Instrument instrument;
  instrument.params = {0, 0, 0, hw::kLpt1, "sim"};
  instrument.setPort(hw::openPort("sim", hw::kLpt1, {"through", "r=50", "ideal"}).port);
  common::ScriptedPrompter prompter;
  common::ui::UiContext context{instrument, prompter};
  app::ParametersWindow window(context, [] {});
  window.findChild<QLineEdit*>("quartzEdit")->setText("20");
  window.findChild<QScrollBar*>("multiplierScroll")->setValue(20);
  window.findChild<QPushButton*>("portTestButton")->click();
  const std::string text =
      window.findChild<QPlainTextEdit*>("portTestReport")->toPlainText().toStdString();
  EXPECT_NE(text.find("with the generator at 10 MHz"), std::string::npos) << text;
  EXPECT_EQ(instrument.params.refClockMHz, 0);  // still not accepted
}
