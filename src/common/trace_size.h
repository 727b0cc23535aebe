// How far the swept instruments' traces reach.
#pragma once

namespace kolm::common {

// A trace's frequencies and levels hold indices 0 to 20002.
inline constexpr int kTraceEntries = 20003;

// The analyzer's pass reads N + 2 points (indices 0 to N + 1), so N may be
// 20001; .vna files of 20001 points are read as such.
inline constexpr int kMaxAnalyzerPoints = kTraceEntries - 2;

// The power meter's pass stores N + 1 levels, but its Points box stops at 20000
// (25000 typed reads 20000): pow.ini, .pwm files and kolm-cli's --points keep
// that limit.
inline constexpr int kMaxPowerMeterPoints = 20000;

}  // namespace kolm::common
