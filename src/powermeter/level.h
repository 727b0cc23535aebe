// The level detector's count and its conversion to dBm with the two-point
// calibration (counts that read 0 dBm and -60 dBm).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "chart/markers.h"
#include "hw/readout.h"

namespace kolm::powermeter {

// The detector's converter gives 10 bits: counts 0 to 1023.
inline constexpr int kMaxDetectorCount = 1023;

// The nominal detector's counts at 0 dBm and at -60 dBm: the calibration
// until one is measured.
inline constexpr int16_t kDefaultCountsAt0Dbm = hw::kNominalCountsAt0Dbm;
inline constexpr int16_t kDefaultCountsAtMinus60Dbm = hw::kNominalCountsAtMinus60Dbm;

struct Calibration {
  int16_t countsAt0Dbm = kDefaultCountsAt0Dbm;
  int16_t countsAtMinus60Dbm = kDefaultCountsAtMinus60Dbm;
  // Equal counts give no slope: such a calibration cannot convert anything.
  bool usable() const { return countsAt0Dbm != countsAtMinus60Dbm; }
  // The default counts: the nominal detector's, not this one's measured.
  // Levels read with them are approximate (a few dB off).
  bool isDefault() const {
    return countsAt0Dbm == kDefaultCountsAt0Dbm && countsAtMinus60Dbm == kDefaultCountsAtMinus60Dbm;
  }
  bool operator==(const Calibration&) const = default;
};

// level = (-60 / (countsAt0Dbm - countsAtMinus60Dbm)) x (countsAt0Dbm - reading), in double
// precision (the count difference taken without 16-bit overflow) and stored as single. An unusable
// calibration gives NaN (never a division by 0); a sweep refuses to start with one (see
// calibrationError).
float readingToDbm(int reading, const Calibration& calibration);

// Why a sweep cannot use this calibration; empty when it can.
std::string calibrationError(const Calibration& calibration);

// What a level can tell. The converter's two ends bound what the detector can
// resolve: near its bottom count a logarithmic detector reads its own noise
// (its output flattens over the last few dB, so the level there is at most the
// one read), and at its top count the converter clips and the detector
// compresses (the level is at least the one read).
enum class LevelFlag : uint8_t { Valid, Floor, Overload };

// Readings within 10 dB of count 0 are `floor`; readings within 3 dB of count
// 1023 are `overload`. The calibration's slope turns the margins into counts:
// with the default calibration (9.85 counts per dB) levels up to -73.9 dBm
// (count 98.5) are floor and levels from +17.0 dBm (count 993.5) are overload.
inline constexpr double kFloorMarginDb = 10;
inline constexpr double kOverloadMarginDb = 3;

// The thresholds of one calibration, as levels. A trace keeps the limits of the
// calibration it was converted with, so its flags follow its levels. The
// default limits flag nothing.
struct LevelLimits {
  // At or beyond this level towards count 0: floor.
  float floorDbm = -std::numeric_limits<float>::infinity();
  // At or beyond this level towards count 1023: overload.
  float overloadDbm = std::numeric_limits<float>::infinity();
  bool rising = true;  // levels grow with the count (countsAt0Dbm above countsAtMinus60Dbm)
  // False while the calibration is the default one: every level is then
  // approximate, and floor and overload are no bounds (the levels they would
  // bound are themselves a few dB off).
  bool calibrated = true;
  // False when the counts are none the detector can give (see
  // withinDetectorFigures): the levels are then not calibrated either.
  bool withinFigures = true;
  LevelFlag flag(float level) const;
  // The level's chart mark: a floor is at most the level read, an overload at
  // least; uncalibrated, both are only approximate.
  chart::Mark mark(float level) const;
  bool operator==(const LevelLimits&) const = default;
};

// The limits of `calibration`; an unusable calibration flags nothing.
LevelLimits levelLimits(const Calibration& calibration);

// "" for a valid level, otherwise "floor" or "overload" (as the exports write it).
std::string_view flagWord(LevelFlag flag);
// The flag words of a level as CSV writes them, separated by one blank: its
// flag, then "uncalibrated" while the calibration is the default one.
std::string flagWords(float level, const LevelLimits& limits);

// A floor level is at most the one read, an overload at least the one read.
chart::Mark levelMark(LevelFlag flag);
// The marks of `count` levels under `limits`: empty when none is flagged.
std::vector<chart::Mark> levelMarks(const float* levels, size_t count, const LevelLimits& limits);

// The words of flagged levels in marker readouts: "floor", "overload".
const chart::MarkWords& levelMarkWords();

// A level in words: "-12.3 dBm", "≤ -79.3 dBm", "≥ 20.0 dBm"; with the
// default calibration "≈ -32.4 dBm, not calibrated" whatever its flag.
std::string levelText(float level, LevelFlag flag, bool calibrated = true);

// The chart's note while the default calibration, or counts outside the
// detector's figures, are in use (naming the calibration menu as the window
// shows it); empty when calibrated.
std::string uncalibratedNote(const LevelLimits& limits);

// A menu command as the power meter window shows it in the language in use:
// "Calibrate > default". Each caption is the window's source text.
std::string menuPath(std::initializer_list<const char*> captions);

}  // namespace kolm::powermeter
