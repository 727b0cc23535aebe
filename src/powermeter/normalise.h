// Levels relative to the level reference (level.rif, the generator wired
// straight to the detector): what a device between them takes away or adds, in
// dB. Only the display and the command line's CSV turn levels relative; chart
// files keep the absolute levels.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "chart/marks.h"
#include "powermeter/chart_file.h"
#include "powermeter/reference.h"

namespace kolm::powermeter {

// The level reference: the table and how many of its entries were read.
struct LevelReference {
  const ReferenceTable& table;
  int entries = 0;
};

// The reference level at `mhz`, straight between the entries around f x 10;
// empty beyond the entries read or where either entry is not a measurement
// under `limits` (a floor or an overload reading is no reference).
std::optional<double> referenceLevelAt(const LevelReference& reference, double mhz,
                                       const LevelLimits& limits);

// `count` levels evenly from start to stop made relative: level minus the
// reference there. A flagged level keeps its mark (a floor level stays an upper
// bound); a point without a reference is invalid (NaN).
struct RelativeLevels {
  std::vector<float> levels;
  std::vector<chart::Mark> marks;  // one per level, or empty when none is marked
};
RelativeLevels relativeLevels(const float* levels, size_t count, double start, double stop,
                              const LevelLimits& limits, const LevelReference& reference);

// "freq_mhz,relative_db,flag", one row per point: the relative level and its
// flag (floor, overload, or no_reference with an empty value; uncalibrated
// added while the calibration is the default one).
std::string formatRelativeCsv(const ChartFile& chart, const LevelLimits& limits,
                              const LevelReference& reference);

}  // namespace kolm::powermeter
