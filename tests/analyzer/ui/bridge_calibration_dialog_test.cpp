// Calibrate the bridge, as a user goes through it on the simulator: each
// standard connected and measured by its button, a standard stated wrong
// named with nothing stored, the calibration kept and used by the analyzer,
// the previous one brought back, and the simulator's own load back at the end.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "analyzer/calibration.h"
#include "analyzer/ui/analyzer_fixture.h"
#include "analyzer/ui/bridge_calibration_dialog.h"
#include "sim/simulated_instrument.h"

using namespace kolm;
using namespace kolm::analyzer;
using kolm::test::AnalyzerUi;

namespace {

void measure(ui::BridgeCalibrationDialog& dialog, const std::string& standard) {
  test::child<QPushButton>(&dialog, (standard + "Button").c_str())->click();
  // Each pass averaged starts when the one before ends.
  for (int i = 0; i < 400 && dialog.runner().running(); ++i) {
    dialog.runner().finishNow();
    QTest::qWait(5);
  }
  QCoreApplication::processEvents();
}

}  // namespace

TEST_F(AnalyzerUi, BridgeCalibrationWalksTheStandardsAndKeepsOnlyWhatAgrees) {
  useSimulator("r=12", "typical");
  const SweepPlan plan = planSweep(1, 60, 40, 400).plan;
  int changes = 0;
  auto dialog = std::make_unique<ui::BridgeCalibrationDialog>(
      nullptr, instrument, plan, 1, context.settings, publishedBridge(), [&] { ++changes; });
  dialog->show();
  auto result = [&] {
    return test::child<QLabel>(dialog.get(), "bridgeCalibrationResult")->text();
  };
  const auto stored = context.settings.file(kCalibrationFile);

  // A value that is not one measures nothing; one stated wrong is named and
  // stores nothing.
  auto* value = test::child<QLineEdit>(dialog.get(), "rc100pValue");
  value->setText("r=50,c=");
  measure(*dialog, "rc100p");
  EXPECT_TRUE(result().contains("rc100p")) << result().toStdString();
  EXPECT_EQ(test::child<QLabel>(dialog.get(), "rc100pState")->text(), "not measured");
  value->setText("r=50,c=220p");
  for (const auto& s : calibrationStandards()) measure(*dialog, s.name);
  EXPECT_TRUE(result().contains("rc100p (r=50,c=220p)")) << result().toStdString();
  EXPECT_FALSE(std::filesystem::exists(stored));
  EXPECT_EQ(changes, 0);

  // Measured again as it is: the calibration is kept and in use.
  value->setText("r=50,c=100p");
  measure(*dialog, "rc100p");
  ASSERT_TRUE(std::filesystem::exists(stored)) << result().toStdString();
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(calibrationIn(context.settings, instrumentSetup(instrument)).calibration);
  for (const auto& s : calibrationStandards())
    EXPECT_EQ(test::child<QLabel>(dialog.get(), (std::string(s.name) + "State").c_str())->text(),
              "not measured");

  // Forget, then the previous one back; the first has no previous to bring.
  test::child<QPushButton>(dialog.get(), "forgetCalibrationButton")->click();
  EXPECT_FALSE(std::filesystem::exists(stored));
  test::child<QPushButton>(dialog.get(), "previousCalibrationButton")->click();
  EXPECT_TRUE(std::filesystem::exists(stored));
  EXPECT_EQ(changes, 3);

  // The simulator's own load is connected again when the dialog closes.
  dialog.reset();
  EXPECT_EQ(sim::findSimulator(instrument.port())->load().text, "r=12");
  open();
  ASSERT_TRUE(window->bridgeFigures().calibration);
}

// The passes the analyzer averages are the passes each standard averages, as
// bridge-calibrate --average keeps them.
TEST_F(AnalyzerUi, BridgeCalibrationAveragesTheAnalyzersPasses) {
  useSimulator("r=12", "typical");
  const SweepPlan plan = planSweep(1, 60, 40, 400).plan;
  for (int passes : {1, 3}) {
    ui::BridgeCalibrationDialog dialog(nullptr, instrument, plan, passes, context.settings,
                                       publishedBridge(), [] {});
    measure(dialog, "r75");
    bool unreadable = false;
    const CalibrationRun run = calibrationRunIn(context.settings, &unreadable);
    const auto& kept = run.standards[static_cast<size_t>(calibrationStandard("r75") -
                                                         calibrationStandards().data())];
    ASSERT_TRUE(kept) << passes;
    EXPECT_EQ(kept->passes, passes);
    EXPECT_EQ(test::child<QLabel>(&dialog, "r75State")->text(), "measured");
    // Means of noisy passes are not all whole counts; single readings are.
    const auto& a = kept->readings.returnLossCounts;
    EXPECT_EQ(std::any_of(a.begin(), a.end(), [](double v) { return v != std::floor(v); }),
              passes > 1);
  }
}
