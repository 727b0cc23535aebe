#include "vfo/tuning.h"

#include <cmath>

#include "common/text.h"

namespace kolm::vfo {

Tuning tune(double workingFreq, Mode mode, double ifOffset, double refClkMHz) {
  Tuning t;
  t.WorkingFreq = workingFreq;
  if (mode == Mode::GEN && t.WorkingFreq < 0) {
    t.WorkingFreq = 0;
    t.limitedAtZero = true;
  }
  switch (mode) {
    case Mode::GEN:
      t.DdsFreq = t.WorkingFreq;
      break;
    case Mode::RTX:
      t.DdsFreq = std::fabs(t.WorkingFreq + ifOffset);
      break;
    case Mode::RTX2:
      t.DdsFreq = 2 * std::fabs(t.WorkingFreq + ifOffset);
      break;
  }
  t.requestedDdsFreq = t.DdsFreq;
  const double limit = kMaxOutputShare * refClkMHz;
  if (refClkMHz > 0 && t.DdsFreq > limit) {
    t.tooHigh = true;
    t.DdsFreq = limit;
    switch (mode) {
      case Mode::GEN:
        t.WorkingFreq = t.DdsFreq;
        break;
      case Mode::RTX:
        t.WorkingFreq = t.DdsFreq - ifOffset;
        break;
      case Mode::RTX2:
        t.WorkingFreq = t.DdsFreq / 2 - ifOffset;
        break;
    }
  }
  return t;
}

double stepMHz(int index) {
  static constexpr double kSteps[] = {1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1, 10, 100};
  if (index < 0 || index > 8) return 0;
  return kSteps[index];
}

std::string displayText(double mhz) { return common::formatPattern(mhz, "000.000 000"); }

std::string memoryEntry(double mhz) { return common::formatPattern(mhz, "000.000000"); }

}  // namespace kolm::vfo
