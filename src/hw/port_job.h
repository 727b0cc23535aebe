// A pass over the instrument as a SteppedJob whose points may be held open
// across their long waits (Instrument::waitInPoint): the job's next step (which
// is then that), a stop, or any other access to the port finishes a held point.
// A job destroyed with a point held, or a port replaced, drops it unread.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "common/job.h"
#include "hw/instrument.h"

namespace kolm::hw {

class PortJob : public common::SteppedJob {
 public:
  explicit PortJob(Instrument& instrument) : instrument_(instrument) {}
  ~PortJob() override { instrument_.dropHeldPoint(this); }
  PortJob(const PortJob&) = delete;
  PortJob& operator=(const PortJob&) = delete;

  std::string failure() const override { return instrument_.portFailure(); }
  // A point held by another pass keeps this one waiting as well.
  std::optional<Clock::time_point> resumeAt() const override { return instrument_.heldUntil(); }
  bool finishOpenPoint() override {
    if (!instrument_.holds(this)) return false;
    instrument_.finishHeldPoint();
    return true;
  }
  void abandonOpenPoint() override { instrument_.dropHeldPoint(this); }

 protected:
  // The wait of a point, then `rest` (its read-out): spun and `rest` run at
  // once, or held when long waits may be. True when held: the step ends there.
  bool waitThen(double units, std::function<void()> rest) {
    return instrument_.waitInPoint(units, longWaitsHeld() ? this : nullptr, std::move(rest));
  }
  // What a step returns after finishing a point: more to do.
  bool goesOn() const { return !done() && !instrument_.portFailed(); }

  Instrument& instrument_;
};

}  // namespace kolm::hw
