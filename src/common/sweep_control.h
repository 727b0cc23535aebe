// The sweep of a swept instrument, as every front end drives it (both
// windows, the command line, and whatever else drives a sweep remotely): the
// passes one after another (SweepPasses), their plans, the averaging ring,
// the clock of the pass under way, the state the buttons show, and the ways
// out. The instrument says how a pass is planned, what its job is and what a
// finished pass shows; a runner steps the job (the windows' event loop, the
// command line's own loop).
//
// The rule of a continuous sweep: every pass is planned afresh from what the
// user has set when it starts. The first pass of a sweep is refused while a
// setting is not a number; the next passes of a continuous sweep go on with
// each setting's last accepted value. A plan with another span, number of
// points or depth than the pass before restarts the average (and the chart's
// home view); the same plan adds to it.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "common/job.h"
#include "common/pass_average.h"
#include "common/sweep_passes.h"

namespace kolm::common {

// What a pass measures, as far as averaging goes: passes of equal plans are
// averaged together.
struct PassPlan {
  double startMHz = 0;
  double stopMHz = 0;
  int points = 0;
  int depth = 1;  // passes averaged, 1 to 100
  bool operator==(const PassPlan&) const = default;
};

// Steps the job of a pass and reports its end to SweepControl::passFinished.
class PassRunner {
 public:
  virtual ~PassRunner() = default;
  // Begins stepping `job` (only while no other job is stepped).
  virtual void start(SteppedJob& job) = 0;
  // Ends the job under way at its point boundary; its end is reported as not
  // completed.
  virtual void stop() = 0;
};

// The instrument's part of a sweep.
class SweptInstrument {
 public:
  virtual ~SweptInstrument() = default;
  // The plan of the next pass from what the user has set now. `fresh`: the
  // first pass of a sweep (a setting that is not a number refuses it);
  // otherwise the next pass of a continuous sweep or of the passes a single
  // sweep averages (each setting's last accepted value). None, after saying
  // why, when nothing may be swept.
  virtual std::optional<PassPlan> planPass(bool fresh) = 0;
  // The job of the pass just planned. `firstOfSweep`: the first pass of a
  // sweep (the generator is set up); `newPlan`: the average has restarted.
  virtual SteppedJob& beginPass(bool firstOfSweep, bool newPlan) = 0;
  // The pass ran to its end: its values join `average`, and they are shown.
  virtual void passCompleted(PassAverage& average) = 0;
  // The pass was stopped or failed: the last whole measurement stays.
  virtual void passStopped() = 0;
  // Sweeping is over: after its last pass (completed), or on a stop, a
  // failure or a refusal.
  virtual void sweepEnded(bool completed) = 0;
  // The generator off and every data line idle: closing ends here.
  virtual void leavePort() = 0;
  // The mode or the running state changed: the buttons follow.
  virtual void showState() {}
};

class SweepControl {
 public:
  using Mode = SweepPasses::Mode;
  SweepControl(SweptInstrument& instrument, PassRunner& runner);

  // A single sweep (as many passes as it averages), at once or after the pass
  // under way. `whenDone` is called once, when the sweeping ends: true when
  // its last pass ran to its end (a close forgets it; nothing is started
  // once closed).
  void single(std::function<void(bool completed)> whenDone = {});
  // A continuous sweep, at once or afresh after the pass under way.
  void continuous();
  // Stops the pass under way at its point boundary; nothing asked for runs.
  void stop();
  // The front end closes: as stop, nothing starts any more, and the port is
  // left idle.
  void close();
  // The runner's report: the pass under way has ended.
  void passFinished(bool completed);

  // What the buttons show: the sweep asked for last while one goes on or
  // waits for the pass under way (a stopped continuous sweep shows Single
  // until its pass has ended), Idle otherwise.
  Mode mode() const { return passes_.shownMode(); }
  bool running() const { return passes_.running(); }
  bool closed() const { return closed_; }
  const PassAverage& average() const { return average_; }
  const PassPlan& plan() const { return plan_; }
  // Passes completed since the sweep began.
  int passesDone() const { return passesDone_; }
  // Seconds since the pass under way (or the last one) began.
  double passSeconds() const;
  // "Pass done in 1.23 s" with "  avg 4/16" while passes are averaged.
  std::string passDoneText() const;

 private:
  bool startPass(bool fresh);
  void ended(bool completed);

  SweptInstrument& instrument_;
  PassRunner& runner_;
  SweepPasses passes_;
  PassAverage average_;
  PassPlan plan_;
  int passesDone_ = 0;
  int planPasses_ = 0;  // passes completed since the average restarted
  bool closed_ = false;
  std::function<void(bool)> whenDone_;
  std::chrono::steady_clock::time_point passStart_ = std::chrono::steady_clock::now();
};

}  // namespace kolm::common
