// The power meter's calibration on the simulated typical board: at a stated
// frequency, checked, undoable; the default calibration said wherever levels
// are shown or written; the through-path tables checked before they are kept.
#include "powermeter/calibration.h"

#include <gtest/gtest.h>

#include <random>

#include "common/files.h"
#include "common/records.h"
#include "common/text.h"
#include "powermeter/analysis.h"
#include "powermeter/chart_file.h"
#include "powermeter/reference.h"
#include "powermeter/settings.h"
#include "sim/sim_rig.h"
#include "support/golden.h"
#include "support/port_rig.h"
#include "support/temp_dir.h"

using namespace kolm;
using namespace kolm::powermeter;

namespace {

// Notes the generator's word whenever the user is asked something.
struct WatchingPrompter : common::ScriptedPrompter {
  explicit WatchingPrompter(sim::SimulatedInstrument* sim) : sim(sim) {}
  bool confirm(const std::string& text, const std::string& title) override {
    words.push_back(sim->tuningWord());
    return ScriptedPrompter::confirm(text, title);
  }
  sim::SimulatedInstrument* sim;
  std::vector<uint32_t> words;
};

test::SimRig typicalBoard(const std::string& dut) {
  return test::SimRig(dut, "r=50", {}, sim::Board::Typical);
}

}  // namespace

// Each step runs the generator at the chosen frequency (or leaves it off for an
// external signal) while the user is asked, names it, takes a count that fits
// the detector and warns of one that does not (nothing reaching the detector,
// too much, the wrong level for the step): Cancel changes nothing, "Use
// anyway" takes it. The generator is off whatever the answer.
TEST(LevelCalibration, AtTheStatedFrequencyCheckedAndOffOnEveryWayOut) {
  const auto cases = kolm::test::goldenRows("level_calibrations.tsv", 3);
  for (std::optional<double> mhz : {std::optional<double>(1.0), {3.5}, {10.0}, {30.0}, {}})
    for (const auto& c : cases)
      for (bool useAnyway : {false, true}) {
        SCOPED_TRACE(c[1] + " at " + (mhz ? common::shortestText(*mhz, 9) + " MHz" : "external"));
        const CalPoint point = c[0] == "0" ? CalPoint::ZeroDbm : CalPoint::Minus60Dbm;
        auto rig = typicalBoard(c[1]);
        WatchingPrompter prompter(rig.sim);
        // With the generator off nothing reaches the simulated detector.
        const std::string warning = !mhz ? "bottom of its converter" : c[2] == "-" ? "" : c[2];
        prompter.confirms = {true};
        if (!warning.empty()) prompter.confirms.push_back(useAnyway);
        Calibration cal;
        const bool taken = calibrateLevel(point, mhz, rig.instrument, prompter, cal);
        ASSERT_FALSE(prompter.words.empty());
        EXPECT_EQ(prompter.words[0], mhz ? rig.wordFor(*mhz) : 0u);
        EXPECT_NE(prompter.shown[0].text.find(mhz ? common::shortestText(*mhz, 9) + " MHz"
                                                  : std::string("segnale esterno")),
                  std::string::npos);
        EXPECT_EQ(rig.sim->tuningWord(), 0u);
        if (!warning.empty()) {
          ASSERT_GE(prompter.shown.size(), 2u);
          EXPECT_NE(prompter.shown[1].text.find(warning), std::string::npos);
        }
        EXPECT_EQ(taken, warning.empty() || useAnyway);
        if (taken) {
          // The count read there (the typical board's about 814 and 206).
          const int count = point == CalPoint::ZeroDbm ? cal.countsAt0Dbm : cal.countsAtMinus60Dbm;
          if (mhz) {
            rig.tune(*mhz);
            EXPECT_NEAR(count, rig.detector(), 3);
          }
        } else {
          EXPECT_EQ(cal, Calibration{});
        }
      }
  // A count equal to the other point's gives no slope: refused, no way past.
  for (int count : {100, 500, 900})
    for (CalPoint point : {CalPoint::ZeroDbm, CalPoint::Minus60Dbm}) {
      const Calibration now{static_cast<int16_t>(count), static_cast<int16_t>(count)};
      const CountWarning w = calibrationCountWarning(point, count, now, 10.0, {});
      EXPECT_NE(w.problem, "");
      EXPECT_FALSE(w.overrulable);
    }
  // Cancel at either prompt changes nothing and switches the generator off.
  for (std::deque<bool> answers : {std::deque<bool>{false}, std::deque<bool>{true, false}}) {
    auto rig = typicalBoard("through");
    WatchingPrompter prompter(rig.sim);
    prompter.confirms = answers;
    Calibration cal;
    EXPECT_FALSE(calibrateLevel(CalPoint::ZeroDbm, 10.0, rig.instrument, prompter, cal));
    EXPECT_EQ(cal, Calibration{});
    EXPECT_EQ(rig.sim->tuningWord(), 0u);
  }
  // No frequency at 0 MHz or beyond the DDS: said before anything is sent.
  for (double mhz : {0.0, -1.0, 250.0}) {
    auto rig = typicalBoard("through");
    WatchingPrompter prompter(rig.sim);
    Calibration cal;
    EXPECT_FALSE(calibrateLevel(CalPoint::ZeroDbm, mhz, rig.instrument, prompter, cal));
    EXPECT_TRUE(prompter.words.empty());
    EXPECT_EQ(prompter.messages().size(), 1u);
  }
}

// On the simulator the request says what to connect, and its step connects
// what the calibration takes: the count fits after the step alone (without it,
// a warning the user here does not overrule).
TEST(LevelCalibration, OnTheSimulatorTheRequestsStepConnectsWhatItAsksFor) {
  for (CalPoint point : {CalPoint::ZeroDbm, CalPoint::Minus60Dbm})
    for (bool step : {true, false}) {
      auto rig = typicalBoard("atten:20");
      common::ScriptedHelpingPrompter prompter;
      prompter.helps = {step};
      if (!step) prompter.confirms = {true, false};  // OK to the request, not "Use anyway"
      const common::PromptHelp connect{
          "Connect", [&] {
            rig.sim->configure({simulatorConnection(point), "r=50", "typical"});
            return std::string("connected");
          }};
      Calibration cal;
      EXPECT_EQ(calibrateLevel(point, 10, rig.instrument, prompter, cal, connect), step);
      EXPECT_NE(prompter.shown.at(0).text.find(simulatorConnection(point) + " tra"),
                std::string::npos)
          << prompter.shown[0].text;
    }
}

// A calibration taken right after opening and one taken after a sweep left
// the generator at 30 MHz read alike: the step sets its own frequency.
TEST(LevelCalibration, ThePreviousSettingOfTheGeneratorDoesNotMatter) {
  auto take = [](std::optional<double> before) {
    auto rig = typicalBoard("through");
    if (before) rig.tune(*before);
    common::ScriptedPrompter prompter;
    Calibration cal;
    EXPECT_TRUE(calibrateLevel(CalPoint::ZeroDbm, 10, rig.instrument, prompter, cal));
    return cal.countsAt0Dbm;
  };
  EXPECT_NEAR(take(std::nullopt), take(30.0), 2);
}

// Every change keeps the calibration it replaced; Previous calibration brings
// it back and keeps the other, so a second one undoes the first.
TEST(LevelCalibration, PreviousCalibrationUndoesAnyChange) {
  test::TempDir dir;
  common::SettingsFolder folder(dir.path());
  const auto path = dir.path() / kPreviousCalibrationFile;
  std::string error;
  EXPECT_FALSE(bringBackPreviousCalibration(folder, &error));
  EXPECT_NE(error.find("no previous calibration"), std::string::npos);
  std::mt19937 random(25);
  std::uniform_int_distribution<int> count(0, 1023);
  Calibration inUse;
  auto to = [](Calibration c) { return [c](const Calibration&) { return std::optional(c); }; };
  for (int k = 0; k < 200; ++k) {
    const Calibration before = inUse;
    Calibration after{static_cast<int16_t>(count(random)), static_cast<int16_t>(count(random))};
    if (!after.usable()) continue;
    ASSERT_TRUE(storeCalibration(folder, to(after)).written);
    EXPECT_EQ(readPowIni(folder.file(kSettingsFile)).calibration, after);
    const auto restored = bringBackPreviousCalibration(folder, &error);
    ASSERT_TRUE(restored) << error;
    EXPECT_EQ(*restored, before);
    EXPECT_EQ(bringBackPreviousCalibration(folder, &error), after);  // undone again
    inUse = after;
  }
  // An unchanged calibration keeps what was kept; the rest of pow.ini stays.
  EXPECT_EQ(readPowIni(folder.file(kSettingsFile)).delayMs.text, "0");
  ASSERT_TRUE(storeCalibration(folder, to(inUse)).written);
  EXPECT_NE(readPreviousCalibration(path), inUse);
  // A file that holds anything but two different counts is not taken.
  for (const char* content : {"\"826\"\r\n", "\"826\"\r\n\"2000\"\r\n", "\"300\"\r\n\"300\"\r\n",
                              "\"826\"\r\n\"235\"\r\n\"1\"\r\n", "\"x\"\r\n\"235\"\r\n"}) {
    ASSERT_TRUE(common::writeFileAtomic(path, content));
    std::string problem;
    EXPECT_FALSE(readPreviousCalibration(path, &problem)) << content;
    EXPECT_FALSE(problem.empty()) << content;
    EXPECT_FALSE(bringBackPreviousCalibration(folder, &error));
    EXPECT_EQ(common::readTextFile(path).value(), content);  // left as it was
  }
}

// With the default counts every level written or said is marked: CSV rows
// carry "uncalibrated", the report calibration=default, texts "≈ ... not
// calibrated" and never a bound; with stored counts none of this.
TEST(LevelCalibration, DefaultCountsAreSaidEverywhere) {
  for (const Calibration cal : {Calibration{}, Calibration{814, 206}, Calibration{850, 240}}) {
    const bool uncalibrated = cal.isDefault();
    const LevelLimits limits = levelLimits(cal);
    ChartFile chart{1023, 1, 30, {}, {}};
    for (int c = 0; c <= 1023; ++c) chart.levels.push_back(readingToDbm(c, cal));
    const common::CsvTable csv = common::readCsvTable(formatCsv(chart, limits));
    size_t marked = 0, flagged = 0;
    for (const auto& row : csv.rows) {
      marked += row[2].ends_with("uncalibrated");
      flagged += row[2].starts_with("floor") || row[2].starts_with("overload");
    }
    EXPECT_EQ(csv.rows.size(), 1024u);
    EXPECT_EQ(marked, uncalibrated ? 1024u : 0u);
    EXPECT_GT(flagged, 50u);  // floor and overload still said
    const std::string report = levelReport(analyzeLevels(chart.levels, 1, 30, limits));
    EXPECT_NE(report.find(uncalibrated ? "calibration=default\n" : "calibration=stored\n"),
              std::string::npos);
    for (float level : chart.levels) {
      const LevelFlag flag = limits.flag(level);
      const std::string text = levelText(level, flag, limits.calibrated);
      const bool bound = text.find("\u2264") == 0 || text.find("\u2265") == 0;
      EXPECT_EQ(bound, !uncalibrated && flag != LevelFlag::Valid) << text;
      EXPECT_EQ(text.find("not calibrated") != std::string::npos, uncalibrated) << text;
      EXPECT_EQ(limits.mark(level) == chart::Mark::Approximate,
                uncalibrated && flag != LevelFlag::Valid);
    }
    EXPECT_EQ(uncalibratedNote(limits).empty(), !uncalibrated);
  }
}

// The through paths are kept only when they look like one: the typical board
// through (and 3 dB down) is; nothing at the detector, an overload and a
// detector that does not follow the generator are not.
TEST(ThroughTable, FloorOverloadAndFlatLinesAreRefused) {
  const Calibration cal{814, 206};
  auto measured = [&](const std::string& dut) {
    auto rig = typicalBoard(dut);
    std::string error;
    auto words = tableWords(400, kRifEntries, &error);
    EXPECT_TRUE(words) << error;
    QuartzReferenceJob job(rig.instrument, *words, cal);
    while (!job.done()) job.step();
    return throughTableProblem(job.table(), levelLimits(cal), "The through path");
  };
  EXPECT_EQ(measured("through"), "");
  EXPECT_EQ(measured("atten:3"), "");
  EXPECT_NE(measured("atten:90").find("detector's floor"), std::string::npos);
  EXPECT_NE(measured("amp:25").find("overloads"), std::string::npos);
  ReferenceTable flat;
  flat.fill(-12.5f);
  for (size_t i = 0; i < flat.size(); i += 7) flat[i] = -12.2f;
  EXPECT_NE(throughTableProblem(flat, levelLimits(cal), "The through path").find("flat line"),
            std::string::npos);
}

// The count taken is the last of five read-outs 2 ms apart; the default counts
// read 0 dBm at 826 and -60 dBm at 235, once confirmed.
TEST(LevelCalibration, TheLastOfFiveReadOutsAndTheDefaultCounts) {
  test::PortRig rig;
  rig.answer([](size_t k) { return 850 + static_cast<int>(k); });  // 850 .. 854
  EXPECT_EQ(readCalibrationCount(rig.instrument), 854);
  EXPECT_EQ(rig.waitUnits(), std::vector<double>(5, hw::delayUnitsFromMs(2)));

  common::ScriptedPrompter prompter;
  Calibration cal{900, 300};
  prompter.confirms = {false, true};
  EXPECT_FALSE(calibrateDefault(prompter, cal));
  EXPECT_EQ(cal, (Calibration{900, 300}));
  EXPECT_TRUE(calibrateDefault(prompter, cal));
  EXPECT_EQ(std::pair(readingToDbm(826, cal), readingToDbm(235, cal)), std::pair(0.0f, -60.0f));
}

// Counts loaded from pow.ini are checked as a calibration checks each count it
// takes: a pair passes only where both its counts would have been taken, and
// the error a level difference may carry by the detector's figures holds for
// every slope those figures allow.
TEST(LevelCalibration, LoadedCountsAreCheckedAsTheCalibrationChecksThem) {
  const CalibrationCommands names{"zero", "sixty", "default"};
  const DetectorFigures& d = detectorFigures();
  std::mt19937 rng(39);
  std::uniform_int_distribution<int> count(0, kMaxDetectorCount);
  std::uniform_real_distribution<double> trueSlope(d.countsPerDb * (1 - d.slopeTolerance),
                                                   d.countsPerDb * (1 + d.slopeTolerance));
  int within = 0;
  for (int k = 0; k < 20000; ++k) {
    // Half the pairs near the nominal slope, so that both answers are met often.
    const int cal0 = count(rng);
    const int cal60 = k % 2 ? count(rng) : cal0 - static_cast<int>(60 * trueSlope(rng) * 1.1);
    if (cal60 < 0 || cal60 == cal0) continue;
    const Calibration c{static_cast<int16_t>(cal0), static_cast<int16_t>(cal60)};
    const bool taken = calibrationCountProblem(CalPoint::ZeroDbm, cal0, c, 10, names).empty() &&
                       calibrationCountProblem(CalPoint::Minus60Dbm, cal60, c, 10, names).empty();
    ASSERT_EQ(withinDetectorFigures(c), taken) << cal0 << "/" << cal60;
    ASSERT_EQ(detectorFiguresProblem(c).empty(), taken) << cal0 << "/" << cal60;
    ASSERT_EQ(levelLimits(c).withinFigures, taken) << cal0 << "/" << cal60;
    within += taken;
    // A 40 dB difference read with these counts, on any detector the figures allow.
    const double s = trueSlope(rng);
    const double read = 40 * s / ((cal0 - cal60) / 60.0);
    ASSERT_LE(std::abs(read / 40 - 1), slopeErrorFromFigures(c) * (1 + 1e-12))
        << cal0 << "/" << cal60;
  }
  EXPECT_GT(within, 2000);
  EXPECT_TRUE(withinDetectorFigures(Calibration{}));
  EXPECT_NEAR(slopeErrorFromFigures(Calibration{}), d.slopeTolerance, 1e-12);
}
