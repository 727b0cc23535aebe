#include "powermeter/crystal_promise.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>

#include "common/text.h"
#include "powermeter/calibration.h"
#include "powermeter/crystal_find.h"
#include "powermeter/fixture_steps.h"
#include "powermeter/reference.h"
#include "powermeter/sweep.h"
#include "sim/sim_rig.h"

namespace kolm::test {

using namespace powermeter;

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kR0 = 50;
constexpr double kClockMHz = 400;
std::vector<double> kPromiseStepsDb = {10};

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

// A fixture calibrated once on a board, then used for crystal after crystal.
class Fixture {
 public:
  Fixture(sim::Board board, PromiseCalibration calibration)
      : board_(board), rig_("through", "r=50", {}, board) {
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

  CrystalParameters measure(const GeneratedCrystal& c, double startMHz, double stopMHz, int points,
                            int repeat) {
    connect(c.dut(kR0));
    std::vector<CrystalParameters> passes;
    for (int k = 0; k < repeat; ++k) {
      sweep(startMHz, stopMHz, points);
      passes.push_back(fitCrystal(input()));
      if (!passes.back().ok()) return passes.back();
    }
    return combineRepeats(passes);
  }

  // From a wide sweep, as the meter finds the crystal: the sweeps it took.
  CrystalParameters find(const GeneratedCrystal& c, double startMHz, double stopMHz, int points,
                         int* sweeps) {
    connect(c.dut(kR0));
    sweep(startMHz, stopMHz, points);
    for (*sweeps = 1;; ++*sweeps) {
      const FindStep next = nextFindStep(input(), *sweeps, points);
      if (next.kind == FindStep::Kind::NotFound) {
        CrystalParameters p;
        p.error = next.error;
        return p;
      }
      if (next.kind == FindStep::Kind::Fit) return fitCrystal(input());
      sweep(next.startMHz, next.stopMHz, next.points);
    }
  }

 private:
  void connect(const std::string& dut) {
    const std::string error =
        rig_.sim->configure({dut, "r=50", std::string(sim::boardName(board_))});
    if (!error.empty()) throw std::runtime_error(error);
  }

  void sweep(double startMHz, double stopMHz, int points) {
    const auto prepared = prepareSweep({startMHz, stopMHz, static_cast<double>(points), 20, -80},
                                       kClockMHz, calibration_);
    plan_ = *prepared.plan;
    SweepJob job(
        rig_.instrument, plan_, calibration_, [] { return 0.0; }, trace_);
    job.runToEnd();
  }

  CrystalFitInput input() const {
    return {.sweep = {trace_, plan_.points, plan_.viewStartMHz, plan_.viewStopMHz},
            .through = through_,
            .r0Ohm = kR0,
            .calibration = calibration_,
            .clockMHz = kClockMHz,
            .fixture = &record_};
  }

  ReferenceTable table() {
    const auto words = tableWords(kClockMHz, kRifEntries, nullptr);
    QuartzReferenceJob job(rig_.instrument, *words, calibration_);
    job.runToEnd();
    return job.table();
  }

  sim::Board board_;
  SimRig rig_;
  Calibration calibration_{};
  ReferenceTable through_{};
  FixtureRecord record_;
  SweepPlan plan_;
  std::vector<float> trace_ = std::vector<float>(kTraceSize, 0.f);
};

}  // namespace

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
  return std::string(sim::boardName(board)) + " " + cal + " " +
         (span == PromiseSpan::Narrow ? "narrow"
          : span == PromiseSpan::Wide ? "wide"
                                      : "find") +
         (repeat > 1 ? " repeat " + std::to_string(repeat) : "");
}

double ValueTally::medianOf(std::vector<double> e) {
  if (e.empty()) return 0;
  std::nth_element(e.begin(), e.begin() + static_cast<long>(e.size() / 2), e.end());
  return e[e.size() / 2];
}

namespace {

// The span a setup sweeps a crystal over: within half a width of the
// resonance, 5 widths either side (narrow); from below Fs to beyond Fp (wide).
struct Span {
  double start = 0, stop = 0;
  int points = 0;
};

Span spanOf(const PromiseSetup& setup, const GeneratedCrystal& c, Numbers& offsets) {
  if (setup.span == PromiseSpan::Narrow) {
    const double bw = c.bwHz(kR0);
    const double centre = c.fsMHz + offsets.uniform(-0.5, 0.5) * bw / 1e6;
    return {centre - 5 * bw / 1e6, centre + 5 * bw / 1e6, 1000};
  }
  const double fp = c.model().fpHz() / 1e6, spacing = fp - c.fsMHz;
  return {c.fsMHz - 0.5 * spacing, fp + 0.5 * spacing, 4000};
}

// Finding starts from the window's first sweep, 3 to 30 MHz in 1000 points.
bool findable(const GeneratedCrystal& c) { return c.fsMHz >= 3.1 && c.fsMHz <= 29.9; }

}  // namespace

std::vector<CrystalParameters> measureCrystals(const PromiseSetup& setup,
                                               const std::vector<GeneratedCrystal>& crystals,
                                               int* mostSweeps) {
  Fixture fixture(setup.board, setup.calibration);
  Numbers offsets{0x5eed};
  std::vector<CrystalParameters> out;
  for (const GeneratedCrystal& c : crystals) {
    if (setup.span == PromiseSpan::Find) {
      int sweeps = 0;
      CrystalParameters none;
      none.error = "outside 3 to 30 MHz";
      out.push_back(findable(c) ? fixture.find(c, 3, 30, 1000, &sweeps) : none);
      if (mostSweeps) *mostSweeps = std::max(*mostSweeps, sweeps);
    } else {
      const Span s = spanOf(setup, c, offsets);
      out.push_back(fixture.measure(c, s.start, s.stop, s.points, setup.repeat));
    }
  }
  return out;
}

std::vector<CrystalParameters> measureCrystals(const PromiseSetup& setup,
                                               const std::vector<GeneratedCrystal>& crystals) {
  return measureCrystals(setup, crystals, nullptr);
}

PromiseTally runPromise(const PromiseSetup& setup, const std::vector<GeneratedCrystal>& crystals) {
  PromiseTally tally;
  const std::vector<CrystalParameters> results =
      measureCrystals(setup, crystals, &tally.mostSweeps);
  for (size_t n = 0; n < crystals.size(); ++n) {
    const GeneratedCrystal& c = crystals[n];
    if (setup.span == PromiseSpan::Find && !findable(c)) continue;
    ++tally.crystals;
    const CrystalModel truth = c.model();
    const CrystalParameters& p = results[n];
    if (!p.ok()) {
      ++tally.refused;
      tally.fallbacks.push_back("refused: " + p.error);
      continue;
    }
    ++(p.method == CrystalMethod::Fit ? tally.fits : tally.edges);
    if (p.method == CrystalMethod::Edges) tally.fallbacks.push_back(p.fallback);
    const std::optional<Measured> got[kPromiseValues] = {
        p.fsMHz, p.fpMHz, p.rOhm, p.lMilliHenry, p.csFemtoFarad, p.c0PicoFarad, p.q};
    const double want[kPromiseValues] = {
        c.fsMHz,          truth.fpHz() / 1e6, c.rOhm,   truth.lHenry * 1e3,
        c.csFarad * 1e15, c.c0Farad * 1e12,   truth.q()};
    for (int k = 0; k < kPromiseValues; ++k) {
      if (!got[k]) continue;
      ValueTally& v = tally.values[static_cast<size_t>(k)];
      ++v.given;
      const double error = std::fabs(got[k]->value - want[k]);
      v.errors.push_back(error / want[k] * (k < 2 ? 1e6 : 1));
      v.widths.push_back(got[k]->pm / want[k] * (k < 2 ? 1e6 : 1));
      if (error <= got[k]->pm) {
        ++v.inside;
      } else {
        char line[240];
        std::snprintf(line, sizeof line, "%s: %s %.9g +- %.3g, truth %.9g (%s) ",
                      setup.name().c_str(), kPromiseNames[k], got[k]->value, got[k]->pm, want[k],
                      c.dut(kR0).c_str());
        tally.outside.push_back(line + (p.method == CrystalMethod::Fit ? "fit" : p.fallback));
      }
    }
  }
  return tally;
}

std::string promiseLines(const PromiseSetup& setup, const PromiseTally& t) {
  char line[200];
  std::snprintf(line, sizeof line, "%-28s crystals %3d  fit %3d  edges %3d  refused %3d%s\n",
                setup.name().c_str(), t.crystals, t.fits, t.edges, t.refused,
                t.mostSweeps ? ("  sweeps at most " + std::to_string(t.mostSweeps)).c_str() : "");
  std::string out = line;
  for (int k = 0; k < kPromiseValues; ++k) {
    const ValueTally& v = t.values[static_cast<size_t>(k)];
    if (v.given == 0) continue;
    const double scale = k < 2 ? 1 : 100;
    std::snprintf(line, sizeof line,
                  "    %-3s given %3d  inside %5.1f %%  median error %8.3g %-3s  median pm %8.3g\n",
                  kPromiseNames[k], v.given, 100.0 * v.inside / v.given, v.median() * scale,
                  k < 2 ? "ppm" : "%", ValueTally::medianOf(v.widths) * scale);
    out += line;
  }
  return out;
}

}  // namespace kolm::test
