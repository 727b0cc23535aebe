// Stored traces in the analyzer: the selected quantity kept, a .vna chart
// dropped on the chart, each drawn on its quantity's scale, their difference.
#include <gtest/gtest.h>

#include <cmath>

#include <QDropEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include "analyzer/cable.h"
#include "analyzer/calibration.h"
#include "analyzer/files.h"
#include "analyzer/quantity_trace.h"
#include "analyzer/ui/analyzer_fixture.h"
#include "analyzer/ui/analyzer_view.h"
#include "chart/ui/pass_log.h"
#include "chart/ui/trace_list.h"
#include "common/files.h"

using namespace kolm;
using namespace kolm::analyzer;
using test::AnalyzerUi;

TEST_F(AnalyzerUi, StoredTracesFromASweepAndADroppedChart) {
  useSimulator("r=20");
  open();
  find<QAction>("storedTracesAction")->trigger();
  auto* list = window->findChild<chart::ui::TraceList*>("traceList");
  ASSERT_TRUE(list && list->isVisible());
  auto click = [&](const char* name) { list->findChild<QPushButton*>(name)->click(); };
  click("storeTraceButton");  // the demonstration is no measurement
  EXPECT_TRUE(list->traces().empty());
  box("pointsEdit")->setText("50");
  sweepOnce();
  click("storeTraceButton");
  ASSERT_EQ(list->traces().size(), 1u);
  const std::string quantity(quantityName(window->selection().selectedQuantity));
  EXPECT_EQ(list->traces()[0].quantity, quantity);

  // The same sweep as a chart file dropped on the chart: the same values, and
  // the list hidden beside the chart shown.
  find<QAction>("storedTracesAction")->trigger();
  ASSERT_FALSE(list->isVisible());
  ASSERT_TRUE(common::writeFileAtomic("a.vna", formatVna(window->measurement().savedChart())));
  emit window->chart()->filesDropped({QFileInfo("a.vna").absoluteFilePath()});
  EXPECT_TRUE(list->isVisible());
  ASSERT_EQ(list->traces().size(), 2u);
  EXPECT_EQ(list->traces()[1].value, list->traces()[0].value);
  list->findChild<QListWidget*>("storedTraceList")->selectAll();
  click("traceDifferenceButton");
  ASSERT_EQ(list->traces().size(), 3u);
  const chart::StoredTrace& d = list->traces()[2];
  for (size_t i = 0; i < d.size(); ++i) EXPECT_TRUE(d.low[i] <= 0 && d.high[i] >= 0) << i;
  // Each drawn over the live traces on its quantity's own scale.
  const auto& drawn = window->chart()->memoryTraces();
  ASSERT_EQ(drawn.size(), 3u);
  for (const auto& t : drawn) EXPECT_TRUE(t.vertical.has_value());

  // Its CSV and .s1p exports too (the reflections approximate); a file cut
  // short is said by the list as the power meter's test shows.
  const ChartData c = window->measurement().savedChart();
  Channels ch;
  std::copy(c.returnLossCounts.begin(), c.returnLossCounts.end(), ch.returnLossCounts.begin());
  std::copy(c.phaseCounts.begin(), c.phaseCounts.end(), ch.phaseCounts.begin());
  const std::string csv = formatCsv(c.points, c.start, c.stop, ch);
  ASSERT_TRUE(common::writeFileAtomic("a.csv", csv));
  ASSERT_TRUE(common::writeFileAtomic("a.s1p", formatTouchstone(c.points, c.start, c.stop, ch)));
  for (const char* file : {"a.csv", "a.s1p"})
    emit window->chart()->filesDropped({QFileInfo(file).absoluteFilePath()});
  const auto& t = list->traces();
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[3].marks, t[0].marks);
  for (size_t i = 0; i < t[0].size(); ++i) EXPECT_NEAR(t[3].value[i], t[0].value[i], 1e-4) << i;
  // The reflections give the sweep's values, every one approximate.
  for (size_t j = 0, i = 0; j < t[4].size(); ++j) {
    while (i < t[0].size() && t[0].x[i] < t[4].x[j] - 1e-9) ++i;
    ASSERT_LT(i, t[0].size());
    EXPECT_EQ(t[4].markAt(j), chart::Mark::Approximate) << j;
    EXPECT_NEAR(t[4].value[j], t[0].value[i], 1e-5 * (1 + std::fabs(t[0].value[i]))) << j;
  }
  // The complex difference of the sweep and its chart, and of the sweep and
  // its CSV: the same load, 0 within every interval; a difference holds no
  // reflections and is refused.
  auto* items = list->findChild<QListWidget*>("storedTraceList");
  for (int other : {1, 3, 2}) {
    items->clearSelection();
    items->item(0)->setSelected(true);
    items->item(other)->setSelected(true);
    const size_t before = list->traces().size();
    click("traceComplexDifferenceButton");
    if (other == 2) {
      EXPECT_EQ(list->traces().size(), before);
      EXPECT_NE(prompter.messages().back().find("holds no reflections"), std::string::npos);
      continue;
    }
    const chart::StoredTrace& r = list->traces().back();
    ASSERT_EQ(r.quantity, chart::kReflectionDistance);
    ASSERT_EQ(r.size(), t[0].size());
    for (size_t i = 0; i < r.size(); ++i)
      EXPECT_TRUE(r.markAt(i) == chart::Mark::Invalid || r.low[i] == 0) << other << " " << i;
  }
}

// A session saved and opened into a fresh window: the boxes, averaging, cable,
// markers, stored traces and mask as they were (saved again, the same file).
TEST_F(AnalyzerUi, SessionSavedAndOpenedInAFreshWindow) {
  useSimulator("r=20");
  open();
  box("pointsEdit")->setText("50");
  sweepOnce();
  auto* list = window->findChild<chart::ui::TraceList*>("traceList");
  list->storeCurrent();
  ASSERT_TRUE(common::writeFileAtomic("m.mask", "kolm-mask 1\nquantity swr\nupper 3 30 2\n"));
  ASSERT_TRUE(list->setMask("m.mask"));
  std::string why;
  window->setCable(parseCable("RG58:10", &why));
  // The list docked beside the chart, hidden the first time; shown, it is
  // shown again in the next window.
  ASSERT_FALSE(find<QAction>("storedTracesAction")->isChecked());
  find<QAction>("storedTracesAction")->trigger();
  window->chart()->addMarker(7.05);
  box("averageEdit")->setText("2");
  box("startEdit")->setText("3.5");
  prompter.inputs = {std::string("dipole")};
  command("saveSessionAction", "a.kolms");
  const auto saved = common::readTextFile("a.kolms");
  ASSERT_TRUE(saved);
  const std::vector<chart::StoredTrace> traces = list->traces();
  closeWindow();

  open();
  list = window->findChild<chart::ui::TraceList*>("traceList");
  EXPECT_TRUE(list->isVisible());
  command("openSessionAction", "a.kolms");
  EXPECT_EQ(list->traces(), traces);
  EXPECT_TRUE(list->mask());
  ASSERT_TRUE(window->cable());
  EXPECT_EQ(cableSpec(*window->cable()), "RG58:10");
  ASSERT_EQ(window->chart()->markers().markers().size(), 1u);
  EXPECT_EQ(box("startEdit")->text(), "3.5");
  EXPECT_EQ(box("averageEdit")->text(), "2");
  prompter.inputs = {std::string("dipole")};
  command("saveSessionAction", "b.kolms");
  EXPECT_EQ(common::readTextFile("b.kolms"), saved);

  // Saved without a calibration, opened where one is in use: opened, and said.
  BridgeCalibration cal;
  cal.measured = "2026-12-09 03:00 UTC";
  cal.setup = instrumentSetup(instrument);
  cal.startMHz = 1, cal.stopMHz = 60, cal.points = 2;
  cal.terms.assign(3, ErrorTerms{});
  ASSERT_TRUE(
      common::writeFileAtomic(context.settings.file(kCalibrationFile), formatCalibration(cal)));
  closeWindow();
  open();
  command("openSessionAction", "a.kolms");
  EXPECT_EQ(window->findChild<chart::ui::TraceList*>("traceList")->traces(), traces);
  EXPECT_NE(prompter.messages().back().find("saved without a calibration"), std::string::npos)
      << prompter.messages().back();
}

// The hold takes each shown quantity of every pass, the strip chart the
// selected one at the active marker.
TEST_F(AnalyzerUi, HoldAndStripChartFollowThePasses) {
  useSimulator("r=20");
  open();
  box("pointsEdit")->setText("50");
  find<QAction>("holdAction")->trigger();
  window->chart()->addMarker(10);
  find<QAction>("stripChartAction")->trigger();
  for (int k = 0; k < 2; ++k) {
    sweepOnce();
  }
  auto* list = window->findChild<chart::ui::TraceList*>("traceList");
  for (int q = 0; q < kQuantities; ++q) {
    const chart::TraceHold* hold = list->hold(std::string(quantityName(q)));
    ASSERT_EQ(hold != nullptr, window->selection().shownTraces[q]) << q;
    EXPECT_EQ(hold ? hold->passes() : 2, 2) << q;
  }
  EXPECT_EQ(window->findChild<chart::ui::StripChart*>("stripChart")->strip().size(), 2u);
}
