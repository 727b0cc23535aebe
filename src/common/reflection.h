// The impedance the instrument's bridge compares a load with, which its exports
// and the simulated loads refer to, and the reflection coefficient against it.
#pragma once

#include <cmath>
#include <complex>

namespace kolm::common {

inline constexpr double kReferenceOhm = 50;
// The speed of light in vacuum, m/s: a line's wave travels at its velocity
// factor times this.
inline constexpr double kSpeedOfLight = 299792458.0;

// (z - z0) / (z + z0); an impedance with an infinite part (an open) reflects 1.
inline std::complex<double> reflectionOf(std::complex<double> z, double z0 = kReferenceOhm) {
  if (std::isinf(z.real()) || std::isinf(z.imag())) return 1.0;
  return (z - z0) / (z + z0);
}

// The same from an admittance y, (1 - z0 y) / (1 + z0 y): an open (y = 0)
// reflects 1 without an infinite impedance on the way.
inline std::complex<double> reflectionOfAdmittance(std::complex<double> y,
                                                   double z0 = kReferenceOhm) {
  return (1.0 - z0 * y) / (1.0 + z0 * y);
}

// The impedance of reflection `g` against z0; infinite parts at g = 1.
inline std::complex<double> impedanceOf(std::complex<double> g, double z0 = kReferenceOhm) {
  if (g == 1.0) return {HUGE_VAL, HUGE_VAL};
  return z0 * (1.0 + g) / (1.0 - g);
}

// The impedance of reflection `g` per z0, (1 + g) / (1 - g), as the plain
// quotient of its parts: no scaling, for callers that keep 1 - g away from 0
// themselves (the corrected point's many images of a reflection).
inline std::complex<double> impedancePerReferenceOf(std::complex<double> g) {
  const std::complex<double> a = 1.0 + g, b = 1.0 - g;
  const double n = std::norm(b);
  return {(a.real() * b.real() + a.imag() * b.imag()) / n,
          (a.imag() * b.real() - a.real() * b.imag()) / n};
}

// (1 + rho) / (1 - rho) for a reflection of magnitude rho; infinite for rho of
// 1 or more.
inline double swrOfMagnitude(double rho) { return rho < 1 ? (1 + rho) / (1 - rho) : HUGE_VAL; }
inline double swrOf(std::complex<double> g) { return swrOfMagnitude(std::abs(g)); }

// The return loss of a reflection of magnitude rho, -20 log10 rho, in dB
// (infinite for a match), and the magnitude a return loss stands for.
inline double returnLossDb(double rho) { return -20 * std::log10(rho); }
inline double magnitudeOfReturnLoss(double db) { return std::pow(10.0, -db / 20); }

}  // namespace kolm::common
