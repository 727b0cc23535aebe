// A reading's values corrected with the bridge's error terms: the load's
// reflection read both ways round, its six quantities, and what |X| moves by
// when either reading is a count off (analyzer/correction.h).
#include <array>
#include <cmath>

#include "analyzer/correction.h"
#include "common/constants.h"
#include "common/reflection.h"

namespace kolm::analyzer {

double ratioSize(const ErrorTerms& t, double a) {
  return std::pow(10.0, (a - kTotalReflectionCounts) / (20 * t.countsPerDb));
}

PointValues valuesOf(Complex gamma) {
  const double rho = std::abs(gamma);
  const Complex z = common::impedanceOf(gamma);
  return {static_cast<float>(-20 * std::log10(rho)),
          static_cast<float>(std::fabs(std::arg(gamma)) * kDegreesPerRadian),
          static_cast<float>(std::hypot(z.real(), z.imag())),
          static_cast<float>(z.real()),
          static_cast<float>(z.imag()),
          static_cast<float>(common::swrOfMagnitude(rho))};
}

double ErrorTerms::part(int k) const {
  switch (k) {
    case kDirectivityRe:
      return directivity.real();
    case kDirectivityIm:
      return directivity.imag();
    case kTrackingRe:
      return tracking.real();
    case kTrackingIm:
      return tracking.imag();
    case kSourceMatchRe:
      return sourceMatch.real();
    case kSourceMatchIm:
      return sourceMatch.imag();
    default:
      return countsPerDb;
  }
}

namespace {

// The direction of channel B's reading `counts` (std::polar(1, its angle) to
// the last bit), from a table for whole readings and those a count beyond.
Complex readingTurn(double counts) {
  constexpr int kFirst = -1, kLast = kHalfTurnCounts + 1;
  auto turn = [](double c) { return std::polar(1.0, c * kDegreesPerCount / kDegreesPerRadian); };
  static const auto table = [&] {
    std::array<Complex, kLast - kFirst + 1> out;
    for (int v = kFirst; v <= kLast; ++v) out[static_cast<size_t>(v - kFirst)] = turn(v);
    return out;
  }();
  if (counts >= kFirst && counts <= kLast && counts == std::trunc(counts))
    return table[static_cast<size_t>(static_cast<int>(counts) - kFirst)];
  return turn(counts);
}

// What |X| moves by when either reading is a count off, from the values read
// both ways round.
float reactanceResolution(double a, double b, const ErrorTerms& t, const CorrectedReading& read) {
  float resolution = 0;
  const std::array<double, 2> sizes{ratioSize(t, a - 1), ratioSize(t, a + 1)};
  const std::array<Complex, 2> turns{readingTurn(b - 1), readingTurn(b + 1)};
  const double r0 = common::kReferenceOhm;
  for (double size : sizes)
    for (Complex turn : turns)
      for (Complex g :
           {correctedReflection(t, size * turn), correctedReflection(t, size * std::conj(turn))}) {
        const float x = static_cast<float>(r0 * common::impedancePerReferenceOf(g).imag());
        const float moved = std::min(std::fabs(std::fabs(x) - std::fabs(read.plus[kReactance])),
                                     std::fabs(std::fabs(x) - std::fabs(read.minus[kReactance])));
        resolution = std::isfinite(moved) ? std::max(resolution, moved) : HUGE_VALF;
      }
  return resolution;
}

}  // namespace

std::array<Complex, 2> correctedBothWays(double a, double b, const ErrorTerms& t) {
  const double rho = ratioSize(t, a);
  const Complex turn = readingTurn(b);
  const Complex wPlus(rho * turn.real(), rho * turn.imag()), wMinus = std::conj(wPlus);
  return {correctedReflection(t, wPlus), correctedReflection(t, wMinus)};
}

CorrectedReading correctedValues(double a, double b, const ErrorTerms& t) {
  CorrectedReading out;
  const auto [gPlus, gMinus] = correctedBothWays(a, b, t);
  // A load is passive: a reading corrected beyond a total reflection is one.
  auto passive = [](Complex g) { return std::norm(g) > 1 ? g / quickModulus(g) : g; };
  out.plus = valuesOf(passive(gPlus));
  out.minus = valuesOf(passive(gMinus));
  out.resolution = reactanceResolution(a, b, t, out);
  return out;
}

}  // namespace kolm::analyzer
