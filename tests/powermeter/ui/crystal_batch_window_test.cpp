// The crystal batch window, on the simulated instrument.
#include <gtest/gtest.h>

#include <QAction>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "common/text.h"
#include "powermeter/crystal_batch.h"
#include "powermeter/ui/crystal_batch_window.h"
#include "powermeter/ui/power_meter_rig.h"

using namespace kolm;
using powermeter::ui::CrystalBatchWindow;
using test::Rig;

TEST(CrystalBatchWindow, MeasuresNumbersMatchesSavesAndOpens) {
  Rig rig("through");
  rig.open();
  // The fixture calibrated (R0 50 ohm) and the span set across 10 MHz crystals.
  rig.prompter.inputs.push_back("50");
  rig.get<QAction>("quartzReferenceAction")->trigger();
  ASSERT_TRUE(rig.waitIdle());
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
  table->selectRow(0);
  batch->findChild<QPushButton*>("batchRemove")->click();
  ASSERT_EQ(table->rowCount(), 4);
  rig.prompter.confirms = {false};
  EXPECT_FALSE(rig.window->close());  // the power meter asks through its batch
  EXPECT_TRUE(rig.window->isVisible());
}
