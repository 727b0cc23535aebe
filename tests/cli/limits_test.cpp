// Sweeps judged against a limit mask from the command line, on the simulator.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/cli_run.h"
#include "support/golden.h"

using kolm::test::runCli;

namespace {

class CliLimits : public kolm::test::CliTest {};

}  // namespace

// A 50 ohm load: its SWR is low everywhere. Each mask's verdict and exit
// status; a mask that cannot be used is refused before the port is touched.
TEST_F(CliLimits, VerdictAndExitStatusPerMask) {
  for (const auto& c : kolm::test::goldenRows("cli_limits.tsv", 4)) {
    std::filesystem::remove("t.txt");
    std::ofstream("m.mask") << "kolm-mask 1\n" << c[1];
    const auto r = runCli("--trace t.txt --backend sim --load r=50 " + c[0] +
                          " --start 3 --stop 30 --points 40 --out a.csv --limits m.mask");
    EXPECT_EQ(r.status, std::stoi(c[2])) << c[1] << r.err;
    if (c[3] != "-") {
      EXPECT_NE(r.out.find("\nverdict=" + c[3] + "\n"), std::string::npos) << r.out;
    } else {
      EXPECT_NE(r.err.find("m.mask:"), std::string::npos) << r.err;  // file and line named
      EXPECT_EQ(std::filesystem::file_size("t.txt"), 0u);            // nothing reached the port
    }
  }
}
