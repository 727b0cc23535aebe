#include "chart/chart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "chart/marks.h"

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
  EXPECT_EQ(r.top, 500);
  EXPECT_EQ(r.bottom, -1);
  EXPECT_EQ(r.step, 50);
  EXPECT_FLOAT_EQ(analyzerQuantityScale(5)->bottom, 0.99f);
  EXPECT_FALSE(analyzerQuantityScale(6).has_value());
  EXPECT_FALSE(analyzerQuantityScale(-1).has_value());
}

TEST(Scale, GuardsNeverLeaveAZeroWidthOrHeight) {
  float a = 7, b = 7;
  guardSpan(a, b);
  EXPECT_FLOAT_EQ(b, 7.1f);
  float c = 3e9f, d = 3e9f;  // 0.1 vanishes in single precision here
  guardSpan(c, d);
  EXPECT_GT(d, c);
  float t = -10, u = -10;
  guardLevels(t, u);
  EXPECT_EQ(u, -11);
  float t2 = 5, u2 = -5;
  guardLevels(t2, u2);
  EXPECT_EQ(u2, -5);
}

TEST(Readout, PowerMeterCursorText) {
  EXPECT_EQ(cursorReadout(14.0255, -12.34), "14.025 500 MHz   -12.3 dBm");
  EXPECT_EQ(cursorReadout(0.5, 5.06), "0.500 000 MHz   5.1 dBm");
  EXPECT_EQ(frequencyReadout(29.9999996), "30.000 000");
  EXPECT_EQ(valueReadout(-0.04), "0.0");
}

// The index under the pointer: none off the trace, or held on its ends.
TEST(Readout, CursorIndexOnTheTraceOrClampedToIt) {
  struct Row {
    double x, start, stop;
    int points;
    std::optional<int> index;
    int clamped;
  };
  const Row rows[] = {
      {3, 3, 30, 500, 0, 0},
      {30, 3, 30, 500, 500, 500},
      {1.5, 0, 8, 8, 2, 2},  // half a step: to the even index
      {2.5, 0, 8, 8, 2, 2},
      {2.9, 3, 30, 500, std::nullopt, 0},
      {31, 3, 30, 500, std::nullopt, 500},
      {std::nan(""), 3, 30, 500, std::nullopt, 0},
      {30, 30, 3, 500, 0, 0},  // a mirrored span counts from its start
      {3, 30, 3, 500, 500, 500},
      {5, 5, 5, 500, std::nullopt, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.x);
    EXPECT_EQ(cursorIndex(r.x, r.start, r.stop, r.points), r.index);
    EXPECT_EQ(clampedCursorIndex(r.x, r.start, r.stop, r.points), r.clamped);
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
  struct Row {
    const char* name;
    View view;  // also the trace's span
    ZoomRect box;
    int points;
    ZoomPolicy policy;
    const char* changes;  // "refused", or what changed
    View after;
  };
  const View pm{3, 30, 20, -80}, an{1, 31, 500, -1}, inv{3, 30, -80, 20};
  const ZoomPolicy P = kPowerMeterZoom, A = kAnalyzerZoom;
  const Row rows[] = {
      {"0.26 MHz of 27", pm, {10, 0, 0.26, 30}, 1000, P, "refused", pm},
      {"many points", pm, {10, 0, 5, 20}, 1000, P, "span level", {10, 15, 0, -20}},
      {"capped, 0.5 dB", pm, {28, 0, 5, 0.5}, 1000, P, "span", {28, 30, 20, -80}},
      {"0.2 points", pm, {10, -10, 0.54, 10}, 10, P, "level", {3, 30, -10, -20}},
      {"five points", pm, {10, 0, 2.7, 0}, 50, P, "", pm},
      {"six points", pm, {10, 0, 2.7, 0}, 60, P, "span", {10, 12.7, 20, -80}},
      {"inverted axis", inv, {10, -50, 1, 30}, 1000, P, "span level", {10, 11, -50, -20}},
      {"ten points", an, {5, 400, 1.5, 100}, 200, A, "span", {5, 6.5, 500, -1}},
      {"nine points", an, {5, 400, 1.35, 100}, 200, A, "", an},
      {"0.29 MHz of 30", an, {5, 400, 0.29, 100}, 20000, A, "refused", an},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const auto z = Zoom(r.view, r.box, r.view.start, r.view.stop, r.points, r.policy);
    const std::string changes = !z.accepted      ? "refused"
                                : z.spanChanged  ? (z.levelChanged ? "span level" : "span")
                                : z.levelChanged ? "level"
                                                 : "";
    EXPECT_EQ(changes, r.changes);
    for (auto field : {&View::start, &View::stop, &View::top, &View::bottom})
      EXPECT_NEAR(z.view.*field, r.after.*field, 1e-9);
  }
  // Boxes both 7: the sweep ran 7 to 7.1.
  auto z = Zoom({7, 7.1, 0, -50}, {7.02, 0, 0.05, 0}, 7, 7, 100, P);
  EXPECT_TRUE(z.spanChanged);
  EXPECT_NEAR(z.view.stop, 7.07, 1e-9);
}

// What a zoom writes into a box holds the digits the sweep resolves and no
// more, and reads back within half a resolution step of the view's edge.
TEST(ZoomTest, BoxTextsKeepTheResolvedDigits) {
  const struct {
    double value, resolution;
    const char* text;
  } cases[] = {
      {10.182741234, 9.5e-6, "10.182741"},
      {10.433921, 0.027, "10.43"},
      {-80.0000031, 0.1, "-80"},
      {-0.04, 0.1, "0"},
      {1296.4537, 1, "1296"},
      {14.5, 0.5, "14.5"},
      {3.000001, 0.0, "3.000001"},
      {7.1, std::nan(""), "7.1"},
  };
  for (const auto& c : cases) {
    const std::string text = resolvedText(c.value, c.resolution);
    EXPECT_EQ(text, c.text) << c.value;
    if (c.resolution > 0) {
      EXPECT_LE(std::fabs(std::stod(text) - c.value), c.resolution / 2);
    }
  }
}

TEST(ResetTest, FromTheBoxes) {
  EXPECT_EQ(powerMeterReset(3, 30, 20, -80), (View{3, 30, 20, -80}));
  View same = powerMeterReset(7, 7, 10, 10);
  EXPECT_FLOAT_EQ(static_cast<float>(same.stop), 7.1f);
  EXPECT_EQ(same.bottom, 9);
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

TEST(Polyline, MapsEdgesToTheFirstAndLastPixel) {
  PixelMap m({3, 20, 27, -100}, 1001, 601);
  EXPECT_DOUBLE_EQ(m.x(30), 1000);
  EXPECT_DOUBLE_EQ(m.y(-80), 600);
  EXPECT_DOUBLE_EQ(m.userY(300), -30);
  EXPECT_FALSE(PixelMap({3, 20, 0, -100}, 100, 100).valid());
  auto own = m.withVertical({500, -1});
  EXPECT_DOUBLE_EQ(own.y(500), 0);
  EXPECT_DOUBLE_EQ(own.y(-1), 600);
}

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
  for (const auto& r : wide) {
    EXPECT_GE(r.x, 0);
    EXPECT_LT(r.x, 30);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.bottom, 29);
  }
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
  EXPECT_EQ(h.size(), 1u);
  EXPECT_EQ(h.current(), b);
}

TEST(ZoomHistoryTest, WheelZoomKeepsThePointerFrequencyAndThePointRule) {
  const View v{10, 20, 0, -50};
  // 1000 points over 10 MHz: the power meter needs more than 5 under the view.
  auto in = zoomAbout(v, 12.5, 0.5, 10, 20, 1000, kPowerMeterZoom);
  ASSERT_TRUE(in);
  EXPECT_DOUBLE_EQ(in->start, 11.25);
  EXPECT_DOUBLE_EQ(in->stop, 16.25);
  EXPECT_EQ(in->top, 0);
  auto out = zoomAbout(*in, 12.5, 2, 10, 20, 1000, kPowerMeterZoom);
  ASSERT_TRUE(out);
  EXPECT_DOUBLE_EQ(out->start, 10);
  EXPECT_DOUBLE_EQ(out->stop, 20);
  // Narrowed no further than 10 points (analyzer) of 100 over 10 MHz: 1 MHz.
  auto deep = zoomAbout(v, 15, 0.01, 10, 20, 100, kAnalyzerZoom);
  ASSERT_TRUE(deep);
  EXPECT_NEAR(deep->stop - deep->start, 1, 1e-9);
  EXPECT_FALSE(zoomAbout(*deep, 15, 0.5, 10, 20, 100, kAnalyzerZoom));
  EXPECT_FALSE(zoomAbout(View{5, 5, 0, 0}, 5, 0.5, 10, 20, 100, kAnalyzerZoom));
}

TEST(Readout, UnitsAndTheValueUnderTheCursor) {
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
