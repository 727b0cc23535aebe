// Reading a chart: trace colours against the background, the zoom history and
// the wheel zoom, the value under the cursor.
#include <gtest/gtest.h>

#include "chart/chart.h"

using namespace kolm::chart;

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
