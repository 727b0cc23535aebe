// The level detector's count and its conversion to dBm with the two-point
// calibration (counts that read 0 dBm and -60 dBm).
#pragma once

#include <cstdint>
#include <string>

namespace kolm::powermeter {

// The detector's converter gives 10 bits: counts 0 to 1023.
inline constexpr int kMaxDetectorCount = 1023;

struct Calibration {
  int16_t Cal0 = 826;
  int16_t Cal60 = 235;
  // Equal counts give no slope: such a calibration cannot convert anything.
  bool usable() const { return Cal0 != Cal60; }
  bool operator==(const Calibration&) const = default;
};

// level = (-60 / (Cal0 - Cal60)) x (Cal0 - reading), in double precision (the
// count difference taken without 16-bit overflow) and stored as single. An unusable calibration
// gives NaN (never a division by 0); a sweep refuses to start with one (see calibrationError).
float deciBel(int reading, const Calibration& calibration);

// Why a sweep cannot use this calibration; empty when it can.
std::string calibrationError(const Calibration& calibration);

}  // namespace kolm::powermeter
