// The crystal meter and its windows, on the simulated instrument with scripted
// dialogs: a crystal found from a wide sweep through the fixture, the crystal
// batch and the ladder filter designed from it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <algorithm>
#include <cmath>

#include "common/files.h"
#include "common/text.h"
#include "powermeter/crystal_batch.h"
#include "powermeter/fixture_steps.h"
#include "powermeter/ui/crystal_batch_window.h"
#include "powermeter/ui/ladder_window.h"
#include "powermeter/ui/power_meter_rig.h"

using namespace kolm;
using powermeter::ui::CrystalBatchWindow;
using powermeter::ui::LadderWindow;
using test::Rig;

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

namespace {

// Five 10 MHz crystals measured in the batch window through the fixture
// calibrated with R0 50 ohm: A1 and A2 within 100 Hz, B1 and B2 too, one of
// 40 ohm without a label, and B2 measured twice (the mean and the spread of
// two fitted passes) with its load resonance.
CrystalBatchWindow* measureFiveCrystals(Rig& rig) {
  rig.prompter.inputs.push_back("50");
  EXPECT_TRUE(rig.run("quartzReferenceAction"));
  rig.type("startEdit", "9.997");
  rig.type("stopEdit", "10.004");
  rig.type("pointsEdit", "700");
  CrystalBatchWindow* batch = rig.window->crystalBatch();
  auto* measure = batch->findChild<QPushButton*>("batchMeasure");
  const struct {
    const char* label;
    double offsetHz, r;
  } crystals[] = {{"A1", 0, 20}, {"B1", 900, 20}, {"A2", 40, 21}, {"", 930, 40}, {"B2", 950, 20}};
  for (const auto& c : crystals) {
    rig.connect("crystal:fs=" + common::shortestText(10 + c.offsetHz * 1e-6, 12) +
                ",r=" + common::shortestText(c.r) + ",c=20f,c0=5p,r0=50");
    batch->findChild<QLineEdit*>("batchLabel")->setText(c.label);
    const bool twice = std::string(c.label) == "B2";
    batch->findChild<QSpinBox*>("batchRepeat")->setValue(twice ? 2 : 1);
    if (twice) {
      auto* load = batch->findChild<QLineEdit*>("batchLoadPf");
      load->setText("20");
      load->setModified(true);
      emit load->editingFinished();
    }
    measure->click();
    EXPECT_FALSE(measure->isEnabled());  // one crystal at a time
    EXPECT_TRUE(QTest::qWaitFor([&] { return measure->isEnabled(); }, 10000));
  }
  return batch;
}

}  // namespace

// The crystal batch window: the numbers, the verdicts against limits, the
// matched groups, saved and opened again.
TEST(CrystalBatchWindow, MeasuresNumbersMatchesSavesAndOpens) {
  Rig rig("through");
  rig.open();
  CrystalBatchWindow* batch = measureFiveCrystals(rig);
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
  EXPECT_THAT(groups->item(1)->text().toStdString(), testing::EndsWith(": B1, B2"));
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
