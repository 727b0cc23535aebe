#include "powermeter/sweep.h"

#include <cmath>

#include "common/text.h"
#include "common/tr.h"
#include "hw/dds.h"

namespace kolm::powermeter {

std::optional<int> limitPoints(double points) {
  if (points > kMaxPoints) return kMaxPoints;
  return std::nullopt;
}

std::optional<std::string> delayLimitMessage(double delayMs) {
  if (!(delayMs > kMaxDelayMs)) return std::nullopt;
  return common::arg(KOLM_TR("kolm", "The delay is at most %1 ms per point."),
                     {common::shortestText(kMaxDelayMs)});
}

std::optional<std::string> sweepTimeWarning(double points, double delayMs) {
  const float t = static_cast<float>(points * delayMs / 1000.0);
  if (!(t > 50)) return std::nullopt;
  return common::arg(KOLM_TR("kolm", " attenzione il tempo potrebbe superare %1secondi"),
                     {common::strSingle(t)});
}

SweepPreparation prepareSweep(const SweepRequest& request, double refClkMHz,
                              const Calibration& calibration) {
  SweepPreparation out;
  float start = static_cast<float>(request.startMHz);
  float stop = static_cast<float>(request.stopMHz);
  if (start == stop) {
    stop = start + 0.1f;
  } else if (start > stop) {
    std::swap(start, stop);
    out.startMHz = common::strSingle(start);
    out.stopMHz = common::strSingle(stop);
  }

  const auto rounded = common::toInt16(request.points);
  if (!rounded || *rounded < 1) {
    out.error = "The number of points must be at least 1.";
    return out;
  }
  if (*rounded > kMaxPoints) {
    out.error = "The number of points must be at most 20000.";
    return out;
  }
  if (start == stop) {
    // 0.1 MHz vanishes in single precision this far up.
    out.error = "The start and stop frequencies give no span to sweep.";
    return out;
  }
  const auto first = hw::checkedTuningWord(start, refClkMHz);
  if (!first.ok()) {
    out.error = first.error;
    return out;
  }
  const auto last = hw::checkedTuningWord(stop, refClkMHz);
  if (!last.ok()) {
    out.error = last.error;
    return out;
  }
  out.error = calibrationError(calibration);
  if (!out.error.empty()) return out;

  SweepPlan plan;
  plan.viewStartMHz = start;
  plan.viewStopMHz = stop;
  plan.points = *rounded;
  plan.topDbm = static_cast<float>(request.topDbm);
  plan.bottomDbm = static_cast<float>(request.bottomDbm);
  if (plan.topDbm == plan.bottomDbm) plan.bottomDbm = plan.bottomDbm - 1.0f;
  plan.startWord = first.word;
  plan.stopWord = last.word;
  out.plan = plan;
  return out;
}

SweepJob::SweepJob(hw::Instrument& instrument, const SweepPlan& plan,
                   const Calibration& calibration, DelayMs delayMs, std::vector<float>& trace)
    : PortJob(instrument),
      plan_(plan),
      calibration_(calibration),
      delayMs_(std::move(delayMs)),
      trace_(trace) {
  if (trace_.size() < static_cast<size_t>(plan_.points) + 1) trace_.resize(plan_.points + 1);
  word_ = plan_.startWord;
  wordStep_ = (plan_.stopWord - plan_.startWord) / plan_.points;
}

double SweepJob::progress() const {
  return static_cast<double>(next_) / (static_cast<double>(plan_.points) + 1);
}

void SweepJob::readPoint() {
  trace_[next_] = readingToDbm(instrument_.readDetector(), calibration_);
  word_ += wordStep_;
  if (!instrument_.portFailed()) ++next_;  // a level from a failed port is not counted
}

bool SweepJob::step() {
  if (finishOpenPoint()) return goesOn();
  if (done() || instrument_.portFailed()) return false;
  if (!settled_) {
    instrument_.startGenerator(static_cast<uint32_t>(word_));
    // The detector settles; its reading is not used.
    const bool held = waitThen(hw::delayUnitsFromMs(delayMs_()) + hw::kSettleUnits, [this] {
      instrument_.readDetector();
      settled_ = true;
    });
    if (held) return true;
  }
  instrument_.tune(static_cast<uint32_t>(common::roundHalfEven(word_)));
  waitThen(hw::delayUnitsFromMs(delayMs_()), [this] { readPoint(); });
  return goesOn();
}

}  // namespace kolm::powermeter
