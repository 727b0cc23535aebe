// The typical board's limits on the analyzer's charts and readouts: a matched
// load at the bridge's range, an open right after it drawn as an open.
#include <gtest/gtest.h>

#include <QToolButton>
#include <cmath>

#include "analyzer/ui/analyzer_fixture.h"
#include "analyzer/validity.h"

using namespace kolm;
using namespace kolm::analyzer;
using test::AnalyzerUi;

TEST_F(AnalyzerUi, MatchedThenOpenOnTheTypicalBoard) {
  useSimulator("r=50", "typical");
  open();
  for (int q = 1; q < kQuantities; ++q) window->selectQuantity(q);  // all six traces
  box("pointsEdit")->setText("300");
  QTest::mouseClick(find<QToolButton>("singleSweepButton"), Qt::LeftButton);
  waitIdle();
  const auto& matched = window->chart()->traces();
  ASSERT_EQ(matched.size(), 6u);
  ASSERT_EQ(matched[kReturnLoss].marks.size(), 301u);
  for (chart::Mark m : matched[kReturnLoss].marks) EXPECT_EQ(m, chart::Mark::AtLeast);
  window->chart()->setCursorAt(16.5, 0);
  EXPECT_TRUE(box("quantityReadout0")->text().startsWith("≥ 30.0"))
      << box("quantityReadout0")->text().toStdString();
  EXPECT_TRUE(box("quantityReadout5")->text().startsWith("≤ 1.1"))
      << box("quantityReadout5")->text().toStdString();

  // An open after the matched pass: never the previous point's values.
  useSimulator("open", "typical");
  QTest::mouseClick(find<QToolButton>("singleSweepButton"), Qt::LeftButton);
  waitIdle();
  const auto& open = window->chart()->traces();
  int opens = 0;
  for (size_t i = 0; i < open[kResistance].y.size(); ++i) {
    const chart::Mark m = open[kResistance].marks.at(i);
    ASSERT_TRUE(m == chart::Mark::Open || m == chart::Mark::Invalid) << i;
    opens += m == chart::Mark::Open;
    EXPECT_NEAR(open[kReturnLoss].y[i], 0, 0.2);  // measured, not 30 dB
  }
  EXPECT_GT(opens, 250);
  for (double f = 3; f < 30; f += 0.9) {
    window->chart()->setCursorAt(f, 0);
    if (box("quantityReadout3")->text() == "open") break;
  }
  EXPECT_EQ(box("quantityReadout3")->text(), "open");
}
