#include "common/ui/job_runner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <chrono>

namespace kolm::common::ui {

namespace {
// A wait with less than this left is spun by the next step; a longer one is
// left to the timer, which comes back this much before its end (timers keep
// whole milliseconds).
constexpr auto kSpunRest = std::chrono::milliseconds(2);
}  // namespace

JobRunner::JobRunner(QObject* parent) : QObject(parent) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &JobRunner::slice);
}

void JobRunner::start(SteppedJob* job, int sliceMs) {
  job_ = job;
  job_->setLongWaitsHeld(true);
  sliceMs_ = sliceMs;
  ended_ = false;
  timer_.start(0);
}

void JobRunner::stop() {
  if (!job_) return;
  if (ended_) {
    end();
    return;
  }
  timer_.stop();
  job_->abandonOpenPoint();  // a long wait is not sat out
  job_ = nullptr;
  emit finished(false);
}

void JobRunner::finishNow() {
  if (!job_) return;
  job_->setLongWaitsHeld(false);
  job_->runToEnd();
  emit progressed(job_->progress());
  if (job_) end();
}

void JobRunner::slice() {
  if (!job_) return;
  if (ended_) {
    end();
    return;
  }
  // What the window has to paint goes first: a pass never keeps it waiting.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
  if (!job_ || ended_) return;  // stopped from a paint
  QElapsedTimer t;
  t.start();
  const qint64 budget = static_cast<qint64>(sliceMs_) * 1000000;
  std::chrono::nanoseconds wait{0};
  bool more = !job_->done();
  while (more) {
    if (const auto at = job_->resumeAt()) {
      const auto left = *at - SteppedJob::Clock::now();
      if (left > kSpunRest) {
        wait = left;
        break;
      }
    }
    more = job_->step() && !job_->done();
    if (t.nsecsElapsed() >= budget) break;
  }
  emit progressed(job_->progress());
  if (!job_) return;  // stopped from a slot of progressed()
  ended_ = !more;
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  timer_.start(wait > kSpunRest ? duration_cast<milliseconds>(wait - kSpunRest) : milliseconds(0));
}

void JobRunner::end() {
  timer_.stop();
  const std::string why = job_->failure();
  job_ = nullptr;
  ended_ = false;
  emit finished(why.empty());
  if (!why.empty()) emit failed(QString::fromStdString(why));
}

}  // namespace kolm::common::ui
