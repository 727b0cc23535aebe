// Stored traces in the analyzer (what both windows share: SweptWindows): a
// sweep's reflections read back from its .vna chart, CSV and .s1p exports,
// each trace on its quantity's scale, the complex difference of two; the hold
// takes every quantity shown.
#include <gtest/gtest.h>

#include <cmath>

#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>

#include "analyzer/files.h"
#include "analyzer/quantity_trace.h"
#include "analyzer/ui/analyzer_fixture.h"
#include "analyzer/ui/analyzer_view.h"
#include "chart/ui/trace_list.h"
#include "common/files.h"

using namespace kolm;
using namespace kolm::analyzer;
using test::AnalyzerUi;

TEST_F(AnalyzerUi, StoredReflectionsFromASweepAndItsFiles) {
  useSimulator("r=20");
  open();
  get<QAction>("holdAction")->trigger();
  auto* list = window->findChild<chart::ui::TraceList*>("traceList");
  auto click = [&](const char* name) { list->findChild<QPushButton*>(name)->click(); };
  box("pointsEdit")->setText("50");
  ASSERT_TRUE(sweep());
  click("storeTraceButton");
  ASSERT_EQ(list->traces().size(), 1u);
  for (int q = 0; q < kQuantities; ++q) {
    const chart::TraceHold* hold = list->hold(std::string(quantityName(q)));
    ASSERT_EQ(hold != nullptr, window->selection().shownTraces[q]) << q;
    EXPECT_EQ(hold ? hold->passes() : 1, 1) << q;
  }
  ASSERT_TRUE(common::writeFileAtomic("a.vna", formatVna(window->measurement().savedChart())));
  emit window->chart()->filesDropped({QFileInfo("a.vna").absoluteFilePath()});
  list->findChild<QListWidget*>("storedTraceList")->selectAll();
  click("traceDifferenceButton");
  ASSERT_EQ(list->traces().size(), 3u);
  // Each drawn over the live traces on its quantity's own scale.
  for (const auto& t : window->chart()->memoryTraces()) EXPECT_TRUE(t.vertical.has_value());

  // Its CSV (the same values: SweptWindows) and .s1p exports too (the
  // reflections approximate).
  withFile("exportCsv", "a.csv");
  withFile("exportS1p", "a.s1p");
  for (const char* file : {"a.csv", "a.s1p"})
    emit window->chart()->filesDropped({QFileInfo(file).absoluteFilePath()});
  const auto& t = list->traces();
  ASSERT_EQ(t.size(), 5u);
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
