// The whole chain on the typical board, whose parts are not the read-out laws:
// the power meter's calibration has to earn its accuracy, the analyzer's
// impedances come out near the physics, and every flag shows where the parts
// run out of range.
#include <gtest/gtest.h>

#include <cmath>

#include "analyzer/measurement.h"
#include "analyzer/sweep.h"
#include "analyzer/validity.h"
#include "common/prompter.h"
#include "common/text.h"
#include "powermeter/calibration.h"
#include "powermeter/sweep.h"
#include "sim/sim_rig.h"

using namespace kolm;
using sim::Board;
using test::SimRig;

namespace {

struct TypicalRig : SimRig {
  explicit TypicalRig(const std::string& dut = "through", const std::string& load = "r=50")
      : SimRig(dut, load, {}, Board::Typical) {}
  void connect(const std::string& dut, const std::string& load = "r=50") {
    ASSERT_EQ(sim->configure({dut, load, "typical"}), "");
  }

  // The two calibration commands at 10 MHz: 0 dBm straight through, -60 dBm
  // through a 60 dB attenuator.
  powermeter::Calibration calibrate() {
    common::ScriptedPrompter yes;
    powermeter::Calibration cal;
    tune(10);
    connect("through");
    EXPECT_TRUE(calibrateLevel(powermeter::CalPoint::ZeroDbm, instrument, yes, cal));
    connect("atten:60");
    EXPECT_TRUE(calibrateLevel(powermeter::CalPoint::Minus60Dbm, instrument, yes, cal));
    return cal;
  }

  // One power meter pass; the levels and the true levels at the detector.
  struct Pass {
    std::vector<float> levels;
    std::vector<double> truth;
  };
  Pass sweep(double start, double stop, int points, const powermeter::Calibration& cal) {
    auto prepared =
        powermeter::prepareSweep({start, stop, static_cast<double>(points), 20, -80}, 400, cal);
    EXPECT_TRUE(prepared.plan) << prepared.error;
    Pass p;
    p.levels.assign(powermeter::kTraceSize, 0.f);
    powermeter::SweepJob job(
        instrument, *prepared.plan, cal, [] { return 0.0; }, p.levels);
    job.runToEnd();
    p.levels.resize(points + 1);
    const double dw = (prepared.plan->stopWord - prepared.plan->startWord) / points;
    for (int i = 0; i <= points; ++i) {
      hw::ddsSendWord(instrument,
                      static_cast<uint32_t>(std::nearbyint(prepared.plan->startWord + i * dw)));
      p.truth.push_back(sim->detectorDbm());
    }
    return p;
  }

  analyzer::Channels analyze(double start, double stop, int points) {
    auto planned = analyzer::planSweep(start, stop, points, 400);
    EXPECT_TRUE(planned.ok()) << planned.error;
    analyzer::Channels c;
    analyzer::ReadWriteJob job(instrument, planned.plan, c, true);
    job.runToEnd();
    return c;
  }
};

double worst(const TypicalRig::Pass& p) {
  double e = 0;
  for (size_t i = 0; i < p.levels.size(); ++i) e = std::max(e, std::abs(p.levels[i] - p.truth[i]));
  return e;
}

}  // namespace

// Calibrated at 0 and -60 dBm, attenuators read within 1.5 dB of the truth from
// 1 to 30 MHz; with the default counts they do not.
TEST(TypicalBoard, CalibrationEarnsTheLevelAccuracyAndTheEndsAreFlagged) {
  TypicalRig rig;
  const powermeter::Calibration cal = rig.calibrate();
  EXPECT_GE(cal.Cal0, 800);  // the advice the prompts give
  EXPECT_LE(cal.Cal0, 900);
  EXPECT_NEAR(cal.Cal60, 200, 20);
  for (int atten : {10, 30, 50}) {
    rig.connect("atten:" + std::to_string(atten));
    const auto before = rig.sweep(1, 30, 29, powermeter::Calibration{});
    const auto after = rig.sweep(1, 30, 29, cal);
    EXPECT_LT(worst(after), 1.5) << atten;
    EXPECT_GT(worst(before), 1.5) << atten;  // the calibration visibly matters
    for (size_t i = 0; i < after.levels.size(); ++i)
      EXPECT_EQ(powermeter::levelLimits(cal).flag(after.levels[i]), powermeter::LevelFlag::Valid);
  }
  // The detector's two ends, flagged with either calibration: its noise floor
  // through a 90 dB attenuator and its top behind an amplifier.
  for (const powermeter::Calibration& c : {powermeter::Calibration{}, cal}) {
    const auto limits = powermeter::levelLimits(c);
    rig.connect("atten:90");
    for (float level : rig.sweep(1, 30, 10, c).levels)
      EXPECT_EQ(limits.flag(level), powermeter::LevelFlag::Floor) << level;
    rig.connect("amp:25");
    for (float level : rig.sweep(1, 30, 10, c).levels)
      EXPECT_EQ(limits.flag(level), powermeter::LevelFlag::Overload) << level;
  }
}

// Resistors read within 5 % with no calibration of the bridge; a short is
// flagged at the bridge's phase limit.
TEST(TypicalBoard, AnalyzerResistanceAndItsFlags) {
  TypicalRig rig;
  for (double r : {25.0, 33.0, 75.0, 100.0}) {
    rig.connect("through", "r=" + common::shortestText(r));
    const auto c = rig.analyze(1, 30, 29);
    for (int i = 0; i <= 29; ++i) {
      const analyzer::PointResult p =
          analyzer::evaluatePoint(c.returnLossCounts[i], c.phaseCounts[i]);
      ASSERT_NE(p.flag, analyzer::PointFlag::Open);
      EXPECT_NEAR(p.values[analyzer::kResistance], r, 0.05 * r) << r << " at " << c.frequencies[i];
    }
  }
  auto flags = [&](const std::string& load) {
    rig.connect("through", load);
    const auto c = rig.analyze(1, 60, 59);
    std::vector<analyzer::PointFlag> f;
    for (int i = 0; i <= 59; ++i)
      f.push_back(analyzer::pointFlag(c.returnLossCounts[i], c.phaseCounts[i]));
    return f;
  };
  // A matched load and an open after it: AnalyzerUi.MatchedThenOpenOnTheTypicalBoard.
  // A short: a total reflection at 180 degrees, measurable but for its phase.
  for (auto f : flags("short"))
    EXPECT_TRUE(f == analyzer::PointFlag::PhaseLimit || f == analyzer::PointFlag::Invalid);
}
