// What each of a sweep point's six quantities may be, given the readings and
// what the bridge and its read-out are stated to do.
//
// The readings are carried back through the bridge to the load: channel A
// within its resolution, noise, offset and slope error gives the ratio the
// detector saw, channel B within the same (and, within the detector's end
// regions, anything between the reading and the end) its phase; the load's
// reflection is that ratio less a directivity vector of the stated size at any
// angle, divided by a tracking of the stated size and angle. The quantities are
// then taken over that region, their least and largest worked out exactly
// (they lie on its edge). A load is passive: no reflection above 1 is taken.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

#include "analyzer/impedance.h"

namespace kolm::analyzer {

struct BridgeCalibration;

// The bridge's and read-out's stated figures. The defaults are what the
// published data of such parts give (a home-built resistive bridge into a
// gain/phase detector and 10-bit converters).
struct BridgeFigures {
  double directivityDb = 30;         // the error vector at least this far below the incident wave
  double trackingDb = 0.1;           // the reflected path against the incident, magnitude
  double trackingDeg = 2;            // and angle
  double magnitudeSlope = 0.03;      // channel A's counts per dB, relative
  double magnitudeOffsetCounts = 1;  // converter offset and nonlinearity
  double phaseSlope = 0.01;          // channel B's counts per degree, relative
  double phaseErrorDeg = 1;          // the phase output's error over its middle
  double phaseEndDeg = 18;           // the end regions where the phase output rounds off
  double resolutionCounts = 1;       // one count of either converter
  double noiseCounts = 0.35;         // rms, either channel
  double noiseSpread = 3;            // how many rms the interval allows for noise
  // Near the bottom of channel A's range the detector's output flattens: a
  // corrected reading within this many counts of 0 may stand for any smaller
  // ratio (its uncorrected interval takes the directivity in whole instead).
  double magnitudeFloorCounts = 30;
  // The phase output's noise grows as the reflection the detector sees
  // weakens: this much, rms, at -30 dB, in inverse proportion to the
  // reflection (corrected readings take it in; uncorrected ones carry the
  // directivity whole, which is wider).
  double weakPhaseNoiseDeg = 1;
  // The bridge's error terms measured (analyzer/calibration.h): readings inside
  // its span are corrected with them; none: every reading as read.
  std::shared_ptr<const BridgeCalibration> calibration;
  bool operator==(const BridgeFigures&) const = default;
};

// The figures of the instrument this program was made for.
const BridgeFigures& publishedBridge();

// The read-out's scales as the intervals take them: channel A's counts as the
// ratio the detector saw, dB (0 at a total reflection), with its slope error
// `slope` taken one way; channel B's degrees per count.
double readRatioDb(double counts, double slope = 0);
inline constexpr double kDegreesPerCount = 180.0 / static_cast<double>(kHalfTurnCounts);
// How far a channel-A reading, the mean of `passes` passes, may be from what
// the detector saw: a count, the noise (averaging away) and the converter's
// offset, counts.
double channelASpread(const BridgeFigures& figures, int passes = 1);
// How far a channel-B reading, the mean of `passes` passes, may be from what
// the detector saw when the reflection it sees is `ratio` in size: a count,
// and the noise (averaging away), counts.
double channelBSpread(const BridgeFigures& figures, double ratio, int passes = 1);

// An interval per quantity, [low, high]; high may be +infinity (an SWR, |Z|
// or R that may be unbounded near an open).
struct PointInterval {
  std::array<float, kQuantities> low{};
  std::array<float, kQuantities> high{};
  // What |X| moves by, at most, when either reading is one count off: how far
  // apart two |X| must be for a change between them to be told.
  float reactanceResolution = 0;
  // The half-width around `value`: the larger distance to either end.
  float halfWidth(int q, float value) const { return std::max(value - low[q], high[q] - value); }
};

// The interval of every quantity of readings `a`, `b`, taking in `shown`, the
// values the point computation gave (so that they always lie inside), and the
// reactance's resolution there. Readings
// that are the mean of `passes` passes carry the noise term divided by the
// square root of `passes`; the converter's resolution and offset, the slopes,
// the tracking and the directivity are the same in every pass and stay whole.
PointInterval pointInterval(double a, double b, const PointValues& shown,
                            const BridgeFigures& figures, int passes = 1);

// Bit q set when quantity q's interval is too wide.
using UncertainSet = uint8_t;

// What a point's intervals give its readouts, marks and signs.
struct PointUncertainty {
  std::array<float, kQuantities> halfWidth{};  // +infinity when unbounded
  UncertainSet uncertain = 0;                  // the measured values too wide to be read so
  float swrLow = 0;                            // the SWR interval's low end
  float swrHigh = 0;                           // and high end
  float returnLossLow = 0;                     // the return loss interval's low end
  PointInterval interval;                      // the whole interval (|X| for X)
  float reactanceResolution = 0;
};

// pointInterval for the points of a trace, one set of figures and passes: what
// a single reading gives (its size or its angle range) is worked out once per
// whole reading (or sum of whole readings) and kept for the figures and passes
// on this thread.
struct IntervalTables;
class PointIntervals {
 public:
  PointIntervals(const BridgeFigures& figures, int passes = 1);
  PointInterval operator()(double a, double b, const PointValues& shown) const;
  // The uncertainty of the point read as `a`, `b`, `point` being what the point
  // computation gives for those readings: kept for readings met lately, as it
  // is the same whenever they come back.
  PointUncertainty uncertainty(double a, double b, const PointResult& point) const;
  // operator()'s interval without the reactance's resolution (0), kept for
  // readings met lately: what a corrected reading is narrowed by.
  PointInterval region(double a, double b, const PointValues& shown) const;

 private:
  // operator() for readings kept at `atA`, `atB` in the tables (-1: not kept);
  // the reactance's resolution only when asked for.
  PointInterval interval(double a, long atA, double b, long atB, const PointValues& shown,
                         bool resolution = true) const;
  // uncertainty() worked out, not taken from the kept ones.
  PointUncertainty uncertaintyOf(double a, long atA, double b, long atB,
                                 const PointResult& point) const;
  std::shared_ptr<IntervalTables> tables_;
};

// Whether quantity `q`'s half-width `pm` is too wide for its value to be read
// as a measurement (the mark `uncertain`), `values` being the point's six
// values as shown. Each limit says what the value still tells within it:
//   |Z|, R, X  more than a fifth of |Z| (2 ohm at least): the impedance is then
//              not known within a fifth of its size; R and X are judged
//              against |Z|, as a resistor's X of a few ohms or a coil's small
//              R says nothing against the impedance they belong to (an L
//              network designed for a resistive value within a fifth leaves
//              the true load at an SWR of 1.25 or less);
//   SWR        more than a fifth of the SWR (0.05 at least);
//   return loss and phase: the reflection they describe moves by more than
//              0.1 across the interval (its size for the return loss, along
//              its angle for the phase), and the interval is wider than 1 dB
//              or 3 degrees besides: the return loss of a small reflection
//              spans many dB, its phase many degrees, while the reflection
//              itself is known as closely as a larger one's.
bool tooWide(int q, const PointValues& values, float pm);

// "uncertain:r,z,swr" for the set (in quantity order: rl, phase, z, r, x,
// swr), empty when none.
std::string uncertainWord(UncertainSet set);

// The limits above, for the documentation and the tests.
inline constexpr double kUncertainShare = 0.20;
inline constexpr double kUncertainImpedanceFloorOhm = 2;
inline constexpr double kUncertainSwrFloor = 0.05;
inline constexpr double kUncertainReflection = 0.1;
inline constexpr double kUncertainReturnLossDb = 1;
inline constexpr double kUncertainPhaseDeg = 3;

}  // namespace kolm::analyzer
