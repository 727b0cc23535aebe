#include "sim/ui/simulator_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "common/files.h"
#include "common/prompter.h"
#include "hw/dds.h"
#include "sim/sim_port.h"
#include "sim/ui/sim_banner.h"
#include "support/temp_dir.h"

namespace hw = kolm::hw;
namespace sim = kolm::sim;

namespace {

struct WindowRig {
  explicit WindowRig(std::unique_ptr<hw::PortIo> port = nullptr) {
    if (!port) {
      // The ideal board: exact counts.
      auto s =
          std::make_unique<sim::SimulatedInstrument>(sim::SimSettings{.board = sim::Board::Ideal});
      simulator = s.get();
      port = std::move(s);
    }
    instrument.setPort(std::move(port));
    instrument.setDelayer(std::make_unique<hw::NoDelayer>());
    instrument.params = {20, 20, 400, hw::kLpt1, "sim"};  // 20 MHz x 20
    window = kolm::sim::ui::createSimulatorWindow(context);
    window->show();
  }
  ~WindowRig() { delete window.data(); }

  QComboBox* dut() { return window->findChild<QComboBox*>("dutText"); }
  QComboBox* load() { return window->findChild<QComboBox*>("loadText"); }
  QLabel* error() { return window->findChild<QLabel*>("simError"); }
  QComboBox* board() { return window->findChild<QComboBox*>("boardChoice"); }
  QCheckBox* quartzApart() { return window->findChild<QCheckBox*>("quartzApart"); }
  QLineEdit* quartz() { return window->findChild<QLineEdit*>("quartzText"); }
  void click(const char* name) {
    QTest::mouseClick(window->findChild<QPushButton*>(name), Qt::LeftButton);
  }
  int detectorAt(double mhz) {
    instrument.startGenerator(static_cast<uint32_t>(hw::ddsTuningWord(mhz, 400)));
    return instrument.readDetector();
  }

  hw::Instrument instrument;
  sim::SimulatedInstrument* simulator = nullptr;
  kolm::common::ScriptedPrompter prompter;
  // Made inside the test's folder, which holds its settings.
  kolm::hw::ui::UiContext context{instrument, prompter,
                                  kolm::common::SettingsFolder(std::filesystem::current_path())};
  QPointer<QWidget> window;
};

}  // namespace

// A malformed choice is refused and kept to mend; a sound one reconfigures the
// running simulator and is kept for the next run.
TEST(SimulatorWindow, ApplyRefusesMalformedTextAndReconfiguresTheRunningSimulator) {
  kolm::test::InTempDir dir;
  WindowRig rig;
  EXPECT_EQ(rig.detectorAt(10), 826);
  rig.dut()->setEditText("lowpass:fc=ten,order=3");
  rig.click("applyButton");
  EXPECT_TRUE(rig.error()->text().contains("fc=ten")) << rig.error()->text().toStdString();
  EXPECT_EQ(rig.dut()->currentText(), "lowpass:fc=ten,order=3");  // still there to mend
  EXPECT_EQ(rig.simulator->dut().text, "through");
  EXPECT_FALSE(sim::readPortOptions(sim::kSimConfigFile).has_value());  // nothing kept
  // Closing with the change pending asks first; Cancel keeps the window open.
  rig.prompter.confirms = {false};
  EXPECT_FALSE(rig.window->close());
  EXPECT_EQ(rig.prompter.shown.size(), 1u);

  rig.dut()->setCurrentIndex(rig.dut()->findText("atten:60"));
  rig.load()->setEditText("short");
  rig.click("applyButton");
  EXPECT_TRUE(rig.error()->isHidden());
  EXPECT_EQ(rig.detectorAt(10), 235);
  EXPECT_EQ(rig.instrument.readBridge().b, 1023);
  EXPECT_EQ(sim::readPortOptions(sim::kSimConfigFile)->load, "short");
  EXPECT_TRUE(
      rig.window->findChild<QLabel*>("simApplied")
          ->text()
          .startsWith(
              "Applied: now atten:60 between generator and detector, short on the bridge."));
  // Nothing pending: closes without a question and deletes itself.
  rig.click("closeButton");
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(rig.window.isNull());
  EXPECT_EQ(rig.prompter.shown.size(), 1u);
}

// The board and the quartz: the typical board reads off the ideal laws until
// calibrated; a quartz set apart moves every frequency and the banner says so.
TEST(SimulatorWindow, ChoicesAreAppliedKeptAndShownWithTheirErrors) {
  kolm::test::InTempDir dir;
  WindowRig rig;
  QWidget holder;
  auto* banner = static_cast<QLabel*>(kolm::sim::ui::makeSimBanner(rig.context, &holder));
  rig.board()->setCurrentText("typical");
  rig.click("applyButton");
  EXPECT_NE(rig.detectorAt(10), 826);  // the detector's own slope and intercept
  rig.quartzApart()->setChecked(true);
  rig.quartz()->setText("100");
  rig.click("applyButton");
  rig.detectorAt(10);
  // Parameters say 20 MHz x 20: the board's 100 MHz x 20 puts out five times 10 MHz.
  EXPECT_NEAR(rig.simulator->outputMHz(), 50, 1e-6);
  kolm::sim::ui::refreshSimBanners(&holder);
  EXPECT_THAT(banner->text().toStdString(),
              testing::EndsWith("its quartz is 100 MHz, Parameters say 20 MHz"));

  {
    WindowRig next;  // the next run shows the kept choice
    EXPECT_EQ(next.board()->currentText(), "typical");
    EXPECT_EQ(next.quartz()->text(), "100");
  }
  // A kept load file that is gone shows its error, and one chosen through the
  // dialog is used; with a real port the choice is kept for later.
  kolm::common::SettingsKeeper keeper;
  ASSERT_TRUE(sim::savePortOptions({"atten:20", "s1p:gone.s1p"}, sim::kSimConfigFile, keeper));
  {
    WindowRig kept;
    EXPECT_TRUE(kept.error()->text().contains("gone.s1p"));
    ASSERT_TRUE(kolm::common::writeFileAtomic("here.s1p", "# MHz S RI R 50\n1 -1 0\n100 -1 0\n"));
    kept.prompter.files = {(dir.path() / "here.s1p").string()};
    kept.click("browseS1p");
    kept.click("applyButton");
    EXPECT_TRUE(kept.error()->isHidden()) << kept.error()->text().toStdString();
    EXPECT_EQ(kept.simulator->load().kind, sim::Load::Kind::Touchstone);
  }
  WindowRig real(std::make_unique<hw::NullPort>());
  real.dut()->setEditText("atten:10");
  real.click("applyButton");
  EXPECT_TRUE(real.error()->isHidden());
  EXPECT_EQ(sim::loadPortOptions(sim::kSimConfigFile).dut, "atten:10");
}
