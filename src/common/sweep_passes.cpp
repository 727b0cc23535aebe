#include "common/sweep_passes.h"

#include <utility>

namespace kolm::common {

void SweepPasses::single() {
  if (closed_) return;
  if (running_) {
    pending_ = Pending::Single;
    return;
  }
  begin(false);
}

void SweepPasses::continuous() {
  if (closed_) return;
  if (running_) {
    pending_ = Pending::Continuous;
    return;
  }
  begin(true);
}

void SweepPasses::stop() {
  pending_ = Pending::None;
  if (mode_ == Mode::Continuous) mode_ = Mode::Single;
  if (running_) actions_.stopPass();
}

void SweepPasses::close() {
  stop();
  closed_ = true;
}

void SweepPasses::passFinished(bool completed) {
  running_ = false;
  if (closed_) {
    mode_ = Mode::Idle;
    return;
  }
  if (!completed) return finish(false);
  switch (std::exchange(pending_, Pending::None)) {
    case Pending::Single:
      return begin(false);
    case Pending::Continuous:
      return begin(true);
    case Pending::None:
      break;
  }
  if (mode_ != Mode::Continuous && !(actions_.morePasses && actions_.morePasses()))
    return finish(true);
  running_ = actions_.startNext();
  if (!running_) finish(false);
}

void SweepPasses::begin(bool continuous) {
  mode_ = continuous ? Mode::Continuous : Mode::Single;
  pending_ = Pending::None;
  running_ = actions_.startFresh(continuous);
  if (!running_) finish(false);
}

void SweepPasses::finish(bool completed) {
  mode_ = Mode::Idle;
  pending_ = Pending::None;
  if (actions_.ended) actions_.ended(completed);
}

}  // namespace kolm::common
