// What the window tests share: finding a named control, a recording port that
// says it is the simulator, and a main loop freed of an earlier test's exit.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <QTimer>

#include "hw/portio.h"
#include "support/recording_port.h"

namespace kolm::test {

// The child of `parent` called `name`; a failure naming it when there is none.
template <typename T>
T* child(const QObject* parent, const char* name) {
  T* c = parent->findChild<T*>(name);
  EXPECT_NE(c, nullptr) << name;
  return c;
}
template <typename T>
T* child(const QObject& parent, const char* name) {
  return child<T>(&parent, name);
}

// Keeps every access and counts as the simulator (the windows show its banner).
struct SimRecordingPort : hw::RecordingPort {
  bool simulated() const override { return true; }
};

// An exit asked of the application by an earlier test (the launcher's "EXIT
// PROGRAM") ends every dialog's loop at once, before it shows; one pass of the
// main loop clears it.
inline void clearAskedExit() {
  QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  QCoreApplication::exec();
}

}  // namespace kolm::test
