// A quartz crystal's equivalent circuit: the motional arm (R, L, Cs in series)
// with the holder's capacitance C0 across it.
#pragma once

#include <complex>

namespace kolm::circuit {

// Cs follows from Fs and L.
struct CrystalModel {
  double fsHz = 0;     // series resonance of the motional arm
  double rOhm = 0;     // motional resistance
  double lHenry = 0;   // motional inductance
  double c0Farad = 0;  // holder capacitance across the crystal
  double csFarad() const;
  double fpHz() const;  // Fs sqrt(1 + Cs / C0): the parallel resonance
  double q() const;     // unloaded: 2 pi Fs L / R
  std::complex<double> impedance(double fHz) const;
  bool operator==(const CrystalModel&) const = default;
};

}  // namespace kolm::circuit
