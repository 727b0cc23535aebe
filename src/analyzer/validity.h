// What a pair of bridge readings can tell. The bridge's two detectors have ends:
// the return-loss channel bottoms out at the bridge's 30 dB range, cannot rise
// above a total reflection, and near a total reflection at 0 degrees no finite
// impedance can be told from an open; the phase channel loses its accuracy (and
// the bridge never knows the sign of the phase) within a few degrees of 0 and
// 180 degrees. Every point is flagged here, and each of the six quantities is
// then either a measured number or marked (a bound, approximate, open, invalid).
#pragma once

#include <cstdint>
#include <string_view>

#include "analyzer/impedance.h"
#include "chart/marks.h"

namespace kolm::analyzer {

// The phase channel's dead zone at either end, in counts: 28 counts are 4.9
// degrees (5 degrees are 28.4 counts).
inline constexpr int kPhaseEndCounts = 28;
// Channel A at or above this count (within two counts of a total reflection,
// return loss under 0.12 dB: about the bridge's own tracking and directivity
// error there) with the phase in its 0-degree dead zone cannot be told from an
// open: the impedance may be anything from a few hundred ohms of resistance
// with kilohms of reactance to infinity.
inline constexpr int kOpenCounts = 510;

// The flag as the exports write it: "" for a valid point, otherwise "rl_limit",
// "phase_limit", "open" or "invalid".
std::string_view flagWord(PointFlag flag);

// How quantity `q` of a point with `flag` is to be taken:
//   rl_limit     return loss at least its value, SWR at most its value (the
//                ends of their intervals: the directivity that remains makes
//                them 24 dB and 1.14 with the published figures, not 30 dB and
//                1.065); phase, |Z|, R and X approximate (near 50 ohm)
//   phase_limit  phase and X approximate; the rest measured
//   open         return loss and phase measured; |Z|, R, X and SWR open
//   invalid      return loss and phase approximate; |Z|, R, X and SWR invalid
// (Inline: it is asked for every point and quantity of every trace drawn.)
inline chart::Mark quantityMark(PointFlag flag, int q) {
  using chart::Mark;
  switch (flag) {
    case PointFlag::Valid:
      return Mark::Valid;
    case PointFlag::RlLimit:
      if (q == kReturnLoss) return Mark::AtLeast;
      if (q == kSwr) return Mark::AtMost;
      return Mark::Approximate;
    case PointFlag::PhaseLimit:
      return q == kPhase || q == kReactance ? Mark::Approximate : Mark::Valid;
    case PointFlag::Open:
      return q == kReturnLoss || q == kPhase ? Mark::Valid : Mark::Open;
    case PointFlag::Invalid:
      return q == kReturnLoss || q == kPhase ? Mark::Approximate : Mark::Invalid;
  }
  return Mark::Invalid;
}

// What the chart draws and the readouts show for quantity `q` of a point: its
// value, or +infinity for an open one, NaN for an invalid one.
float shownValue(const PointResult& point, int q);

}  // namespace kolm::analyzer
