#include "circuit/transmission_line.h"

#include <cmath>

#include "common/constants.h"

namespace kolm::circuit {

namespace {

using Complex = std::complex<double>;

// The line's own reflection against z0, and a reflection against z0 seen
// against the line's own impedance.
Complex mismatch(const LinePropagation& p, double z0) {
  return common::reflectionOf(p.ownImpedance, z0);
}
Complex towards(Complex g, Complex s) { return (g - s) / (1.0 - s * g); }
Complex back(Complex g, Complex s) { return (g + s) / (1.0 + s * g); }

}  // namespace

double TransmissionLine::lossAt(double mhz) const {
  return lossAtMHz > 0 && mhz > 0 ? lossDbPer100m * std::sqrt(mhz / lossAtMHz) : 0;
}

LinePropagation propagation(const TransmissionLine& line, double mhz) {
  const double alpha = line.lossAt(mhz) / 100 / kDbPerNeper;
  const double beta = radiansPerSecond(mhz) / (line.velocityFactor * common::kSpeedOfLight);
  const Complex spread = std::sqrt(Complex(1, -2 * alpha / beta));
  return {Complex(0, beta) * spread * line.lengthM, line.z0Ohm * spread};
}

Complex nearEndReflection(const TransmissionLine& line, double mhz, Complex far, double z0) {
  if (!(mhz > 0)) return far;
  const LinePropagation p = propagation(line, mhz);
  const Complex s = mismatch(p, z0);
  return back(towards(far, s) * std::exp(-2.0 * p.gammaLength), s);
}

Complex farEndReflection(const TransmissionLine& line, double mhz, Complex near, double z0) {
  if (!(mhz > 0)) return near;
  const LinePropagation p = propagation(line, mhz);
  const Complex s = mismatch(p, z0);
  return back(towards(near, s) * std::exp(2.0 * p.gammaLength), s);
}

}  // namespace kolm::circuit
