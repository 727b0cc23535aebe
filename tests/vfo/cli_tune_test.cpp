// kolm-cli tune, run as a user would: in a folder with its dds.cfg, on the
// simulator, with the port traffic traced to a file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/files.h"
#include "support/cli_run.h"
#include "vfo/dds_frames.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class CliTune : public kolm::test::CliTest {
 protected:
  kolm::test::CliResult run(const std::string& args) {
    return kolm::test::runCli("--trace trace.txt " + args);
  }
  // The DDS traffic of the trace, decoded.
  std::vector<std::string> events() {
    return kolm::test::traceEvents(kolm::common::readTextFile("trace.txt").value_or(""));
  }
};

}  // namespace

TEST_F(CliTune, FollowsTheVfoRules) {
  EXPECT_EQ(run("tune 7.05").out, "working=7.050000 dds=7.050000 word=75698799\n");
  EXPECT_THAT(events(), ElementsAre("reset", "reg1 166", "word 75698799"));
  // rtx2 at twice |MHz + IF|, up to 0.4 x the clock (the rules are the tuning tests').
  EXPECT_EQ(run("tune 7 --mode rtx2 --if -10.7").out,
            "working=7.000000 dds=7.400000 word=79456895\n");
  EXPECT_EQ(run("tune 70 --mode rtx2 --if 10").out,
            "working=70.000000 dds=160.000000 word=1717986918\n");
  EXPECT_FALSE(std::filesystem::exists("radio.ini"));  // neither read nor written
}

// Beyond the limit a frequency is refused (the window would hold it at the
// limit), as are bad arguments: exit status 2, nothing sent.
TEST_F(CliTune, RefusalsExitWithTwoAndSendNothing) {
  for (const char* args : {"tune 75 --mode rtx2 --if 10", "tune 7 --mode rtx --if 1e308", "tune",
                           "tune 7 --mode lsb", "tune 7 8", "tune 7 --mode", "tune 7MHz"}) {
    std::filesystem::remove("trace.txt");
    const auto r = run(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_THAT(r.err, HasSubstr("kolm-cli:")) << args;
    EXPECT_TRUE(events().empty()) << args;
  }
  EXPECT_THAT(run("tune 75 --mode rtx2 --if 10").err, HasSubstr("Frequency too High"));
  ASSERT_TRUE(kolm::common::writeFileAtomic("dds.cfg", "\"20\"\r\n\"20\"\r\n\"0\"\r\n\"888\"\r\n"));
  const auto r = run("tune 7.05");
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.err, HasSubstr("clock is 0"));
}
