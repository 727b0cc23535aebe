// The crystal's equivalent circuit fitted to the whole swept curve.
//
// The crystal sits in series in a fixture whose source and load total R0; the
// detector sees the through path times R0 / (R0 + Z), Z being the motional arm
// (R, L, Cs in series) with C0 across it. The series resonance Fs, R, L and C0
// are found by least squares on the level in dB (Levenberg-Marquardt), started
// from the peak and the interpolated -3 dB points; Cs, Fp and Q follow. Every
// value carries the half-width of the interval it is known within: twice its
// standard deviation from the fit's covariance, plus what the read-out's
// resolution and the detector's stated error on level differences can move it
// by. A sweep that holds too little of the curve, or a fit that does not
// converge, gives the estimate from the interpolated -3 dB points instead, with
// its own (wider) intervals and the reason.
#pragma once

#include <complex>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "powermeter/level.h"
#include "powermeter/reference.h"

namespace kolm::powermeter {

// The sweep as the window holds it: the trace (at least Points + 1 levels), its
// step count and span.
struct CrystalSweep {
  const std::vector<float>& trace;
  int16_t Points = 0;
  float TraceStart = 0;
  float TraceStop = 0;
};

// The crystal's equivalent circuit. Cs follows from Fs and L.
struct CrystalModel {
  double fsHz = 0;     // series resonance of the motional arm
  double rOhm = 0;     // motional resistance
  double lHenry = 0;   // motional inductance
  double c0Farad = 0;  // holder capacitance across the crystal
  double csFarad() const;
  double fpHz() const;  // Fs sqrt(1 + Cs / C0): the parallel resonance
  double q() const;     // unloaded: 2 pi Fs L / R
  std::complex<double> impedance(double fHz) const;
  bool operator==(const CrystalModel&) const = default;
};

// What the detector sees with the crystal in a fixture of `r0Ohm` against the
// through path: R0 / (R0 + Z).
std::complex<double> fixtureTransfer(const CrystalModel& crystal, double r0Ohm, double fHz);

// The read-out's stated error terms: data, not measured here. A logarithmic
// detector's conformance of about 1 dB over its 70 dB range allows a level
// difference to be off by about 3 % of itself.
struct ReadoutTerms {
  double differenceFraction = 0.03;
};

// A value, the half-width of the interval it is known within, and how that
// splits: `stat` one standard deviation of the fit's (or the repeats') noise,
// `sys` the bound of what resolution and stated error terms can move it by;
// pm = 2 stat + sys. `sd` is the spread over repeated measurements (0 when
// measured once).
struct Measured {
  double value = 0;
  double pm = 0;
  double stat = 0;
  double sys = 0;
  double sd = 0;
};

enum class CrystalMethod { Fit, Edges };

struct CrystalParameters {
  CrystalMethod method = CrystalMethod::Fit;
  // Why the edge estimate was given instead of a fit; empty for a fit.
  std::string fallback;
  // Fs and R always; the rest when the curve gives them (L, Cs and Q need both
  // -3 dB points inside the sweep; a fit gives Fp and C0, the edge estimate
  // only from a notch in the sweep).
  Measured fsMHz;
  Measured rOhm;
  std::optional<Measured> fpMHz;
  std::optional<Measured> lMilliHenry;
  std::optional<Measured> csFemtoFarad;
  std::optional<Measured> c0PicoFarad;
  std::optional<Measured> q;
  double stepHz = 0;  // the sweep's step
  int points = 0;     // levels the fit used
  double rmsDb = 0;   // rms of the fit's residuals
  int repeats = 1;    // passes averaged
  std::string error;  // why nothing could be computed; empty when something was
  bool ok() const { return error.empty(); }
};

struct CrystalFitInput {
  CrystalSweep sweep;
  const ReferenceTable& through;  // the fixture's through path (Quartz.rif)
  double r0Ohm = 50;
  Calibration calibration{};
  // The DDS clock the sweep ran at: the points then sit at their rounded
  // tuning words. 0 takes them evenly spaced.
  double clockMHz = 0;
  ReadoutTerms terms{};
};

// The R0 the fixture's calibration proposes until one is stored: the usual
// fixture's 50 ohm source and load.
inline constexpr float kDefaultR0 = 50;
// R0 from the text typed at the prompt: one number above 0 ohm that fits
// single precision, as a window's number box reads it (common::typedNumber).
std::optional<float> r0FromText(std::string_view text);

// The fewest points of a sweep a crystal can be fitted to.
inline constexpr int kMinCrystalPoints = 7;

// Fits the crystal to the sweep. Fails (error set, never throws) when nothing
// can be said: fewer than 7 points, R0 of 0, an empty span, no level above the
// detector's floor, a crystal outside the through path's 0.1 to 160 MHz.
CrystalParameters fitCrystal(const CrystalFitInput& input);

// The mean of repeated measurements of one crystal: each value's mean, its
// spread (sd), and an interval from the larger of the spread and the fits' own
// noise over the square root of the count, plus the systematic bound. The
// method is Edges when any pass fell back (its reason kept).
CrystalParameters combineRepeats(const std::vector<CrystalParameters>& passes);

// The through path's level at `fMHz` from a straight line fitted to the
// table's entries within 1 MHz (each at the frequency its pass measured it,
// 0.1 + i x 160.1 / 1600 MHz), and the bound of its error: the averaged noise
// and what quantisation by `countDb` can leave in a mean.
struct ThroughLevel {
  double levelDb = 0;
  double slopeDbPerMHz = 0;
  double pmDb = 0;
};
ThroughLevel throughLevel(const ReferenceTable& through, double fMHz, double countDb);

// The number of decimals that show `pm` with two significant digits
// (`fallback` for a pm of 0 or one that is not finite).
// Below 0 for a pm of tens or more (-1: to the ten).
int decimalsFor(double pm, int fallback);
// `value` rounded to `decimals` (below 0: to tens, hundreds, ...).
double roundToDecimals(double value, int decimals);
// `value` and `pm` in plain decimals, with the digits pm deserves (pm with two
// significant digits, the value to the same decimal place); `fallback`
// decimals when pm is 0 or not finite.
struct DeservedText {
  std::string value;
  std::string pm;
};
DeservedText deservedText(double value, double pm, int fallback);

// The result box's lines with the values of `p`: "Fs  ", "Fp  ", "Q:  ",
// "R: ", "L(mH): " or "L(microH): ", "Cs(fF): " or "Cs(pF): ", each value with
// the digits its interval deserves and "± pm"; then "C0(pF): ", and a line
// saying how the values were found.
std::string crystalParametersReport(const CrystalParameters& p);

}  // namespace kolm::powermeter
