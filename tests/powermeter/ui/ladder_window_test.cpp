// The ladder filter window: a design from a batch file's group, and its
// prediction in the power meter's memory over the filter's span.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTableWidget>

#include "common/files.h"
#include "powermeter/crystal_batch.h"
#include "powermeter/ui/ladder_window.h"
#include "powermeter/ui/power_meter_rig.h"

using namespace kolm;
using powermeter::ui::LadderWindow;
using test::Rig;

TEST(LadderWindow, DesignsAGroupAndPutsItsPredictionInMemory) {
  Rig rig("through");
  rig.open();
  std::vector<powermeter::CrystalRow> rows;
  for (int i = 0; i < 5; ++i) {
    powermeter::CrystalRow r;
    r.number = i + 1;
    r.label = "X" + std::to_string(i + 1);
    r.fsMHz = 4.9152 + i * 5e-6;
    r.rOhm = 12;
    r.lMilliHenry = 70.0;
    r.c0PicoFarad = 4.0;
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
}
