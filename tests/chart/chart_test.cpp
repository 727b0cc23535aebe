#include "chart/chart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <tuple>

#include "chart/grid.h"
#include "common/text.h"
#include "support/golden.h"

using namespace kolm::chart;

TEST(Scale, PowerMeterAndAnalyzerScales) {
  ChartScale s = powerMeterScale(3, 30, 20, -80);
  EXPECT_EQ(s, (ChartScale{3, 20, 27, -100}));
  EXPECT_TRUE(s.valid());
  EXPECT_FALSE(powerMeterScale(5, 5, 20, -80).valid());
  EXPECT_FALSE(powerMeterScale(3, 30, -10, -10).valid());

  // Return loss grows downwards, the others upwards.
  ChartScale rl = analyzerScale(analyzerQuantityScale(0).value(), 1, 30);
  EXPECT_FLOAT_EQ(rl.top, -5);
  EXPECT_FLOAT_EQ(rl.bottom(), 45.05f);
  ChartScale ph = analyzerScale(analyzerQuantityScale(1).value(), 1, 30);
  EXPECT_FLOAT_EQ(ph.top, 180);
  EXPECT_NEAR(ph.bottom(), -0.2, 1e-5);
  const auto r = analyzerQuantityScale(3).value();  // |Z|, R and X alike
  EXPECT_EQ(std::tuple(r.top, r.bottom, r.step), std::tuple(500, -1, 50));
  EXPECT_FLOAT_EQ(analyzerQuantityScale(5)->bottom, 0.99f);
  EXPECT_FALSE(analyzerQuantityScale(6).has_value());
  EXPECT_FALSE(analyzerQuantityScale(-1).has_value());
}

TEST(Readout, CursorTextUnitsAndTheValueUnderTheCursor) {
  EXPECT_EQ(cursorReadout(14.0255, -12.34), "14.025 500 MHz   -12.3 dBm");
  EXPECT_EQ(cursorReadout(0.5, 5.06), "0.500 000 MHz   5.1 dBm");
  EXPECT_EQ(frequencyReadout(29.9999996), "30.000 000");
  EXPECT_EQ(valueReadout(-0.04), "0.0");
  EXPECT_EQ(withUnit("12.3", "dB"), "12.3 dB");
  EXPECT_EQ(withUnit("45.0", "\u00b0"), "45.0\u00b0");
  EXPECT_EQ(withUnit("1.5", ""), "1.5");
  const float levels[] = {-1, -2, -3, -4, -5};  // 10 to 14 MHz
  EXPECT_EQ(valueAt(levels, 5, 10, 14, 10), -1.0f);
  EXPECT_EQ(valueAt(levels, 5, 10, 14, 12.4), -3.0f);
  EXPECT_EQ(valueAt(levels, 5, 10, 14, 14), -5.0f);
  EXPECT_EQ(valueAt(levels, 5, 10, 14, 14.6), std::nullopt);
  EXPECT_EQ(valueAt(levels, 0, 10, 14, 12), std::nullopt);
}

// The index under the pointer: none off the trace, or held on its ends.
TEST(Readout, CursorIndexOnTheTraceOrClampedToIt) {
  using kolm::test::goldenNumber;
  for (const auto& r : kolm::test::goldenRows("cursor_index.tsv", 6)) {
    const double x = r[0] == "nan" ? std::nan("") : goldenNumber(r[0]);
    const double start = goldenNumber(r[1]), stop = goldenNumber(r[2]);
    const int points = std::stoi(r[3]);
    EXPECT_EQ(cursorIndex(x, start, stop, points),
              r[4] == "none" ? std::nullopt : std::optional(std::stoi(r[4])))
        << r[0];
    EXPECT_EQ(clampedCursorIndex(x, start, stop, points), std::stoi(r[5])) << r[0];
  }
}

TEST(RubberBandTest, GrowsRightAndDownWhateverTheDirection) {
  RubberBand band;
  band.drag(5, 5);
  EXPECT_FALSE(band.visible());
  band.press(10, -20);
  band.drag(8, -10);  // left and up
  EXPECT_EQ(band.rect(), (ZoomRect{10, -20, 2, 10}));
  auto r = band.release();
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(*r, (ZoomRect{10, -20, 2, 10}));
  EXPECT_FALSE(band.visible());
  EXPECT_FALSE(band.release().has_value());
}

// The power meter narrows its span only with more than 5 points under the box,
// the analyzer with 10 or more; a box under 1 % of the span does nothing.
TEST(ZoomTest, SpanAndLevelRulesOfBothInstruments) {
  for (const auto& r : kolm::test::goldenRows("zoom.tsv", 7)) {
    SCOPED_TRACE(r[0]);
    const auto v = kolm::test::goldenNumbers(r[1]), b = kolm::test::goldenNumbers(r[2]);
    const auto after = kolm::test::goldenNumbers(r[6]);
    const auto z = Zoom({v[0], v[1], v[2], v[3]}, {b[0], b[1], b[2], b[3]}, v[0], v[1],
                        std::stoi(r[3]), r[4] == "analyzer" ? kAnalyzerZoom : kPowerMeterZoom);
    const std::string changes = !z.accepted      ? "refused"
                                : z.spanChanged  ? (z.levelChanged ? "span level" : "span")
                                : z.levelChanged ? "level"
                                                 : "nothing";
    EXPECT_EQ(changes, r[5]);
    for (int k = 0; k < 4; ++k)
      EXPECT_NEAR((std::array{z.view.start, z.view.stop, z.view.top, z.view.bottom}[k]), after[k],
                  1e-9);
  }
  // Boxes both 7: the sweep ran 7 to 7.1.
  auto z = Zoom({7, 7.1, 0, -50}, {7.02, 0, 0.05, 0}, 7, 7, 100, kPowerMeterZoom);
  EXPECT_TRUE(z.spanChanged);
  EXPECT_NEAR(z.view.stop, 7.07, 1e-9);
}

// What a zoom writes into a box holds the digits the sweep resolves and no
// more, and reads back within half a resolution step of the view's edge.
TEST(ZoomTest, BoxTextsKeepTheResolvedDigits) {
  using kolm::test::goldenNumber;
  for (const auto& c : kolm::test::goldenRows("resolved_texts.tsv", 3)) {
    const double value = goldenNumber(c[0]), resolution = goldenNumber(c[1]);
    const std::string text = resolvedText(value, resolution);
    EXPECT_EQ(text, c[2]) << c[0];
    if (resolution > 0) {
      EXPECT_LE(std::fabs(kolm::common::numericValue(text) - value), resolution / 2);
    }
  }
}

// Equal boxes never leave a view of no width or height: a tenth of a MHz and a
// dB apart, or the least step where that vanishes in single precision.
TEST(ResetTest, FromTheBoxes) {
  EXPECT_EQ(powerMeterReset(3, 30, 20, -80), (View{3, 30, 20, -80}));
  View same = powerMeterReset(7, 7, 10, 10);
  EXPECT_FLOAT_EQ(static_cast<float>(same.stop), 7.1f);
  EXPECT_EQ(same.bottom, 9);
  same = powerMeterReset(3e9, 3e9, 3e9, 3e9);
  EXPECT_TRUE(same.stop > same.start && same.bottom < same.top);
  // Start above stop stays mirrored.
  EXPECT_EQ(powerMeterReset(30, 3, 20, -80).start, 30);
  EXPECT_EQ(analyzerReset({5, 6, 500, -1}, 1, 30), (View{1, 30, 500, -1}));
  // The single-precision trace span comes back as the decimals it stands for.
  EXPECT_EQ(analyzerReset({5, 6, 500, -1}, 3.1f, 14.35f).start, 3.1);
  EXPECT_EQ(analyzerReset({5, 6, 500, -1}, 3.1f, 14.35f).stop, 14.35);
}

namespace {
std::vector<PixelPoint> poly(const std::vector<float>& y, double start, double stop, int w, int h,
                             bool decimate, ChartScale s = {0, 10, 10, -20}) {
  std::vector<PixelPoint> out;
  TraceSamples t{y.data(), y.size(), nullptr, start, stop};
  tracePolyline(t, PixelMap(s, w, h), decimate, out);
  return out;
}
}  // namespace

TEST(Polyline, DecimationKeepsExtremesInOrderPerColumn) {
  // 10 user units over 11 pixels: one pixel per unit. Many points per column.
  std::vector<float> y;
  const int n = 1001;
  for (int i = 0; i < n; ++i) y.push_back(static_cast<float>(std::sin(i * 0.37) * 5));
  auto full = poly(y, 0, 10, 11, 21, false);
  auto dec = poly(y, 0, 10, 11, 21, true);
  EXPECT_EQ(full.size(), static_cast<size_t>(n));
  EXPECT_LE(dec.size(), 4u * 12u);
  // Per column the extremes survive.
  for (int c = 0; c < 11; ++c) {
    float lo = 1e9f, hi = -1e9f, dlo = 1e9f, dhi = -1e9f;
    for (const auto& p : full)
      if (static_cast<int>(p.x) == c) lo = std::min(lo, p.y), hi = std::max(hi, p.y);
    for (const auto& p : dec)
      if (static_cast<int>(p.x) == c) dlo = std::min(dlo, p.y), dhi = std::max(dhi, p.y);
    EXPECT_EQ(lo, dlo) << c;
    EXPECT_EQ(hi, dhi) << c;
  }
  // First and last points are kept.
  EXPECT_EQ(dec.front(), full.front());
  EXPECT_EQ(dec.back(), full.back());
}

TEST(Polyline, SkipsNonFiniteAndCollapsesOffScreenRuns) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  auto p = poly({1, nan, 3}, 0, 10, 11, 21, false);
  ASSERT_EQ(p.size(), 2u);
  EXPECT_FLOAT_EQ(p[1].x, 10);
  // A trace wider than the view (zoomed): points left of the area collapse.
  std::vector<float> y(1000, 0.f);
  auto z = poly(y, -100, 100, 11, 21, true);
  EXPECT_LE(z.size(), 4u + 4u * 11u + 4u);
  // Far values are pulled in, not lost.
  auto far = poly({0, 1e30f}, 0, 10, 11, 21, false);
  ASSERT_EQ(far.size(), 2u);
  EXPECT_LT(std::abs(far[1].y), 1.1e5f);
  // A trace of one point is one point.
  EXPECT_EQ(poly({2}, 5, 5, 11, 21, true).size(), 1u);
}

TEST(Polyline, InfiniteValuesSitOnTheEdgeTheyRunTo) {
  // Values grow upwards (top 10, bottom 0): +inf on the top row, -inf on the bottom.
  const PixelMap up(ChartScale{0, 10, 10, -10}, 11, 21);
  std::vector<float> y{5, INFINITY, -INFINITY};
  std::vector<PixelPoint> out;
  tracePolyline({y.data(), 3, nullptr, 0, 10}, up, false, out);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[1], (PixelPoint{5, 2}));  // two rows inside, clear of the frame
  EXPECT_EQ(out[2], (PixelPoint{10, 18}));
  // Return loss grows downwards: +inf on the bottom row.
  const PixelMap down(ChartScale{0, -5, 10, 50}, 11, 21);
  EXPECT_EQ(down.pinnedY(INFINITY), 18);
  EXPECT_EQ(down.pinnedY(-INFINITY), 2);
  std::vector<ColumnRun> columns;
  traceColumnRuns({y.data(), 3, nullptr, 0, 10}, up, columns);
  ASSERT_FALSE(columns.empty());
  EXPECT_EQ(columns[5].top, 2);  // the line reaches the pinned row at the open point
}

namespace {
// A map on which user units are pixels: 30 x 30.
const PixelMap kPixels(ChartScale{0, 0, 29, 29}, 30, 30);
std::vector<ColumnRun> runs(const std::vector<float>& y, const std::vector<double>& x) {
  std::vector<ColumnRun> out;
  traceColumnRuns({y.data(), y.size(), x.data(), 0, 0}, kPixels, out);
  return out;
}
}  // namespace

TEST(ColumnRunsTest, EachColumnGetsThePartOfTheLineInsideIt) {
  // Up and down across two column edges: the edges are crossed at 15.99 and 16.2.
  EXPECT_EQ(runs({20.3f, 5.2f, 20.6f}, {9.8, 10.5, 11.2}),
            (std::vector<ColumnRun>{{9, 16, 20}, {10, 5, 16}, {11, 16, 20}}));
  // A steep line inside one column, ends on their own rows.
  EXPECT_EQ(runs({5.7f, 20.4f}, {10.2, 10.8}), (std::vector<ColumnRun>{{10, 5, 20}}));
  // A shallow line over many columns: no column left out.
  auto shallow = runs({2, 8}, {0, 29});
  ASSERT_EQ(shallow.size(), 30u);
  EXPECT_EQ(shallow.front(), (ColumnRun{0, 2, 2}));
  EXPECT_EQ(shallow.back(), (ColumnRun{29, 8, 8}));
}

TEST(ColumnRunsTest, GapsEdgesAndEvenSpacing) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  // The line goes on over a value that cannot be drawn.
  EXPECT_EQ(runs({10, nan, 20}, {5.5, 6.5, 7.5}).size(), 3u);
  // Beyond the area on both sides and below it: clipped, nothing outside.
  auto wide = runs({-100, 15, 500}, {-50, 15, 80});
  for (const auto& r : wide)
    EXPECT_TRUE(r.x >= 0 && r.x < 30 && r.top >= 0 && r.bottom <= 29) << r.x << " " << r.top;
  // Only the columns 6 to 16 see the line inside the area.
  ASSERT_EQ(wide.size(), 11u);
  EXPECT_EQ(wide.front().x, 6);
  EXPECT_EQ(wide.back().x, 16);
  // Evenly spaced points: 2001 over 30 columns, a dense band.
  std::vector<float> y;
  for (int i = 0; i < 2001; ++i) y.push_back(static_cast<float>(10 + (i % 7)));
  std::vector<ColumnRun> even;
  traceColumnRuns({y.data(), y.size(), nullptr, 0, 29}, kPixels, even);
  ASSERT_EQ(even.size(), 30u);
  for (int c = 0; c < 29; ++c)
    EXPECT_EQ((std::pair{even[c].top, even[c].bottom}), (std::pair{10, 16})) << c;
  EXPECT_EQ(even.back(), (ColumnRun{29, 15, 15}));  // the last point alone
  // A scratch that went through a wider area and another trace first.
  ColumnScratch scratch;
  std::vector<ColumnRun> first, again;
  traceColumnRuns({y.data(), y.size(), nullptr, 10, 90},
                  PixelMap(ChartScale{0, 0, 99, 29}, 100, 30), first, scratch);
  ASSERT_EQ(first.size(), 81u);
  traceColumnRuns({y.data(), y.size(), nullptr, 0, 29}, kPixels, again, scratch);
  EXPECT_EQ(again, even);
  EXPECT_TRUE(denseTrace(20001, 905));
  EXPECT_FALSE(denseTrace(1001, 905));
}

// Reading a chart: trace colours against the background, the zoom history and
// the wheel zoom, the value under the cursor.
TEST(Contrast, EveryTraceColourStandsOutFromTheBackground) {
  const Rgb black{0, 0, 0}, buttonFace{239, 239, 239};
  EXPECT_EQ(paletteColour(12), (Rgb{255, 0, 0}));
  EXPECT_EQ(paletteColour(99), black);  // beyond the palette
  EXPECT_NEAR(contrastRatio(black, Rgb{255, 255, 255}), 21, 1e-9);
  EXPECT_NEAR(contrastRatio(paletteColour(9), black), 2.44, 0.01);  // blue on black: too dark
  for (int index = 0; index < 16; ++index) {
    for (const Rgb& bg : {black, buttonFace}) {
      const Rgb c = paletteColour(index);
      const Rgb shown = legibleColour(c, bg);
      EXPECT_GE(contrastRatio(shown, bg), kMinTraceContrast) << index;
      // A palette colour that already meets the rule is kept as it is.
      if (contrastRatio(c, bg) >= kMinTraceContrast) {
        EXPECT_EQ(shown, c) << index;
      }
      // Over the red grid lines a trace keeps its legibility and is never
      // taken for a line; a colour already apart from them is not touched.
      const Rgb red = paletteColour(12), drawn = traceColour(c, red, bg);
      EXPECT_GE(contrastRatio(drawn, bg), kMinTraceContrast) << index;
      EXPECT_GE(colourDistance(drawn, red), kMinLineDistance) << index;
      if (colourDistance(shown, red) >= kMinLineDistance) {
        EXPECT_EQ(drawn, shown) << index;
      }
    }
  }
  // Blue on black becomes a lighter blue, still blue.
  const Rgb blue = legibleColour(paletteColour(9), black);
  EXPECT_EQ(blue.b, 255);
  EXPECT_LT(blue.r, 128);
}

TEST(ZoomHistoryTest, BackForwardAndResetAsANewEntry) {
  const View home{3, 30, 20, -80}, a{10, 20, 20, -80}, b{12, 14, 0, -40};
  ZoomHistory h;
  h.reset(home);
  EXPECT_FALSE(h.canGoBack());
  h.push(a);
  h.push(a);  // the same view adds nothing
  h.push(b);
  EXPECT_EQ(h.size(), 3u);
  EXPECT_EQ(h.back(), a);
  EXPECT_EQ(h.back(), home);
  EXPECT_EQ(h.back(), std::nullopt);
  EXPECT_EQ(h.forward(), a);
  // A new zoom drops what lay ahead.
  h.push(b);
  h.back();
  h.push(View{5, 6, 20, -80});
  EXPECT_FALSE(h.canGoForward());
  EXPECT_EQ(h.size(), 3u);
  // The home view survives a long history.
  for (int i = 0; i < 200; ++i) h.push(View{3, 30.0 - i * 0.1, 20, -80});
  EXPECT_EQ(h.size(), ZoomHistory::kMaxViews);
  EXPECT_EQ(h.home(), home);
  h.reset(b);
  EXPECT_EQ(std::pair(h.size(), h.current()), std::pair(size_t{1}, b));
}

TEST(ZoomHistoryTest, WheelZoomKeepsThePointerFrequencyAndThePointRule) {
  const View v{10, 20, 0, -50};
  // 1000 points over 10 MHz: the power meter needs more than 5 under the view.
  auto in = zoomAbout(v, 12.5, 0.5, 10, 20, 1000, kPowerMeterZoom);
  ASSERT_TRUE(in);
  EXPECT_EQ(std::tuple(in->start, in->stop, in->top), std::tuple(11.25, 16.25, 0));
  auto out = zoomAbout(*in, 12.5, 2, 10, 20, 1000, kPowerMeterZoom);
  ASSERT_TRUE(out);
  EXPECT_EQ(std::pair(out->start, out->stop), std::pair(10.0, 20.0));
  // Narrowed no further than 10 points (analyzer) of 100 over 10 MHz: 1 MHz.
  auto deep = zoomAbout(v, 15, 0.01, 10, 20, 100, kAnalyzerZoom);
  ASSERT_TRUE(deep);
  EXPECT_NEAR(deep->stop - deep->start, 1, 1e-9);
  EXPECT_FALSE(zoomAbout(*deep, 15, 0.5, 10, 20, 100, kAnalyzerZoom));
  EXPECT_FALSE(zoomAbout(View{5, 5, 0, 0}, 5, 0.5, 10, 20, 100, kAnalyzerZoom));
}

TEST(GridRules, StepsAndFirstLines) {
  using Rule = std::function<double(double, double)>;
  const std::map<std::string, Rule> rules = {
      {"levelStep", [](double a, double b) { return levelStep(float(a), float(b)); }},
      {"powerMeterFrequencyStep",
       [](double a, double b) { return powerMeterFrequencyStep(float(a), float(b)); }},
      {"analyzerFrequencyStep", analyzerFrequencyStep},
      {"powerMeterFirstLine",
       [](double a, double b) { return powerMeterFirstLine(float(a), float(b)); }},
      {"analyzerFirstLine", analyzerFirstLine}};
  for (const auto& c : kolm::test::goldenRows("grid_steps.tsv", 4)) {
    const double a = kolm::test::goldenNumber(c[1]), b = kolm::test::goldenNumber(c[2]);
    EXPECT_DOUBLE_EQ(rules.at(c[0])(a, b), kolm::test::goldenNumber(c[3]))
        << c[0] << " " << a << " " << b;
  }
  // The step read back from its scientific form.
  EXPECT_DOUBLE_EQ(deltaFromScientific("2.10E-02"), 0.02);
  EXPECT_DOUBLE_EQ(deltaFromScientific("2.00E-02"), 0.01);
  EXPECT_DOUBLE_EQ(deltaFromScientific("9.99E+05"), 500000);
}

namespace {
// A grid as text: its step, first line and units, then each line with its label
// and the label's corner.
std::string gridText(const std::string& name, const GridSpec& g) {
  using kolm::common::shortestText;
  std::string text = name + ": step " + shortestText(g.frequencyStep) + ", first line " +
                     shortestText(g.firstLine) + ", " + g.xUnit + " / " + g.yUnit + "\n";
  for (const auto* lines : {&g.horizontal, &g.vertical})
    for (const GridLine& l : *lines)
      text += (lines == &g.horizontal ? "  level " : "  frequency ") + shortestText(l.value) +
              " \"" + l.label + "\" at " + shortestText(l.labelX) + ", " + shortestText(l.labelY) +
              "\n";
  return text;
}
}  // namespace

// The power meter's grids (1-2-5 steps, labels at the top edge and a fifth of a
// step above each level line, kHz and Hz digit groups, inverted and mirrored
// ranges) and the analyzer's eleven lines per quantity.
TEST(Grids, LinesLabelsAndTheirCorners) {
  std::string text;
  for (const auto& [start, stop, top, bottom] : {std::array{3.f, 30.f, 20.f, -80.f},
                                                 {14.f, 14.35f, 0.f, -50.f},
                                                 {7.f, 7.01f, 0.f, -10.f},
                                                 {14.0255f, 14.0256f, 0.f, -10.f},
                                                 {3.f, 30.f, -10.f, -20.f},
                                                 {3.f, 30.f, -80.f, 20.f},
                                                 {30.f, 3.f, 20.f, -80.f},
                                                 {5.f, 5.f, 20.f, -80.f}})
    text += gridText("power meter " + kolm::common::shortestText(start, 7) + " to " +
                         kolm::common::shortestText(stop, 7) + " MHz, " +
                         kolm::common::shortestText(top) + " to " +
                         kolm::common::shortestText(bottom) + " dBm",
                     powerMeterGrid(start, stop, top, bottom));
  for (int q : {0, 1})
    text += gridText("analyzer quantity " + std::to_string(q) + ", 3 to 30 MHz",
                     analyzerGrid(analyzerQuantityScale(q).value(), 3, 30));
  kolm::test::expectGolden("grids.txt", text);
  // An absurd range stays bounded; an empty span has no frequency lines.
  EXPECT_LE(powerMeterGrid(3, 30, 1e9f, -1e9f).horizontal.size(), 4000u);
  EXPECT_TRUE(frequencyLines(0, 10, 0, 0, 5).empty());
}
