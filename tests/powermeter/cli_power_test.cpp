// kolm-cli power-sweep as a user runs it, on the simulated instrument.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "common/files.h"
#include "common/text.h"
#include "powermeter/chart_file.h"
#include "powermeter/settings.h"
#include "support/cli_run.h"

using kolm::test::runCli;
using namespace kolm;

namespace {
class CliPowerSweep : public test::CliTest {};
}  // namespace

// A chart file, then a CSV file converted with the calibration of pow.ini.
TEST_F(CliPowerSweep, ChartFileAndCsvWithThePowIniCalibration) {
  auto r = runCli(
      "--backend sim --board ideal --dut atten:20 power-sweep --start 30 --stop 1 --points 290 "
      "--out sweep.pwm");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "levels=291 start=1 stop=30 file=sweep.pwm\n");
  EXPECT_EQ(r.err, "");  // a short pass shows no progress
  auto read = powermeter::parseChartFile(common::readTextFile("sweep.pwm").value());
  ASSERT_TRUE(read.chart) << read.error;
  for (float level : read.chart->levels) EXPECT_NEAR(level, -20, 0.2);

  // 0 dBm reads 20 counts higher than the detector's own 826: a through path
  // now shows (-60 / 611) x 20 = -1.96 dBm.
  ASSERT_TRUE(powermeter::savePowIni({"3", "30", "1000", "20", "-80", {846, 235}, "0", 0}));
  r = runCli("--backend sim --board ideal power-sweep --start 5 --stop 7 --points 4 --out a.csv");
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream csv(common::readTextFile("a.csv").value());
  std::string line;
  std::getline(csv, line);  // the heading
  std::vector<std::string> freqs;
  while (std::getline(csv, line)) {
    freqs.push_back(line.substr(0, line.find(',')));
    EXPECT_NEAR(common::numericValue(line.substr(line.find(',') + 1)), -1.96, 0.15) << line;
  }
  EXPECT_EQ(freqs, (std::vector<std::string>{"5", "5.5", "6", "6.5", "7"}));
}

TEST_F(CliPowerSweep, ProgressOnLongPasses) {
  // 1500 points of 1 ms: about a second and a half.
  auto r =
      runCli("--backend sim power-sweep --start 1 --stop 2 --points 1500 --delay 1 --out long.csv");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("power-sweep: "), std::string::npos);
  EXPECT_NE(r.err.find(" of 1501 points ("), std::string::npos) << r.err;
}

TEST_F(CliPowerSweep, ReportOfACrystal) {
  // 10 MHz crystal, 20 ohm, 20 fF (12.665 mH) in a 50 ohm fixture: 3 dB down is
  // sqrt(10^0.3 - 1) x (r + r0) / (2 pi L) = 877.6 Hz wide.
  auto r = runCli(
      "--backend sim --board ideal --dut crystal:fs=10,r=20,c=20f,r0=50 power-sweep --start "
      "9.998 --stop 10.002 --points 400 --out x.csv --report");
  ASSERT_EQ(r.status, 0) << r.err;  // the report's layout is the analysis tests'
  EXPECT_NEAR(test::reportedNumber(r.out, "bw3_mhz"), 877.6e-6, 15e-6) << r.out;
  EXPECT_NE(r.out.find("bw3_approx=no\n"), std::string::npos) << r.out;  // 10 Hz steps
}

TEST_F(CliPowerSweep, NormalisedCsvIsRelativeToLevelRifAndRefusedWithoutIt) {
  const std::string sweep =
      "--backend sim --board ideal --dut atten:20 power-sweep --start 5 --stop 15 --points 10 "
      "--normalise --out relative.csv";
  auto refused = runCli(sweep);
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("no level reference (level.rif)"), std::string::npos) << refused.err;
  // A reference of -1 dBm (a cable's loss) measured up to 9.9 MHz only.
  std::string rif;
  for (int i = 0; i < 100; ++i) rif += "-1\r\n";
  ASSERT_TRUE(common::writeFileAtomic("level.rif", rif));
  auto r = runCli(sweep);
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream csv(common::readTextFile("relative.csv").value());
  std::string line;
  int rows = 0;
  for (std::getline(csv, line); std::getline(csv, line); ++rows) {  // past the heading
    if (common::numericValue(line) <= 9.9)
      EXPECT_NEAR(common::numericValue(line.substr(line.find(',') + 1)), -19, 0.15) << line;
    else
      EXPECT_EQ(line.substr(line.find(',')), ",,no_reference\r") << line;
  }
  EXPECT_EQ(rows, 11);
}
