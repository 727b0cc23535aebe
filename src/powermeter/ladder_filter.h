// A crystal ladder filter designed from measured crystals, and the prediction
// of its response from their models.
//
// Topology: a source of resistance r_term; an optional series capacitor
// (c_end1); the K crystals in series, in the designed order; a capacitor to
// ground at each junction between two crystals (c12, c23, ...); an optional
// series capacitor at the other end (c_endK); a load of r_term. Where the
// coupling capacitors pull inner meshes to different frequencies (Butterworth
// and Chebyshev shapes from 5 poles), those meshes get a series tuning
// capacitor too (c_s2, ...), printed only when present.
//
// The design is Dishal's: normalised coupling coefficients k(i,i+1) and end q
// from the low-pass prototype's g values; C(i,i+1) = sqrt(Cs_i Cs_(i+1)) f0 /
// (k BW); r_term = 2 pi BW L / q - R of the end crystal; every mesh (a crystal
// with the capacitors around it, its neighbours open) tuned to the same
// frequency. The bandwidth is then corrected against the predicted response.
#pragma once

#include <complex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "circuit/e_series.h"
#include "circuit/ladder_network.h"
#include "powermeter/crystal_fit.h"

namespace kolm::powermeter {

enum class LadderShape { Butterworth, Chebyshev, Cohn };

struct LadderShapeSpec {
  LadderShape shape = LadderShape::Butterworth;
  double rippleDb = 0;  // Chebyshev only
};

// "butterworth", "chebyshev:RIPPLE_DB" (0.01 to 3 dB) or "cohn"; empty with
// the reason in `error` for any other text.
std::optional<LadderShapeSpec> parseLadderShape(std::string_view text, std::string* error);

// The normalised coefficients of a K-pole coupled-resonator filter (K = 2 to
// 8): k[i] couples resonators i+1 and i+2; q1 and qK the end resonators' q.
// Butterworth: g(k) = 2 sin((2k - 1) pi / 2K). Chebyshev: the equal-ripple
// prototype's g values (their band edge is the ripple bandwidth;
// `edgeOverBw3` turns the -3 dB bandwidth into it). Cohn: the equal-element
// prototype (all g alike, k = 1 / g, q = g, so every coupling capacitor is
// the same), g chosen so that its -3 dB point is the band edge; its ripple is
// what that prototype gives.
struct LadderCoefficients {
  std::vector<double> k;
  double q1 = 0;
  double qK = 0;
  double edgeOverBw3 = 1;  // band-edge bandwidth over the -3 dB bandwidth
  double rippleDb = 0;     // the lossless prototype's passband ripple
};
LadderCoefficients ladderCoefficients(const LadderShapeSpec& shape, int poles);

using circuit::LadderCrystal;
using circuit::LadderNetwork;

// The transfer from the source's open voltage to twice the load's voltage
// (1 for a lossless match), at `fHz`: a chain of series and shunt elements.
std::complex<double> ladderTransfer(const LadderNetwork& network, double fHz);
double ladderGainDb(const LadderNetwork& network, double fHz);

// What the response of a filter looks like around `nominalHz` for a filter of
// about `bwHz`: the peak (insertion loss il_db = -peak), the widths where it
// has fallen 3, 6 and 60 dB below the peak (60 dB: none when the response
// does not fall that far within 100 bandwidths), their centre, the passband
// ripple (highest against lowest level between the outermost peaks inside
// the -3 dB points) and the shape factor bw60 / bw6.
struct LadderResponse {
  double centreHz = 0;
  double ilDb = 0;
  std::optional<double> bw3Hz, bw6Hz, bw60Hz;
  double rippleDb = 0;
  std::optional<double> shapeFactor;
};
// Widths are looked for only as far as `deepestDb` under the peak (the ripple
// needs more than 3 dB).
LadderResponse ladderResponse(const LadderNetwork& network, double nominalHz, double bwHz,
                              double deepestDb = 60);

struct LadderSpec {
  int poles = 4;
  double bwHz = 2400;  // -3 dB
  LadderShapeSpec shape;
  std::optional<double> rTermOhm;  // a termination chosen by the user
};

using circuit::ESeries;
using circuit::preferredValue;
// Every capacitor and r_term at its nearest preferred value.
LadderNetwork roundedNetwork(const LadderNetwork& network, ESeries series);

struct LadderDesign {
  LadderNetwork network;
  LadderResponse predicted;
  LadderNetwork e12, e24;
  LadderResponse predictedE12, predictedE24;
  double askedBwHz = 0;
  double shapeRippleDb = 0;  // what the shape's prototype gives
  std::vector<std::string> warnings;
  std::string error;
  bool ok() const { return error.empty(); }
};

// Designs a filter of spec.poles crystals from `crystals` (exactly that many;
// each needs its R, L and Fs; C0 is used in the tuning and the prediction).
LadderDesign designLadder(const std::vector<LadderCrystal>& crystals, const LadderSpec& spec);

struct LadderSpread;
// The key=value lines ladder-design prints: the parts (c12_pf=, ...,
// c_end1_pf=, c_endK_pf= or none, c_sN_pf= when present, r_term_ohm=,
// order=), the prediction (centre_mhz=, bw3_hz=, bw6_hz=, bw60_hz=,
// ripple_db=, il_db=, shape_factor=) and, with `spread`, how far it may be
// off (centre_mhz_pm=, bw3_hz_pm=, ripple_db_pm=, il_db_pm=, rounded
// outward), the same with E12 and E24 parts (e12_... and e24_...), then a
// warning= line for each warning.
std::string ladderReport(const LadderDesign& design, const LadderSpread* spread = nullptr);

using circuit::formatLadderFile;
using circuit::parseLadderFile;

}  // namespace kolm::powermeter
