// Sorting crystals against limits: a window for Fs, a highest R and a lowest
// Q. A crystal passes when each value's whole interval meets its limit, fails
// when an interval lies wholly beyond one, and is indeterminate when an
// interval straddles a limit (or a limited value was not measured): the
// measurement cannot tell.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/verdict.h"
#include "powermeter/crystal_batch.h"

namespace kolm::powermeter {

struct CrystalLimits {
  std::optional<double> fsMinMHz, fsMaxMHz, rMaxOhm, qMin;
  bool operator==(const CrystalLimits&) const = default;
};

// "fs_min=MHZ,fs_max=MHZ,r_max=OHM,q_min=Q", any of them in any order, at
// least one. Empty, with the reason in `error`, for an unknown or repeated
// key, a value that is not a number, or limits no crystal can meet together
// (fs_min not below fs_max, r_max not above 0, q_min below 0).
std::optional<CrystalLimits> parseCrystalLimits(std::string_view text, std::string* error);

using common::Verdict;
using common::verdictName;

struct CrystalVerdict {
  Verdict verdict = Verdict::Pass;
  // One line per limit that was not met or could not be told.
  std::vector<std::string> reasons;
};
CrystalVerdict judgeCrystal(const CrystalRow& row, const CrystalLimits& limits);

}  // namespace kolm::powermeter
