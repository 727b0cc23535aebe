// kolm-cli as a builder runs it: read-detector and read-bridge on the simulator.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "common/files.h"
#include "hw/params.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

using ::testing::HasSubstr;

namespace {

struct CliRun {
  int status;
  std::string output;  // stdout, then stderr
};

class CliSim : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(kolm::test::writeSimulatorConfig()); }

  // On the ideal board (exact counts) unless another is named.
  CliRun run(const std::string& arguments, const std::string& board = "ideal") {
    auto r = kolm::test::runCli("--board " + board + " " + arguments);
    return {r.status, r.out + r.err};
  }

  kolm::test::InTempDir dir;
};

}  // namespace

TEST_F(CliSim, DetectorReadsTheCalibrationPoints) {
  auto r = run("read-detector");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.output, "count=826 dbm=0.00\n");
  r = run("--dut atten:60 read-detector --freq 5");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.output, "count=235 dbm=-60.00\n");
  r = run("--dut 'crystal:fs=10,r=20,c=20f,c0=5p,r0=50' read-detector --freq 10");
  EXPECT_EQ(r.output, "count=797 dbm=-2.94\n");
  EXPECT_EQ(run("--dut atten:90 read-detector").output, "count=0 dbm=-83.86 flag=floor\n");
}

TEST_F(CliSim, BridgeReadsOpenShortAndMatch) {
  EXPECT_EQ(run("read-bridge").output, "a=0 b=0 flag=rl_limit\n");
  EXPECT_EQ(run("--load open read-bridge --freq 3.5").output, "a=512 b=0 flag=open\n");
  EXPECT_EQ(run("--load short read-bridge").output, "a=512 b=1023 flag=phase_limit\n");
  EXPECT_EQ(run("--load 'rlc:r=100,l=1u,c=253.3029591p' read-bridge --freq 10").output,
            "a=349 b=0 flag=phase_limit\n");
  EXPECT_EQ(run("--load rlc:r=50,l=1u read-bridge --freq 10").output, "a=418 b=329\n");
}

TEST_F(CliSim, TheWireCarriesTheReadOutAndTheOutputEndsOff) {
  auto r = run("--trace trace.txt read-bridge --freq 7");
  ASSERT_EQ(r.status, 0) << r.output;
  auto trace = kolm::common::readTextFile("trace.txt");
  ASSERT_TRUE(trace);
  std::istringstream in(*trace);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  int writes = 0, reads = 0;
  for (const auto& l : lines) (l[0] == 'W' ? writes : reads)++;
  // Reset 2, multiplier 66, word 82, bridge 22 (+10 reads), word 0 82.
  EXPECT_EQ(writes, 2 + 66 + 82 + 22 + 82);
  EXPECT_EQ(reads, 10);
  // The last frame is the word 0: 40 bits of which only the instruction's bit 2 is 1.
  int ones = 0;
  for (size_t k = lines.size() - 82; k < lines.size() - 2; k += 2) ones += lines[k + 1] == "W 13";
  EXPECT_EQ(ones, 1);
  EXPECT_EQ(lines.back(), "W 10");
}

TEST_F(CliSim, MalformedConnectionsAreUsageErrorsNamingThePart) {
  auto r = run("--dut lowpass:fc=abc,order=3 read-detector");
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.output, HasSubstr("fc=abc"));
  EXPECT_THAT(r.output, HasSubstr("not a number"));
  r = run("--load s1p:missing.s1p read-bridge");
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.output, HasSubstr("missing.s1p"));
  r = run("read-detector --freq ten");
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.output, HasSubstr("'ten' is not a number"));
  r = run("read-detector --freq 250");
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.output, HasSubstr("half the DDS clock"));
}

TEST_F(CliSim, HelpShowsTheConnectionForms) {
  auto r = run("--help");
  EXPECT_EQ(r.status, 0);
  for (const char* form :
       {"read-detector [--freq MHZ]", "read-bridge [--freq MHZ]", "through", "atten:DB",
        "lowpass:fc=MHZ,order=N", "crystal:fs=MHZ,r=OHM,c=F,c0=F,r0=OHM", "r=OHM",
        "rlc:r=OHM,l=H,c=F", "open, short", "s1p:PATH", "f p n u m k M G"})
    EXPECT_THAT(r.output, HasSubstr(form));
}
