// Chart files (.pwm): a trace with its span and one reference level; and the
// CSV form the command line also writes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "powermeter/level.h"

namespace kolm::powermeter {

struct ChartFile {
  int16_t points = 0;  // N steps
  float start = 0;     // MHz
  float stop = 0;
  std::vector<float> levels;  // N + 1 levels in dBm, index 0 first
  std::optional<float> reference;
  // The frequency of level k in MHz (start for a chart of no steps).
  double frequencyMHz(size_t k) const;
};

// N, start, stop, the N + 1 levels and the reference level (when there is one),
// one number per line in its shortest form, CR LF.
std::string formatChartFile(const ChartFile& chart);

struct ChartFileRead {
  std::optional<ChartFile> chart;
  std::string error;  // why the file was refused
};

// Accepts CR LF or LF, numbers with or without a zero before the point and with
// an exponent. Refuses a step count below 1 or above 20002 (the trace holds
// 20003 levels), an unreadable number and a file shorter than its levels. A
// further value after the levels is the reference level; a value after that
// refuses the file (its step count does not match its levels).
ChartFileRead parseChartFile(std::string_view content);

// The file at `path`, parsed; a file that cannot be read says so.
ChartFileRead readChartFile(const std::filesystem::path& path);
// Written atomically: a failure leaves any earlier file as it was. False with
// the reason on an error.
bool writeChartFile(const std::filesystem::path& path, const ChartFile& chart, std::string* error);

// "freq_mhz,level_dbm,flag", then one row per point: start + k x (stop - start) /
// N, the level, and its flag words under `limits` (empty, floor or overload,
// and uncalibrated while the calibration is the default one: see flagWords).
// Levels read on the simulated instrument are preceded by a "# " line that
// says so.
std::string formatCsv(const ChartFile& chart, const LevelLimits& limits, bool simulated = false);

}  // namespace kolm::powermeter
