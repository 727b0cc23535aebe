// A feed line between the analyzer and what it measures: the reading at the
// near end taken back to the load at the far end, the figures of common
// cables, and a stub's figures measured from its resonances.
//
// The line is the uniform line of circuit/transmission_line.h. The cable's
// figures are taken as exact; only the reading's interval is carried through.
#pragma once

#include <complex>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "analyzer/measurement.h"
#include "circuit/transmission_line.h"

namespace kolm::analyzer {

// A line's figures and, for a known type, the type's name (empty for figures
// given by hand).
struct Cable : circuit::TransmissionLine {
  std::string name;
};

// A type of cable with its typical published figures.
struct CableType {
  const char* name;
  double z0Ohm;
  double velocityFactor;
  double lossDbPer100m;
  double atMHz;
};
std::span<const CableType> cableTypes();

// "RG58, 10 m, VF 0.66, 16.1 dB per 100 m at 100 MHz, 50 ohm".
std::string cableText(const Cable& cable);

// "LEN_M,VF,LOSS_DB_PER_100M@MHZ" (and ",Z0_OHM" after it; 50 ohm when left
// out) or "TYPE:LEN_M" with TYPE one of cableTypes() (any case, dashes left
// out or not: RG58, rg-58). Empty, with the reason in `error`, for anything
// else or figures no cable has.
std::optional<Cable> parseCable(std::string_view text, std::string* error);

// The cable as parseCable reads it back: "TYPE:LEN_M" for a type's own
// figures, else every figure.
std::string cableSpec(const Cable& cable);

// The reflection (against 50 ohm) of the load at the far end of `cable` when
// its near end shows `nearReflection`, at `mhz`.
std::complex<double> farEndReflection(const Cable& cable, double mhz,
                                      std::complex<double> nearReflection);

// The trace of the load at the far end, point by point: each point's values
// through the line and its intervals carried (see cable.cpp), flagged invalid
// where the far end would reflect more than it receives and uncertain where an
// interval is too wide. The signs: the near end's are told again by the turn of
// its reflection alone (the rise of |X| with frequency says nothing behind a
// line); a far end's sign is the one every load its reading allows shares, or,
// where they may have a reactance of zero, the one inferred along the far end's
// own trace from the points whose near sign is known; unknown where they may
// pass through an open.
TraceValues withoutCable(const TraceValues& nearEnd, const Cable& cable);

// A stub of known physical length, open or shorted at its far end, swept at
// its near end.
enum class StubEnd { Open, Short };
struct StubFigures {
  double velocityFactor = 0;
  double electricalLengthM = 0;  // the length light travels in the stub's delay
  // Their half-widths, from where each resonance may lie by the readings'
  // intervals (none for a trace without intervals).
  std::optional<double> velocityFactorPm, electricalLengthPm;
  std::optional<double> lossDbPer100m, lossPm;
  double atMHz = 0;    // the resonance the loss is measured at (the lowest)
  int resonances = 0;  // how many were found and fitted
  std::string error;   // why the figures could not be found
  bool ok() const { return error.empty(); }
};
// Resonances are the series resonances (the open stub's odd quarter waves,
// the shorted stub's half waves): one in each run of points whose |Z| lies
// below Z0, at its |Z| minimum refined by the vertex of the parabola through
// |Z|^2 there, unless the inferred signs around it say the reactance falls
// through it (+ before, - after), or no point on one side of the minimum is
// surely higher by the intervals (noise, or readings that cannot see a high
// impedance); a minimum at an end of the sweep is left out. The true minimum
// may lie as far as the points beside those whose |Z| may be as low. The
// velocity factor is fitted to all of them (their quarter-wave numbers from
// their spacing, or with one resonance from the velocity factors a cable can
// have); resonances off their multiples are refused. The loss comes from R =
// Z0 tanh(alpha l) at the lowest.
StubFigures measureStub(const TraceValues& trace, double lengthM, StubEnd end, double z0Ohm);
// vf=, vf_pm=, electrical_length_m=, electrical_length_m_pm=, loss_db_per_100m=,
// loss_db_per_100m_pm= (half-widths rounded outward), at_mhz=, resonances= as
// key=value lines.
std::string stubReport(const StubFigures& figures);

// The span that shows a stub of `lengthM` at least two resonances at any
// velocity factor from 0.5 to 1: MHz.
std::pair<double, double> stubSpan(double lengthM, StubEnd end);

}  // namespace kolm::analyzer
