// One power meter pass as power-sweep and crystal run it.
#include "cli/level_pass.h"

#include <ostream>

#include "cli/sweep_run.h"
#include "common/text.h"
#include "powermeter/averaging.h"

namespace kolm::cli {

namespace {

// The power meter's passes into the trace, averaged in linear power; the
// generator off at the end.
class LevelSweep : public CommandSweep {
 public:
  LevelSweep(Context& ctx, const char* command, LevelPass& pass,
             const powermeter::Calibration& calibration, double delayMs, int average)
      : CommandSweep(ctx, command,
                     {pass.plan.viewStartMHz, pass.plan.viewStopMHz, pass.plan.points, average}),
        pass_(pass),
        calibration_(calibration),
        delayMs_(delayMs) {}

 private:
  int totalPoints() const override { return pass_.plan.points + 1; }
  int measuredPoints() const override { return job_ ? static_cast<int>(job_->measured()) : 0; }
  common::SteppedJob& beginPass(bool, bool) override {
    job_.emplace(
        ctx_.instrument, pass_.plan, calibration_, [this] { return delayMs_; }, pass_.trace);
    return *job_;
  }
  void passCompleted(common::PassAverage& average) override {
    powermeter::averageLevels(average, pass_.trace, pass_.plan.points);
  }
  void leavePort() override { switchOff(ctx_, 1); }

  LevelPass& pass_;
  const powermeter::Calibration& calibration_;
  double delayMs_;
  std::optional<powermeter::SweepJob> job_;
};

}  // namespace

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

  if (!LevelSweep(ctx, command, pass, calibration, delayMs, average).run())
    return std::nullopt;  // the stop signal gives the exit status
  return pass;
}

}  // namespace kolm::cli
