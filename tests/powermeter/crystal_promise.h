// What the crystal meter promises, measured: crystals generated across the
// range users meet, each measured through the simulated instrument as a user
// would (the fixture calibrated once, then one crystal after another), and
// every value compared with the crystal's own circuit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "powermeter/crystal_fit.h"
#include "powermeter/fixture_steps.h"
#include "powermeter/reference.h"
#include "powermeter/sweep.h"
#include "sim/board.h"
#include "sim/sim_rig.h"

namespace kolm::test {

struct GeneratedCrystal {
  double fsMHz = 0, rOhm = 0, csFarad = 0, c0Farad = 0;
  powermeter::CrystalModel model() const;
  double bwHz(double r0) const;  // the loaded -3 dB width in the fixture
  std::string dut(double r0) const;
};

// `count` crystals from 1 to 30 MHz (evenly on a log scale, as R from 5 to 300
// ohm), Cs 4 to 30 fF and C0 1.5 to 7 pF, the same for the same seed.
std::vector<GeneratedCrystal> generatedCrystals(int count, uint64_t seed);

enum class PromiseCalibration { Default, Level, Step };
enum class PromiseSpan { Narrow, Wide, Find };

// A fixture of `r0` ohm on a board, its through path (and for Step, a 10 dB
// loss step) read once, then used for crystal after crystal.
class CrystalFixture {
 public:
  CrystalFixture(sim::Board board, PromiseCalibration calibration, double r0 = 50);
  void connect(const std::string& dut);
  // One pass of the power meter over the span; its levels in trace().
  void sweep(double startMHz, double stopMHz, int points);
  // `repeat` passes over the span, each fitted, the results combined.
  powermeter::CrystalParameters measure(const GeneratedCrystal& c, double startMHz, double stopMHz,
                                        int points, int repeat = 1);
  // From a wide sweep, as the meter finds the crystal.
  powermeter::CrystalParameters find(const GeneratedCrystal& c, double startMHz, double stopMHz,
                                     int points);
  powermeter::CrystalFitInput input() const;
  const std::vector<float>& trace() const { return trace_; }
  const powermeter::SweepPlan& plan() const { return plan_; }
  const powermeter::ReferenceTable& through() const { return through_; }

 private:
  powermeter::ReferenceTable table();

  sim::Board board_;
  double r0_;
  SimRig rig_;
  powermeter::Calibration calibration_{};
  powermeter::ReferenceTable through_{};
  powermeter::FixtureRecord record_;
  powermeter::SweepPlan plan_;
  std::vector<float> trace_ = std::vector<float>(powermeter::kTraceSize, 0.f);
};

struct PromiseSetup {
  sim::Board board = sim::Board::Typical;
  PromiseCalibration calibration = PromiseCalibration::Level;
  PromiseSpan span = PromiseSpan::Narrow;
  int repeat = 1;
  std::string name() const;
};

// Each crystal measured under `setup` (the fixture calibrated once); one the
// setup cannot find (outside 3 to 30 MHz) is refused.
std::vector<powermeter::CrystalParameters> measureCrystals(
    const PromiseSetup& setup, const std::vector<GeneratedCrystal>& crystals);

}  // namespace kolm::test
