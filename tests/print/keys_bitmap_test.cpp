#include <gtest/gtest.h>

#include "print/bitmap.h"
#include "print/keys.h"

using namespace kolm::print;

namespace {

KeyContext box(std::u32string_view text, int cursor, bool all = false) {
  return {text, cursor, all};
}

TEST(PrintKeys, WholeNumbersTakeDigitsAndALeadingMinusWhereAllowed) {
  EXPECT_TRUE(FilterIntegerKey(U'7', box(U"12", 2), false));
  EXPECT_TRUE(FilterIntegerKey(kBackspace, box(U"12", 2), false));
  EXPECT_FALSE(FilterIntegerKey(U'a', box(U"12", 2), true));
  EXPECT_FALSE(FilterIntegerKey(U'-', box(U"12", 0), false));  // width, height, copies
  EXPECT_TRUE(FilterIntegerKey(U'-', box(U"12", 0), true));    // margins
  EXPECT_FALSE(FilterIntegerKey(U'-', box(U"12", 1), true));
  EXPECT_FALSE(FilterIntegerKey(U'-', box(U"-12", 0), true));
  EXPECT_TRUE(FilterIntegerKey(U'-', box(U"-12", 0, true), true));
  EXPECT_TRUE(FilterIntegerKey(U'-', box(U"", 0), true));
}

TEST(PrintKeys, ScaleTakesOneSeparatorAndAnExponent) {
  EXPECT_EQ(FilterDecimalKey(U'5', box(U"25", 2), U'.'), U'5');
  EXPECT_EQ(FilterDecimalKey(U'.', box(U"25", 2), U'.'), U'.');
  EXPECT_EQ(FilterDecimalKey(U'.', box(U"2.5", 3), U'.'), 0u);
  EXPECT_EQ(FilterDecimalKey(U'.', box(U"2.5", 3, true), U'.'), U'.');
  EXPECT_EQ(FilterDecimalKey(U',', box(U"25", 2), U'.'), 0u);
  EXPECT_EQ(FilterDecimalKey(U',', box(U"25", 2), U','), U',');
  EXPECT_EQ(FilterDecimalKey(U'.', box(U"-5", 0), U'.'), 0u);
  // Exponent: upper case, once, not at the start nor after a minus.
  EXPECT_EQ(FilterDecimalKey(U'e', box(U"25", 2), U'.'), U'E');
  EXPECT_EQ(FilterDecimalKey(U'E', box(U"2E5", 3), U'.'), 0u);
  EXPECT_EQ(FilterDecimalKey(U'e', box(U"", 0), U'.'), 0u);
  EXPECT_EQ(FilterDecimalKey(U'e', box(U"25", 2, true), U'.'), 0u);
  // Minus only right after the E.
  EXPECT_EQ(FilterDecimalKey(U'-', box(U"", 0), U'.'), 0u);
  EXPECT_EQ(FilterDecimalKey(U'-', box(U"25", 2), U'.'), 0u);
  EXPECT_EQ(FilterDecimalKey(U'-', box(U"2E", 2), U'.'), U'-');
  EXPECT_EQ(FilterDecimalKey(U'E', box(U"2-", 2), U'.'), 0u);
}

TEST(PrintBitmap, RowsArePaddedToFourBytes) {
  int32_t stride = 0;
  EXPECT_EQ(DibImageSize(24, 101, 10, &stride), 3040);
  EXPECT_EQ(stride, 304);
  EXPECT_EQ(DibImageSize(1, 9, 2, &stride), 8);
  EXPECT_EQ(stride, 4);
  EXPECT_EQ(DibImageSize(8, 5, 2), 16);
  EXPECT_EQ(DibImageSize(2, 100, 100), 0);
  EXPECT_EQ(DibImageSize(24, 0, 10), 0);
  Bitmap24 b = Bitmap24::blank(101, 10);
  EXPECT_EQ(b.stride, 304);
  EXPECT_EQ(b.bits.size(), 3040u);
  EXPECT_TRUE(Bitmap24::blank(0, 5).empty());
}

TEST(PrintBitmap, GreyIsTheRoundedMeanOfTheThreeColours) {
  Bitmap24 b = Bitmap24::blank(3, 2);
  auto set = [&](int x, int y, uint8_t blue, uint8_t green, uint8_t red) {
    uint8_t* p = b.row(y) + 3 * x;
    p[0] = blue, p[1] = green, p[2] = red;
  };
  set(0, 0, 10, 11, 12);
  set(1, 0, 0, 0, 1);
  set(2, 0, 1, 2, 2);
  set(2, 1, 255, 255, 254);
  b.bits[9] = 0xAA;  // row padding is left alone
  GrayScaleDib(b);
  auto grey = [&](int x, int y) {
    const uint8_t* p = b.row(y) + 3 * x;
    EXPECT_EQ(p[0], p[1]);
    EXPECT_EQ(p[1], p[2]);
    return int(p[0]);
  };
  EXPECT_EQ(grey(0, 0), 11);
  EXPECT_EQ(grey(1, 0), 0);
  EXPECT_EQ(grey(2, 0), 2);
  EXPECT_EQ(grey(2, 1), 255);
  EXPECT_EQ(b.bits[9], 0xAA);
}

}  // namespace
