// The power meter's sweep: what a sweep is asked for, its rules, and the pass
// itself as a resumable job of atomic points.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/trace_size.h"
#include "hw/instrument.h"
#include "hw/port_job.h"
#include "powermeter/level.h"

namespace kolm::powermeter {

// A sweep trace holds indices 0 to 20002; a pass stores `points` + 1 levels.
inline constexpr int kTraceSize = common::kTraceEntries;
inline constexpr int kMaxPoints = common::kMaxPowerMeterPoints;

// The most points a sweep may be asked for: 20000 when more are asked, else none.
std::optional<int> limitPoints(double points);

// The longest delay per point, ms: a minute, far beyond any detector's settling.
inline constexpr double kMaxDelayMs = 60000;
// The message when a delay above it is asked for, else none.
std::optional<std::string> delayLimitMessage(double delayMs);

// The warning when `points` of `delayMs` each would take more than 50 seconds, else none.
std::optional<std::string> sweepTimeWarning(double points, double delayMs);

// What a sweep is asked for: the span, the number of steps (rounded halves to
// even), and the chart's level range.
struct SweepRequest {
  double startMHz = 0;
  double stopMHz = 0;
  double points = 0;
  double topDbm = 0;
  double bottomDbm = 0;
};

struct SweepPlan {
  float viewStartMHz = 0;
  float viewStopMHz = 0;
  int16_t points = 0;
  float topDbm = 0;
  float bottomDbm = 0;
  double startWord = 0;  // Ws, ddsTuningWord of the start
  double stopWord = 0;   // We
};

struct SweepPreparation {
  // The start and stop texts to show when the two were exchanged (a start above
  // the stop); written back whether or not the sweep can run.
  std::optional<std::string> startMHz, stopMHz;
  std::optional<SweepPlan> plan;
  // Why the sweep cannot run, for a message before anything is sent.
  std::string error;
};

// A request as a sweep takes it, in single precision: equal start and stop
// sweep 0.1 MHz, a start above the stop is exchanged; equal levels move the
// bottom 1 dB down. Refuses
// fewer than 1 point or more than 20000, a clock of 0, a negative frequency, a
// stop whose tuning word would reach half the clock, and an unusable calibration.
SweepPreparation prepareSweep(const SweepRequest& request, double refClkMHz,
                              const Calibration& calibration);

// One pass. The first step resets the DDS, loads the multiplier,
// loads the start word, waits the set delay plus 10 ms and discards one reading,
// then measures index 0 at the start; each further step measures one index: the
// word, the delay (read afresh from `delayMs` at every point), the read-out and
// its level. Index `points` is measured at the stop. Each step is atomic; a long
// wait may be held (hw::PortJob), and the next step then finishes that point.
class SweepJob : public hw::PortJob {
 public:
  using DelayMs = std::function<double()>;
  // `trace` must hold at least `points` + 1 values; entries above `points` keep
  // their values.
  SweepJob(hw::Instrument& instrument, const SweepPlan& plan, const Calibration& calibration,
           DelayMs delayMs, std::vector<float>& trace);

  bool step() override;
  bool done() const override { return next_ > plan_.points; }
  double progress() const override;
  // Levels stored so far.
  int measured() const { return next_; }
  const SweepPlan& plan() const { return plan_; }

 private:
  // The read-out of the point whose word and wait are done.
  void readPoint();

  SweepPlan plan_;
  Calibration calibration_;
  DelayMs delayMs_;
  std::vector<float>& trace_;
  double word_ = 0;
  double wordStep_ = 0;
  int next_ = 0;
  bool settled_ = false;
};

}  // namespace kolm::powermeter
