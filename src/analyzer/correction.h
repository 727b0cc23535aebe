// Readings corrected with the bridge's error terms (analyzer/calibration.h
// measures them): the load's reflection from what the detector saw, and the
// interval of every quantity from what remains unknown once the terms are
// known.
//
// The detector sees w = directivity + tracking G / (1 - sourceMatch G) for a
// load of reflection G; channel A reads 512 + countsPerDb x 20 log10 |w| (the
// converter's offset is taken into the terms' scale) and channel B |arg w| by
// the read-out's stated law. The bridge gives no sign of the phase: a reading
// stands for w or its mirror image, two loads whose reactances differ by more
// than their sign once the directivity is taken out. Both are worked out; the
// sign inferred along the sweep chooses between them (analyzer/measurement.h).
//
// The interval: the readings give a sector of w (channel A within its
// resolution, noise and conformance; channel B within its slope, error,
// resolution and noise, and within an end region anything from the reading to
// that end). The quantities are taken over its image exactly: the map from w
// to G, and from G to Z, are Moebius maps, which take the sector's arcs and
// edges to arcs of circles, where R, X, |Z|, |G| and arg G are largest and
// least at ends or at points known in closed form. Each range is then widened
// by what the terms may still be off by, part by part (their derivatives at
// the sector's corners and middle, the largest, with a margin for the second
// order): a term known well in one direction (the directivity along the
// tracking, from resistors) widens a quantity only as far as it moves it.
#pragma once

#include <array>
#include <cmath>
#include <complex>

#include "analyzer/impedance.h"
#include "analyzer/uncertainty.h"

namespace kolm::analyzer {

using Complex = std::complex<double>;

// The bridge's error terms at one frequency, each part with how far it may be
// from the truth (`pm`, by TermPart).
enum TermPart : int {
  kDirectivityRe,
  kDirectivityIm,
  kTrackingRe,
  kTrackingIm,
  kSourceMatchRe,
  kSourceMatchIm,
  kCountsPerDb,
  kTermParts
};
struct ErrorTerms {
  Complex directivity{0, 0};
  Complex tracking{1, 0};
  Complex sourceMatch{0, 0};
  double countsPerDb = static_cast<double>(kTotalReflectionCounts) / kReturnLossRangeDb;
  // The most each part may be off by, part by part (all zero: exact).
  std::array<double, kTermParts> pm{};
  double part(int k) const;
};

// |z| and a / b without the library's care for infinities and overflow, which
// no value of a corrected reading needs (and which costs most of its time).
inline double quickModulus(Complex z) { return std::sqrt(std::norm(z)); }
inline Complex quickQuotient(Complex a, Complex b) {
  const double n = std::norm(b);
  return {(a.real() * b.real() + a.imag() * b.imag()) / n,
          (a.imag() * b.real() - a.real() * b.imag()) / n};
}

// The ratio the detector sees for a load of reflection `gamma`, and the
// reflection for a ratio (the correction).
inline Complex detectorRatio(const ErrorTerms& t, Complex gamma) {
  return t.directivity + quickQuotient(t.tracking * gamma, 1.0 - t.sourceMatch * gamma);
}
inline Complex correctedReflection(const ErrorTerms& t, Complex w) {
  const Complex u = w - t.directivity;
  return quickQuotient(u, t.tracking + t.sourceMatch * u);
}

// Channel A's reading `a` as the size of the ratio the terms' scale gives.
double ratioSize(const ErrorTerms& terms, double a);

// The six quantities of a reflection: return loss, |phase|, |Z|, R, X (signed)
// and SWR, as the analyzer shows them (an open's |Z|, R and X infinite).
PointValues valuesOf(Complex gamma);

// What readings `a`, `b` (means when averaged over `passes`) give once
// corrected: the load read with the phase as read (`plus`, arg w >= 0) and
// mirrored (`minus`), each with its interval (X signed there); `merged` when
// the phase is within an end region, where the two are one region (the
// intervals then are the same). `resolution` is what |X| moves by when either
// reading is a count off.
struct CorrectedReading {
  PointValues plus{}, minus{};
  PointInterval plusRange, minusRange;
  bool merged = false;
  float resolution = 0;
};
CorrectedReading correctReading(double a, double b, const ErrorTerms& terms,
                                const BridgeFigures& figures, int passes = 1);
// The same in parts: the values and the resolution alone; then their
// intervals, each holding its value (NaN values: none). The intervals may be
// taken with other terms than the values, whose residual errors hold those
// terms and theirs (a calibration cell's: one set of intervals for every
// frequency of the cell), and given to other values of the same readings
// (`holdValues`, each interval widened to hold its value).
CorrectedReading correctedValues(double a, double b, const ErrorTerms& terms);
// The reflections readings `a`, `b` stand for, read as the phase is (arg w
// >= 0) and mirrored.
std::array<Complex, 2> correctedBothWays(double a, double b, const ErrorTerms& terms);
// `sectors` says which of the two readings' intervals to work out (bits
// kPlusSector, kMinusSector; both when merged), the others left as they are.
inline constexpr unsigned kPlusSector = 1, kMinusSector = 2, kBothSectors = 3;
void correctRanges(CorrectedReading& values, double a, double b, const ErrorTerms& terms,
                   const BridgeFigures& figures, int passes = 1, unsigned sectors = kBothSectors);
// The size of the directivity's, tracking's and source match's residual
// errors (the same at every ratio of a point; analyzer/term_spread.h), and
// of the tracking and source match themselves.
struct TermBounds {
  TermBounds() = default;
  explicit TermBounds(const ErrorTerms& t);
  double directivity = 0, tracking = 0, sourceMatch = 0;
  double trackingSize = 0, sourceMatchSize = 0;
};

// The ratios readings allow: sizes [rhoLow, rhoHigh] (channel A within its
// spread, near the bottom of its range anything below) and angles [low, high]
// in radians between 0 and pi (channel B as its stated law allows, in an end
// region anything from the reading to that end).
struct RatioSector {
  double rhoLow = 0, rhoHigh = 0, low = 0, high = 0;
};

// What correctRanges and reactanceBounds start from, worked out once for
// both: the ratios readings `a`, `b` allow, the reflections they stand for
// read both ways round, and the terms' residual errors' sizes.
struct SectorStart {
  RatioSector ratios;
  std::array<Complex, 2> corrected{};
  TermBounds bounds;
};
SectorStart sectorStart(double a, double b, const ErrorTerms& terms, const BridgeFigures& figures,
                        int passes = 1);
void correctRanges(CorrectedReading& values, double a, const ErrorTerms& terms,
                   const SectorStart& start, unsigned sectors);
// Whether correctRanges makes the two readings one region, and otherwise an
// outer bound of each one's X interval (ohm; [0] as read, [1] mirrored)
// before its value is held, at a small part of the cost: what a reading's
// sign is decided on before its intervals are needed.
struct ReactanceBounds {
  bool merged = false;
  std::array<double, 2> low{}, high{};
};
ReactanceBounds reactanceBounds(double a, double b, const ErrorTerms& terms,
                                const BridgeFigures& figures, int passes = 1);
ReactanceBounds reactanceBounds(double a, const ErrorTerms& terms, const SectorStart& start);
// Only the intervals of `sectors` are taken (both when merged).
void holdValues(CorrectedReading& values, const CorrectedReading& ranges,
                unsigned sectors = kBothSectors);

}  // namespace kolm::analyzer
