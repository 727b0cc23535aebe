// kolm-cli power-sweep as a user runs it, on the simulated instrument.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "common/files.h"
#include "common/records.h"
#include "common/text.h"
#include "powermeter/chart_file.h"
#include "powermeter/crystal_batch.h"
#include "powermeter/level_trace.h"
#include "powermeter/reference.h"
#include "powermeter/settings.h"
#include "support/cli_run.h"
#include "support/golden.h"

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
  common::SettingsKeeper keeper;
  ASSERT_TRUE(powermeter::savePowIni({"3", "30", "1000", "20", "-80", {846, 235}, "0", 0},
                                     powermeter::kSettingsFile, keeper));
  r = runCli("--backend sim --board ideal power-sweep --start 5 --stop 7 --points 4 --out a.csv");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string csv = common::readTextFile("a.csv").value();
  EXPECT_EQ(csv.rfind("# Simulated instrument", 0), 0u) << csv;  // levels of the simulator say so
  const auto levels = powermeter::levelTraceFromCsv("a.csv", csv);
  ASSERT_TRUE(levels.trace) << levels.error;
  EXPECT_EQ(levels.trace->x, (std::vector<double>{5, 5.5, 6, 6.5, 7}));
  for (double level : levels.trace->value) EXPECT_NEAR(level, -1.96, 0.15);
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
  // A reference of -1 dBm (a cable's loss); one cut short is not used (none at
  // all is in the refusals' table).
  std::string rif;
  for (int i = 0; i < powermeter::kRifEntries; ++i) rif += "-1\r\n";
  ASSERT_TRUE(common::writeFileAtomic("level.rif", rif.substr(0, 400)));
  const auto refused = runCli(sweep);
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("(line 101: the table ends after 100"), std::string::npos)
      << refused.err;
  ASSERT_TRUE(common::writeFileAtomic("level.rif", rif));
  auto r = runCli(sweep);
  ASSERT_EQ(r.status, 0) << r.err;
  const auto csv = common::readCsvTable(common::readTextFile("relative.csv").value());
  ASSERT_EQ(csv.rows.size(), 11u) << csv.error;
  for (const auto& row : csv.rows) EXPECT_NEAR(common::numericValue(row[1]), -19, 0.15) << row[0];
}

// kolm-cli crystal-calibrate, crystal and crystal-match on simulated crystals.
using test::reportedNumber;
using test::runCli;

namespace {

// The simulated crystal: fs in MHz, motional r in ohm, 20 fF, 5 pF across,
// in a fixture of 50 ohm.
std::string dut(double fs, double r) {
  return "--backend sim --board ideal --dut crystal:fs=" + common::shortestText(fs, 12) +
         ",r=" + common::shortestText(r) + ",c=20f,c0=5p,r0=50 ";
}

class CliCrystal : public test::CliTest {};

}  // namespace

TEST_F(CliCrystal, CalibrateThenMeasure) {
  auto r = runCli("--backend sim --board ideal --dut through crystal-calibrate --r0 50");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "file=Quartz.rif entries=1601 r0_ohm=50\n");

  // Fp = fs sqrt(1 + C / C0) = 10.019980 MHz (L, Cs and Q are pinned by the
  // simulated crystal tests; C0 is worked out here only).
  r = runCli(dut(10, 20) + "crystal --start 9.995 --stop 10.03 --points 3500");
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> keys;
  for (const auto& kv : test::keyValues(r.out)) keys.push_back(kv.first);
  EXPECT_EQ(keys, (std::vector<std::string>{"fs_mhz", "fs_mhz_pm", "fp_mhz", "fp_mhz_pm", "r_ohm",
                                            "r_ohm_pm", "l_mh", "l_mh_pm", "cs_ff", "cs_ff_pm",
                                            "c0_pf", "c0_pf_pm", "q", "q_pm", "fs_mhz_pm_rel",
                                            "r_ohm_pm_rel", "calibration", "method", "passes"}))
      << r.out;
  EXPECT_NE(r.out.find("method=fit\n"), std::string::npos);
  EXPECT_NEAR(reportedNumber(r.out, "fp_mhz"), 10 * std::sqrt(1 + 20e-15 / 5e-12), 20e-6);
  EXPECT_NEAR(reportedNumber(r.out, "c0_pf"), 5, 0.4);
  // Fs carries the clock's stated 50 ppm; crystals of one batch compare within
  // far less.
  EXPECT_GE(reportedNumber(r.out, "fs_mhz_pm"), 500e-6);
  EXPECT_LT(reportedNumber(r.out, "fs_mhz_pm_rel"), 1e-6);

  // Spans that cannot hold the crystal are refused after the pass, nothing
  // printed; what can be told from the arguments before any port traffic.
  for (const auto& c : kolm::test::goldenRows("crystal_refusals.tsv", 3)) {
    std::filesystem::remove("t.txt");
    r = runCli("--trace t.txt " + dut(10, 20) + "crystal " + c[0] + " --append b.csv");
    EXPECT_EQ(r.status, std::stoi(c[1])) << c[0];
    EXPECT_EQ(r.out, "") << c[0];
    EXPECT_NE(r.err.find(c[2]), std::string::npos) << c[0] << ": " << r.err;
    if (c[1] == "2") {
      EXPECT_EQ(common::readTextFile("t.txt").value_or(""), "") << c[0];
    }
    EXPECT_FALSE(std::filesystem::exists("b.csv")) << c[0];
  }

  // Found from 3 to 30 MHz, repeated, with its load resonance, sorted: Fs
  // within its interval of each limit is indeterminate (exit 5), beyond one
  // fails (4), inside all passes.
  const double fl = 10e6 * std::sqrt(1 + 20e-15 / (5e-12 + 20e-12)) / 1e6;
  const struct {
    const char* limits;
    int status;
    const char* verdict;
  } sorted[] = {{"fs_min=9.999,fs_max=10.001,r_max=30", 0, "pass"},
                {"fs_min=9.999,fs_max=10.001,r_max=10", 4, "fail"},
                {"fs_min=9.999,fs_max=10.000001", 5, "indeterminate"}};
  for (const auto& c : sorted) {
    r = runCli(dut(10, 20) +
               "crystal --start 3 --stop 30 --points 1000 --find --repeat 2 --cl 20 "
               "--limits " +
               c.limits);
    ASSERT_EQ(r.status, c.status) << r.err << r.out;
    EXPECT_NE(r.out.find(std::string("verdict=") + c.verdict + "\n"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("(narrow): "), std::string::npos) << r.err;
    EXPECT_NEAR(reportedNumber(r.out, "fl_mhz"), fl, reportedNumber(r.out, "fl_mhz_pm")) << r.out;
    for (const char* key : {"passes=2\n", "fs_mhz_sd="})
      EXPECT_NE(r.out.find(key), std::string::npos) << key;
  }
}

// The fixture's loss step and the clock's figures, kept beside their files.
TEST_F(CliCrystal, LossStepAndClockAreKept) {
  ASSERT_EQ(runCli("--backend sim --dut through crystal-calibrate --r0 50").status, 0);
  auto r = runCli("--backend sim --dut atten:10 crystal-calibrate --step-db 10");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "file=Quartz.cfg step_db=10 step_pm_db=0.1 steps=1\n");
  // An attenuator not in the fixture, or not of its stated value, is refused.
  r = runCli("--backend sim --dut through crystal-calibrate --step-db 20");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("stated as 20 dB"), std::string::npos) << r.err;
  r = runCli(dut(10, 20) + "crystal --start 9.99 --stop 10.01 --points 1000");
  EXPECT_NE(r.out.find("calibration=steps\n"), std::string::npos) << r.out;

  r = runCli("--backend sim clock --at 10 --reads 10.000123");
  ASSERT_EQ(r.status, 0) << r.err;
  // Against what the DDS makes at the word of 10 MHz (9.99999996 MHz).
  EXPECT_NEAR(reportedNumber(r.out, "clock_offset_ppm"), 12.304, 1e-3) << r.out;
  EXPECT_NEAR(reportedNumber(r.out, "clock_tolerance_ppm"), 0.1, 1e-3) << r.out;
  EXPECT_EQ(runCli("--backend sim clock").out, r.out);
  r = runCli(dut(10, 20) + "crystal --start 9.99 --stop 10.01 --points 1000");
  EXPECT_LT(reportedNumber(r.out, "fs_mhz_pm"), 50e-6) << r.out;
}

TEST_F(CliCrystal, BatchAppendedAndMatchedIntoItsGroups) {
  ASSERT_EQ(runCli("--backend sim --board ideal crystal-calibrate --r0 50").status, 0);
  // Pairs 60 and 30 Hz wide; Bx is nearer B1 but has twice the R.
  const struct {
    const char* label;
    double offsetHz, r;
  } batch[] = {{"A1", 0, 20}, {"B1", 1000, 20}, {"A2", 60, 20}, {"Bx", 1010, 45}, {"B2", 1030, 20}};
  auto measure = [](const auto& c) {
    return dut(10 + c.offsetHz * 1e-6, c.r) +
           "crystal --start 9.997 --stop 10.0045 --points 750 --append batch.csv --label " +
           c.label;
  };
  // Two programs appending at once keep both rows: the first four in pairs.
  for (size_t k = 0; k < 5; k += 2) {
    const std::string both = k + 1 < 5 ? measure(batch[k]) + " >/dev/null & " KOLM_CLI_PATH " " +
                                             measure(batch[k + 1]) + " && wait $!"
                                       : measure(batch[k]);
    auto r = runCli(both);
    ASSERT_EQ(r.status, 0) << batch[k].label << ": " << r.err;
  }
  const auto table = powermeter::readBatchCsv("batch.csv");
  ASSERT_TRUE(table.ok()) << table.error;
  ASSERT_EQ(table.rows.size(), 5u);
  std::vector<int> numbers;
  for (const auto& row : table.rows) numbers.push_back(row.number);
  EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(table.rows.back().label, "B2");

  // Matching and designing need no port: they run with dds.cfg naming the real
  // port, trace nothing, and write through links to the files they name.
  ASSERT_TRUE(common::writeFileAtomic("dds.cfg", "\"20\"\r\n\"20\"\r\n\"400\"\r\n\"888\"\r\n"));
  std::filesystem::create_symlink("batch.csv", "table.csv");
  std::filesystem::create_symlink("f.txt", "filter.txt");
  auto r = runCli(
      "--trace t.txt crystal-match table.csv --size 2 --tolerance-hz 150 --r-tolerance-pct 20");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::is_symlink("table.csv"));
  // The narrower pair first; the spreads are the batch tests'.
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2) << r.out;
  EXPECT_EQ(r.out.rfind("group=1 ", 0), 0u) << r.out;
  EXPECT_LT(r.out.find("members=B1,B2\n"), r.out.find("\ngroup=2 ")) << r.out;
  EXPECT_NE(r.out.find("members=A1,A2\n"), std::string::npos) << r.out;
  // The groups went into the table; a filter of the first pair.
  r = runCli(
      "--trace t.txt ladder-design batch.csv --group 1 --bw-hz 2000 --shape butterworth "
      "--out filter.txt");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(common::readTextFile("t.txt"), std::optional<std::string>(""));
  EXPECT_TRUE(std::filesystem::is_symlink("filter.txt"));
  EXPECT_NE(r.out.find("order=B1,B2\n"), std::string::npos) << r.out;
  EXPECT_NEAR(reportedNumber(r.out, "bw3_hz"), 2000, 100) << r.out;
  for (const char* key :
       {"c12_pf=", "c_end1_pf=", "c_end2_pf=", "r_term_ohm=", "e12_bw3_hz=", "e24_ripple_db="})
    EXPECT_NE(r.out.find(key), std::string::npos) << key;
  EXPECT_TRUE(std::filesystem::exists("f.txt"));
  // Below twice the Fs interval: no group, and the warning.
  r = runCli("crystal-match batch.csv --size 3 --tolerance-hz 0.01");
  EXPECT_EQ(r.out, "group=none\nwarning=tolerance below resolution\n");
  EXPECT_NE(runCli("ladder-design batch.csv --group 1 --bw-hz 2000 --shape cohn").status, 0);
}

// calibrate: one checked step per call on the typical board, pow.ini changed
// only by an accepted one; --previous undoes the last change.
TEST_F(CliPowerSweep, CalibrateStepsRefusalsAndPrevious) {
  common::SettingsKeeper keeper;
  ASSERT_TRUE(powermeter::savePowIni({"3", "30", "1000", "20", "-80", {826, 235}, "0", 50},
                                     powermeter::kSettingsFile, keeper));
  const std::string before = common::readTextFile("pow.ini").value();
  for (const char* refused :
       {"--dut atten:90 calibrate --level 0", "--dut amp:25 calibrate --level 0",
        "--dut through calibrate --level -60"}) {
    auto r = runCli(std::string("--backend sim ") + refused);
    EXPECT_EQ(r.status, 1) << refused;
    EXPECT_NE(r.err.find("not changed"), std::string::npos) << r.err;
    EXPECT_EQ(common::readTextFile("pow.ini").value(), before);
  }
  // --force takes what the check refuses, saying so; --external leaves the
  // generator off, so nothing reaches the simulated detector: its floor.
  for (const std::string options :
       {"--dut amp:25 calibrate --level 0", "--dut through calibrate --level 0 --external"})
    for (bool force : {false, true}) {
      auto r = runCli("--backend sim " + options + (force ? " --force" : ""));
      EXPECT_EQ(r.status, force ? 0 : 1) << options << r.err;
      EXPECT_EQ(r.err.find("warning:") != std::string::npos, force) << r.err;
      EXPECT_EQ(r.out.find("source=external") != std::string::npos,
                options.find("--external") != std::string::npos)
          << r.out;
      EXPECT_EQ(common::readTextFile("pow.ini").value() != before, force);
      ASSERT_TRUE(powermeter::savePowIni({"3", "30", "1000", "20", "-80", {826, 235}, "0", 50},
                                         powermeter::kSettingsFile, keeper));
    }
  auto r = runCli("--backend sim --dut through calibrate --level 0 --freq 14");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("freq_mhz=14\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(" calibration=stored"), std::string::npos) << r.out;
  const powermeter::PowIni after = powermeter::readPowIni(powermeter::kSettingsFile);
  EXPECT_NEAR(after.calibration.countsAt0Dbm, 814, 6);
  EXPECT_EQ(after.r0Ohm, 50);  // the rest as it was
  r = runCli("--backend sim calibrate --previous");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "cal0=826 cal60=235 calibration=default\n");
  EXPECT_EQ(powermeter::readPowIni(powermeter::kSettingsFile).calibration,
            (powermeter::Calibration{826, 235}));
  r = runCli("--backend sim calibrate --previous");
  EXPECT_EQ(powermeter::readPowIni(powermeter::kSettingsFile).calibration, after.calibration);
}
