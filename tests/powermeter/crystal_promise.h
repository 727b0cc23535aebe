// What the crystal meter promises, measured: crystals generated across the
// range users meet, each measured through the simulated instrument as a user
// would (the fixture calibrated once, then one crystal after another), and
// every value compared with the crystal's own circuit.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "powermeter/crystal_fit.h"
#include "sim/board.h"

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

struct PromiseSetup {
  sim::Board board = sim::Board::Typical;
  PromiseCalibration calibration = PromiseCalibration::Level;
  PromiseSpan span = PromiseSpan::Narrow;
  int repeat = 1;
  std::string name() const;
};

// The seven values a result gives, in this order.
inline constexpr int kPromiseValues = 7;
inline constexpr const char* kPromiseNames[kPromiseValues] = {"fs", "fp", "r", "l",
                                                              "cs", "c0", "q"};

struct ValueTally {
  int given = 0;               // measured (not "none")
  int inside = 0;              // the truth within the interval
  std::vector<double> errors;  // |value - truth| / truth (Fs and Fp: in ppm)
  std::vector<double> widths;  // pm / truth, the same way
  double median() const { return medianOf(errors); }
  static double medianOf(std::vector<double> v);
};

struct PromiseTally {
  std::array<ValueTally, kPromiseValues> values;
  int crystals = 0, fits = 0, edges = 0, refused = 0;
  int mostSweeps = 0;                  // finding: the most sweeps one crystal took
  std::vector<std::string> outside;    // one line per value outside its interval
  std::vector<std::string> fallbacks;  // why each edge estimate was given
};

// Each crystal measured under `setup` (the fixture calibrated once), as the
// table measures them.
std::vector<powermeter::CrystalParameters> measureCrystals(
    const PromiseSetup& setup, const std::vector<GeneratedCrystal>& crystals);

// Measures every crystal under `setup` and tallies the values.
PromiseTally runPromise(const PromiseSetup& setup, const std::vector<GeneratedCrystal>& crystals);

// The table's lines for one setup.
std::string promiseLines(const PromiseSetup& setup, const PromiseTally& tally);

}  // namespace kolm::test
