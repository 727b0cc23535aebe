// A long pass (a sweep, a reference table) as a resumable job: the command line
// runs it to the end, the windows step it a point at a time between events. Each
// step is atomic: a DDS frame, its delay and its read-out never interleave with
// anything else.
#pragma once

#include <string>

namespace kolm::common {

class SteppedJob {
 public:
  virtual ~SteppedJob() = default;
  // Does the next point; false once the job has nothing more to do.
  virtual bool step() = 0;
  virtual bool done() const = 0;
  // 0 to 1.
  virtual double progress() const = 0;
  // Why the job ended before its end (the port stopped working), or empty.
  virtual std::string failure() const { return {}; }

  void runToEnd() {
    while (!done() && step()) {
    }
  }
};

}  // namespace kolm::common
