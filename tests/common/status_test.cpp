#include "common/status.h"

#include <gtest/gtest.h>

#include "common/tr.h"

using namespace kolm::common;

TEST(StatusTexts, SayWhatWasDone) {
  EXPECT_EQ(stoppedAtText(412, 1001), "Sweep stopped at point 412 of 1001");
  EXPECT_EQ(passDoneText(2.345), "Pass done in 2.3 s");
  EXPECT_EQ(passDoneText(0.0424), "Pass done in 42 ms");
  EXPECT_EQ(savedToText("/tmp/lp30.pwm"), "Saved to /tmp/lp30.pwm");
  EXPECT_EQ(pdfWrittenText("/tmp/a.pdf"), "PDF written to /tmp/a.pdf");
  // Arguments are put in once: a %2 inside the first stays as it is.
  EXPECT_EQ(arg("%1 and %2, %3", {"a%2", "b"}), "a%2 and b, %3");
}
