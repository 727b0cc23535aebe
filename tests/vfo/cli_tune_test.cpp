// kolm-cli tune, run as a user would: in a folder with its dds.cfg, on the
// simulator, with the port traffic traced to a file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/files.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"
#include "vfo/dds_frames.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

using CliRun = kolm::test::CliResult;

struct CliFolder {
  explicit CliFolder(const std::string& clock = "400") {
    write("dds.cfg", "\"20\"\r\n\"20\"\r\n\"" + clock + "\"\r\n\"888\"\r\n\"sim\"\r\n");
  }
  void write(const std::string& name, const std::string& text) {
    ASSERT_TRUE(kolm::common::writeFileAtomic(dir.path() / name, text));
  }
  CliRun run(const std::string& args) {
    return kolm::test::runCli("--trace trace.txt " + args, dir.path());
  }
  // The DDS traffic of the trace, decoded.
  std::vector<std::string> events() {
    return kolm::test::traceEvents(
        kolm::common::readTextFile(dir.path() / "trace.txt").value_or(""));
  }
  kolm::test::TempDir dir;
};

}  // namespace

TEST(CliTune, FollowsTheVfoRules) {
  CliFolder f;
  CliRun gen = f.run("tune 7.05");
  EXPECT_EQ(gen.status, 0) << gen.err;
  EXPECT_EQ(gen.out, "working=7.050000 dds=7.050000 word=75698799\n");
  EXPECT_THAT(f.events(), ElementsAre("reset", "reg1 166", "word 75698799"));

  CliRun rtx2 = f.run("tune 7 --mode rtx2 --if -10.7");
  EXPECT_EQ(rtx2.out, "working=7.000000 dds=7.400000 word=79456895\n");

  // Up to the limit of 0.4 x the clock; beyond it refused, nothing sent (the
  // window would hold it at the limit).
  CliRun top = f.run("tune 70 --mode rtx2 --if 10");
  EXPECT_EQ(top.out, "working=70.000000 dds=160.000000 word=1717986918\n");
  const size_t frames = f.events().size();
  for (const char* args : {"tune 75 --mode rtx2 --if 10", "tune 7 --mode rtx --if 1e308"}) {
    CliRun high = f.run(args);
    EXPECT_EQ(high.status, 2) << args;
    EXPECT_THAT(high.err, HasSubstr("Frequency too High")) << args;
    EXPECT_EQ(f.events().size(), frames) << args;
  }

  // A negative working frequency in GEN mode is held at 0.
  CliRun negative = f.run("tune -3");
  EXPECT_EQ(negative.status, 0);
  EXPECT_EQ(negative.out, "working=0.000000 dds=0.000000 word=0\n");

  // radio.ini is neither read nor written.
  EXPECT_FALSE(std::filesystem::exists(f.dir.path() / "radio.ini"));
}

TEST(CliTune, BadInputExitsWithTwo) {
  CliFolder f;
  for (const char* args : {"tune", "tune 7 --mode lsb", "tune 7 8", "tune 7 --mode", "tune 7MHz"}) {
    CliRun r = f.run(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_THAT(r.err, HasSubstr("kolm-cli:")) << args;
    EXPECT_TRUE(r.out.empty()) << args;
  }
  CliFolder noClock("0");
  CliRun r = noClock.run("tune 7.05");
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.err, HasSubstr("clock is 0"));
  EXPECT_TRUE(noClock.events().empty());
}
