// The impedance the instrument's bridge compares a load with, which its exports
// and the simulated loads refer to, and the reflection coefficient against it.
#pragma once

#include <cmath>
#include <complex>

namespace kolm::common {

inline constexpr double kReferenceOhm = 50;

// (z - z0) / (z + z0); an impedance with an infinite part (an open) reflects 1.
inline std::complex<double> reflectionOf(std::complex<double> z, double z0 = kReferenceOhm) {
  if (std::isinf(z.real()) || std::isinf(z.imag())) return 1.0;
  return (z - z0) / (z + z0);
}

}  // namespace kolm::common
