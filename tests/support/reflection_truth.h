// The six quantities the analyzer shows of a reflection (|phase| and |X| as it
// shows them), worked out here in double precision from the reflection
// itself: the truth the readings and their intervals are held to.
#pragma once

#include <cmath>
#include <complex>
#include <numbers>

#include "analyzer/impedance.h"

namespace kolm::test {

inline analyzer::PointValues quantitiesOf(std::complex<double> gamma) {
  const double rho = std::abs(gamma);
  const std::complex<double> z = 50.0 * (1.0 + gamma) / (1.0 - gamma);
  return {static_cast<float>(-20 * std::log10(rho)),
          static_cast<float>(std::fabs(std::arg(gamma)) * 180 / std::numbers::pi),
          static_cast<float>(std::abs(z)),
          static_cast<float>(z.real()),
          static_cast<float>(std::fabs(z.imag())),
          static_cast<float>((1 + rho) / (1 - rho))};
}

}  // namespace kolm::test
