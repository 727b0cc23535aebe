#include <gtest/gtest.h>

#include <string>

#include "common/files.h"
#include "sim/touchstone.h"
#include "support/cli_run.h"

using kolm::common::readTextFile;

namespace {

class CliAnalyze : public kolm::test::CliTest {
 protected:
  int run(const std::string& arguments) {
    last = kolm::test::runCli(arguments);
    return last.status;
  }
  std::string file(const std::string& name) { return readTextFile(name).value_or("<missing>"); }
  kolm::test::CliResult last;
};

}  // namespace

// Each format, and the generator left off: the last frame loads word 0
// (instruction 4, then 32 zero bits, then the update), the data lines end low.
TEST_F(CliAnalyze, WritesEachFormatAndLeavesTheGeneratorOff) {
  ASSERT_EQ(run("--trace t.txt analyze --start 3 --stop 30 --points 500 --out a.vna"), 0)
      << last.err;
  EXPECT_EQ(last.out, "points=501 file=a.vna\n");
  EXPECT_EQ(file("a.vna").substr(0, 12), "500\r\n3\r\n30\r\n");
  const std::string trace = file("t.txt");
  std::string tail;
  for (int i = 0; i < 32; ++i) tail += "W 10\nW 12\n";
  tail += "W 14\nW 10\nW 00\n";
  ASSERT_GT(trace.size(), tail.size());
  EXPECT_EQ(trace.substr(trace.size() - tail.size()), tail);

  ASSERT_EQ(run("analyze --start 1 --stop 2 --points 10 --out b.csv"), 0) << last.err;
  const std::string csv = file("b.csv");
  EXPECT_EQ(csv.rfind("freq_mhz,rl_db,phase_deg,z_ohm,r_ohm,x_ohm,swr,rl_db_pm,phase_deg_pm,"
                      "z_ohm_pm,r_ohm_pm,x_ohm_pm,swr_pm,flag\r\n",
                      0),
            0u);
  EXPECT_NE(csv.find("\r\n1.5,"), std::string::npos);

  ASSERT_EQ(run("analyze --start 14 --stop 14.35 --points 35 --out c.S1P"), 0) << last.err;
  const auto back = kolm::sim::parseTouchstone(file("c.S1P"));
  ASSERT_TRUE(back.ok()) << back.error;
  ASSERT_EQ(back.table.frequencyMHz.size(), 36u);
}

TEST_F(CliAnalyze, ReportOfASeriesRlcLoad) {
  // 40 ohm, 2 uH, 100 pF: resonance at 11.254 MHz, SWR 1.25; SWR 2 where
  // |X| = 30 ohm (10.117 and 12.518 MHz).
  ASSERT_EQ(
      run("--backend sim --board ideal --load rlc:r=40,l=2u,c=100p analyze --start 5 --stop 20 "
          "--points 1500 --out a.s1p --report"),
      0)
      << last.err;
  std::vector<std::string> keys;
  for (const auto& kv : kolm::test::keyValues(last.out)) keys.push_back(kv.first);
  EXPECT_EQ(keys, (std::vector<std::string>{
                      "swr_min", "swr_min_pm", "swr_min_kind", "swr_min_mhz", "r_at_min_ohm",
                      "r_at_min_ohm_pm", "x_at_min_ohm", "x_at_min_ohm_pm", "swr2_low_mhz",
                      "swr2_high_mhz", "swr2_bw_mhz", "swr2_approx", "swr15_low_mhz",
                      "swr15_high_mhz", "swr15_bw_mhz", "swr15_approx", "res_mhz"}));
  using kolm::test::reportedNumber;
  EXPECT_NEAR(reportedNumber(last.out, "swr_min_mhz"), 11.254, 0.02);
  EXPECT_NEAR(reportedNumber(last.out, "res_mhz"), 11.254, 0.02);
  EXPECT_NEAR(reportedNumber(last.out, "swr2_high_mhz"), 12.518, 0.02);
}
