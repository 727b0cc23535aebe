// One power meter pass as power-sweep and crystal run it.
#pragma once

#include <optional>
#include <vector>

#include "cli/cli.h"
#include "powermeter/sweep.h"

namespace kolm::cli {

struct LevelPass {
  powermeter::SweepPlan plan;
  std::vector<float> trace;  // levels 0 to plan.points, then zeros
};

// Checks the points (1 to 20000) and the delay (0 to 60000 ms), prepares the
// pass as the window's boxes would, runs it `average` times back to back (the
// levels averaged in linear power) with the generator switched off at the end.
// Empty when a stop signal ended it (said on standard error).
std::optional<LevelPass> runLevelPass(Context& ctx, const char* command, double start, double stop,
                                      double points, double delayMs,
                                      const powermeter::Calibration& calibration, int average = 1);

}  // namespace kolm::cli
