// One-port Touchstone files (.s1p): the reflection of a measured load against
// frequency, for the simulated bridge.
#pragma once

#include <complex>
#include <string>
#include <string_view>
#include <vector>

namespace kolm::sim {

// Reflection coefficients against 50 ohm at increasing frequencies.
struct OnePortTable {
  std::vector<double> frequencyMHz;
  std::vector<std::complex<double>> gamma;

  // Linear interpolation of the real and imaginary parts; below the first and
  // above the last frequency the end values hold.
  std::complex<double> at(double frequencyMHz) const;
};

struct TouchstoneParse {
  OnePortTable table;
  std::string error;  // empty when the text was read; else "line N: ..."
  bool ok() const { return error.empty(); }
};

// Reads the text of a one-port file: "!" comments, the option line
// "# <Hz|kHz|MHz|GHz> <S|Z|Y> <DB|MA|RI> R <ohm>" (defaults GHz S MA R 50), then
// one "freq a b" line per point with the frequencies increasing. Data normalised
// to another reference resistance are converted to 50 ohm.
TouchstoneParse parseTouchstone(std::string_view text);

}  // namespace kolm::sim
