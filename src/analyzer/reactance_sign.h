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
//
// The rise with frequency holds for networks without loss; a lossy load seen
// through a line can show |X| rising while its reactance is negative. So the
// rise tells the sign only where the turn bears its premise out (enough of the
// stretch to turn, and no more of it turning against that sign than with it);
// a run whose |X| goes against the stretch's sign (beyond a peak, where the
// sign may also turn through an open between two points) takes it only where
// its own turn agrees; and behind a line known to be there the turn alone
// tells. Where nothing tells clearly the sign is left unknown rather than
// guessed. It is also unknown where the change is not resolved (a flat or
// noisy stretch), beside a point whose reactance is not a measurement, at a
// lone point (fewer than three measured points in a row), and around a zero
// crossing, as far as the points whose reactance may be zero reach.
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
  // The load is known to sit behind a line: whether |X| rises with frequency
  // then says nothing of its sign (a resistor seen through a line swings either
  // way), so the turn of the reflection alone tells it.
  bool behindLine = false;
  // Which stretch of readings each point belongs to (may be empty): |X| may
  // step where one ends and the next begins (corrected and uncorrected
  // readings at a calibration's edge), which says nothing of the sign, so
  // each stretch is told on its own.
  std::span<const uint8_t> stretch = {};
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
