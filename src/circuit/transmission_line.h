// A uniform transmission line whose loss lies in its conductors.
//
// The stated loss alpha (neper per metre, scaled with the square root of the
// frequency, as skin effect gives) makes its series resistance R' = 2 alpha
// Z0 beside L' = Z0 / v and C' = 1 / (Z0 v), v = VF c; with x = R' / (w L')
// = 2 alpha / beta the propagation constant is j beta sqrt(1 - j x) and the
// line's own impedance Z0 sqrt(1 - j x). Against that impedance a line only
// turns and scales a reflection: near = far x exp(-2 gamma l).
#pragma once

#include <complex>
#include <numbers>

#include "common/reflection.h"

namespace kolm::circuit {

// Decibels in a neper: 20 / ln 10.
inline constexpr double kDbPerNeper = 20 / std::numbers::ln10;

struct TransmissionLine {
  double z0Ohm = 50;
  double lengthM = 0;
  double velocityFactor = 1;
  double lossDbPer100m = 0;  // at lossAtMHz
  double lossAtMHz = 100;
  // The loss at `mhz`, dB per 100 m (none at or below 0 MHz).
  double lossAt(double mhz) const;
};

// The propagation over the line's length (gamma l) and its own impedance, at
// `mhz` above 0.
struct LinePropagation {
  std::complex<double> gammaLength;
  std::complex<double> ownImpedance;
};
LinePropagation propagation(const TransmissionLine& line, double mhz);

// The reflection against `z0` at the near end with `far` at the far end, and
// the far end's from the near end's; at or below 0 MHz the line changes nothing.
std::complex<double> nearEndReflection(const TransmissionLine& line, double mhz,
                                       std::complex<double> far, double z0 = common::kReferenceOhm);
std::complex<double> farEndReflection(const TransmissionLine& line, double mhz,
                                      std::complex<double> near, double z0 = common::kReferenceOhm);

}  // namespace kolm::circuit
