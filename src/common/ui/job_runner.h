// Steps a SteppedJob from the event loop in slices of a few tens of
// milliseconds, so that the window stays responsive and shows progress.
#pragma once

#include <QObject>
#include <QTimer>
#include <memory>

#include "common/job.h"

namespace kolm::common::ui {

class JobRunner : public QObject {
  Q_OBJECT
 public:
  explicit JobRunner(QObject* parent = nullptr);
  // Starts `job` (replacing none: call only while idle).
  void start(SteppedJob* job, int sliceMs = 25);
  // Ends the job at the next point boundary; `finished(false)` follows.
  void stop();
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
  SteppedJob* job_ = nullptr;
  int sliceMs_ = 25;
  QTimer timer_;
};

}  // namespace kolm::common::ui
