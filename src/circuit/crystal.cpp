#include "circuit/crystal.h"

#include <cmath>
#include <numbers>

#include "common/constants.h"

namespace kolm::circuit {

double CrystalModel::csFarad() const {
  const double w = kTwoPi * fsHz;
  return 1 / (w * w * lHenry);
}

double CrystalModel::fpHz() const { return fsHz * std::sqrt(1 + csFarad() / c0Farad); }

double CrystalModel::q() const { return kTwoPi * fsHz * lHenry / rOhm; }

std::complex<double> CrystalModel::impedance(double fHz) const {
  const double w = kTwoPi * fHz, ws = kTwoPi * fsHz;
  const std::complex<double> zm(rOhm, lHenry * (w - ws) * (w + ws) / w);
  if (!(c0Farad > 0)) return zm;
  return 1.0 / (1.0 / zm + std::complex<double>(0, w * c0Farad));
}

}  // namespace kolm::circuit
