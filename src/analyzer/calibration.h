// Calibrating the bridge: its error terms measured at every frequency of a
// sweep with standards of known value, kept in the settings folder
// (bridge-cal.cfg), and used to correct every reading inside the calibrated
// span (analyzer/correction.h).
//
// The standards are the ones a home builder can make: an open, a short, a
// 50 ohm load, resistors made of 50 ohm ones (75 ohm, 33.3 ohm) and a 50 ohm
// resistor in series with a capacitor (100 pF and 1 nF), whose reflections
// read in the middle of the phase detector's range. The 50 ohm load sits at
// the bottom of channel A's range on a good bridge and the open and the short
// in the phase detector's end regions: they alone cannot tell the directivity
// term, the tracking's angle or channel A's slope. The resistors' magnitudes
// give channel A's slope and the directivity's part along the tracking, the
// series RC standards' phases its part across it and the sign of every term.
//
// At each frequency the terms (directivity, tracking, source match, complex;
// channel A's counts per dB) are fitted to every reading of every standard
// that is a measurement (channel A above the bottom of its range, channel B
// outside its end regions), each weighted by what its reading may be off by
// (resolution, noise, the read-out's stated conformance and the standard's
// stated accuracy), with the bridge's published figures as what each term is
// known to be before the standards are read. How far each fitted term may
// still be from the truth is carried from those bounds through the fit
// (first order, every error at its worst): terms the standards cannot see
// keep the published figures' width.
#pragma once

#include <array>
#include <complex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analyzer/bridge_check.h"
#include "analyzer/correction.h"
#include "common/settings_file.h"
#include "hw/instrument.h"

namespace kolm::analyzer {

// A standard's value: a resistance, an inductance and a capacitance in series
// (c = 0: no capacitor), or, for an open, nothing but `c` across the port.
struct StandardValue {
  double r = 0, l = 0, c = 0;
  bool open = false;
  bool operator==(const StandardValue&) const = default;
};
// Its reflection at `mhz`, and the most it may be off by there given the
// stated accuracy of its parts (resistors 1 %, capacitors 2 % and 0.5 pF,
// inductances 2 nH).
Complex standardReflection(const StandardValue& value, double mhz);
double standardReflectionPm(const StandardValue& value, double mhz);
// "r=50", "r=50,c=100p", "c=0" (an open), "l=0" (a short): keys r, l, c with SI
// suffixes (p n u m k).
std::string standardValueText(const StandardValue& value);
// A value stated for a standard of the open's kind (`open`) or the others;
// empty with `why` for a text that is not one.
std::optional<StandardValue> parseStandardValue(std::string_view text, bool open, std::string* why);

// One standard of the procedure.
struct CalibrationStandard {
  const char* name;       // "open", "short", "load", "r75", "r33", "rc100p", "rc1n"
  StandardValue nominal;  // the value it is taken to have unless stated
  const char* simLoad;    // the simulator's --load text that presents it
  const char* what;       // how to make it, in words
};
// Every standard the procedure asks for, in the order to measure them (any
// order will do).
const std::vector<CalibrationStandard>& calibrationStandards();
const CalibrationStandard* calibrationStandard(std::string_view name);
// "NAME VALUE SIMULATOR-LOAD" per line, for kolm-cli bridge-calibrate --standards.
std::string standardsList();

// A calibration under way: the sweep and each standard's mean readings with
// the value stated for it. Kept in a file between the command line's calls.
struct MeasuredStandard {
  StandardValue value;
  int passes = 1;
  StandardReadings readings;
};
struct CalibrationRun {
  double startMHz = 0, stopMHz = 0;
  int points = 0;
  std::vector<std::optional<MeasuredStandard>> standards =
      std::vector<std::optional<MeasuredStandard>>(calibrationStandards().size());
  bool over(double start, double stop, int steps) const;
  // Takes a standard's readings; those of the others measured over another
  // sweep are dropped (true when that happened).
  bool take(size_t standard, double start, double stop, int steps, MeasuredStandard measured);
  // The standards still to measure, by name.
  std::vector<std::string> missing() const;
  double frequencyMHz(int i) const;
};
std::string formatCalibrationRun(const CalibrationRun& run);
std::optional<CalibrationRun> parseCalibrationRun(std::string_view text, std::string* why);

// The instrument a calibration holds for: the port (the simulator with its
// board) and the clock. Readings of another are not corrected.
std::string instrumentSetup(const hw::Instrument& instrument);

// What a sweep's points ask of a calibration again and again, kept by a
// caller across them: the bends of the last calibration steps asked for
// (BridgeCalibration::stepBends; one of each parity, as a point's own step
// and its cell's often are) and the terms of the last cell (cellTerms; the
// readings of a cell come one after another). All of it for the calibration
// whose terms are at `of`; asked of another, it starts afresh.
struct CalibrationMemo {
  const void* of = nullptr;
  std::array<int, 2> step{-1, -1};
  std::array<std::array<double, kTermParts>, 2> bends{};
  int cell = -1;
  ErrorTerms cellTerms;
  // The memo, kept for the terms at `terms` (emptied when it was another's).
  CalibrationMemo& forTerms(const void* terms) {
    if (of != terms) *this = CalibrationMemo{}, of = terms;
    return *this;
  }
};

// A calibration: the error terms at every frequency of its sweep.
struct BridgeCalibration {
  std::string measured;  // when, UTC
  std::string setup;     // instrumentSetup of the instrument it was measured on
  double startMHz = 0, stopMHz = 0;
  int points = 0;
  std::vector<std::string> standards;  // "NAME VALUE" as measured
  std::vector<ErrorTerms> terms;       // points + 1
  double frequencyMHz(int i) const;
  // "2026-05-07 10:12 UTC, 1-60 MHz in 200 steps": how exports and windows name it.
  std::string name() const;
  // The terms at `mhz`, interpolated between calibration points, with what
  // the interpolation may be off by taken into their residual errors; empty
  // outside the calibrated span. `interpolationShare` (when asked for) gets
  // the share of the directivity's residual that is the interpolation's.
  std::optional<ErrorTerms> at(double mhz, double* interpolationShare = nullptr,
                               CalibrationMemo* memo = nullptr) const;
  // The cell of frequencies about a calibration point that `mhz` lies in:
  // the point's own frequency, or a band of distances from it on either side
  // (to 1e-4, 1/4 and 1/2 of a step); -1 outside the span.
  int cellOf(double mhz) const;
  // The terms every reading of a cell takes its intervals from: its point's,
  // each part's residual error widened to hold the terms at() gives anywhere
  // in the cell with theirs (the most of their own residual, the most the
  // straight line may miss, and the step towards the next point as far as the
  // cell reaches).
  ErrorTerms cellTerms(int cell, CalibrationMemo* memo = nullptr) const;
  // What a straight line between points i and i + 1 may miss, on each part
  // (worked out once a step with a `memo`).
  std::array<double, kTermParts> stepBends(int i, CalibrationMemo* memo = nullptr) const;

 private:
  ErrorTerms worstInCell(int cell, CalibrationMemo* memo) const;
};

// What the standards measured give, or why they give nothing: a standard
// that does not read as what it was said to be (swapped, another value),
// named with the frequency.
struct CalibrationResult {
  std::optional<BridgeCalibration> calibration;
  std::string fault;
  // The largest residual errors over the sweep, for the report.
  double directivityPmMax = 0, trackingPmMax = 0, sourceMatchPmMax = 0, countsPerDbPmMax = 0;
};
CalibrationResult solveCalibration(const CalibrationRun& run, const std::string& setup,
                                   const BridgeFigures& stated = publishedBridge());

// The key=value lines kolm-cli prints for a calibration solved.
std::string calibrationReport(const CalibrationResult& result);

std::string formatCalibration(const BridgeCalibration& calibration);
std::optional<BridgeCalibration> parseCalibration(std::string_view text, std::string* why);

inline constexpr const char* kCalibrationFile = "bridge-cal.cfg";
inline constexpr const char* kPreviousCalibrationFile = "bridge-cal-previous.cfg";
inline constexpr const char* kCalibrationRunFile = "bridge-cal-run.cfg";

// The calibration in `folder` for `setup`: none when there is none; when it
// was measured on another instrument (or cannot be read), none and why, in
// words, for the note the window and kolm-cli give.
struct CalibrationInUse {
  std::shared_ptr<const BridgeCalibration> calibration;
  std::string problem;
};
CalibrationInUse calibrationIn(const common::SettingsFolder& folder, const std::string& setup);

// The run under way in `folder` (empty when there is none or it cannot be
// read: `unreadable` then set).
CalibrationRun calibrationRunIn(const common::SettingsFolder& folder, bool* unreadable);
// Keeps `run` (while incomplete, or when its result is a fault) in the run's
// file; a calibration solved becomes the one in use, the one it replaces kept
// as the previous one, and the run's file is removed. `message` says what the
// user should know; `ok` false when a file could not be written.
struct CalibrationKept {
  bool ok = true;
  bool stored = false;
  std::string message;
};
CalibrationKept keepCalibration(common::SettingsFolder& folder, const CalibrationRun& run,
                                const CalibrationResult* result, bool runUnreadable);
// The previous calibration back in use, the one in use kept as the previous
// (a second call undoes the first). False, with `why`, when there is none.
// These and keepCalibration copy a calibration file that cannot be read whole
// aside before they write over it or remove it, and `why` (or `message`) then
// says where, on success too.
bool swapPreviousCalibration(common::SettingsFolder& folder, std::string* why);
// No calibration in use (kept as the previous one) and no run under way.
bool forgetCalibration(common::SettingsFolder& folder, std::string* why);

}  // namespace kolm::analyzer
