// The print dialog's layout of the picture on the sheet: the fields and their
// rules, centring, the largest rectangle, the scale, the small sheet, the keys
// the fields take and the bitmap it prints.
#include "print/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "print/bitmap.h"
#include "print/keys.h"
#include "support/golden.h"

using namespace kolm::print;

namespace {

// A dialog state opened on a rectangle, as the set-up leaves it.
PrintDialogState opened(int x, int y, int w, int h, int sheetW = 277, int sheetH = 190) {
  PrintDialogState s;
  s.scaleBase = float(double(w) * 500000);
  s.sheetWidthMm = sheetW;
  s.sheetHeightMm = sheetH;
  setRectText(s, RectField::X, std::to_string(x));
  setRectText(s, RectField::Y, std::to_string(y));
  setRectText(s, RectField::W, std::to_string(w));
  setRectText(s, RectField::H, std::to_string(h));
  s.aspectRatio = float(w) / float(h);
  return s;
}

TEST(PrintFields, OutOfRangeTextIsReplacedAndTheFieldRounded) {
  PrintDialogState s;
  int refused = 0;
  for (const auto& c : kolm::test::goldenRows("print_fields.tsv", 4)) {
    const size_t f = std::string("xywh").find(c[0]);
    const std::string problem = setRectText(s, static_cast<RectField>(f), c[1]);
    // A refusal names the text and the millimetres kept.
    if (!problem.empty()) {
      ++refused;
      EXPECT_NE(problem.find("'" + c[1] + "'"), std::string::npos) << problem;
      EXPECT_NE(problem.find(c[3] + " mm"), std::string::npos) << problem;
    }
    const std::string* texts[] = {&s.xText, &s.yText, &s.widthText, &s.heightText};
    const MmRect r = s.rect();
    const int32_t values[] = {r.x, r.y, r.w, r.h};
    EXPECT_EQ(*texts[f], c[2]) << c[1];
    EXPECT_EQ(values[f], std::stoi(c[3])) << c[1];
  }
  EXPECT_EQ(refused, 3);
  // The spin buttons step within the same ranges.
  EXPECT_EQ(stepSpin("5", 1, kCopiesRange), 6);
  EXPECT_EQ(stepSpin("100", 1, kCopiesRange), 100);
  EXPECT_EQ(stepSpin("", 1, kCopiesRange), 1);
  EXPECT_EQ(stepSpin("2", -1, kSizeRange), 2);
  EXPECT_EQ(stepSpin("-2000", -1, kMarginRange), -2000);
  EXPECT_EQ(stepSpin("-5", 1, kMarginRange), -4);
}

TEST(PrintFields, FixedProportionsFollowTheEditedSize) {
  PrintDialogState s = opened(0, 0, 150, 100);
  updatePreview(s);
  // A size of 1 is not drawn: the height round(1 / 1.5) = 1 (after clamping).
  setRectText(s, RectField::W, "1");
  EXPECT_FALSE(widthEdited(s));
  EXPECT_EQ(s.heightText, "1");
  EXPECT_EQ(s.previewed, (MmRect{0, 0, 150, 100}));
  setRectText(s, RectField::W, "150");
  EXPECT_TRUE(widthEdited(s));
  EXPECT_EQ(s.heightText, "100");
  setRectText(s, RectField::H, "75");
  EXPECT_TRUE(heightEdited(s));
  EXPECT_EQ(s.widthText, "112");  // 112.5 rounds to the even 112
  EXPECT_EQ(s.previewed, (MmRect{0, 0, 112, 75}));

  // Free proportions: the other size stays, the scale refers to the width only.
  EXPECT_TRUE(setFixProportions(s, false));
  EXPECT_EQ(std::tuple(s.scaleLabel, s.scaleEditable), std::tuple("Scala X:", false));
  setRectText(s, RectField::W, "200");
  widthEdited(s);
  EXPECT_EQ(s.docHeightMm, 75);
  // Ticking the box again brings the height back to the proportion.
  setFixProportions(s, true);
  EXPECT_EQ(std::tuple(s.heightText, s.scaleLabel, s.scaleEditable),
            std::tuple("133", "Scala:", true));
}

TEST(PrintCentring, MarginsFollowTheSheetAtEveryPreview) {
  PrintDialogState s = opened(5, 5, 190, 100);
  setCentred(s, true);
  EXPECT_EQ(std::tie(s.xText, s.yText), std::tie("44", "45"));  // (277 - 190) / 2 = 43.5 -> 44
  s.sheetWidthMm = 190;
  s.sheetHeightMm = 277;  // another sheet: the next preview centres again
  updatePreview(s);
  EXPECT_EQ(s.previewed, (MmRect{0, 88, 190, 100}));  // (277-100)/2 = 88.5 -> 88
  // Unchecking leaves the margins where they are.
  setCentred(s, false);
  s.sheetWidthMm = 277;
  updatePreview(s);
  EXPECT_EQ(std::pair(s.docXMm, s.docYMm), std::pair(0, 88));
}

TEST(PrintMax, TheNarrowerSideGovernsAndTheRectangleIsPulledBackOntoTheSheet) {
  // A landscape rectangle on a portrait sheet: the width governs, 190 / 1.458.
  PrintDialogState s = opened(30, 40, 277, 190, 190, 277);
  maximise(s);
  EXPECT_EQ(std::tie(s.xText, s.yText, s.widthText, s.heightText),
            std::tie("0", "40", "190", "130"));
  EXPECT_EQ(s.previewed, (MmRect{0, 40, 190, 130}));
  // A square on a wider sheet: the height governs; 250 + 190 > 277 moves it back.
  PrintDialogState w = opened(250, 30, 100, 100);
  maximise(w);
  EXPECT_EQ(w.rect(), (MmRect{87, 0, 190, 190}));
  EXPECT_FALSE(w.outOfSheet);

  // Free proportions fill the sheet; centring wins over the pull-back.
  PrintDialogState f = opened(10, 10, 100, 50);
  setFixProportions(f, false);
  maximise(f);
  EXPECT_EQ(f.rect(), (MmRect{0, 0, 277, 190}));

  PrintDialogState c = opened(10, 10, 100, 100);
  setCentred(c, true);
  maximise(c);
  EXPECT_EQ(c.rect(), (MmRect{44, 0, 190, 190}));  // (277 - 190) / 2 = 43.5 -> 44

  // Margins to 0.
  PrintDialogState o = opened(5, -7, 100, 100);
  moveToOrigin(o);
  EXPECT_EQ(std::tie(o.xText, o.yText), std::tie("0", "0"));
}

TEST(PrintOutOfLayout, IndicationBlinksWhileThePictureLeavesTheSheet) {
  PrintDialogState s = opened(0, 0, 277, 190);
  updatePreview(s);
  EXPECT_FALSE(s.outOfSheet);
  setRectText(s, RectField::X, "10");  // 10 mm past the right edge
  updatePreview(s);
  EXPECT_TRUE(s.outOfSheet);
  blinkTick(s);
  EXPECT_TRUE(s.blinkRed);
  blinkTick(s);
  EXPECT_FALSE(s.blinkRed);
  blinkTick(s);
  setRectText(s, RectField::X, "0");
  updatePreview(s);
  blinkTick(s);  // a late tick changes nothing
  EXPECT_FALSE(s.blinkRed);

  EXPECT_TRUE(isOutOfSheet({-1, 0, 10, 10}, 277, 190));
  EXPECT_TRUE(isOutOfSheet({0, 181, 10, 10}, 277, 190));
  EXPECT_FALSE(isOutOfSheet({0, 180, 277, 10}, 277, 190));
}

// What the field shows, grouped as the locale groups numbers, reads back as the
// same number.
TEST(PrintScale, ShownWithGroupingAndEnteredBack) {
  const LocaleSeparators en, it{",", "."};
  for (const auto& [base, width, italian, text] :
       {std::tuple{277.0 * 500000, 277, false, "500,000"},
        {277.0 * 500000, 277, true, "500.000"},
        {1000.0, 3, false, "333.33"},
        {1000.0, 3, true, "333,33"},
        {1234567.0 * 2, 2, true, "1.234.567"}}) {
    EXPECT_EQ(scaleText(base, width, italian ? it : en), text);
    EXPECT_NEAR(readScale(text, italian ? it : en).value_or(0), base / width, 0.005) << text;
  }
  EXPECT_EQ(readScale("2.5E+05", en), 250000);
  EXPECT_FALSE(readScale("", en));
  EXPECT_FALSE(readScale("abc", en));
}

TEST(PrintScale, EnteredScaleSetsTheSizeWithinTheLimits) {
  PrintDialogState s = opened(0, 0, 277, 190);
  EXPECT_EQ(s.scaleText, "500,000");
  s.scaleBase = 138.5e6f;
  s.scaleText = "250000";
  EXPECT_TRUE(enterScale(s));
  EXPECT_EQ(std::tie(s.widthText, s.heightText), std::tie("554", "380"));
  EXPECT_EQ(s.scaleText, "250,000");  // refreshed from the new width

  s.scaleText = "1";  // width capped at 2000
  enterScale(s);
  EXPECT_EQ(std::pair(s.docWidthMm, s.docHeightMm), std::pair(2000, 1372));

  PrintDialogState tall = opened(0, 0, 100, 200);
  tall.scaleText = "1";  // the height passes 2000 first
  enterScale(tall);
  EXPECT_EQ(std::pair(tall.docWidthMm, tall.docHeightMm), std::pair(1000, 2000));

  // Empty, zero, negative or unreadable scales change nothing.
  PrintDialogState same = opened(0, 0, 277, 190);
  for (const char* text : {"", "0", "-5", "x"}) {
    same.scaleText = text;
    EXPECT_FALSE(enterScale(same)) << text;
    EXPECT_EQ(same.rect(), (MmRect{0, 0, 277, 190})) << text;
  }
  // A scale so large that the picture would be under 2 mm is set but not drawn.
  same.scaleText = "1E+12";
  EXPECT_FALSE(enterScale(same));
  EXPECT_EQ(same.docWidthMm, 1);
}

TEST(PrintSheet, SmallSheetPaperNamesAndCaption) {
  EXPECT_EQ(smallSheetTwips(210, 297).w, 1347);
  EXPECT_EQ(smallSheetTwips(297, 210).h, 1347);
  EXPECT_EQ(smallSheetTwips(200, 200).w, 1905);
  // A printer that gives no sheet still gets a drawable square.
  EXPECT_EQ(smallSheetTwips(0, 0).w, 1905);
  for (auto [code, name] : {std::pair{47, "Envelope Invite"},
                            {48, "Unknown"},
                            {68, "A3 Extra Transverse"},
                            {69, "Unknown"},
                            {256, "User"},
                            {0, "Unknown"}})
    EXPECT_EQ(paperName(code), name) << code;
  EXPECT_EQ(sheetCaption(9, 1), " Sheet: A4,  Portrait");
  EXPECT_EQ(sheetCaption(48, 2), " Sheet: Unknown,  Landscape");
  EXPECT_EQ(sheetCaption(8, 0), " Sheet: A3");
}

TEST(PrintMapping, PreviewAndPrinterPixels) {
  // A 277 x 190 sheet drawn 127 x 87 pixels.
  EXPECT_EQ(previewRect({0, 0, 277, 190}, 277, 190, 127, 87), (PixelRect{0, 0, 127, 87}));
  EXPECT_EQ(previewRect({10, 20, 100, 50}, 277, 190, 127, 87), (PixelRect{5, 9, 46, 23}));
  EXPECT_EQ(previewRect({10, 20, 100, 50}, 0, 190, 127, 87), PixelRect{});

  // 24 printer pixels per mm across, 23.5 down.
  EXPECT_EQ(mmToPixels({10, 20, 100, 50}, 277 * 24, 190 * 47 / 2, 277, 190),
            (PixelRect{240, 470, 2400, 1175}));
  EXPECT_EQ(mmToPixels({-10, 0, 277, 190}, 6648, 4560, 277, 190), (PixelRect{-240, 0, 6648, 4560}));
  EXPECT_EQ(mmToPixels({0, 0, 10, 10}, 100, 100, 0, 0), PixelRect{});
}

TEST(PrintFitCheck, ShrinksToTheRightEdgeThenToTheBottom) {
  EXPECT_FALSE(exceedsSheet({0, 0, 277, 190}, 277, 190));
  EXPECT_TRUE(exceedsSheet({1, 0, 277, 190}, 277, 190));
  EXPECT_TRUE(exceedsSheet({0, 1, 277, 190}, 277, 190));
  // Off the left or top edge is not caught here.
  EXPECT_FALSE(exceedsSheet({-50, -50, 277, 190}, 277, 190));

  EXPECT_EQ(shrinkToSheet({0, 0, 300, 200}, 277, 190), (MmRect{0, 0, 277, 185}));
  EXPECT_EQ(shrinkToSheet({0, 0, 100, 300}, 277, 190), (MmRect{0, 0, 63, 190}));
  // Both steps: the square first meets the right edge, then the bottom.
  EXPECT_EQ(shrinkToSheet({0, 0, 400, 400}, 277, 190), (MmRect{0, 0, 190, 190}));
  // The margins shrink with the picture.
  EXPECT_EQ(shrinkToSheet({20, 10, 300, 100}, 277, 190), (MmRect{17, 9, 260, 87}));
}

TEST(PrintZoom, SheetBoxKeepsTheSheetProportion) {
  // A landscape sheet in a low area: the height governs.
  ZoomBox wide = zoomSheet(600, 400, 297, 210, 8);
  // Height 584 / 1.414 = 413 would not fit: the height governs.
  EXPECT_EQ(std::tuple(wide.w, wide.h, wide.x, wide.y), std::tuple(543, 384, 28, 8));
  ZoomBox narrow = zoomSheet(600, 800, 297, 210, 8);
  EXPECT_EQ(std::pair(narrow.w, narrow.x), std::pair(584, 8));
}

// Keys and texts are ASCII in the table.
TEST(PrintKeys, WholeNumbersTakeAMinusWhereAllowedTheScaleOneSeparatorAndAnExponent) {
  for (const auto& c : kolm::test::goldenRows("print_keys.tsv", 7)) {
    auto key = [](const std::string& k) { return k == "BS" ? kBackspace : char32_t(k[0]); };
    const std::u32string text(c[2].begin(), c[2].end());
    const KeyContext box{text, std::stoi(c[3]), c[4] == "1"};
    const char32_t typed = c[6] == "dropped" ? 0 : key(c[6]);
    if (c[0] == "integer")
      EXPECT_EQ(filterIntegerKey(key(c[1]), box, c[5] == "minus"), typed != 0) << c[1] << c[2];
    else
      EXPECT_EQ(filterDecimalKey(key(c[1]), box, key(c[5])), typed) << c[1] << " " << c[2];
  }
}

// Rows are padded to four bytes (no size for a depth a bitmap cannot have); grey
// is the rounded mean of the three colours, the padding left alone.
TEST(PrintBitmap, RowsArePaddedToFourBytesAndGreyIsTheRoundedMeanOfTheColours) {
  for (const auto& [bits, w, h, bytes, stride] : {std::array{24, 101, 10, 3040, 304},
                                                  {1, 9, 2, 8, 4},
                                                  {8, 5, 2, 16, 8},
                                                  {2, 100, 100, 0, 0},
                                                  {24, 0, 10, 0, 0}}) {
    int32_t got = -1;
    EXPECT_EQ(std::pair(bitmapBytes(bits, w, h, &got), got), std::pair(int64_t{bytes}, stride))
        << bits << " bits, " << w << " x " << h;
  }
  EXPECT_TRUE(Bitmap24::blank(0, 5).empty());
  Bitmap24 b = Bitmap24::blank(3, 2);
  ASSERT_EQ(std::pair(b.stride, b.bits.size()), std::pair(12, size_t{24}));
  const struct {
    int x, y;
    uint8_t blueGreenRed[3];
    int grey;
  } pixels[] = {{0, 0, {10, 11, 12}, 11},
                {1, 0, {0, 0, 1}, 0},
                {2, 0, {1, 2, 2}, 2},
                {2, 1, {255, 255, 254}, 255}};
  for (const auto& p : pixels) std::copy_n(p.blueGreenRed, 3, b.row(p.y) + 3 * p.x);
  b.bits[9] = 0xAA;
  makeGrey(b);
  for (const auto& p : pixels) {
    const uint8_t* q = b.row(p.y) + 3 * p.x;
    EXPECT_EQ(std::tuple(int{q[0]}, int{q[1]}, int{q[2]}), std::tuple(p.grey, p.grey, p.grey))
        << p.x << ", " << p.y;
  }
  EXPECT_EQ(b.bits[9], 0xAA);
}

}  // namespace

TEST(PrintLayout, FitInSheetIsTheLargestRectangleOfThePicturesProportionsOnTheSheet) {
  for (int32_t sheetW : {190, 287, 410})
    for (int32_t sheetH : {130, 200, 277})
      for (double aspect : {0.25, 0.7, 1.0, 1.435, 1.5, 3.0, 12.0}) {
        SCOPED_TRACE(std::to_string(sheetW) + " x " + std::to_string(sheetH) + " at " +
                     std::to_string(aspect));
        const MmRect r = fitInSheet(aspect, sheetW, sheetH);
        EXPECT_EQ(std::tuple(r.x, r.y), std::tuple(0, 0));
        EXPECT_TRUE(r.w <= sheetW && r.h <= sheetH && (r.w == sheetW || r.h == sheetH));
        // Whole millimetres: the proportions within one of them.
        EXPECT_NEAR(r.w, r.h * aspect, std::max(1.0, aspect));
      }
  EXPECT_EQ(fitInSheet(1.5, 0, 200), MmRect{});
}
