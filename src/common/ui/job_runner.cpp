#include "common/ui/job_runner.h"

#include <QElapsedTimer>

namespace kolm::common::ui {

JobRunner::JobRunner(QObject* parent) : QObject(parent) {
  timer_.setInterval(0);
  connect(&timer_, &QTimer::timeout, this, &JobRunner::slice);
}

void JobRunner::start(SteppedJob* job, int sliceMs) {
  job_ = job;
  sliceMs_ = sliceMs;
  timer_.start();
}

void JobRunner::stop() {
  if (!job_) return;
  timer_.stop();
  job_ = nullptr;
  emit finished(false);
}

void JobRunner::finishNow() {
  if (!job_) return;
  job_->runToEnd();
  slice();
}

void JobRunner::slice() {
  if (!job_) return;
  QElapsedTimer t;
  t.start();
  bool more = !job_->done();
  while (more && t.elapsed() < sliceMs_) more = job_->step() && !job_->done();
  emit progressed(job_->progress());
  if (!job_) return;  // stopped from a slot of progressed()
  if (!more) {
    timer_.stop();
    const std::string why = job_->failure();
    job_ = nullptr;
    emit finished(why.empty());
    if (!why.empty()) emit failed(QString::fromStdString(why));
  }
}

}  // namespace kolm::common::ui
