// The bridge check run on a simulated board, as a user runs it.
#pragma once

#include <array>

#include "analyzer/bridge_check.h"
#include "analyzer/calibration.h"
#include "analyzer/sweep.h"
#include "sim/sim_rig.h"

namespace kolm::test {

inline constexpr std::array<const char*, analyzer::kStandards> kRightStandards{"r=50", "open",
                                                                               "short"};

// The check over 1 to 60 MHz in 40 steps, with `connected[k]` on the bridge
// when standard k is measured.
inline analyzer::BridgeCheckRun checkOn(
    sim::Board board,
    const std::array<const char*, analyzer::kStandards>& connected = kRightStandards) {
  analyzer::BridgeCheckRun run;
  for (int k = 0; k < analyzer::kStandards; ++k) {
    SimRig rig("through", connected[static_cast<size_t>(k)], {}, board);
    run.take(static_cast<analyzer::Standard>(k), 1, 60, 40,
             analyzer::standardReadings(rig.pass(1, 60, 40), 40));
  }
  return run;
}

// The bridge calibrated on a simulated board, each standard as the simulator
// presents it, over 1 to 60 MHz in `steps`; the one at `swapped` replaced by
// `instead`.
inline analyzer::CalibrationRun calibrationRunOn(sim::Board board, int steps = 40,
                                                 size_t swapped = 99, const char* instead = "") {
  analyzer::CalibrationRun run;
  const auto& standards = analyzer::calibrationStandards();
  for (size_t k = 0; k < standards.size(); ++k) {
    SimRig rig("through", k == swapped ? instead : standards[k].simLoad, {}, board);
    run.take(k, 1, 60, steps,
             {standards[k].nominal, 1, analyzer::standardReadings(rig.pass(1, 60, steps), steps)});
  }
  return run;
}

}  // namespace kolm::test
