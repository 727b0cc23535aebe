#include "cli/sweep_run.h"

#include <ostream>
#include <utility>

namespace kolm::cli {

bool CommandSweep::run() {
  common::SweepControl control(*this, *this);
  bool completed = false;
  control.single([&completed](bool done) { completed = done; });
  while (common::SteppedJob* job = std::exchange(job_, nullptr)) {
    passNumber_ = control.passesDone() + 1;
    control.passFinished(
        runPass(ctx_, *job, command_, totalPoints(), [this] { return measuredPoints(); }));
  }
  return completed;
}

void CommandSweep::passStopped() {
  *ctx_.err << command_ << ": stopped after " << measuredPoints() << " points";
  if (plan_.depth > 1) *ctx_.err << " of pass " << passNumber_ << " of " << plan_.depth;
  *ctx_.err << "; nothing written\n";
}

}  // namespace kolm::cli
