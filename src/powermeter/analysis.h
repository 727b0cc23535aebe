// What a power meter trace tells about the device between generator and
// detector: its highest level and where it lies, the points either side of it
// where the level has fallen 3, 6 and 60 dB (interpolated between sweep
// points), the bandwidths, centre and shape factor, and the loss against the
// through reference. A flagged reading (floor, overload) is never taken as the
// maximum or an edge: what cannot be found from measured levels is left empty.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "chart/edges.h"
#include "powermeter/level.h"
#include "powermeter/reference.h"

namespace kolm::powermeter {

struct LevelAnalysis {
  std::optional<double> peakMHz;
  std::optional<double> peakDbm;
  chart::Edges at3, at6, at60;            // where the level is 3, 6 and 60 dB below the peak
  std::optional<double> centreMHz;        // midway between the -3 dB points
  std::optional<double> shapeFactor;      // -60 dB width over -6 dB width
  std::optional<double> insertionLossDb;  // through reference minus peak, at the peak
  bool calibrated = true;                 // false: the default calibration's levels
  bool withinFigures = true;              // false: counts the detector cannot give
};

// The levels of a pass of levels.size() - 1 steps from `start` to `stop` MHz
// (one level: at `start`), flagged by `limits`. The peak is the first highest
// measured level; there is none when any reading is an overload (the true
// maximum is then at least that reading) or no level is measured. Each edge is
// found walking out from the peak to the first level at or below the peak
// minus the drop, interpolated linearly against its inner neighbour; a walk
// that meets a flagged reading or the end of the trace first finds nothing.
// `through`, when given, is the level reference table (entry i at i / 10 MHz).
LevelAnalysis analyzeLevels(std::span<const float> levels, double start, double stop,
                            const LevelLimits& limits, const ReferenceTable* through = nullptr);

// A key=value line per quantity, as the command line prints them: peak_mhz,
// peak_dbm, bw3_low_mhz, bw3_high_mhz, bw3_mhz, bw3_approx, bw6_mhz, bw6_approx,
// bw60_mhz, bw60_approx, shape_factor; "none" for what was not found, and
// "yes" in an _approx line when that width's edges are approximate (see
// chart::Edges::approximate); then calibration=stored, or calibration=default
// while the levels are read with the default counts.
std::string levelReport(const LevelAnalysis& analysis);

// The analysis as the window's panel shows it: a caption and the value with its
// unit (or "none") per line.
std::vector<std::pair<std::string, std::string>> levelAnalysisRows(const LevelAnalysis& analysis);

}  // namespace kolm::powermeter
