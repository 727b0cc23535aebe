// The bridge sweep: the frequency plan of a pass and the pass itself as a
// resumable job. Each step is one atomic point: tuning word out, bridge read-out,
// readings stored.
#pragma once

#include <cstdint>
#include <string>

#include "analyzer/measurement.h"
#include "hw/instrument.h"
#include "hw/port_job.h"

namespace kolm::analyzer {

// Everything a pass needs, checked before anything is sent.
struct SweepPlan {
  double start = 0;  // MHz
  double stop = 0;   // MHz
  int16_t points = 0;
  double startWord = 0;  // Ws, rounded
  double wordStep = 0;   // dW = (We - Ws) / N, not rounded
};

struct SweepPlanResult {
  SweepPlan plan;
  std::string error;  // empty when the plan may be run
  bool ok() const { return error.empty(); }
};

// The plan for start and stop in MHz and `points` as typed (rounded halves to
// even). Refused, with a message for the user: a clock of 0, fewer than 1 or
// more than 20001 points, equal start and stop, a frequency below 0 or at or
// above half the DDS clock, including the extra point past the stop that every
// pass measures.
SweepPlanResult planSweep(double start, double stop, double points, double refClkMHz);

// One pass of the analyzer: N + 2 points, indices 0 to N + 1, into
// `target`. The first step, when `resetDds` is set, resets the DDS and loads its
// multiplier; it then sends the start word, waits 10 ms and makes one bridge read
// that is not stored. Every further step sends the word Ws + i x dW (rounded),
// reads the bridge and stores both readings and the frequency i x s + start.
// The word is stepped unrounded and rounded as it is sent.
class PassJob : public hw::PortJob {
 public:
  PassJob(hw::Instrument& instrument, const SweepPlan& plan, Channels& target, bool resetDds);
  bool step() override;
  bool done() const override { return next_ > plan_.points + 1; }
  double progress() const override;
  const SweepPlan& plan() const { return plan_; }
  // Points stored so far.
  int stored() const { return next_ < 0 ? 0 : next_; }

 private:
  SweepPlan plan_;
  Channels& target_;
  bool resetDds_;
  double word_ = 0;  // the word of point next_, unrounded
  int next_ = -1;    // -1: the settling point has not been made yet
};

}  // namespace kolm::analyzer
