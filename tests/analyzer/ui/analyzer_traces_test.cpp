// Stored traces in the analyzer: the selected quantity kept, a .vna chart
// dropped on the chart, each drawn on its quantity's scale, their difference.
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include "analyzer/files.h"
#include "analyzer/quantity_trace.h"
#include "analyzer/ui/analyzer_fixture.h"
#include "analyzer/ui/analyzer_view.h"
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
  QTest::mouseClick(find<QToolButton>("singleSweepButton"), Qt::LeftButton);
  waitIdle();
  click("storeTraceButton");
  ASSERT_EQ(list->traces().size(), 1u);
  const std::string quantity(quantityName(window->selection().selectedQuantity));
  EXPECT_EQ(list->traces()[0].quantity, quantity);

  // The same sweep as a chart file dropped on the chart: the same values.
  ASSERT_TRUE(common::writeFileAtomic("a.vna", formatVna(window->measurement().savedChart())));
  emit window->chart()->filesDropped({QFileInfo("a.vna").absoluteFilePath()});
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
}
