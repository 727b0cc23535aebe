// Steps a SteppedJob from the event loop in slices of a few milliseconds, so
// that the window stays responsive and shows progress. Pending repaints go
// before each slice. A point left open across a long wait (the job's
// resumeAt()) is finished when its wait is over, on a timer: the window runs
// meanwhile instead of waiting for a spin. The end of a job is reported in a
// turn of the event loop of its own.
#pragma once

#include <QObject>
#include <QTimer>
#include <memory>

#include "common/job.h"
#include "common/sweep_control.h"

namespace kolm::common::ui {

class JobRunner : public QObject, public PassRunner {
  Q_OBJECT
 public:
  explicit JobRunner(QObject* parent = nullptr);
  // Starts `job` (replacing none: call only while idle). A slice steps points
  // for about `sliceMs` milliseconds.
  void start(SteppedJob* job, int sliceMs = 3);
  // A sweep controller's pass, in slices of 3 ms.
  void start(SteppedJob& job) override { start(&job); }
  // Ends the job at once: a point left open across its wait is dropped unread
  // (the stop does not wait for it); `finished(false)` follows. A job that had already
  // run to its end is reported as such.
  void stop() override;
  bool running() const { return job_ != nullptr; }
  // Runs the rest of the job at once (for tests and close handlers that must
  // finish a pass); returns when it is done.
  void finishNow();

 signals:
  void progressed(double fraction);
  // completed: the job ran to its end (false when stopped).
  void finished(bool completed);
  // After finished(false) when the job ended on a failure (the port stopped
  // working): why, for a message to the user.
  void failed(const QString& why);

 private:
  void slice();
  void end();
  SteppedJob* job_ = nullptr;
  int sliceMs_ = 3;
  bool ended_ = false;  // nothing more to step: the end is reported next turn
  QTimer timer_;
};

}  // namespace kolm::common::ui
