// L networks that match a load to a resistance: one element in series and one
// in shunt (a capacitor or a coil each), the shunt element either across the
// load or on the source side.
//
// With the shunt element across the load (possible while the load's
// conductance G is at most 1 / R0), it turns the load's susceptance into
// B' = +-sqrt(G / R0 - G^2), where the load's parallel form shows R0 in series;
// the series element then cancels the reactance left. With the series element
// at the load (possible while the load's R is at most R0), it turns the
// reactance into X' = +-sqrt(R R0 - R^2), where the series form shows 1 / R0 in
// parallel; the shunt element cancels the susceptance left. A load inside both
// limits has four solutions, one outside the target's circles two; an element
// that comes out as nothing is left out.
#pragma once

#include <complex>
#include <span>
#include <string>
#include <vector>

#include "circuit/e_series.h"

namespace kolm::analyzer {

// A coil or a capacitor, or nothing (a series element that is a short, a shunt
// element that is open).
struct MatchPart {
  enum class Kind { None, Inductor, Capacitor };
  Kind kind = Kind::None;
  double value = 0;  // henry or farad
  // The part's reactance at `mhz` (0 for nothing).
  double reactance(double mhz) const;
};

struct MatchNetwork {
  bool shuntAtLoad = false;  // the shunt element across the load, else on the source side
  MatchPart series, shunt;
  // The impedance the source sees at `mhz` with `load` at the far side.
  std::complex<double> input(std::complex<double> load, double mhz) const;
  // The load that shows as `input` at `mhz`: input's inverse.
  std::complex<double> loadFor(std::complex<double> input, double mhz) const;
  // Both parts at their nearest preferred values.
  MatchNetwork rounded(circuit::ESeries series) const;
  // "shunt_C_at_load,series_L": the elements from the load towards the source.
  std::string topology() const;
  // lowpass (series L, shunt C), highpass (series C, shunt L), two_L, two_C,
  // or the one element (series_C, shunt_L, ...), none when nothing is needed.
  std::string form() const;
};

// Every L network that shows `load` (ohm) as `targetOhm` at `mhz`.
std::vector<MatchNetwork> matchNetworks(std::complex<double> load, double mhz, double targetOhm);

// The SWR against `targetOhm` of an impedance.
double swrAgainst(std::complex<double> z, double targetOhm);

// The SWR `network` gives at each point of a measured trace (frequencies in
// MHz, R and the signed X in ohm); NaN where the point has no finite impedance.
std::vector<double> matchedSwr(const MatchNetwork& network, std::span<const double> mhz,
                               std::span<const double> r, std::span<const double> x,
                               double targetOhm);

// One line of key=value pairs separated by blanks: topology=, form=, the parts
// (l_uh= and c_pf=, or l_series_uh= and l_shunt_uh= where both are of a kind,
// and the same for capacitors), the parts rounded (l_e12_uh=, ...) and
// swr_rounded= at `mhz`; no line end.
std::string matchLine(const MatchNetwork& network, std::complex<double> load, double mhz,
                      double targetOhm, circuit::ESeries series);

}  // namespace kolm::analyzer

#include <optional>
#include <utility>

#include "analyzer/measurement.h"
#include "analyzer/reactance_sign.h"

namespace kolm::analyzer {

struct MatchReport {
  std::string text;   // the lines, each ended by a line end
  std::string error;  // why the point cannot be matched
};

// One network for a measured point: its parts, the parts at their preferred
// values, the SWR those give at the point, and where the SWR they give along
// the measured trace rises through 2 either side (none where a point of no
// finite impedance, or the trace's end, comes first).
struct MatchSolution {
  // The sign the point's reactance is taken with: the inferred one, or, at a
  // point of unknown sign, each candidate in turn.
  ReactanceSign assumed = ReactanceSign::Unknown;
  MatchNetwork network, rounded;
  double roundedSwr = 0;
  // The least and greatest SWR the rounded parts give over the point's
  // interval (R and X each anywhere within its half-width); none where the
  // point's interval is unbounded or not known.
  std::optional<std::pair<double, double>> roundedSwrSpan;
  std::optional<double> swr2Low, swr2High;  // MHz
  // Where an edge is none: whether the SWR stays below 2 out to that end of the
  // sweep (else a point of no finite impedance stopped the walk).
  bool swr2BelowToStart = false, swr2BelowToStop = false;
};

struct MatchPoint {
  std::string error;             // why the point cannot be matched; nothing else is set then
  size_t index = 0;              // the sweep point used
  double mhz = 0, r = 0, x = 0;  // its frequency, R and X with its sign
  bool signKnown = false;
  std::string marks;  // the point's flag words, blank-separated
  std::vector<MatchSolution> solutions;
};

// The networks for the point of `trace` nearest `mhz` (at a point of unknown
// sign the band's SWR is the higher of its two candidates). A point without a
// finite impedance is refused.
MatchPoint matchPoint(const TraceValues& trace, double mhz, double targetOhm,
                      circuit::ESeries series);

// The same as lines of key=value pairs: match_mhz= r_ohm= x_ohm=
// sign=inferred|unknown (and marks= with the point's flag words, their blanks
// as "+"), then one matchLine per network followed by swr2_low_mhz= and
// swr2_high_mhz=, each led by candidate=inductive or candidate=capacitive at a
// point of unknown sign.
MatchReport matchReport(const TraceValues& trace, double mhz, double targetOhm,
                        circuit::ESeries series);

// The least and greatest SWR against `targetOhm` that `network` gives at `mhz`
// for any load whose R lies within `pmR` of the load's (never below 0) and X
// within `pmX` of its, a hair outward: the reflection is a bilinear map of the
// load without a pole for R >= 0, so both lie on the rectangle's edge, at an
// edge's end or where the reflection's size turns along it (found in closed
// form), the least at 1 where the load the network matches lies inside. None
// for an unbounded half-width.
std::optional<std::pair<double, double>> swrOverInterval(const MatchNetwork& network,
                                                         std::complex<double> load, double pmR,
                                                         double pmX, double mhz, double targetOhm);
// "1.09 to 1.46": such a span with two decimals, rounded outward ("infinite"
// for an unbounded top).
std::string swrSpanText(const std::pair<double, double>& span);

// A part's value with its unit, `digits` significant (3 at least, so that
// no exponent is written): "330 pF", "1.5 nF",
// "0.33 \u00b5H", "47 nH".
std::string partValueText(const MatchPart& part, int digits);

}  // namespace kolm::analyzer
