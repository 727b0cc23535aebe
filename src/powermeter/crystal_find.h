// Finding the crystal: from a sweep that holds its resonance anywhere (a
// wide one, as the window opens with), the meter locates it and sweeps again
// narrowly on its own, in at most three sweeps: the first, a coarse one
// around what it located (when the first did not resolve the resonance), and
// a narrow one of about 5 bandwidths either side with enough points for the
// fit.
#pragma once

#include <string>

#include "powermeter/crystal_fit.h"

namespace kolm::powermeter {

// The most sweeps finding a crystal takes, the first one included.
inline constexpr int kFindSweeps = 3;

enum class FindStage { Coarse, Narrow };
// "coarse" or "narrow", in the language in use.
std::string findStageText(FindStage stage);

struct FindStep {
  enum class Kind { Fit, Sweep, NotFound } kind = Kind::NotFound;
  // The next sweep (Kind::Sweep).
  FindStage stage = FindStage::Coarse;
  double startMHz = 0, stopMHz = 0;
  int points = 0;
  std::string error{};  // Kind::NotFound: why
};

// What to do after the sweep `in` holds, the `sweepsDone`-th one (1 for the
// first): fit it (it resolves the resonance well enough, or it was the last),
// sweep again where it shows the resonance, or give up (no resonance stands
// out of its curve). `points` is the fewest points a narrow sweep takes.
FindStep nextFindStep(const CrystalFitInput& in, int sweepsDone, int points);

}  // namespace kolm::powermeter
