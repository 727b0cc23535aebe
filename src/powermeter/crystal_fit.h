// The crystal's equivalent circuit fitted to the whole swept curve.
//
// The crystal sits in series in a fixture whose source and load total R0; the
// detector sees the through path times R0 / (R0 + Z), Z being the motional arm
// (R, L, Cs in series) with C0 across it. The series resonance Fs, R, L and C0
// are found by least squares on the level in dB (Levenberg-Marquardt), started
// from the peak, the interpolated -3 dB points and the notch; Cs, Fp and Q
// follow. A fit is checked before it is believed: its residuals against the
// levels, its Fp against the notch the sweep holds, its values against what a
// crystal can be; one that fails is tried from further starts, and given up
// for the edge estimate (with the reason) when none passes. Every value
// carries the half-width of the interval it is known within: twice its
// standard deviation from the fit's covariance, plus what the read-out's
// resolution, the detector's stated error on level differences (its slope as
// the calibration leaves it, or as the fixture's loss steps measured it) and
// the DDS clock's stated tolerance can move it by. A sweep that holds too
// little of the curve gives the estimate from the interpolated -3 dB points
// and the notch instead, its intervals from the same terms and what the
// estimate's own approximations give on a crystal like the one read.
#pragma once

#include <complex>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "circuit/crystal.h"
#include "powermeter/fixture_steps.h"
#include "powermeter/level.h"
#include "powermeter/reference.h"

namespace kolm::powermeter {

// The sweep as the window holds it: the trace (at least `points` + 1 levels), its
// step count and span.
struct CrystalSweep {
  const std::vector<float>& trace;
  int16_t points = 0;
  float traceStartMHz = 0;
  float traceStopMHz = 0;
};

using circuit::CrystalModel;

// What the detector sees with the crystal in a fixture of `r0Ohm` against the
// through path: R0 / (R0 + Z).
std::complex<double> fixtureTransfer(const CrystalModel& crystal, double r0Ohm, double fHz);

// The read-out's stated error terms: data, not measured here. A logarithmic
// detector's conformance of about 1 dB over its 70 dB range allows a level
// difference to be off by about 3 % of itself; its slope adds what the
// calibration leaves unknown of it (DetectorFigures: the default counts the
// slope's whole spread, a two-point calibration its own tolerance), unless
// the fixture's loss steps measured it.
struct ReadoutTerms {
  double differenceFraction = 0.03;
  std::optional<double> slopeFraction;  // empty: as the calibration leaves it
};

// What the detector's slope is known from, as reports name it:
// "default" (the default counts), "level" (a two-point calibration), "steps"
// (loss steps through the fixture), "suspect" (counts outside the detector's
// figures: the slope known only from the figures, the further off the more
// the counts' slope lies from them).
enum class SlopeSource { Default, Level, Steps, Suspect };
std::string_view slopeSourceName(SlopeSource source);

// A value, the half-width of the interval it is known within, and how that
// splits: `stat` one standard deviation of the fit's (or the repeats') noise,
// `sys` the bound of what resolution and stated error terms can move it by;
// pm = 2 stat + sys. `sd` is the spread over repeated measurements (0 when
// measured once). `common` is the part of pm that moves every crystal of a
// batch alike (the clock, the detector's stated error, the through path):
// crystals are compared within pm - common.
struct Measured {
  double value = 0;
  double pm = 0;
  double stat = 0;
  double sys = 0;
  double sd = 0;
  double common = 0;
  double relativePm() const { return pm - common; }
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
  // The frequency of oscillation with `loadPf` across the crystal (asked for).
  std::optional<Measured> flMHz;
  double loadPf = 0;
  SlopeSource slope = SlopeSource::Default;
  // What the reader should know beyond the intervals (how to narrow them, a
  // record of the fixture that could not be used).
  std::vector<std::string> notes;
  double stepHz = 0;        // the sweep's step
  double resolutionHz = 0;  // the DDS's step
  int points = 0;           // levels the fit used
  double rmsDb = 0;         // rms of the fit's residuals
  int repeats = 1;          // passes averaged
  std::string error;        // why nothing could be computed; empty when something was
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
  // The fixture's record (the through path's counts, the loss steps); none
  // when there is none.
  const FixtureRecord* fixture = nullptr;
  // The DDS clock's measured offset (the clock runs this many ppm fast) and
  // how far it may lie beyond it, as dds.cfg states them.
  double clockOffsetPpm = 0;
  double clockTolerancePpm = 0;
  // The load capacitance the frequency of oscillation is asked at.
  std::optional<double> loadPf{};
};

// Why a load capacitance cannot be taken (above 0 and at most 1000 pF);
// empty when it can.
inline constexpr double kMaxLoadPf = 1000;
std::string loadProblem(double loadPf);

// With the default counts, what to do to narrow the intervals (the
// calibration and the fixture's loss step named as the front end offers
// them); empty otherwise.
std::string slopeAdvice(SlopeSource source, const std::string& calibrate, const std::string& steps);

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
// detector's floor, a crystal outside the through path's 0.1 to 160 MHz, no
// resonance in the sweep (the level falls 3 dB on neither side of its
// highest point) or one at its very end (the highest level at its first or
// last point: the resonance may lie beyond).
CrystalParameters fitCrystal(const CrystalFitInput& input);

// Why the crystal `m` cannot be the one the sweep shows (the checks every fit
// passes before it is believed): its resonance outside the sweep, values no
// crystal has, its notch outside the one the sweep shows, its curve off the
// levels read by more than their stated error. Empty when it may be.
std::string fitProblem(const CrystalFitInput& input, const CrystalModel& m);

// The mean of repeated measurements of one crystal: each value's mean, its
// spread (sd), and an interval of the systematic bound plus twice the mean's
// standard deviation. What the passes did not spread over (a fit's noise the
// repeats did not show: the same levels read again) does not average out:
// only the spread's share divides by the square root of the count. Fs, Fp and
// Fl stay at least one DDS step wide. The method is Edges when any pass fell
// back (its reason kept).
CrystalParameters combineRepeats(const std::vector<CrystalParameters>& passes);

// The number of decimals that show `pm` with two significant digits
// (`fallback` for a pm of 0 or one that is not finite).
// Below 0 for a pm of tens or more (-1: to the ten).
int decimalsFor(double pm, int fallback);
// `value` rounded to `decimals` (below 0: to tens, hundreds, ...).
double roundToDecimals(double value, int decimals);
// `pm` rounded up to `decimals`: a half-width shown never narrower than it is.
double roundUpToDecimals(double pm, int decimals);
// `value` and `pm` in plain decimals, with the digits pm deserves (pm with two
// significant digits, the value to the same decimal place); `fallback`
// decimals when pm is 0 or not finite. The interval shown holds the one
// given: pm rounded up, and widened by how far rounding moved the value
// (`pmShown`, in the value's unit).
struct DeservedText {
  std::string value;
  std::string pm;
  double pmShown = 0;
};
DeservedText deservedText(double value, double pm, int fallback);
// A half-width alone with two significant digits, rounded up.
std::string halfWidthText(double pm, int fallback);

// The result box's lines with the values of `p`: "Fs  ", "Fp  ", "Q:  ",
// "R: ", "L(mH): " (in mH at any size, as the batch keeps it), "Cs(fF): " or
// "Cs(pF): ", each value with the digits its interval deserves and "± pm";
// then "C0(pF): ", and a line saying how the values were found.
std::string crystalParametersReport(const CrystalParameters& p);

}  // namespace kolm::powermeter
