#include "common/sweep_control.h"

#include <utility>

#include "common/status.h"

namespace kolm::common {

SweepControl::SweepControl(SweptInstrument& instrument, PassRunner& runner)
    : instrument_(instrument),
      runner_(runner),
      passes_({[this](bool) { return startPass(true); }, [this] { return startPass(false); },
               [this] { runner_.stop(); }, [this](bool completed) { ended(completed); },
               [this] { return planPasses_ < plan_.depth; }}) {}

void SweepControl::single(std::function<void(bool)> whenDone) {
  if (closed_) return;
  // A request that replaces one still waiting is answered as not done.
  if (auto earlier = std::exchange(whenDone_, std::move(whenDone))) earlier(false);
  passes_.single();
  instrument_.showState();
}

void SweepControl::continuous() {
  passes_.continuous();
  instrument_.showState();
}

void SweepControl::stop() {
  passes_.stop();
  instrument_.showState();
}

void SweepControl::close() {
  if (closed_) return;
  closed_ = true;
  // What waited for the sweep's end goes with the front end.
  whenDone_ = nullptr;
  passes_.close();
  instrument_.leavePort();
}

void SweepControl::passFinished(bool completed) {
  if (!closed_) {
    if (completed) {
      instrument_.passCompleted(average_);
      ++passesDone_;
      ++planPasses_;
    } else {
      instrument_.passStopped();
    }
  }
  passes_.passFinished(completed);
  if (!closed_) instrument_.showState();
}

double SweepControl::passSeconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - passStart_).count();
}

std::string SweepControl::passDoneText() const {
  const std::string avg = averageText(average_.held(), average_.depth());
  return common::passDoneText(passSeconds()) + (avg.empty() ? "" : "  " + avg);
}

bool SweepControl::startPass(bool fresh) {
  const auto plan = instrument_.planPass(fresh);
  if (!plan) return false;
  const bool newPlan = fresh || !(*plan == plan_);
  if (newPlan) {
    average_.restart(plan->depth);
    planPasses_ = 0;
  }
  plan_ = *plan;
  if (fresh) passesDone_ = 0;
  SteppedJob& job = instrument_.beginPass(fresh, newPlan);
  passStart_ = std::chrono::steady_clock::now();
  runner_.start(job);
  return true;
}

void SweepControl::ended(bool completed) {
  instrument_.sweepEnded(completed);
  if (auto done = std::exchange(whenDone_, nullptr)) done(completed);
}

}  // namespace kolm::common
