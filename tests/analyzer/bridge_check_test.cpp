// Checking the bridge with a load, an open and a short: the figures found on
// each simulated board, what wrong standards are told, the files.
#include "analyzer/bridge_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "common/files.h"
#include "support/bridge_check_run.h"
#include "support/cli_run.h"

using namespace kolm;
using namespace kolm::analyzer;

using test::checkOn;
using test::kRightStandards;

// Each board's directivity is found within 2 dB (at the read-out's bottom the
// 30 dB board reads as a bound), and the figures stated for the intervals are
// no better than the board's own.
TEST(BridgeCheck, FindsEachBoardsDirectivityAndStatesNoBetter) {
  struct Case {
    sim::Board board;
    double directivityDb;
    bool bound;
  };
  for (const Case& c : {Case{sim::Board::Typical, 30, true}, Case{sim::Board::Harsh, 24, false},
                        Case{sim::Board::Ideal, 30, true}}) {
    SCOPED_TRACE(std::string(sim::boardName(c.board)));
    const BridgeCheckResult r = evaluateBridgeCheck(checkOn(c.board, kRightStandards));
    EXPECT_NEAR(r.directivityMinDb, c.directivityDb, 2);
    EXPECT_NEAR(r.directivityMedianDb, c.directivityDb, 2);
    EXPECT_EQ(r.directivityMinAtLimit, c.bound);
    EXPECT_LE(r.figures.directivityDb, c.directivityDb);
    EXPECT_LT(r.trackingMaxDb, 0.3);
    EXPECT_GE(r.figures.trackingDb, r.trackingMaxDb);
    EXPECT_TRUE(r.storable);
    EXPECT_TRUE(r.warnings.empty()) << r.warnings.front();
  }
}

// Standards that are not what they were said to be are told in words; those
// that contradict each other give no figures.
TEST(BridgeCheck, WrongStandardsAreToldInPlainWords) {
  struct Case {
    std::array<const char*, kStandards> connected;
    const char* words;
    bool storable;
  };
  for (const Case& c : {Case{{"r=50", "short", "short"}, "open reads like a short", false},
                        Case{{"r=50", "open", "open"}, "short reads like an open", false},
                        Case{{"r=100", "open", "short"}, "Is the load a 50", true},
                        Case{{"open", "open", "short"}, "like an open or a short", false},
                        Case{{"r=50", "r=1000", "short"}, "further apart", false}}) {
    SCOPED_TRACE(std::string(c.connected[0]) + " " + c.connected[1] + " " + c.connected[2]);
    const BridgeCheckResult r = evaluateBridgeCheck(checkOn(sim::Board::Typical, c.connected));
    std::string all;
    for (const auto& w : r.warnings) all += w + "\n";
    EXPECT_NE(all.find(c.words), std::string::npos) << all;
    EXPECT_EQ(r.storable, c.storable) << all;
  }
}

TEST(BridgeCheck, FilesKeepTheRunAndTheFigures) {
  BridgeCheckRun run = checkOn(sim::Board::Harsh, kRightStandards);
  std::string why;
  const auto back = parseCheckRun(formatCheckRun(run), &why);
  ASSERT_TRUE(back) << why;
  EXPECT_EQ(back->points, 40);
  for (int k = 0; k < kStandards; ++k)
    EXPECT_EQ(back->readings[static_cast<size_t>(k)]->returnLossCounts,
              run.readings[static_cast<size_t>(k)]->returnLossCounts);
  // Another sweep starts the check again.
  EXPECT_TRUE(run.take(Standard::Open, 1, 30, 40, {}));
  EXPECT_FALSE(run.complete());
  EXPECT_FALSE(run.readings[0]);

  const BridgeCheckResult r = evaluateBridgeCheck(*back);
  const auto figures = parseBridgeFigures(formatBridgeFigures(*back, r, "now"), &why);
  ASSERT_TRUE(figures) << why;
  EXPECT_NEAR(figures->directivityDb, r.figures.directivityDb, 1e-4);
  EXPECT_NEAR(figures->trackingDb, r.figures.trackingDb, 1e-4);
  EXPECT_EQ(figures->phaseEndDeg, publishedBridge().phaseEndDeg);
  // A phase end width stated in the file is read and written again.
  BridgeCheckResult stated = r;
  stated.figures.phaseEndDeg = 25;
  EXPECT_EQ(parseBridgeFigures(formatBridgeFigures(*back, stated, "now"), &why)->phaseEndDeg, 25);
  for (const char* text : {"", "directivity_db=25\n", "directivity_db=40\ntracking_db=0.1\n",
                           "directivity_db=25\ntracking_db=-1\n", "directivity_db 25\n",
                           "directivity_db=25\ntracking_db=0.1\nphase_end_deg=91\n"})
    EXPECT_FALSE(parseBridgeFigures(text, &why)) << text;
  for (const char* text : {"load=1/2\n", "sweep=1,60\n", "sweep=1,60,2\nload=1/2,3/4\n",
                           "sweep=1,60,1\nload=1/2,x/4\n", "sweep=1,60,1\nmatch=1/2,3/4\n"})
    EXPECT_FALSE(parseCheckRun(text, &why)) << text;
}

using BridgeCheckCli = test::CliTest;

// One standard per call, the earlier ones kept; the figures then stored and
// used by the analyzer's intervals; bridge-forget goes back to the published.
TEST_F(BridgeCheckCli, OneStandardPerCallThenFiguresTheAnalyzerUses) {
  auto check = [](const std::string& load, const std::string& standard) {
    return test::runCli("--backend sim --board harsh --load " + load +
                        " bridge-check --start 1 --stop 30 --points 20 --with " + standard);
  };
  auto rPm = [] {
    const auto r = test::runCli(
        "--backend sim --board harsh --load r=50 analyze --start 1 --stop 30 --points 20 --out "
        "a.csv --report");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("figures=measured") != std::string::npos,
              std::filesystem::exists("bridge.cfg"))
        << r.out;
    return test::reportedNumber(r.out, "r_at_min_ohm_pm");
  };
  const double published = rPm();
  auto r = check("r=50", "load");
  EXPECT_NE(r.out.find("still_to_measure=open,short"), std::string::npos) << r.out << r.err;
  r = check("open", "open");
  EXPECT_NE(r.out.find("still_to_measure=short"), std::string::npos) << r.out << r.err;
  r = check("short", "short");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NEAR(test::reportedNumber(r.out, "directivity_db_min"), 24, 2) << r.out;
  EXPECT_NE(r.out.find("figures=stored"), std::string::npos) << r.out;
  // The harsh bridge measured: wider intervals than the published figures give.
  EXPECT_GT(rPm(), 1.5 * published);
  // A phase end width stated in bridge.cfg outlives the next check.
  auto text = common::readTextFile("bridge.cfg").value();
  ASSERT_TRUE(common::writeFileAtomic("bridge.cfg", text + "phase_end_deg=25\n"));
  for (const char* standard : {"load", "open", "short"})
    check(standard == std::string("load") ? "r=50" : standard, standard);
  EXPECT_NE(common::readTextFile("bridge.cfg").value().find("phase_end_deg=25\n"),
            std::string::npos);
  r = test::runCli("bridge-forget");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(rPm(), published);
}
