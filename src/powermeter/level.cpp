#include "powermeter/level.h"

#include <limits>

#include "common/text.h"

namespace kolm::powermeter {

float deciBel(int reading, const Calibration& calibration) {
  const int d = calibration.Cal0 - calibration.Cal60;
  if (d == 0) return std::numeric_limits<float>::quiet_NaN();
  return static_cast<float>((-60.0 / d) * (calibration.Cal0 - reading));
}

std::string calibrationError(const Calibration& calibration) {
  if (calibration.usable()) return {};
  return "The 0 dBm and -60 dBm calibrations hold the same detector count (" +
         common::shortestText(calibration.Cal0) +
         "): no level can be computed from them. Calibrate again, or choose "
         "Calibrate > default.";
}

}  // namespace kolm::powermeter
