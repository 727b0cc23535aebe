// What a chart draws over its traces: the validity marks and their words, the
// markers and what they read, the labels of a quantity on another's chart, the
// room labels leave, and the uncertainty bands.
#include "chart/markers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <tuple>

#include "chart/band.h"
#include "chart/chart.h"
#include "chart/grid.h"
#include "chart/label_room.h"
#include "chart/marks.h"
#include "common/text.h"
#include "support/golden.h"

using namespace kolm::chart;

TEST(Marks, RunsTakeTheSegmentsIntoAndOutOfFlaggedPoints) {
  using M = Mark;
  auto cut = [](const std::vector<M>& marks, size_t count) {
    std::vector<MarkRun> out;
    markRuns(marks.data(), marks.size(), count, out);
    return out;
  };
  EXPECT_EQ(cut({}, 4), (std::vector<MarkRun>{{0, 3, false}}));
  EXPECT_EQ(cut({M::Valid, M::Open, M::Open, M::Valid, M::Valid}, 5),
            (std::vector<MarkRun>{{0, 0, false}, {0, 3, true}, {3, 4, false}}));
  EXPECT_EQ(cut({M::AtMost, M::Valid, M::Invalid}, 3),
            (std::vector<MarkRun>{{0, 1, true}, {1, 1, false}, {1, 2, true}}));
  EXPECT_TRUE(cut({}, 0).empty());
  EXPECT_EQ(markedText(30, M::AtLeast), "≥ 30.0");
  EXPECT_EQ(markedText(1.0653, M::AtMost, "0.00"), "≤ 1.07");
  EXPECT_EQ(markedText(2.64, M::Approximate), "≈ 2.6");
  EXPECT_EQ(markedText(INFINITY, M::Open), "open");
  EXPECT_EQ(markedText(NAN, M::Invalid), "invalid");
}

namespace {

using Kind = Reading::Kind;
using kolm::test::goldenNumbers;

// Marks written one letter a point (v valid, m at most, o open, i invalid), "-"
// for none.
std::vector<Mark> marksOf(const std::string& letters) {
  static const std::map<char, Mark> kLetters{
      {'v', Mark::Valid}, {'m', Mark::AtMost}, {'o', Mark::Open}, {'i', Mark::Invalid}};
  std::vector<Mark> out;
  for (char c : letters == "-" ? std::string() : letters) out.push_back(kLetters.at(c));
  return out;
}

std::vector<float> levelsOf(const std::string& field) {
  const std::vector<double> d = goldenNumbers(field);
  return {d.begin(), d.end()};
}

}  // namespace

TEST(MarkerReading, InterpolatesBetweenPlainPointsAndNeverThroughFlaggedOnes) {
  for (const auto& c : kolm::test::goldenRows("marker_readings.tsv", 5)) {
    // "10 to 14": evenly over the points; otherwise each point's frequency.
    std::string frequencies = c[0];
    const size_t to = frequencies.find(" to ");
    if (to != std::string::npos) frequencies.replace(to, 4, " ");
    const std::vector<double> f = goldenNumbers(frequencies);
    const std::vector<float> y = levelsOf(c[1]);
    const std::vector<Mark> marks = marksOf(c[2]);
    const bool even = to != std::string::npos;
    const TraceSamples t{y.data(), y.size(), even ? nullptr : f.data(), even ? f[0] : 0,
                         even ? f[1] : 0};
    const Reading r = readingAt(t, marks.data(), marks.size(), kolm::test::goldenNumber(c[3]));
    EXPECT_EQ(readingText(r, "dB", "0.000000", defaultMarkWords()), c[4]) << c[0] << " at " << c[3];
  }
}

TEST(MarkerExtremes, SkipFlaggedPointsAndKeepToTheRange) {
  for (const auto& c : kolm::test::goldenRows("marker_extremes.tsv", 6)) {
    const std::vector<float> y = levelsOf(c[0]);
    const std::vector<Mark> marks = marksOf(c[1]);
    const std::vector<double> range = goldenNumbers(c[3]);
    const TraceSamples t{y.data(), y.size(), nullptr, 10, 14};
    const auto run = extremeIndex(t, marks.data(), marks.size(),
                                  c[2] == "max" ? Extreme::Maximum : Extreme::Minimum, range[0],
                                  range[1], c[4] == "yes");
    EXPECT_EQ(run ? std::to_string(runCentre(t, *run)) : "none",
              c[5] == "none" ? c[5] : std::to_string(kolm::test::goldenNumber(c[5])))
        << c[0] << " " << c[2] << " " << c[3];
  }
}

TEST(MarkerText, NumbersWithUnitsFlagsInWords) {
  const MarkWords& w = defaultMarkWords();
  EXPECT_EQ(readingText({Kind::Value, -12.34, Mark::Valid}, "dBm", "0.0", w), "-12.3 dBm");
  EXPECT_EQ(readingText({Kind::Value, 1.234, Mark::Valid}, "", "0.00", w), "1.23");
  EXPECT_EQ(readingText({Kind::Flagged, 0, Mark::AtLeast}, "dB", "0.0", w), "at least");
  EXPECT_EQ(deltaText({Kind::Value, -20, Mark::Valid}, {Kind::Value, -4, Mark::Valid}, "dB", "0.0"),
            "16.0 dB");
  EXPECT_EQ(
      deltaText({Kind::Value, -20, Mark::Valid}, {Kind::Flagged, 0, Mark::AtMost}, "dB", "0.0"),
      "not measurable");
}

TEST(MarkerSetTest, NumbersActiveMarkerAndDelta) {
  MarkerSet s;
  EXPECT_TRUE(s.add(5.0));
  EXPECT_FALSE(s.delta());
  EXPECT_TRUE(s.add(6.0));
  EXPECT_EQ(s.delta(), (std::pair{1, 2}));  // started by the second marker
  for (double x : {7.0, 8.0}) EXPECT_TRUE(s.add(x));
  EXPECT_FALSE(s.add(9));  // four at most
  EXPECT_FALSE(MarkerSet().add(std::nan("")));
  EXPECT_EQ(s.delta(), (std::pair{1, 2}));
  EXPECT_EQ(s.active(), 4);
  EXPECT_TRUE(s.remove(2));
  EXPECT_FALSE(s.delta());   // its marker went
  EXPECT_EQ(s.add(9.5), 2);  // the lowest free number, kept in order
  EXPECT_EQ(s.markers()[1].x, 9.5);
  EXPECT_TRUE(s.move(3, 7.25));
  EXPECT_EQ(s.active(), 3);
  EXPECT_EQ(s.nearest(7.3, 0.1), 3);
  EXPECT_FALSE(s.nearest(7.5, 0.1));
  s.setDelta(std::pair{3, 3});  // a marker against itself is refused
  EXPECT_FALSE(s.delta());
  s.setDelta(std::pair{4, 1});
  EXPECT_EQ(s.delta(), (std::pair{4, 1}));
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
        const double value = kolm::common::numericValue(labels[i].label);
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

// What is drawn over a chart finds room beside the labels, or stays where it
// was asked for when there is none within reach.
TEST(LabelRoom, BoxesMoveClearAndLinesBreakAcrossLabels) {
  const std::vector<Box> labels{{0, 90, 30, 12}, {0, 70, 30, 12}, {200, 95, 40, 12}};
  struct Case {
    Box asked;
    double dx, dy;
    int steps;
    Box expected;
  } cases[] = {
      {{100, 90, 10, 12}, 0, -14, 8, {100, 90, 10, 12}},   // already clear
      {{10, 90, 10, 12}, 0, -14, 8, {10, 48, 10, 12}},     // up past two labels
      {{10, 90, 10, 12}, 4, 0, 20, {30, 90, 10, 12}},      // right, touching is clear
      {{10, 90, 10, 12}, 0, -14, 1, {10, 90, 10, 12}},     // no room within reach
      {{205, 100, 10, 12}, 0, -14, 8, {205, 72, 10, 12}},  // off the x unit
  };
  for (const Case& c : cases)
    EXPECT_EQ(clearOf(c.asked, labels, c.dx, c.dy, c.steps), c.expected)
        << c.asked.left << "," << c.asked.top;
  using Stretches = std::vector<std::pair<double, double>>;
  EXPECT_EQ(openStretches(10, 0, 120, labels), (Stretches{{0, 70}, {82, 90}, {102, 120}}));
  EXPECT_EQ(openStretches(35, 0, 120, labels), (Stretches{{0, 120}}));
  EXPECT_EQ(openStretches(220, 0, 100, labels), (Stretches{{0, 95}}));
  EXPECT_EQ(openStretches(10, 70, 120, labels), (Stretches{{82, 90}, {102, 120}}));  // none empty
}

// A band worked out at a few samples and spread onto a dense trace holds, at
// every point, the edges it stands for wherever they run monotonically
// between the samples, and the trace itself; its outline runs along the low
// edge and back along the high one, leaving out what cannot be drawn.
TEST(Band, SparseSamplesSpreadOntoEveryPointHoldTheEdgesAndTheTrace) {
  auto lo = [](double x) { return x * x - 1 + 0.1 * x; };
  auto hi = [](double x) { return x * x + 0.5 + 0.2 * x; };
  for (const int samples : {1, 2, 7, 40}) {
    std::vector<double> sx, sl, sh, x;
    std::vector<float> y;
    for (int j = 0; j < samples; ++j) {
      sx.push_back(samples > 1 ? 2.0 * j / (samples - 1) : 1.0);
      sl.push_back(lo(sx.back()));
      sh.push_back(hi(sx.back()));
    }
    for (int i = 0; i <= 1000; ++i) {
      x.push_back(2.0 * i / 1000);
      y.push_back(static_cast<float>(x.back() * x.back()));
    }
    const BandEdges band = bandAtPoints(sx, sl, sh, x, y);
    ASSERT_EQ(band.low.size(), x.size());
    for (size_t i = 0; i < x.size(); ++i) {
      SCOPED_TRACE(testing::Message() << samples << " samples, x " << x[i]);
      EXPECT_LE(band.low[i], y[i]);
      EXPECT_GE(band.high[i], y[i]);
      if (samples > 1) {  // one sample says nothing of the edges elsewhere
        EXPECT_LE(band.low[i], lo(x[i]));
        EXPECT_GE(band.high[i], hi(x[i]));
      }
    }
  }
  const PixelMap map(powerMeterScale(0, 10, 0, -10), 101, 101);
  const std::vector<float> low = {-8, -8, NAN, -8}, high = {-2, -2, -2, -2};
  std::vector<PixelPoint> outline;
  bandOutline({low.data(), 4, nullptr, 0, 10}, {high.data(), 4, nullptr, 0, 10}, map, outline);
  ASSERT_EQ(outline.size(), 7u);  // the NaN point left out of the low edge
  EXPECT_FLOAT_EQ(outline.front().y, 80);
  EXPECT_FLOAT_EQ(outline.back().y, 20);
  EXPECT_FLOAT_EQ(outline.back().x, 0);
  bandOutline({low.data(), 0, nullptr, 0, 10}, {high.data(), 4, nullptr, 0, 10}, map, outline);
  EXPECT_TRUE(outline.empty());
}

// A dense band filled column by column covers every row any point's interval
// covers, and no row beyond the points of its column and the two beside it.
TEST(Band, ColumnsHoldEveryPointsIntervalAndNoMore) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(0, 1);
  for (int round = 0; round < 60; ++round) {
    const int w = 20 + static_cast<int>(u(rng) * 300), h = 10 + round * 7;
    const PixelMap map(round % 2 ? ChartScale{0, 10, 10, -20} : ChartScale{0, -10, 10, 20}, w, h);
    const size_t n = static_cast<size_t>(w) * (3 + round % 5);
    std::vector<float> lo(n), hi(n);
    std::vector<double> x(n), top(static_cast<size_t>(w) + 2, 1e9), bottom(top.size(), -1e9);
    for (size_t i = 0; i < n; ++i) {
      x[i] = 10.0 * static_cast<double>(i) / static_cast<double>(n - 1);
      const double centre = -6 * std::sin(x[i] * round), half = 2 * u(rng);
      lo[i] = static_cast<float>(centre - half - u(rng)), hi[i] = static_cast<float>(centre + half);
      const auto c = static_cast<size_t>(std::floor(map.x(x[i]))) + 1;
      top[c] = std::min({top[c], map.y(lo[i]), map.y(hi[i])});
      bottom[c] = std::max({bottom[c], map.y(lo[i]), map.y(hi[i])});
    }
    std::vector<ColumnRun> runs;
    ColumnScratch scratch;
    bandColumns({lo.data(), n, x.data()}, {hi.data(), n, x.data()}, map, runs, scratch);
    ASSERT_EQ(runs.size(), static_cast<size_t>(w)) << round;
    for (const ColumnRun& r : runs) {
      const auto c = static_cast<size_t>(r.x) + 1;
      EXPECT_EQ(std::tuple(std::floor(top[c] + 0.5) >= r.top, std::floor(bottom[c]) <= r.bottom,
                           r.top >= std::min({top[c - 1], top[c], top[c + 1]}) - 1,
                           r.bottom <= std::max({bottom[c - 1], bottom[c], bottom[c + 1]}) + 1),
                std::tuple(true, true, true, true))
          << "round " << round << ", column " << r.x;
    }
  }
}
