// Every signal whose default ends the program (hw::stopSignals) as an orderly
// exit (SIGPIPE and SIGXFSZ are ignored, the faults are the output guard's): the
// handler only writes the
// signal's number to a pipe; a QSocketNotifier reads it in the event loop and
// emits stopRequested, which main connects to "EXIT PROGRAM" (every window
// saves its settings and switches the output off).
#pragma once

#include <QObject>

class QSocketNotifier;

namespace kolm::app {

class StopSignals : public QObject {
  Q_OBJECT
 public:
  explicit StopSignals(QObject* parent = nullptr);
  // Puts the handlers back as they were.
  ~StopSignals() override;

 signals:
  void stopRequested(int signal);

 private:
  void readPipe();

  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace kolm::app
