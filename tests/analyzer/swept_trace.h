// A load swept on the simulated instrument, as the analyzer's exports see it:
// the matching, cable and band tests measure on it.
#pragma once

#include <cstdint>
#include <string>

#include "analyzer/files.h"
#include "analyzer/sweep.h"
#include "sim/sim_rig.h"

namespace kolm::test {

// A sweep of `load` on the simulator's typical board (unless told).
inline analyzer::TraceValues sweptTrace(const std::string& load, double start, double stop,
                                        int points, sim::Board board = sim::Board::Typical) {
  SimRig rig("through", load, {}, board);
  return analyzer::exportTrace(static_cast<int16_t>(points), start, stop,
                               rig.pass(start, stop, points));
}

}  // namespace kolm::test
