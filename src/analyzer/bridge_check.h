// Checking the bridge: its directivity and tracking measured across a sweep
// with three standards (a 50 ohm load, an open and a short), kept as the
// bridge's figures in a file of their own (bridge.cfg) and used for the
// intervals of every reading from then on.
//
// The load reads the directivity: whatever the bridge returns with a matched
// load on it is its error vector. The open and the short read the tracking:
// they see the tracking plus and minus the directivity vector, so the tracking
// lies between the larger of the two less that vector and the smaller plus it.
// Each figure is taken at the far end of what the readings allow (a count of
// resolution, the noise, the converter's offset and slope), so the intervals
// built on them stay sound.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analyzer/measurement.h"
#include "analyzer/uncertainty.h"
#include "common/settings_file.h"

namespace kolm::analyzer {

enum class Standard { Load = 0, Open = 1, Short = 2 };
inline constexpr int kStandards = 3;
// "load", "open", "short".
const char* standardName(Standard standard);
std::optional<Standard> standardNamed(std::string_view name);

// The mean readings of one standard, one per point of the check's sweep.
struct StandardReadings {
  std::vector<double> returnLossCounts, phaseCounts;
};
// Those of a pass of `points` steps: the means when the passes were averaged.
StandardReadings standardReadings(const Channels& channels, int points);

// A check under way: the sweep it is measured over and what each standard
// read. Kept in a file between the command line's calls (one standard each).
struct BridgeCheckRun {
  double startMHz = 0, stopMHz = 0;
  int points = 0;  // steps: points + 1 readings per standard
  std::array<std::optional<StandardReadings>, kStandards> readings;
  bool complete() const;
  // Whether it is measured over this sweep.
  bool over(double start, double stop, int steps) const;
  // Takes a standard's readings over the sweep given; readings of the others
  // measured over another sweep are dropped (true when that happened).
  bool take(Standard standard, double startMHz, double stopMHz, int points,
            StandardReadings measured);
  double frequencyMHz(int i) const;
};

// The run as kept in its file, and read back; empty with `why` for a text that
// is not such a file.
std::string formatCheckRun(const BridgeCheckRun& run);
std::optional<BridgeCheckRun> parseCheckRun(std::string_view text, std::string* why);

struct BridgeCheckResult {
  // Per point: the directivity as read from the load (dB; true where the load
  // read at the bottom of channel A's range, so the bridge is at least that
  // good) and the tracking's worst magnitude either side of 0 dB.
  std::vector<double> frequencies, directivityDb, trackingDb;
  std::vector<bool> directivityAtLimit;
  double directivityMinDb = 0, directivityMedianDb = 0, trackingMaxDb = 0;
  double directivityMinMHz = 0, trackingMaxMHz = 0;
  bool directivityMinAtLimit = false;
  // The figures the intervals use from now on: the published ones with the
  // directivity and tracking measured, each at the far end of its readings.
  BridgeFigures figures;
  // False when the standards did not read as what they were said to be (an open
  // like a short, the three disagreeing): the figures are then not kept.
  bool storable = true;
  // Plain words for a figure worse than such a bridge gives, or standards
  // that do not read as what they were said to be.
  std::vector<std::string> warnings;
};

// The figures of a complete run; `stated` gives the read-out's own error terms.
BridgeCheckResult evaluateBridgeCheck(const BridgeCheckRun& run,
                                      const BridgeFigures& stated = publishedBridge());

// The key=value lines kolm-cli prints (directivity_db_min=, …), then the
// warnings as "warning=" lines.
std::string bridgeCheckReport(const BridgeCheckResult& result);

// bridge.cfg: the figures in use and how they were found. `when` is the time
// of the check as text (UTC).
std::string formatBridgeFigures(const BridgeCheckRun& run, const BridgeCheckResult& result,
                                const std::string& when);
// The figures a bridge.cfg holds (the published ones for what it leaves out);
// empty with `why` when the text is not such a file or a figure is out of range.
std::optional<BridgeFigures> parseBridgeFigures(std::string_view text, std::string* why);

// The file names, in the settings folder.
inline constexpr const char* kBridgeFiguresFile = "bridge.cfg";
inline constexpr const char* kBridgeCheckFile = "bridge-check.cfg";

// What the figures file in `folder` holds: the published figures when there is
// none; when it cannot be read, the published figures and the problem in words.
struct BridgeFiguresInUse {
  BridgeFigures figures = publishedBridge();
  bool measured = false;
  std::string problem;
};
BridgeFiguresInUse bridgeFiguresIn(const common::SettingsFolder& folder);

// The check under way in `folder`: an empty run when there is none, or when
// its file cannot be read (then `unreadable` is set; the file is kept aside
// before it is written again).
BridgeCheckRun checkRunIn(const common::SettingsFolder& folder, bool* unreadable);

// Keeps what the check has in `folder`: an incomplete run (or one whose
// standards contradict each other, `result` not storable) in the check's file;
// a storable result's figures in bridge.cfg (stamped with the time, UTC), the
// check's file then removed.
// `ok` false when a file could not be written; the text says what the user
// should know (a file kept aside, one not written), empty when nothing.
struct CheckKept {
  bool ok = true;
  bool figuresStored = false;
  std::string message;
};
CheckKept keepCheck(common::SettingsFolder& folder, const BridgeCheckRun& run,
                    const BridgeCheckResult* result, bool runUnreadable);

// Removes bridge.cfg and a check under way: the published figures again.
// False, with `why`, when a file stays.
bool forgetBridgeFigures(const common::SettingsFolder& folder, std::string* why);

}  // namespace kolm::analyzer
