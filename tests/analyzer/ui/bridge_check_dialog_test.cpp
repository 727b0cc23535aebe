// Check the bridge, as a user goes through it: each standard connected and
// measured, the figures kept and used by the analyzer from then on; a pass
// stopped keeps nothing and leaves the generator off.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <filesystem>

#include "analyzer/ui/analyzer_fixture.h"
#include "analyzer/ui/bridge_check_dialog.h"

using namespace kolm;
using namespace kolm::analyzer;
using kolm::test::AnalyzerUi;

namespace {

void finish(ui::BridgeCheckDialog& dialog) {
  dialog.runner().finishNow();
  for (int i = 0; i < 200 && dialog.runner().running(); ++i) QTest::qWait(5);
  QCoreApplication::processEvents();
}

}  // namespace

TEST_F(AnalyzerUi, BridgeCheckKeepsWhatTheHarshBridgeShowsAndTheAnalyzerUsesIt) {
  const SweepPlan plan = planSweep(1, 30, 40, 400).plan;
  BridgeFigures told;
  ui::BridgeCheckDialog dialog(nullptr, instrument, plan, context.settings,
                               [&](const BridgeFigures& f) { told = f; });
  dialog.show();
  const char* buttons[] = {"measureLoadButton", "measureOpenButton", "measureShortButton"};
  const char* states[] = {"measureLoadState", "measureOpenState", "measureShortState"};
  const char* loads[] = {"r=50", "open", "short"};
  for (int k = 0; k < kStandards; ++k) {
    useSimulator(loads[k], "harsh");
    test::child<QPushButton>(&dialog, buttons[k])->click();
    finish(dialog);
    EXPECT_EQ(test::child<QLabel>(&dialog, states[k])->text(), "measured");
  }
  auto* progress = test::child<QProgressBar>(&dialog, "bridgeCheckProgress");
  EXPECT_EQ(progress->value(), progress->maximum());
  // The harsh bridge's 24 dB, stated no better than it is.
  EXPECT_GT(told.directivityDb, 21);
  EXPECT_LE(told.directivityDb, 24);
  ASSERT_TRUE(std::filesystem::exists(context.settings.file(kBridgeFiguresFile)));
  open();
  EXPECT_EQ(window->bridgeFigures(), told);

  // Stopped halfway: nothing kept, every data line low.
  instrument.setPort(std::make_unique<test::SimRecordingPort>());
  auto* recording = dynamic_cast<hw::RecordingPort*>(instrument.port());
  test::child<QPushButton>(&dialog, "measureLoadButton")->click();
  ASSERT_TRUE(dialog.runner().running());
  test::child<QPushButton>(&dialog, "bridgeCheckStop")->click();
  for (int i = 0; i < 200 && dialog.runner().running(); ++i) QTest::qWait(5);
  EXPECT_TRUE(test::child<QLabel>(&dialog, "bridgeCheckResult")->text().startsWith("Stopped"));
  EXPECT_EQ(progress->value(), 0);
  ASSERT_TRUE(recording);
  EXPECT_EQ(recording->writes().back(), 0);
  EXPECT_FALSE(std::filesystem::exists(context.settings.file(kBridgeCheckFile)));

  // Back to the published figures.
  test::child<QPushButton>(&dialog, "forgetFiguresButton")->click();
  EXPECT_EQ(told, publishedBridge());
  EXPECT_FALSE(std::filesystem::exists(context.settings.file(kBridgeFiguresFile)));
}
