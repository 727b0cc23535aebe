#include "app/launcher.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "common/files.h"
#include "common/prompter.h"
#include "support/temp_dir.h"
#include "support/ui/widgets.h"

using namespace kolm;

namespace {

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
        auto p = std::make_unique<test::SimRecordingPort>();
        port = p.get();
        r.port = std::move(p);
      } else {
        auto p = std::make_unique<hw::RecordingPort>();
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
  hw::RecordingPort* port = nullptr;
  std::vector<std::string> openedBackends;
};

using test::child;

}  // namespace

TEST(LauncherStartUp, NoConfigOrAClockOfZeroShowsParametersAndSendsNothing) {
  for (const char* config : {"", "\"20\"\r\n\"20\"\r\n\"0\"\r\n\"888\"\r\n"}) {
    SCOPED_TRACE(config);
    LauncherRig rig;
    if (*config) {
      ASSERT_TRUE(common::writeFileAtomic("dds.cfg", config));
    }
    rig.launcher.load(&LauncherRig::steadyTimer);
    ASSERT_NE(rig.launcher.parametersWindow(), nullptr);
    EXPECT_TRUE(rig.launcher.parametersWindow()->isVisible());
    EXPECT_GE(rig.instrument.LoopFactor, 1);
    ASSERT_NE(rig.port, nullptr);
    EXPECT_TRUE(rig.port->log.empty());
    EXPECT_EQ(rig.openedBackends, std::vector<std::string>{"sim"});
    EXPECT_TRUE(rig.prompter.shown.empty());
  }
}

TEST(LauncherStartUp, Captions) {
  LauncherRig rig;
  EXPECT_EQ(rig.launcher.windowTitle(), "MULTIFUNCTIONS INSTRUMENT");
  EXPECT_EQ(child<QLabel>(&rig.launcher, "Label4")->text(), "KOLM MAIN MENU");
  EXPECT_EQ(child<QPushButton>(&rig.launcher, "Command2")->text(), "EXIT PROGRAM");
  EXPECT_EQ(child<QPushButton>(&rig.launcher, "command8")->toolTip(), "Launch Power Meter");
}

TEST(LauncherStartUp, AStoredClockOpensNoParametersAndUsesTheChosenPort) {
  LauncherRig rig;
  ASSERT_TRUE(common::writeFileAtomic(
      "dds.cfg", "\"20\"\r\n\"20\"\r\n\"400\"\r\n\"632\"\r\n\"ppdev:/dev/parport0\"\r\n"));
  rig.launcher.load(&LauncherRig::steadyTimer);
  EXPECT_EQ(rig.launcher.parametersWindow(), nullptr);
  EXPECT_EQ(rig.instrument.params.RefClkMHz, 400);
  EXPECT_EQ(rig.instrument.params.LptBase, 632);
  EXPECT_EQ(rig.openedBackends, std::vector<std::string>{"ppdev:/dev/parport0"});
  EXPECT_FALSE(rig.instrument.simulated());
}

TEST(LauncherStartUp, APortThatCannotBeOpenedIsSaidOnceAndTheSimulatorOffered) {
  for (bool accepted : {true, false}) {
    SCOPED_TRACE(accepted ? "simulator accepted" : "simulator declined");
    LauncherRig rig;
    ASSERT_TRUE(common::writeFileAtomic("dds.cfg",
                                        "20\r\n20\r\n400\r\n888\r\n\"ppdev:/dev/parport9\"\r\n"));
    rig.prompter.confirms = {accepted};
    rig.launcher.load(&LauncherRig::steadyTimer);
    ASSERT_EQ(rig.prompter.shown.size(), 1u);
    EXPECT_NE(rig.prompter.shown[0].text.find("no parallel port /dev/parport9"), std::string::npos);
    EXPECT_EQ(rig.prompter.shown[0].title, "Kolm");
    EXPECT_EQ(rig.instrument.simulated(), accepted);
    if (!accepted) {
      EXPECT_EQ(rig.instrument.port()->name(), "null");
    }
  }
}

TEST(ParametersWindowTest, ClockFollowsMultiplierAndQuartz) {
  LauncherRig rig;
  rig.launcher.showParameters();
  auto* w = rig.launcher.parametersWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), "DDS_VFO & Power_Meter & Antenna_Analyzer Parameters");
  auto* text2 = child<QLineEdit>(w, "Text2");
  auto* bar = child<QScrollBar>(w, "HScroll1");
  auto* label4 = child<QLabel>(w, "Label4");
  text2->setText("100");
  bar->setValue(3);
  EXPECT_EQ(label4->text(), "100");
  bar->setValue(4);
  EXPECT_EQ(label4->text(), "400");
  EXPECT_EQ(child<QLabel>(w, "Label10")->text(), "4");
  EXPECT_EQ(bar->maximum(), 20);
}

TEST(ParametersWindowTest, OkStoresOnlyAClockAboveZeroAndUpToTheMaximum) {
  struct Case {
    const char* name;
    const char* quartz;
    int multiplier;
    const char* message;  // part of the refusal; empty when accepted
    double stored;
  };
  for (const Case c : {Case{"over the maximum", "30", 20, "Ref Frequency over the maximum!", 0},
                       Case{"quartz of zero", "abc", 0, "quartz", 0},
                       Case{"exactly the maximum", "25.05", 20, "", 501}}) {
    SCOPED_TRACE(c.name);
    LauncherRig rig;
    rig.launcher.showParameters();
    auto* w = rig.launcher.parametersWindow();
    child<QLineEdit>(w, "Text2")->setText(c.quartz);
    if (c.multiplier) child<QScrollBar>(w, "HScroll1")->setValue(c.multiplier);
    child<QRadioButton>(w, "Option10")->setChecked(true);
    child<QPushButton>(w, "Command1")->click();
    EXPECT_DOUBLE_EQ(rig.instrument.params.RefClkMHz, c.stored);
    EXPECT_EQ(w->isVisible(), *c.message != 0);
    if (*c.message) {
      ASSERT_EQ(rig.prompter.messages().size(), 1u);
      EXPECT_NE(rig.prompter.messages()[0].find(c.message), std::string::npos);
      EXPECT_FALSE(common::readTextFile("dds.cfg").has_value());
      continue;
    }
    EXPECT_TRUE(rig.prompter.messages().empty());
    EXPECT_EQ(rig.instrument.params.LptBase, 632);  // LPT2
    EXPECT_EQ(common::readTextFile("dds.cfg").value(),
              "\"20\"\r\n\"25.05\"\r\n\"501\"\r\n\"632\"\r\n\"sim\"\r\n");
  }
}

TEST(ParametersWindowTest, LoadShowsTheSharedValuesAndDiscardsUnconfirmedEdits) {
  LauncherRig rig;
  rig.instrument.params = {4, 50, 200, 956, "sim"};
  rig.launcher.showParameters();
  auto* w = rig.launcher.parametersWindow();
  EXPECT_EQ(child<QLineEdit>(w, "Text2")->text(), "50");
  EXPECT_EQ(child<QScrollBar>(w, "HScroll1")->value(), 4);
  EXPECT_EQ(child<QLabel>(w, "Label4")->text(), "200");
  EXPECT_TRUE(child<QRadioButton>(w, "Option11")->isChecked());
  child<QLineEdit>(w, "Text2")->setText("10");
  w->close();  // not OK: the edits are dropped
  EXPECT_EQ(rig.instrument.params.QuartzMHz, 50);
}

TEST(LauncherButtons, EachInstrumentOpensOnceAndClosesThroughItsHandlerOnExit) {
  LauncherRig rig;
  ASSERT_TRUE(common::writeFileAtomic("dds.cfg", "20\r\n20\r\n400\r\n888\r\n"));
  rig.launcher.load(&LauncherRig::steadyTimer);
  QWidget* first = rig.launcher.openPowerMeter();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->windowTitle(), "Power Meter Sweep");
  QWidget* second = rig.launcher.openPowerMeter();
  EXPECT_EQ(second, first);
  // Every instrument window can be open at once, one of each kind.
  QWidget* vfo = rig.launcher.openVfo();
  QWidget* analyzer = rig.launcher.openAnalyzer();
  ASSERT_NE(vfo, nullptr);
  ASSERT_NE(analyzer, nullptr);
  EXPECT_TRUE(first->isVisible() && vfo->isVisible() && analyzer->isVisible());
  rig.launcher.exitProgram();
  EXPECT_FALSE(first->isVisible() || vfo->isVisible() || analyzer->isVisible());
  // Each window's close handler ran: the settings files are written.
  for (const char* file : {"pow.ini", "radio.ini", "ant.ini"})
    EXPECT_TRUE(common::readTextFile(file).has_value()) << file;
}
