// A power meter trace as a stored trace: each level with the interval its
// calibration and the detector's stated figures leave it, and its mark.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "chart/stored_trace.h"
#include "powermeter/level.h"

namespace kolm::powermeter {

// How far a level read through a two-point calibration may lie from the level
// at the detector, dB: the 0 dBm signal's own level (0.3 dB), and over the
// distance from 0 dBm the slope as the calibration leaves it (2 %, or the
// detector's whole spread of 20 % with the default counts) and the detector's
// conformance (3 %), and half a count.
double levelHalfWidthDb(double level, bool calibrated);

// The levels 0 to N of a pass of N steps over start..stop MHz, flagged under
// `limits` (every level approximate while the calibration is the default
// one); quantity "level", unit "dBm".
chart::StoredTrace levelTrace(std::string name, std::span<const float> levels, double start,
                              double stop, const LevelLimits& limits);

// The levels of a CSV as formatCsv writes it (freq_mhz,level_dbm,flag; comment
// lines passed over), each with the interval its flag words leave it:
// "uncalibrated" levels approximate, "floor" at most and "overload" at least
// their value, an empty or NAN level invalid. The frequencies must rise.
struct LevelTraceRead {
  std::optional<chart::StoredTrace> trace;
  std::string error;  // "line N: ..." when there is no trace
};
LevelTraceRead levelTraceFromCsv(std::string name, std::string_view text);

}  // namespace kolm::powermeter
