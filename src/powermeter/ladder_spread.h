// How far a ladder filter built from measured crystals may respond unlike
// its prediction: the crystals are only known within their intervals, so the
// prediction is made again for crystals anywhere within them (their L, R and
// C0 all at one end of their intervals together, as a detector's or a
// clock's error would move them, and each on its own elsewhere within them),
// and its spread is what those responses cover.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "powermeter/ladder_filter.h"

namespace kolm::powermeter {

// The half-widths a crystal's values are known within. Fs: what sets it apart
// from the others of its batch (`fsHz`) and what moves all of them alike (the
// clock: `fsCommonHz`).
struct CrystalSpread {
  double fsHz = 0, fsCommonHz = 0, rOhm = 0, lHenry = 0, c0Farad = 0;
  bool operator==(const CrystalSpread&) const = default;
};

// The prediction's half-widths (rounded outward by the caller's digits), and
// at each of `bandHz` the lowest and highest gain the crystals' intervals
// allow.
struct LadderSpread {
  double centreHz = 0, bw3Hz = 0, rippleDb = 0, ilDb = 0;
  std::vector<double> bandHz, lowDb, highDb;
};

// `spreads[i]` belongs to network.crystals[i]; `nominal` is the network's own
// prediction for a filter of about `bwHz`.
LadderSpread ladderSpread(const LadderNetwork& network, const LadderResponse& nominal, double bwHz,
                          std::span<const CrystalSpread> spreads,
                          const std::vector<double>& bandHz = {});

}  // namespace kolm::powermeter
