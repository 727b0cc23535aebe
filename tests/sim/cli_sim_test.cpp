// kolm-cli as a builder runs it: read-detector and read-bridge on the simulator.
#include <gtest/gtest.h>

#include <string>

#include "support/cli_run.h"

namespace {

struct CliRun {
  int status;
  std::string output;  // stdout, then stderr
};

class CliSim : public kolm::test::CliTest {
 protected:
  // On the ideal board (exact counts).
  CliRun run(const std::string& arguments) {
    auto r = kolm::test::runCli("--board ideal " + arguments);
    return {r.status, r.out + r.err};
  }
};

}  // namespace

TEST_F(CliSim, DetectorAndBridgeReadTheSimulatedConnections) {
  auto r = run("--dut atten:60 read-detector --freq 5");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.output, "count=235 dbm=-60.00\n");
  EXPECT_EQ(run("--dut atten:90 read-detector").output, "count=0 dbm=-83.86 flag=floor\n");
  EXPECT_EQ(run("--load open read-bridge --freq 3.5").output, "a=512 b=0 flag=open\n");
  EXPECT_EQ(run("--load rlc:r=50,l=1u read-bridge --freq 10").output, "a=418 b=329\n");
}
