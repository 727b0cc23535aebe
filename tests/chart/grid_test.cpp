#include "chart/grid.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kolm::chart;

namespace {
std::vector<double> values(const std::vector<GridLine>& lines) {
  std::vector<double> v;
  for (const auto& l : lines) v.push_back(l.value);
  std::sort(v.begin(), v.end());
  return v;
}
std::vector<std::string> labels(std::vector<GridLine> lines) {
  std::sort(lines.begin(), lines.end(),
            [](const GridLine& a, const GridLine& b) { return a.value > b.value; });
  std::vector<std::string> v;
  for (const auto& l : lines) v.push_back(l.label);
  return v;
}
void expectNear(const std::vector<double>& got, const std::vector<double>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << i;
}
}  // namespace

TEST(LevelStep, OneTwoFiveByRange) {
  EXPECT_EQ(levelStep(0, -60), 10);  // 60 is not below 60
  EXPECT_EQ(levelStep(0, -30), 5);   // each bound belongs to the coarser step
  EXPECT_EQ(levelStep(0, -15), 2);
  EXPECT_EQ(levelStep(-10, -20), 1);
  EXPECT_EQ(levelStep(0, -5), 1);
  EXPECT_EQ(levelStep(0, -4), 0.5);
  // Top below bottom: the step turns negative.
  EXPECT_EQ(levelStep(-80, 20), -10);
  EXPECT_EQ(levelStep(-5, 45.05f), -5);
}

TEST(FrequencyStep, OneTwoFiveNearAnEighthOfTheSpan) {
  EXPECT_DOUBLE_EQ(powerMeterFrequencyStep(14.0f, 14.35f), 0.02);
  EXPECT_DOUBLE_EQ(powerMeterFrequencyStep(0, 1000), 100);
  EXPECT_DOUBLE_EQ(powerMeterFrequencyStep(7, 7.1f), 0.01);
  // The mantissa's boundaries: 2.0 -> 1, 2.1 -> 2, 4.6 -> 2, 4.7 -> 5.
  EXPECT_DOUBLE_EQ(powerMeterFrequencyStep(0, 16), 1);
  EXPECT_DOUBLE_EQ(powerMeterFrequencyStep(0, 16.8f), 2);
  EXPECT_DOUBLE_EQ(powerMeterFrequencyStep(0, 36.8f), 2);
  EXPECT_DOUBLE_EQ(powerMeterFrequencyStep(0, 37.6f), 5);
  // Empty and mirrored spans: no step.
  EXPECT_EQ(powerMeterFrequencyStep(5, 5), 0);
  EXPECT_EQ(powerMeterFrequencyStep(10, 5), 0);
  EXPECT_EQ(analyzerFrequencyStep(10, 5), 0);
  EXPECT_DOUBLE_EQ(analyzerFrequencyStep(3, 30), 2);
}

TEST(FrequencyStep, SingleAndDoublePrecisionEighthsCanDiffer) {
  // 0.1875 / 8 = 0.0234375: "2.34E-02" -> 0.02.
  EXPECT_DOUBLE_EQ(analyzerFrequencyStep(0, 0.1875), 0.02);
  EXPECT_DOUBLE_EQ(deltaFromScientific("2.10E-02"), 0.02);
  EXPECT_DOUBLE_EQ(deltaFromScientific("2.00E-02"), 0.01);
  EXPECT_DOUBLE_EQ(deltaFromScientific("9.99E+05"), 500000);
  // A span whose eighth rounds differently in single and double precision:
  // 14.35f - 14.0f is 0.350000381 in single, 0.35 in double: both 0.02.
  EXPECT_DOUBLE_EQ(analyzerFrequencyStep(14.0, 14.35), 0.02);
}

TEST(FirstLine, ZeroesTrailingDigitsOfTheStop) {
  EXPECT_DOUBLE_EQ(powerMeterFirstLine(14.0f, 14.35f), 14);
  EXPECT_DOUBLE_EQ(powerMeterFirstLine(1, 30), 30);
  EXPECT_DOUBLE_EQ(powerMeterFirstLine(14.1f, 14.35f), 14.3);
  EXPECT_DOUBLE_EQ(powerMeterFirstLine(0.5f, 0.75f), 0.7);
  // A mirrored span: the stop itself.
  EXPECT_DOUBLE_EQ(powerMeterFirstLine(20, 10), 10);
  // The analyzer reads the stop's shortest double form.
  EXPECT_DOUBLE_EQ(analyzerFirstLine(14.0, 14.35), 14);
  EXPECT_DOUBLE_EQ(analyzerFirstLine(7.0001, 7.0123456789), 7.01);
}

TEST(PowerMeterGrid, ThreeToThirtyMHz) {
  GridSpec g = powerMeterGrid(3, 30, 20, -80);
  EXPECT_DOUBLE_EQ(g.frequencyStep, 2);
  EXPECT_DOUBLE_EQ(g.firstLine, 30);
  expectNear(values(g.vertical), {4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30});
  // Labels at the top edge, right of the line, "#.### ###".
  for (const auto& l : g.vertical) {
    EXPECT_DOUBLE_EQ(l.labelX, l.value);
    EXPECT_DOUBLE_EQ(l.labelY, 20);
  }
  EXPECT_EQ(labels(g.vertical).front(), "30");
  EXPECT_EQ(labels(g.vertical).back(), "4");
  // Levels: 10 down to -80; the +20 edge gets none.
  EXPECT_EQ(labels(g.horizontal), (std::vector<std::string>{" 10", " 0", "-10", "-20", "-30", "-40",
                                                            "-50", "-60", "-70", "-80"}));
  for (const auto& l : g.horizontal) {
    EXPECT_DOUBLE_EQ(l.labelX, 3);
    EXPECT_DOUBLE_EQ(l.labelY, l.value + 2);  // a fifth of a step above
  }
}

TEST(PowerMeterGrid, FourteenToFourteenPointThreeFive) {
  GridSpec g = powerMeterGrid(14.0f, 14.35f, 0, -50);
  ASSERT_EQ(g.vertical.size(), 18u);  // 14 to 14.34 in 0.02
  auto l = labels(g.vertical);
  EXPECT_EQ(l.front(), "14.34");
  EXPECT_EQ(l.back(), "14");
  // Level range 0 to -50 in 5 dB: 0 is the top edge (excluded from the top run,
  // drawn by the bottom run), -50 the bottom edge, included.
  std::vector<double> levels;
  for (int y = -50; y <= 0; y += 5) levels.push_back(y);
  expectNear(values(g.horizontal), levels);
}

TEST(PowerMeterGrid, KiloAndHertzLabels) {
  GridSpec g = powerMeterGrid(7.0f, 7.01f, 0, -10);
  // Step 0.001 MHz: 1 kHz lines labelled to the kHz.
  EXPECT_DOUBLE_EQ(g.frequencyStep, 0.001);
  auto l = labels(g.vertical);
  EXPECT_EQ(l.front(), "7.01");
  EXPECT_EQ(l[1], "7.009");
  GridSpec fine = powerMeterGrid(14.0255f, 14.0256f, 0, -10);
  // 100 Hz span: 10 Hz steps, the Hz group after a blank.
  EXPECT_DOUBLE_EQ(fine.frequencyStep, 1e-5);
  bool sawHz = false;
  for (const auto& line : fine.vertical) {
    EXPECT_EQ(line.label.substr(0, 7), "14.025 ") << line.label;
    sawHz = sawHz || line.label == "14.025 55";
  }
  EXPECT_TRUE(sawHz);
}

TEST(PowerMeterGrid, RangesAwayFromZeroAndInverted) {
  // -10 to -20 in 1 dB: every visible line, -20 to -10, is there.
  const auto v = values(powerMeterGrid(3, 30, -10, -20).horizontal);
  for (int y = -20; y <= -10; ++y)
    EXPECT_TRUE(std::ranges::any_of(v, [&](double x) { return std::abs(x - y) < 1e-9; })) << y;
  // Inverted range (top below bottom): the step is negative, lines still there.
  GridSpec inv = powerMeterGrid(3, 30, -80, 20);
  auto vi = values(inv.horizontal);
  EXPECT_EQ(vi.front(), -70);  // the -80 edge is the top: excluded
  EXPECT_EQ(vi.back(), 20);
  for (const auto& l : inv.horizontal) EXPECT_DOUBLE_EQ(l.labelY, l.value - 2);
  // An absurd range stays bounded.
  GridSpec huge = powerMeterGrid(3, 30, 1e9f, -1e9f);
  EXPECT_LE(huge.horizontal.size(), 4000u);
}

TEST(PowerMeterGrid, MirroredOrEmptySpanDrawsNoVerticalLinesAndEnds) {
  EXPECT_TRUE(powerMeterGrid(30, 3, 20, -80).vertical.empty());
  EXPECT_TRUE(powerMeterGrid(5, 5, 20, -80).vertical.empty());
  EXPECT_TRUE(frequencyLines(0, 10, 0, 0, 5).empty());
}

TEST(AnalyzerGrid, ElevenLinesPerQuantity) {
  auto rl = analyzerQuantityScale(0).value();
  GridSpec g = analyzerGrid(rl, 3, 30);
  ASSERT_EQ(g.horizontal.size(), 11u);
  EXPECT_EQ(g.horizontal.front().value, -5);
  EXPECT_EQ(g.horizontal.front().label, "-5");
  EXPECT_EQ(g.horizontal[1].label, "0");
  EXPECT_EQ(g.horizontal.back().value, 45);
  EXPECT_DOUBLE_EQ(g.horizontal.front().labelY, -6);  // step -5: a fifth is -1
  EXPECT_DOUBLE_EQ(g.frequencyStep, 2);
  EXPECT_DOUBLE_EQ(g.firstLine, 30);
  for (const auto& l : g.vertical) EXPECT_DOUBLE_EQ(l.labelY, -5);

  auto ph = analyzerGrid(analyzerQuantityScale(1).value(), 3, 30);
  EXPECT_EQ(ph.horizontal.front().label, "180");
}

// A quantity drawn on a combined chart reads its own grid (the labels it has
// when charted alone) at the heights its values have on the chart.
TEST(OwnScaleLabels, EveryQuantityOnEveryOtherQuantitysChart) {
  for (int shown = 0; shown < kQuantityCount; ++shown)
    for (int q = 0; q < kQuantityCount; ++q) {
      SCOPED_TRACE(testing::Message() << "quantity " << q << " on chart " << shown);
      const QuantityScale own = *analyzerQuantityScale(q);
      const ChartScale chart = analyzerScale(*analyzerQuantityScale(shown), 1, 30);
      const VerticalScale v{own.top, own.bottom, -own.step};
      const auto labels = ownScaleLabels(v, chart);
      const GridSpec alone = analyzerGrid(own, 1, 30);
      ASSERT_EQ(labels.size(), alone.horizontal.size());
      for (size_t i = 0; i < labels.size(); ++i) {
        EXPECT_EQ(labels[i].label, alone.horizontal[i].label);
        const double value = std::stod(labels[i].label);
        EXPECT_NEAR((labels[i].value - chart.top) / chart.height,
                    (value - v.top) / (v.bottom - v.top), 1e-9);
        // The label stands a fifth of a step above its line, as the chart's own do.
        EXPECT_NEAR((labels[i].labelY - labels[i].value) / chart.height,
                    -v.step / 5 / (v.bottom - v.top), 1e-9);
      }
    }
  EXPECT_TRUE(ownScaleLabels({500, 0, 0}, analyzerScale(*analyzerQuantityScale(0), 1, 30)).empty());
  EXPECT_TRUE(
      ownScaleLabels({500, 0, 50}, analyzerScale(*analyzerQuantityScale(0), 1, 30)).empty());
}
