// A single sweep on the command line: the windows' sweep controller, its
// passes stepped here one after another, each through runPass.
#pragma once

#include "cli/cli.h"
#include "common/sweep_control.h"

namespace kolm::cli {

// An instrument's single sweep of a fixed plan (`depth` passes averaged), run
// to its end on this thread. A stop signal ends it with a line on standard
// error ("COMMAND: stopped after N points[ of pass K of D]; nothing written");
// every way out leaves the port through leavePort.
class CommandSweep : protected common::SweptInstrument, private common::PassRunner {
 public:
  CommandSweep(Context& ctx, const char* command, common::PassPlan plan)
      : ctx_(ctx), command_(command), plan_(plan) {}
  // True when the last pass ran to its end.
  bool run();

 protected:
  // Points of a pass, and those measured so far.
  virtual int totalPoints() const = 0;
  virtual int measuredPoints() const = 0;

  std::optional<common::PassPlan> planPass(bool) override { return plan_; }
  void passStopped() override;
  void sweepEnded(bool) override { leavePort(); }

  Context& ctx_;
  const char* command_;
  common::PassPlan plan_;

 private:
  void start(common::SteppedJob& job) override { job_ = &job; }
  void stop() override {}

  common::SteppedJob* job_ = nullptr;
  int passNumber_ = 0;  // the pass under way, from 1
};

}  // namespace kolm::cli
