// What the simulated instrument has connected: the device between generator and
// detector (DUT) and the load on the bridge, written as short texts:
//
//   DUT   through | atten:DB | amp:DB | lowpass:fc=MHZ,order=N
//         | crystal:fs=MHZ,r=OHM,c=F,c0=F,r0=OHM | ladder:PATH
//   LOAD  r=OHM | rlc:r=OHM,l=H,c=F | open | short | s1p:PATH
//         | line:z0=OHM,len=M,vf=V,loss=DB@MHZ,load=LOAD
//
// Values take SI suffixes f p n u m k M G (m milli, M mega): c=20f, l=1.5u.
#pragma once

#include <complex>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "circuit/ladder_network.h"
#include "circuit/transmission_line.h"
#include "sim/touchstone.h"

namespace kolm::sim {

// Between the generator and the detector: a two-port with a gain in dB that
// depends on frequency (only an amplifier's is above 0).
struct Dut {
  enum class Kind { Through, Atten, Amp, Lowpass, Crystal, Ladder };
  Kind kind = Kind::Through;
  double attenDb = 0;
  double ampDb = 0;
  double cutoffMHz = 0;  // lowpass
  int order = 0;
  // Crystal: series resonance (MHz), motional R and C, parallel C0, and the
  // fixture's total terminating resistance (source plus load).
  double fsMHz = 0, r = 0, c = 0, c0 = 0, r0 = 0;
  // Ladder: a crystal ladder filter built from a design file (ladder-design --out).
  std::shared_ptr<const circuit::LadderNetwork> ladder;
  std::string text = "through";

  // Transfer from generator to detector at `frequencyMHz`.
  std::complex<double> transfer(double frequencyMHz) const;
  double gainDb(double frequencyMHz) const;
};

// On the bridge: a one-port whose reflection against 50 ohm depends on frequency.
struct Load {
  enum class Kind { Resistor, SeriesRlc, Open, Short, Touchstone, Line };
  Kind kind = Kind::Resistor;
  double r = 50, l = 0, c = 0;  // c = 0: no capacitor in the series RLC
  std::shared_ptr<const OnePortTable> table;
  // Line: a uniform line (its loss in its conductors, scaled with sqrt f) in
  // front of `far`.
  circuit::TransmissionLine line;
  std::shared_ptr<const Load> far;
  std::string text = "r=50";

  std::complex<double> gamma(double frequencyMHz) const;
};

template <typename T>
struct Parsed {
  std::optional<T> value;
  std::string error;  // names the bad part of the text
  bool ok() const { return value.has_value(); }
};

Parsed<Dut> parseDut(std::string_view text);
// `s1p:PATH` reads the file now; a relative path is taken from the process's working
// directory (the programs never change it).
Parsed<Load> parseLoad(std::string_view text);

// The board's own quartz, in MHz: empty or "follow" follows the hardware
// parameters (the value is then empty); a number above 0 and up to 501 sets it
// apart.
Parsed<std::optional<double>> parseQuartz(std::string_view text);

// A number with an optional SI suffix: "20f", "1.5u", "2.2k", "1e-12". Empty
// when the text is not such a number.
std::optional<double> parseSiNumber(std::string_view text);

// The grammar as shown to users (kolm-cli --help and the Simulator window):
// lines without a trailing newline on the last.
std::string connectionGrammar();

}  // namespace kolm::sim
