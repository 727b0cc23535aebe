// What the two swept instruments' windows do alike around their passes.
#pragma once

#include <functional>

#include "common/sweep_passes.h"
#include "common/ui/job_runner.h"

namespace kolm::common::ui {

// A swept instrument's window closes: the pass under way stops at its point
// boundary and nothing asked for runs after it, any other job on `runner`
// stops there too; then the settings are kept and the generator is switched
// off (each instrument has its own way of leaving the port).
inline void closeSweeping(SweepPasses& passes, JobRunner& runner,
                          const std::function<void()>& keepSettings,
                          const std::function<void()>& switchOff) {
  passes.close();
  runner.stop();
  keepSettings();
  switchOff();
}

}  // namespace kolm::common::ui
