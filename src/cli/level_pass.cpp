// One power meter pass as power-sweep and crystal run it.
#include "cli/level_pass.h"

#include <ostream>

#include "common/pass_average.h"
#include "common/text.h"
#include "powermeter/averaging.h"

namespace kolm::cli {

std::optional<LevelPass> runLevelPass(Context& ctx, const char* command, double start, double stop,
                                      double points, double delayMs,
                                      const powermeter::Calibration& calibration, int average) {
  if (points < 1 || points > powermeter::kMaxPoints)
    throw UsageError{"--points: a whole number from 1 to 20000"};
  if (!(delayMs >= 0) || delayMs > powermeter::kMaxDelayMs)
    throw UsageError{"--delay: 0 to 60000 ms"};
  auto prepared = powermeter::prepareSweep({start, stop, points, 20, -80},
                                           ctx.instrument.params.refClockMHz, calibration);
  if (!prepared.plan) throw UsageError{prepared.error};
  LevelPass pass{*prepared.plan, std::vector<float>(powermeter::kTraceSize, 0.f)};

  common::PassAverage ring(average);
  for (int k = 0; k < average; ++k) {
    powermeter::SweepJob job(
        ctx.instrument, pass.plan, calibration, [delayMs] { return delayMs; }, pass.trace);
    const bool complete = runPass(ctx, job, command, pass.plan.Points + 1,
                                  [&job] { return static_cast<int>(job.measured()); });
    if (!complete) {
      switchOff(ctx, 1);
      *ctx.err << command << ": stopped after " << job.measured() << " points";
      if (average > 1) *ctx.err << " of pass " << k + 1 << " of " << average;
      *ctx.err << "; nothing written\n";
      return std::nullopt;  // the stop signal gives the exit status
    }
    powermeter::averageLevels(ring, pass.trace, pass.plan.Points);
  }
  switchOff(ctx, 1);
  return pass;
}

}  // namespace kolm::cli
