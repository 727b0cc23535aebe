// How far a corrected reflection, and the quantities drawn from it, may move
// when the bridge's error terms are off by at most their residual errors
// (`ErrorTerms::pm`): what analyzer/correction.cpp widens a reading's ranges
// by.
#pragma once

#include <array>
#include <cmath>
#include <complex>

#include "analyzer/correction.h"

namespace kolm::analyzer {

// dw / w per count per dB of channel A's slope at its reading `a`.
double ratioMovePerSlope(const ErrorTerms& t, double a);

// How far |G|, arg G, then R, X and |Z| per R0 may move at ratio `w` (`x`:
// ratioMovePerSlope at channel A's reading) when the terms are off by at most
// their pm, part by part: first order, each part on its own, plus a bound of
// what the first order leaves out (with G = u / D, u = w - e00, D = T + e11
// u, a change dG is (-de D - u dD) / (D (D + dD)) exactly).
std::array<double, 5> termSpread(const ErrorTerms& t, const TermBounds& bounds,
                                 std::complex<double> w, double x);

// X per R0 over every ratio within `radius` of `centre`, widened by the most
// termSpread gives anywhere there (`x`: the size of ratioMovePerSlope at
// channel A's reading): an outer bound of
// what a sector of ratios inside the disc gives, at a small part of its cost.
// {-inf, inf} where the disc may reach the open or the correction's pole.
// What it takes from the terms alone (Z / R0 as a Moebius map of w, and the
// sizes termSpread's factors are bounded with), the same for every disc.
struct ReactanceRange {
  double low, high;
};
struct DiscMap {
  explicit DiscMap(const ErrorTerms& t);
  std::complex<double> alpha, gamma, delta, poleOffset, k, zOffset;
  double kSize = 0, gammaSize = 0;
  std::array<double, 3> pmSums{};  // directivity's, tracking's, source match's two parts
};
ReactanceRange reactanceOverDisc(const ErrorTerms& t, const TermBounds& bounds, const DiscMap& map,
                                 std::complex<double> centre, double radius, double x);

}  // namespace kolm::analyzer
