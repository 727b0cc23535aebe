// How a swept instrument's passes follow one another: a single pass, a
// continuous sweep, what is asked for during a pass (served once it is over),
// stop and close. Both swept instruments' windows go through it; each says how
// its passes start and what the end of sweeping looks like.
//
// During a pass, a single-pass request gets a pass of its own after it (from
// what the user has set then), which also ends a continuous sweep; a
// continuous request starts a continuous sweep afresh after it. A pass that
// does not complete (stopped, failed) ends the sweeping and forgets both.
#pragma once

#include <functional>

namespace kolm::common {

class SweepPasses {
 public:
  enum class Mode { Idle, Single, Continuous };
  struct Actions {
    // Starts a pass from what the user has set (a new plan); false, after
    // saying why, when it cannot. `continuous` tells which sweep it begins.
    std::function<bool(bool continuous)> startFresh;
    // Starts the next pass of a continuous sweep; false when it cannot.
    std::function<bool()> startNext;
    // Stops the pass under way at its next point boundary; passFinished(false)
    // follows.
    std::function<void()> stopPass;
    // Sweeping has ended: after its last pass (completed), or on a stop, a
    // failure or a refusal.
    std::function<void(bool completed)> ended;
    // Whether a single sweep needs another pass after a completed one (the
    // passes it averages); the next then starts with startNext. None: one pass.
    std::function<bool()> morePasses = {};
  };
  explicit SweepPasses(Actions actions) : actions_(std::move(actions)) {}

  // A single pass, at once or after the pass under way.
  void single();
  // A continuous sweep, at once or afresh after the pass under way.
  void continuous();
  // Stops the pass under way at its point boundary; nothing asked for runs.
  void stop();
  // The window closes: as stop, and nothing starts or ends any more.
  void close();
  // The pass under way has ended; `completed` when it ran to its end.
  void passFinished(bool completed);

  Mode mode() const { return mode_; }
  // The mode a request waiting for the pass under way will start, else mode().
  Mode shownMode() const {
    return pending_ == Pending::Single       ? Mode::Single
           : pending_ == Pending::Continuous ? Mode::Continuous
                                             : mode_;
  }
  bool running() const { return running_; }

 private:
  enum class Pending { None, Single, Continuous };
  void begin(bool continuous);
  void finish(bool completed);

  Actions actions_;
  Mode mode_ = Mode::Idle;
  Pending pending_ = Pending::None;
  bool running_ = false;
  bool closed_ = false;
};

}  // namespace kolm::common
