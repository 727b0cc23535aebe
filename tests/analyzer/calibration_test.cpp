// Calibrating the bridge: the corrected readings' intervals hold every load
// their sector of readings allows, the standards' faults are named and store
// nothing, the calibration file is read back whole or not at all, and a
// calibration replaced can be brought back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>

#include "analyzer/calibration.h"
#include "analyzer/corrected_points.h"
#include "analyzer/files.h"
#include "analyzer/sweep.h"
#include "common/files.h"
#include "sim/sim_rig.h"
#include "support/bridge_check_run.h"
#include "support/temp_dir.h"

using namespace kolm;
using namespace kolm::analyzer;

namespace {

size_t standardAt(const char* name) {
  return static_cast<size_t>(calibrationStandard(name) - calibrationStandards().data());
}

}  // namespace

// Every load of a sector of readings, corrected with terms that may be off by
// their stated amount, lies within the intervals: checked by sampling loads
// through random terms and sectors.
TEST(Correction, IntervalsHoldEveryLoadTheReadingsAllow) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> unit(-1, 1);
  const BridgeFigures& f = publishedBridge();
  int checked = 0;
  for (int trial = 0; trial < 300; ++trial) {
    ErrorTerms t;
    t.directivity = {0.03 * unit(random), 0.03 * unit(random)};
    t.tracking = std::polar(1 + 0.01 * unit(random), 0.03 * unit(random));
    t.sourceMatch = {0.01 * unit(random), 0.01 * unit(random)};
    t.countsPerDb *= 1 + 0.02 * unit(random);
    std::array<double, kTermParts> pm{};
    for (double& p : pm) p = 0.004 * (1 + unit(random));
    pm[kCountsPerDb] = 0.2 * (1 + unit(random));
    t.pm = pm;
    const double a = 60 + 450 * (1 + unit(random)) / 2, b = 40 + 940 * (1 + unit(random)) / 2;
    const CorrectedReading c = correctReading(a, b, t, f);
    // The cheap X bounds that decide a sign before the intervals are worked
    // out hold them (before the values are held).
    CorrectedReading bare;
    bare.plus.fill(NAN), bare.minus.fill(NAN);
    correctRanges(bare, a, b, t, f);
    const ReactanceBounds x = reactanceBounds(a, b, t, f);
    EXPECT_EQ(x.merged, bare.merged);
    for (size_t k = 0; k < 2 && !x.merged; ++k) {
      const PointInterval& r = k == 0 ? bare.plusRange : bare.minusRange;
      EXPECT_LE(x.low[k], r.low[kReactance]) << trial;
      EXPECT_GE(x.high[k], r.high[kReactance]) << trial;
    }
    // Loads that give readings a count or less away, through terms within their pm.
    for (int n = 0; n < 40; ++n) {
      ErrorTerms truth = t;
      truth.directivity += Complex(pm[0] * unit(random), pm[1] * unit(random));
      truth.tracking += Complex(pm[2] * unit(random), pm[3] * unit(random));
      truth.sourceMatch += Complex(pm[4] * unit(random), pm[5] * unit(random));
      truth.countsPerDb += pm[6] * unit(random);
      const bool plus = unit(random) > 0;
      const double angle = (b + unit(random)) * kDegreesPerCount * M_PI / 180;
      const Complex w = std::polar(ratioSize(truth, a + unit(random)), plus ? angle : -angle);
      const Complex g = correctedReflection(truth, w);
      if (std::abs(g) > 1) continue;  // no passive load
      const PointValues v = valuesOf(g);
      const PointInterval& range = plus ? c.plusRange : c.minusRange;
      for (int q = 0; q < kQuantities; ++q) {
        SCOPED_TRACE(testing::Message() << "trial " << trial << " quantity " << q);
        EXPECT_GE(v[q], range.low[q] - 1e-4 * (1 + std::fabs(v[q])));
        EXPECT_LE(v[q], range.high[q] + 1e-4 * (1 + std::fabs(v[q])));
      }
      ++checked;
    }
  }
  EXPECT_GT(checked, 5000);
}

// Pass after pass, readings met before keep their corrections: a trace worked
// out with them is, to the last bit, the trace worked out afresh.
TEST(Correction, ReadingsMetBeforeGiveWhatAFirstComputationGives) {
  const CalibrationResult r = solveCalibration(test::calibrationRunOn(sim::Board::Typical), "sim");
  ASSERT_TRUE(r.calibration) << r.fault;
  BridgeFigures used = publishedBridge();
  used.calibration = std::make_shared<const BridgeCalibration>(*r.calibration);
  test::SimRig rig("through", "rlc:r=30,l=1u,c=129.2p", {}, sim::Board::Typical);
  auto same = [](const auto& x, const auto& y) {
    return x.size() == y.size() && std::memcmp(x.data(), y.data(), x.size() * sizeof x[0]) == 0;
  };
  TraceValues kept;
  for (int pass = 0; pass < 12; ++pass) {
    const Channels c = rig.pass(1, 30, 300);
    computeTraceValues(c, 300, kept, used);
    // Another calibration object of the same terms: nothing met before.
    BridgeFigures afresh = used;
    afresh.calibration = std::make_shared<const BridgeCalibration>(*r.calibration);
    TraceValues first;
    computeTraceValues(c, 300, first, afresh);
    for (int q = 0; q < kQuantities; ++q) {
      EXPECT_TRUE(same(kept.values[q], first.values[q])) << "pass " << pass << " quantity " << q;
      EXPECT_TRUE(same(kept.halfWidths[q], first.halfWidths[q])) << "pass " << pass;
    }
    EXPECT_TRUE(same(kept.flags, first.flags) && same(kept.signs, first.signs) &&
                same(kept.uncertain, first.uncertain) && same(kept.correction, first.correction))
        << "pass " << pass;
  }
}

// A corrected point's intervals left until its sign needs them are, once
// worked out, those worked out at once, whatever sign a later inference
// chooses (a load behind a line chooses again by the turn alone).
TEST(Correction, IntervalsLeftPendingAreThoseWorkedOutAtOnce) {
  const CalibrationResult r = solveCalibration(test::calibrationRunOn(sim::Board::Typical), "sim");
  ASSERT_TRUE(r.calibration) << r.fault;
  BridgeFigures used = publishedBridge();
  used.calibration = std::make_shared<const BridgeCalibration>(*r.calibration);
  int left = 0;  // points left pending
  for (const char* load : {"rlc:r=30,l=1u,c=129.2p", "rlc:r=35,l=4u,c=32p", "r=120"}) {
    test::SimRig rig("through", load, {}, sim::Board::Typical);
    const Channels c = rig.pass(1, 60, 700);
    TraceValues lazy;
    computeTraceValues(c, 700, lazy, used);
    TraceValues eager = lazy;
    for (size_t i = 0; i < eager.pending.size(); ++i) {
      left += lazy.pending[i].sectors != 0;
      settleRanges(eager, i, kBothSectors);
    }
    for (bool behindLine : {false, true}) {
      inferSigns(lazy, behindLine), inferSigns(eager, behindLine);
      EXPECT_EQ(lazy.signs, eager.signs) << load;
      for (int q = 0; q < kQuantities; ++q)
        EXPECT_TRUE(std::memcmp(lazy.values[q].data(), eager.values[q].data(), 701 * 4) == 0 &&
                    std::memcmp(lazy.halfWidths[q].data(), eager.halfWidths[q].data(), 701 * 4) ==
                        0)
            << load << " quantity " << q << (behindLine ? " behind a line" : "");
    }
  }
  EXPECT_GT(left, 300);
}

// The readings of one calibration cell are corrected alike, with terms whose
// residual errors hold the terms interpolated anywhere in the cell (and the
// points' own frequencies as single precision keeps them) with theirs.
TEST(Correction, ACellsTermsHoldTheInterpolatedOnes) {
  const CalibrationResult r = solveCalibration(test::calibrationRunOn(sim::Board::Typical), "sim");
  ASSERT_TRUE(r.calibration) << r.fault;
  const BridgeCalibration& c = *r.calibration;
  std::mt19937 random(3);
  std::uniform_real_distribution<double> span(c.startMHz, c.stopMHz);
  std::uniform_int_distribution<int> point(0, c.points);
  for (int n = 0; n < 4000; ++n) {
    const double mhz = n % 2 ? span(random) : static_cast<float>(c.frequencyMHz(point(random)));
    const auto at = c.at(mhz);
    const int cell = c.cellOf(mhz);
    ASSERT_TRUE(at && cell >= 0) << mhz;
    const ErrorTerms held = c.cellTerms(cell);
    for (int k = 0; k < kTermParts; ++k)
      EXPECT_LE(std::fabs(at->part(k) - held.part(k)) + at->pm[k], held.pm[k] * (1 + 1e-12))
          << mhz << " MHz, part " << k;
  }
  EXPECT_EQ(c.cellOf(c.stopMHz + 0.1), -1);
}

// The simulator's standards give terms that hold its own bridge, on every
// board, and the terms come back whole from their file.
TEST(Calibration, TheStandardsGiveTermsHoldingTheBoard) {
  for (sim::Board board : {sim::Board::Ideal, sim::Board::Typical}) {
    SCOPED_TRACE(std::string(sim::boardName(board)));
    const CalibrationResult r = solveCalibration(test::calibrationRunOn(board), "sim");
    ASSERT_TRUE(r.calibration) << r.fault;
    const BridgeCalibration& cal = *r.calibration;
    std::string why;
    const auto back = parseCalibration(formatCalibration(cal), &why);
    ASSERT_TRUE(back) << why;
    for (int i = 0; i <= cal.points; i += 5) {
      const ErrorTerms& t = cal.terms[static_cast<size_t>(i)];
      for (int k = 0; k < kTermParts; ++k)
        EXPECT_NEAR(back->terms[static_cast<size_t>(i)].part(k), t.part(k), 1e-8);
      // The ideal board is the read-out's laws: no directivity, tracking 1.
      if (board == sim::Board::Ideal) {
        EXPECT_LE(std::abs(t.directivity), std::hypot(t.pm[0], t.pm[1]));
        EXPECT_LE(std::abs(t.tracking - 1.0), std::hypot(t.pm[2], t.pm[3]));
      }
    }
    // Between calibration points and outside the span.
    EXPECT_TRUE(cal.at(7.3));
    EXPECT_FALSE(cal.at(60.5));
    EXPECT_FALSE(cal.at(0.9));
  }
}

// Standards that are not what they were said to be are named, and give no
// calibration.
TEST(Calibration, StandardsAtFaultAreNamed) {
  struct Case {
    const char* standard;
    const char* connected;
    const char* stated;  // empty: the nominal value
  };
  for (const Case& c :
       {Case{"open", "short", ""}, Case{"short", "open", ""}, Case{"load", "r=75", ""},
        Case{"r75", "r=33.3333", ""}, Case{"rc100p", "rlc:r=50,c=1n", ""},
        Case{"rc100p", "", "r=50,c=220p"}, Case{"rc1n", "open", ""}}) {
    SCOPED_TRACE(std::string(c.standard) + " " + c.connected + c.stated);
    const size_t k = standardAt(c.standard);
    CalibrationRun run =
        test::calibrationRunOn(sim::Board::Typical, 40, *c.connected ? k : 99, c.connected);
    if (*c.stated) run.standards[k]->value = *parseStandardValue(c.stated, false, nullptr);
    const CalibrationResult r = solveCalibration(run, "sim");
    EXPECT_FALSE(r.calibration);
    EXPECT_NE(r.fault.find(std::string(" ") + c.standard + " "), std::string::npos) << r.fault;
  }
}

// A calibration file that is cut short, from another sweep or of another
// instrument is not used; a calibration replaced is kept and can be brought
// back, and a fault stores nothing.
TEST(Calibration, FilesAreUsedWholeAndReplacedOnesKept) {
  test::TempDir dir;
  common::SettingsFolder folder(dir.path());
  CalibrationRun run = test::calibrationRunOn(sim::Board::Typical);
  const CalibrationResult first = solveCalibration(run, "sim");
  ASSERT_TRUE(first.calibration);
  ASSERT_TRUE(keepCalibration(folder, run, &first, false).stored);
  ASSERT_TRUE(calibrationIn(folder, "sim").calibration);
  EXPECT_FALSE(calibrationIn(folder, "ppdev").calibration);
  EXPECT_NE(calibrationIn(folder, "ppdev").problem.find("calibrated on sim"), std::string::npos);

  const std::string text = formatCalibration(*first.calibration);
  std::string why;
  EXPECT_FALSE(parseCalibration(text.substr(0, text.rfind('\n', text.size() * 2 / 3) + 1), &why));
  EXPECT_NE(why.find("cut short"), std::string::npos) << why;
  EXPECT_FALSE(parseCalibration(text.substr(0, text.size() - 20), &why));
  std::string other = text;
  other.replace(other.find("sweep=1,60,40"), 13, "sweep=1,61,40");
  EXPECT_FALSE(parseCalibration(other, &why));
  EXPECT_NE(why.find("where the sweep's point"), std::string::npos) << why;

  // A second calibration replaces the first, kept as the previous one.
  CalibrationRun second = test::calibrationRunOn(sim::Board::Typical, 20);
  const CalibrationResult next = solveCalibration(second, "sim");
  ASSERT_TRUE(keepCalibration(folder, second, &next, false).stored);
  EXPECT_EQ(calibrationIn(folder, "sim").calibration->points, 20);
  ASSERT_TRUE(swapPreviousCalibration(folder, &why)) << why;
  EXPECT_EQ(calibrationIn(folder, "sim").calibration->points, 40);
  ASSERT_TRUE(swapPreviousCalibration(folder, &why)) << why;
  EXPECT_EQ(calibrationIn(folder, "sim").calibration->points, 20);

  // A fault keeps the calibration in use and the readings for another try.
  CalibrationRun bad = test::calibrationRunOn(sim::Board::Typical, 20, standardAt("open"), "short");
  const CalibrationResult fault = solveCalibration(bad, "sim");
  EXPECT_FALSE(keepCalibration(folder, bad, &fault, false).stored);
  EXPECT_EQ(calibrationIn(folder, "sim").calibration->points, 20);
  bool unreadable = false;
  EXPECT_TRUE(calibrationRunIn(folder, &unreadable).missing().empty());

  // A file cut short is copied aside before any of three ways replaces or removes it.
  for (int way = 0; way < 3; ++way) {
    common::writeFileAtomic(folder.file(kCalibrationFile), text.substr(0, text.size() / 2));
    EXPECT_TRUE(way ? (way == 1 ? swapPreviousCalibration : forgetCalibration)(folder, &why)
                    : keepCalibration(folder, second, &next, false).stored);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3) << way;
  }
}

// Where corrected readings give way to uncorrected ones, the step tells no sign.
TEST(Calibration, SignsHoldAcrossTheCalibrationsEdge) {
  const BridgeFigures figures{
      .calibration = std::make_shared<const BridgeCalibration>(
          *solveCalibration(test::calibrationRunOn(sim::Board::Typical), "sim").calibration)};
  for (const char* load : {"rlc:r=50,l=159n", "rlc:r=75,l=200n", "rlc:r=30,c=33p"})
    for (const auto& [start, stop] : {std::pair{50.0, 70.0}, {30.0, 62.0}}) {
      const TraceValues t = exportTrace(
          40, start, stop, test::SimRig("through", load).pass(start, stop, 40), figures);
      EXPECT_GE(std::ranges::count(t.signs, ReactanceSign(std::strstr(load, "l=") ? 1 : -1)), 38)
          << load << " " << start;
    }
}

// The legend's note says where a trace is not corrected, and nothing where it is.
TEST(Calibration, UncorrectedNoteSaysWhere) {
  auto calibration = std::make_shared<BridgeCalibration>();
  calibration->startMHz = 1;
  calibration->stopMHz = 60;
  const auto U = Correction::Uncorrected, C = Correction::Corrected, I = Correction::Interpolated;
  struct Case {
    bool calibrated;
    std::vector<double> mhz;
    std::vector<Correction> correction;
    const char* note;
  };
  for (const Case& c : {
           Case{false, {1, 2}, {}, "uncorrected: no calibration"},
           Case{true, {70, 80}, {U, U}, "uncorrected: outside the calibration's 1 to 60 MHz"},
           Case{true, {1, 30, 60}, {C, I, C}, ""},
           Case{true, {0.5, 30}, {U, C}, "uncorrected below 1 MHz"},
           Case{true, {30, 60.5}, {C, U}, "uncorrected above 60 MHz"},
           Case{true, {0.5, 30, 61}, {U, C, U}, "uncorrected below 1 and above 60 MHz"},
           Case{false, {}, {}, ""},
       }) {
    TraceValues t;
    t.frequencies = c.mhz;
    t.correction = c.correction;
    if (c.calibrated) t.figures.calibration = calibration;
    // A trace names its calibration when any point of it is corrected.
    if (std::any_of(c.correction.begin(), c.correction.end(), [&](auto k) { return k != U; }))
      t.calibration = "2026-12-08 14:00 UTC";
    EXPECT_EQ(uncorrectedNote(t), c.note) << c.mhz.size();
  }
}
