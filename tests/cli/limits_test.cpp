// Sweeps judged against a limit mask from the command line, on the simulator.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/cli_run.h"

using kolm::test::runCli;

namespace {

class CliLimits : public kolm::test::CliTest {};

}  // namespace

// A 50 ohm load: its SWR is low everywhere. Each mask's verdict and exit
// status; a mask that cannot be used is refused before the port is touched.
TEST_F(CliLimits, VerdictAndExitStatusPerMask) {
  const struct {
    const char* command;
    const char* mask;
    int status;
    const char* verdict;
  } cases[] = {
      {"analyze", "quantity swr\nupper 3 30 3\n", 0, "pass"},
      {"analyze", "quantity swr\nlower 3 30 3\n", 4, "fail"},
      {"analyze", "quantity swr\nupper 3 30 1\n", 5, "indeterminate"},
      {"analyze", "quantity swr\nupper 2 30 3\n", 5, "indeterminate"},  // not all swept
      {"analyze", "quantity swr\nupper 3 30 3\nquantity rl\nupper 3 30 10\n", 4, "fail"},
      {"power-sweep", "quantity level\nupper 3 30 20\n", 5, "indeterminate"},  // default counts
      {"analyze", "quantity level\nupper 3 30 3\n", 2, nullptr},
      {"analyze", "quantity swr\nupper 3 30 3\nlower 3 30 4\n", 2, nullptr},
      {"analyze", "quantity swr\nupper 3 30\n", 2, nullptr},
  };
  for (const auto& c : cases) {
    std::filesystem::remove("t.txt");
    std::ofstream("m.mask") << "kolm-mask 1\n" << c.mask;
    const std::string sweep = std::string(c.command) == "analyze"
                                  ? "analyze --start 3 --stop 30 --points 40 --out a.csv"
                                  : "power-sweep --start 3 --stop 30 --points 40 --out a.csv";
    const auto r = runCli("--trace t.txt --backend sim --load r=50 " + sweep + " --limits m.mask");
    EXPECT_EQ(r.status, c.status) << c.mask << r.err;
    if (c.verdict) {
      EXPECT_NE(r.out.find(std::string("\nverdict=") + c.verdict + "\n"), std::string::npos)
          << r.out;
    } else {
      EXPECT_NE(r.err.find("m.mask:"), std::string::npos) << r.err;  // file and line named
      EXPECT_EQ(std::filesystem::file_size("t.txt"), 0u);            // nothing reached the port
    }
  }
}
