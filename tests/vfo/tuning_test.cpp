#include "vfo/tuning.h"

#include <gtest/gtest.h>

using namespace kolm::vfo;

// What reaches the DDS for a working frequency, mode, IF and clock; above 0.4 x
// the clock the DDS is held at the limit and the working frequency moves back.
TEST(VfoTuning, ModesIfOffsetAndTheLimit) {
  struct Row {
    const char* name;
    double working;
    Mode mode;
    double ifMHz, clock;
    double dds, workingAfter;
    bool tooHigh = false, atZero = false;
  };
  const Row rows[] = {
      {"GEN", 7.05, Mode::GEN, 10, 400, 7.05, 7.05},
      {"RTX adds the IF", 7.05, Mode::RTX, 10, 400, 17.05, 7.05},
      {"RTX2 doubles", 7.05, Mode::RTX2, 10, 400, 34.1, 7.05},
      {"negative IF: the magnitude of the sum", 7, Mode::RTX, -10.7, 400, 3.7, 7},
      {"GEN above the limit", 200, Mode::GEN, 10, 400, 160, 160, true},
      {"RTX above the limit", 155, Mode::RTX, 10, 400, 160, 150, true},
      {"RTX2 above the limit", 75, Mode::RTX2, 10, 400, 160, 70, true},
      {"RTX2 at the limit", 70, Mode::RTX2, 10, 400, 160, 70},
      {"the limit follows the clock", 50, Mode::GEN, 0, 100, 40, 40, true},
      {"no clock, no limit", 7.05, Mode::GEN, 10, 0, 7.05, 7.05},
      {"negative in GEN: held at 0", -3, Mode::GEN, 10, 400, 0, 0, false, true},
      {"negative in RTX: still an output", -3, Mode::RTX, 10, 400, 7, -3},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const Tuning t = tune(r.working, r.mode, r.ifMHz, r.clock);
    EXPECT_NEAR(t.DdsFreq, r.dds, 1e-12);
    EXPECT_NEAR(t.WorkingFreq, r.workingAfter, 1e-12);
    EXPECT_EQ(t.tooHigh, r.tooHigh);
    EXPECT_EQ(t.limitedAtZero, r.atZero);
  }
}

TEST(VfoTuning, StepsAndDisplays) {
  EXPECT_EQ(stepMHz(8), 100);
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
