// The sign of the reactance, which the bridge does not give (its phase detector
// reads |phase|), inferred from how the reactance changes with frequency.
//
// The reactance of a passive one-port rises with frequency (Foster): where |X|
// clearly rises the load is inductive, where it clearly falls capacitive. The
// reactance changes sign only through zero, so along a stretch where |X| stays
// clear of zero the sign cannot change: a stretch whose |X| first rises and
// then falls (a peak, as near the resonance of a lossy parallel circuit or
// along a mismatched line) or dips without reaching zero contradicts itself,
// unless the reactance may be zero between the rise and the fall (its interval
// holds zero where the reading cannot resolve it, near a parallel resonance):
// the rise and the fall then take their own signs, and the points around the
// hidden crossing whose reactance may be zero are left unknown.
// Its sign is then read from the turn of its reflection: with frequency a
// passive one-port's reflection turns clockwise on the Smith chart (a line
// turns it about the centre, a resonance round its circle), and the bridge's
// folded reading turns the other way where the true reactance is negative.
// When neither tells clearly the sign is left unknown rather than guessed. The sign is also unknown
// where the change is not resolved (a flat or noisy stretch), beside a point whose reactance is not
// a measurement, at a lone point (fewer than three measured points in a row), and on the point next
// to a zero crossing.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kolm::analyzer {

enum class ReactanceSign : int8_t { Capacitive = -1, Unknown = 0, Inductive = 1 };

// The points of one sweep as the inference needs them.
struct ReactanceSamples {
  std::span<const double> frequencies;
  std::span<const float> magnitude;   // |X|, ohm
  std::span<const float> resistance;  // R, ohm
  std::span<const float> resolution;  // what |X| may move by within the read-out's resolution
  // Whether point i's |X| is a measurement (not flagged, finite).
  std::span<const uint8_t> measured;
  // Whether point i's reactance may be zero within its interval (may be
  // empty): a valley of |X| through such a point may be a zero crossing.
  std::span<const uint8_t> zeroInside = {};
};

// One sign per point.
void inferReactanceSigns(const ReactanceSamples& samples, std::vector<ReactanceSign>& out);

// A zero crossing of the signed reactance, MHz, and where it may lie: between
// the nearest points either side whose sign is known and whose reactance's
// interval holds no zero (samples.zeroInside); `bounded` false when a side has
// none before the end of the trace (the span then reaches that end).
struct ReactanceZero {
  double mhz = 0;
  double fromMHz = 0, toMHz = 0;
  bool bounded = false;
  // The farthest the crossing may lie from mhz; empty when not bounded.
  std::optional<double> pm() const;
};

// The signed reactance's zero crossing nearest `near` (MHz), interpolated
// linearly between the two points of known opposite signs around it (points of
// unknown sign or approximate reactance between them are skipped over, a point
// without a finite reactance is not); empty when there is none.
std::optional<ReactanceZero> reactanceZero(const ReactanceSamples& samples,
                                           const std::vector<ReactanceSign>& signs,
                                           std::optional<double> near);

}  // namespace kolm::analyzer
