// What the window tests share: finding a named control, and a recording port that
// says it is the simulator.
#pragma once

#include <gtest/gtest.h>

#include <QObject>

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

}  // namespace kolm::test
