// A long pass (a sweep, a reference table) as a resumable job: the command line
// runs it to the end, the windows step it a point at a time between events. Each
// step is atomic: a DDS frame, its delay and its read-out never interleave with
// anything else.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace kolm::common {

class SteppedJob {
 public:
  using Clock = std::chrono::steady_clock;

  virtual ~SteppedJob() = default;
  // Does the next point (or finishes the one left open); false once the job
  // has nothing more to do.
  virtual bool step() = 0;
  virtual bool done() const = 0;
  // 0 to 1.
  virtual double progress() const = 0;
  // Why the job ended before its end (the port stopped working), or empty.
  virtual std::string failure() const { return {}; }

  // Whether a step may end inside its point, across a long wait (after the
  // word, before the read-out), for a caller that can come back when the wait
  // is over instead of spinning through it. Off: the point is done whole.
  void setLongWaitsHeld(bool held) { longWaitsHeld_ = held; }
  bool longWaitsHeld() const { return longWaitsHeld_; }
  // When a point is held open: the moment its wait ends. A step before then
  // spins out the rest. Empty when nothing waits.
  virtual std::optional<Clock::time_point> resumeAt() const { return std::nullopt; }
  // Finishes a point this job left open (the rest of its wait spun out, then
  // its read-out): a stop ends the job at a point boundary. True when there
  // was one.
  virtual bool finishOpenPoint() { return false; }
  // Forgets a point this job left open, unread: a stop does not wait for the
  // rest of a long wait, and the point is not counted.
  virtual void abandonOpenPoint() {}

  void runToEnd() {
    while (!done() && step()) {
    }
  }

 private:
  bool longWaitsHeld_ = false;
};

}  // namespace kolm::common
