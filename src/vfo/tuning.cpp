#include "vfo/tuning.h"

#include <algorithm>

#include <cmath>

#include "common/text.h"

namespace kolm::vfo {

Tuning tune(double workingFreq, Mode mode, double ifOffset, double refClkMHz) {
  Tuning t;
  t.workingMHz = workingFreq;
  if (mode == Mode::GEN && t.workingMHz < 0) {
    t.workingMHz = 0;
    t.limitedAtZero = true;
  }
  switch (mode) {
    case Mode::GEN:
      t.ddsMHz = t.workingMHz;
      break;
    case Mode::RTX:
      t.ddsMHz = std::fabs(t.workingMHz + ifOffset);
      break;
    case Mode::RTX2:
      t.ddsMHz = 2 * std::fabs(t.workingMHz + ifOffset);
      break;
  }
  t.requestedDdsMHz = t.ddsMHz;
  const double limit = kMaxOutputShare * refClkMHz;
  if (refClkMHz > 0 && t.ddsMHz > limit) {
    t.tooHigh = true;
    t.ddsMHz = limit;
    switch (mode) {
      case Mode::GEN:
        t.workingMHz = t.ddsMHz;
        break;
      case Mode::RTX:
        t.workingMHz = t.ddsMHz - ifOffset;
        break;
      case Mode::RTX2:
        t.workingMHz = t.ddsMHz / 2 - ifOffset;
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

std::optional<int> stepAtDigit(const std::string& display, int position) {
  const auto point = display.find('.');
  if (point == std::string::npos || position < 0 || position >= static_cast<int>(display.size()))
    return std::nullopt;
  const char c = display[static_cast<size_t>(position)];
  if (c < '0' || c > '9') return std::nullopt;
  const int p = static_cast<int>(point);
  if (position < p) return std::min(8, 6 + (p - 1 - position));
  // Decimals: count the digits after the point up to this one.
  int decimals = 0;
  for (int i = p + 1; i <= position; ++i)
    if (display[static_cast<size_t>(i)] >= '0' && display[static_cast<size_t>(i)] <= '9')
      ++decimals;
  const int step = 6 - decimals;
  if (step < 0) return std::nullopt;
  return step;
}

std::string memoryEntry(double mhz) { return common::formatPattern(mhz, "000.000000"); }

}  // namespace kolm::vfo
