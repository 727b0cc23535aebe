#include "vfo/tuning.h"

#include <gtest/gtest.h>

using namespace kolm::vfo;

TEST(VfoTuning, ModesAndIfOffset) {
  Tuning gen = tune(7.05, Mode::GEN, 10, 400);
  EXPECT_DOUBLE_EQ(gen.DdsFreq, 7.05);
  EXPECT_DOUBLE_EQ(gen.WorkingFreq, 7.05);
  EXPECT_FALSE(gen.tooHigh);

  EXPECT_DOUBLE_EQ(tune(7.05, Mode::RTX, 10, 400).DdsFreq, 17.05);
  EXPECT_DOUBLE_EQ(tune(7.05, Mode::RTX2, 10, 400).DdsFreq, 34.1);
  // A negative IF below the working frequency: the magnitude of the sum.
  Tuning low = tune(7, Mode::RTX, -10.7, 400);
  EXPECT_NEAR(low.DdsFreq, 3.7, 1e-12);
  EXPECT_DOUBLE_EQ(low.WorkingFreq, 7);
  EXPECT_NEAR(tune(7, Mode::RTX2, -10.7, 400).DdsFreq, 7.4, 1e-12);
}

TEST(VfoTuning, ClampAtFourTenthsOfTheClockMovesTheWorkingFrequencyBack) {
  Tuning gen = tune(200, Mode::GEN, 10, 400);
  EXPECT_TRUE(gen.tooHigh);
  EXPECT_DOUBLE_EQ(gen.DdsFreq, 160);
  EXPECT_DOUBLE_EQ(gen.WorkingFreq, 160);

  Tuning rtx = tune(155, Mode::RTX, 10, 400);
  EXPECT_TRUE(rtx.tooHigh);
  EXPECT_DOUBLE_EQ(rtx.DdsFreq, 160);
  EXPECT_DOUBLE_EQ(rtx.WorkingFreq, 150);

  Tuning rtx2 = tune(75, Mode::RTX2, 10, 400);
  EXPECT_TRUE(rtx2.tooHigh);
  EXPECT_DOUBLE_EQ(rtx2.DdsFreq, 160);
  EXPECT_DOUBLE_EQ(rtx2.WorkingFreq, 70);

  // Exactly at the limit passes without the message.
  Tuning edge = tune(160, Mode::GEN, 0, 400);
  EXPECT_FALSE(edge.tooHigh);
  EXPECT_DOUBLE_EQ(edge.DdsFreq, 160);
  EXPECT_FALSE(tune(70, Mode::RTX2, 10, 400).tooHigh);

  // The limit follows the clock.
  Tuning small = tune(50, Mode::GEN, 0, 100);
  EXPECT_TRUE(small.tooHigh);
  EXPECT_DOUBLE_EQ(small.WorkingFreq, 40);
}

TEST(VfoTuning, NegativeWorkingFrequencyInGenIsHeldAtZero) {
  Tuning t = tune(-3, Mode::GEN, 10, 400);
  EXPECT_TRUE(t.limitedAtZero);
  EXPECT_EQ(t.WorkingFreq, 0);
  EXPECT_EQ(t.DdsFreq, 0);
  // In the receiver modes a negative working frequency still has an output.
  Tuning rtx = tune(-3, Mode::RTX, 10, 400);
  EXPECT_FALSE(rtx.limitedAtZero);
  EXPECT_DOUBLE_EQ(rtx.WorkingFreq, -3);
  EXPECT_DOUBLE_EQ(rtx.DdsFreq, 7);
}

TEST(VfoTuning, NoClockMeansNoLimitToApply) {
  Tuning t = tune(7.05, Mode::GEN, 10, 0);
  EXPECT_FALSE(t.tooHigh);
  EXPECT_DOUBLE_EQ(t.WorkingFreq, 7.05);
  EXPECT_DOUBLE_EQ(t.DdsFreq, 7.05);
}

TEST(VfoTuning, StepsAndDisplays) {
  EXPECT_EQ(stepMHz(8), 100);
  EXPECT_EQ(stepMHz(6), 1);
  EXPECT_EQ(stepMHz(3), 0.001);
  EXPECT_EQ(stepMHz(0), 0.000001);

  EXPECT_EQ(displayText(7.05), "007.050 000");
  EXPECT_EQ(displayText(0), "000.000 000");
  EXPECT_EQ(displayText(145.5000004), "145.500 000");  // to the hertz
  EXPECT_EQ(displayText(1234.5), "1234.500 000");
  EXPECT_EQ(memoryEntry(7.05), "007.050000");
  EXPECT_EQ(memoryEntry(3.5), "003.500000");
  EXPECT_EQ(memoryEntry(14.0000016), "014.000002");
}

TEST(VfoTuning, DigitUnderThePointerNamesItsStep) {
  const std::string d = "007.050 000";
  const std::optional<int> expected[] = {8, 7, 6, std::nullopt, 5, 4, 3, std::nullopt, 2, 1, 0};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(stepAtDigit(d, i), expected[i]) << i;
  EXPECT_EQ(stepAtDigit("1234.567 890", 0), 8);  // above 100 MHz: the largest step
  EXPECT_EQ(stepAtDigit(d, 11), std::nullopt);
  EXPECT_EQ(stepAtDigit(d, -1), std::nullopt);
}
