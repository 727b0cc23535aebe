#include "powermeter/crystal_promise.h"

#include <cmath>
#include <stdexcept>

#include "common/constants.h"
#include "common/text.h"
#include "powermeter/calibration.h"
#include "powermeter/crystal_find.h"

namespace kolm::test {

using namespace powermeter;

namespace {

constexpr double kPromiseClockMHz = 400;
const std::vector<double> kPromiseStepsDb = {10};

// splitmix64: the same numbers on every platform.
struct Numbers {
  uint64_t state;
  double next() {
    uint64_t z = (state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return static_cast<double>((z ^ (z >> 31)) >> 11) / 9007199254740992.0;
  }
  double logUniform(double lo, double hi) { return lo * std::pow(hi / lo, next()); }
  double uniform(double lo, double hi) { return lo + (hi - lo) * next(); }
};

}  // namespace

CrystalFixture::CrystalFixture(sim::Board board, PromiseCalibration calibration, double r0)
    : board_(board), r0_(r0), rig_("through", "r=50", {}, board) {
  if (calibration != PromiseCalibration::Default) {
    rig_.tune(kCalibrationMHz);
    calibration_.countsAt0Dbm = static_cast<int16_t>(readCalibrationCount(rig_.instrument));
    connect("atten:60");
    calibration_.countsAtMinus60Dbm = static_cast<int16_t>(readCalibrationCount(rig_.instrument));
    connect("through");
  }
  through_ = table();
  record_.through = calibration_;
  if (calibration == PromiseCalibration::Step) {
    // A step attenuator in the crystal's place, step after step.
    for (double db : kPromiseStepsDb) {
      connect("atten:" + common::shortestText(db));
      putStep(record_, {db, kDefaultStepPmDb, calibration_, table()});
    }
    connect("through");
  }
}

void CrystalFixture::connect(const std::string& dut) {
  const std::string error = rig_.sim->configure({dut, "r=50", std::string(sim::boardName(board_))});
  if (!error.empty()) throw std::runtime_error(error);
}

void CrystalFixture::sweep(double startMHz, double stopMHz, int points) {
  const auto prepared = prepareSweep({startMHz, stopMHz, static_cast<double>(points), 20, -80},
                                     kPromiseClockMHz, calibration_);
  plan_ = *prepared.plan;
  SweepJob job(
      rig_.instrument, plan_, calibration_, [] { return 0.0; }, trace_);
  job.runToEnd();
}

CrystalParameters CrystalFixture::measure(const GeneratedCrystal& c, double startMHz,
                                          double stopMHz, int points, int repeat) {
  connect(c.dut(r0_));
  std::vector<CrystalParameters> passes;
  for (int k = 0; k < repeat; ++k) {
    sweep(startMHz, stopMHz, points);
    passes.push_back(fitCrystal(input()));
    if (!passes.back().ok()) return passes.back();
  }
  return combineRepeats(passes);
}

CrystalParameters CrystalFixture::find(const GeneratedCrystal& c, double startMHz, double stopMHz,
                                       int points) {
  connect(c.dut(r0_));
  sweep(startMHz, stopMHz, points);
  for (int sweeps = 1;; ++sweeps) {
    const FindStep next = nextFindStep(input(), sweeps, points);
    if (next.kind == FindStep::Kind::NotFound) {
      CrystalParameters p;
      p.error = next.error;
      return p;
    }
    if (next.kind == FindStep::Kind::Fit) return fitCrystal(input());
    sweep(next.startMHz, next.stopMHz, next.points);
  }
}

CrystalFitInput CrystalFixture::input() const {
  return {.sweep = {trace_, plan_.points, plan_.viewStartMHz, plan_.viewStopMHz},
          .through = through_,
          .r0Ohm = r0_,
          .calibration = calibration_,
          .clockMHz = kPromiseClockMHz,
          .fixture = &record_};
}

ReferenceTable CrystalFixture::table() {
  const auto words = tableWords(kPromiseClockMHz, kRifEntries, nullptr);
  QuartzReferenceJob job(rig_.instrument, *words, calibration_);
  job.runToEnd();
  return job.table();
}

CrystalModel GeneratedCrystal::model() const {
  const double w = kTwoPi * fsMHz * 1e6;
  return {fsMHz * 1e6, rOhm, 1 / (w * w * csFarad), c0Farad};
}

double GeneratedCrystal::bwHz(double r0) const { return (rOhm + r0) / (kTwoPi * model().lHenry); }

std::string GeneratedCrystal::dut(double r0) const {
  return "crystal:fs=" + common::shortestText(fsMHz, 15) + ",r=" + common::shortestText(rOhm, 15) +
         ",c=" + common::shortestText(csFarad, 15) + ",c0=" + common::shortestText(c0Farad, 15) +
         ",r0=" + common::shortestText(r0);
}

std::vector<GeneratedCrystal> generatedCrystals(int count, uint64_t seed) {
  Numbers n{seed};
  std::vector<GeneratedCrystal> out;
  for (int i = 0; i < count; ++i) {
    GeneratedCrystal c;
    c.fsMHz = n.logUniform(1, 30);
    c.rOhm = n.logUniform(5, 300);
    c.csFarad = n.uniform(4e-15, 30e-15);
    c.c0Farad = n.uniform(1.5e-12, 7e-12);
    out.push_back(c);
  }
  return out;
}

std::string PromiseSetup::name() const {
  const char* cal = calibration == PromiseCalibration::Default ? "default"
                    : calibration == PromiseCalibration::Level ? "level"
                                                               : "step";
  const char* spans[] = {"narrow", "wide", "find"};
  return std::string(sim::boardName(board)) + " " + cal + " " + spans[static_cast<int>(span)] +
         (repeat > 1 ? " repeat " + std::to_string(repeat) : "");
}

// Narrow: within half a width of the resonance, 5 widths either side; wide:
// from below Fs to beyond Fp; finding: from the window's first sweep, 3 to 30
// MHz in 1000 points.
std::vector<CrystalParameters> measureCrystals(const PromiseSetup& setup,
                                               const std::vector<GeneratedCrystal>& crystals) {
  CrystalFixture fixture(setup.board, setup.calibration);
  Numbers offsets{0x5eed};
  std::vector<CrystalParameters> out;
  for (const GeneratedCrystal& c : crystals) {
    if (setup.span == PromiseSpan::Find) {
      CrystalParameters none;
      none.error = "outside 3 to 30 MHz";
      out.push_back(c.fsMHz >= 3.1 && c.fsMHz <= 29.9 ? fixture.find(c, 3, 30, 1000) : none);
    } else if (setup.span == PromiseSpan::Narrow) {
      const double bw = c.bwHz(50) / 1e6, centre = c.fsMHz + offsets.uniform(-0.5, 0.5) * bw;
      out.push_back(fixture.measure(c, centre - 5 * bw, centre + 5 * bw, 1000, setup.repeat));
    } else {
      const double fp = c.model().fpHz() / 1e6, spacing = fp - c.fsMHz;
      out.push_back(
          fixture.measure(c, c.fsMHz - 0.5 * spacing, fp + 0.5 * spacing, 4000, setup.repeat));
    }
  }
  return out;
}

}  // namespace kolm::test
