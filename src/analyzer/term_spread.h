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

// How far |G|, arg G, then R, X and |Z| per R0 may move at ratio `w` (channel
// A's reading `a`) when the terms are off by at most their pm, part by part:
// first order, each part on its own, plus a bound of what the first order
// leaves out (with G = u / D, u = w - e00, D = T + e11 u, a change dG is
// (-de D - u dD) / (D (D + dD)) exactly).
std::array<double, 5> termSpread(const ErrorTerms& t, const TermBounds& bounds,
                                 std::complex<double> w, double a);

// X per R0 over every ratio within `radius` of `centre`, widened by the most
// termSpread gives anywhere there (channel A's reading `a`): an outer bound of
// what a sector of ratios inside the disc gives, at a small part of its cost.
// {-inf, inf} where the disc may reach the open or the correction's pole.
struct ReactanceRange {
  double low, high;
};
ReactanceRange reactanceOverDisc(const ErrorTerms& t, const TermBounds& bounds,
                                 std::complex<double> centre, double radius, double a);

}  // namespace kolm::analyzer
