// The two reference tables of the power meter: the level reference (generator
// output wired straight to the detector input, level.rif) and the crystal
// fixture's through path (quartz.rif). Both hold 1601 levels, entry i looked up
// for the frequency i / 10 MHz; both are measured as resumable jobs of atomic
// points; both are drawn on the chart as polylines worked out here.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hw/instrument.h"
#include "hw/port_job.h"
#include "powermeter/level.h"

namespace kolm::powermeter {

// Entries 0 to 1600, each measured and stored.
inline constexpr int kRifEntries = 1601;
using ReferenceTable = std::array<float, kRifEntries>;

// The entry a frequency in MHz is looked up at: f x 10 in single precision,
// rounded halves to even; none outside the table.
std::optional<size_t> referenceIndex(float mhz);

inline constexpr const char* kLevelRifFile = "level.rif";
// Written with this spelling; read whatever the letter case of the name.
inline constexpr const char* kQuartzRifFile = "Quartz.rif";

// 1601 lines, entry k on line k in its shortest single-precision form, CR LF;
// only the first `entries` lines when fewer are asked.
std::string formatRif(const ReferenceTable& table, int entries = kRifEntries);
// Numbers in order into table[0..1600]; stops at the first missing or unreadable
// value, leaving the entries not read as they were. Returns how many were read.
int parseRif(std::string_view content, ReferenceTable& table);
// The whole table or nothing: exactly 1601 numbers, one a line (a byte-order
// mark and CR CR LF read as the settings files do). Otherwise nothing, and
// `problem` names the line and why.
std::optional<ReferenceTable> parseWholeRif(std::string_view content, std::string* problem);

// A reference table is used whole or not at all: a measurement against a table
// read in part would take the entries it lacks as 0 dBm. Each reader returns
// kRifEntries with `table` filled, or 0 with `table` as it was; `problem` then
// says why, naming the file (empty when there is no file).
// readLevelRif: level.rif at `path`.
int readLevelRif(ReferenceTable& table, const std::filesystem::path& path,
                 std::string* problem = nullptr);
// readQuartzRif: quartz.rif in `folder`, whatever the letter case of its name; the
// spelling the calibration writes wins over other spellings.
int readQuartzRif(ReferenceTable& table, const std::filesystem::path& folder,
                  std::string* problem = nullptr);
// The file readQuartzRif reads in `folder` (whatever it is: a folder of that
// name is named as such), or empty when there is none.
std::filesystem::path findQuartzRif(const std::filesystem::path& folder);

// Why a measured through-path table (the level reference or the crystal
// fixture's) should not be stored, under the `limits` it was read with; empty
// when it may. Refused: more than half of the entries at the detector's floor
// (no signal reaches it), any entry at overload (the levels would be bounds),
// and a flat line (a spread under half a dB across 0.1 to 160 MHz, where the
// generator's own droop alone is more: the detector does not follow the
// generator). `what` names the table in the message.
std::string throughTableProblem(const ReferenceTable& table, const LevelLimits& limits,
                                const std::string& what);

// Atomic writes of the whole table; false with the reason on an error.
bool writeRif(const ReferenceTable& table, const std::filesystem::path& path, std::string* error);

// The words of a table pass: firstWord the word of 0.1 MHz, word160MHz the word of 160 MHz, and
// the step (firstWord + word160MHz) / 1600 (their sum, as the instrument has always stepped:
// entry i is taken at firstWord + i x step, 160.2 MHz for i = 1600).
struct TableWords {
  double firstWord = 0;
  double word160MHz = 0;
  double step = 0;
};
// Refuses a clock of 0 and a clock so low that the pass's last word (index
// `lastIndex`) would not fit the DDS's 32 bits.
std::optional<TableWords> tableWords(double refClkMHz, int lastIndex, std::string* error);

// What the two reference passes share: 1601 entries measured into the job's own
// table, one atomic point per step.
class ReferenceTableJob : public hw::PortJob {
 public:
  ReferenceTableJob(hw::Instrument& instrument, const TableWords& words,
                    const Calibration& calibration)
      : PortJob(instrument), words_(words), calibration_(calibration) {}
  bool done() const override { return next_ >= kRifEntries; }
  double progress() const override { return static_cast<double>(next_) / kRifEntries; }
  const ReferenceTable& table() const { return table_; }

 protected:
  float readLevel();
  // Reset, multiplier and the word of 0.1 MHz (its settling wait follows).
  void startAtW0();

  TableWords words_;
  Calibration calibration_;
  ReferenceTable table_{};
  double word_ = 0;
  int next_ = 0;
};

// The pass over the level reference. Step 0 resets the DDS, loads the
// multiplier, loads W0, waits 20 ms and reads entry 0; step i (1 to 1600) loads
// the word W0 + i x step (rounded), waits 20 ms / i + 1 ms and reads
// entry i. The levels go to the job's own table, which the caller takes only
// when the job is complete.
class LevelReferenceJob : public ReferenceTableJob {
 public:
  using ReferenceTableJob::ReferenceTableJob;
  bool step() override;

 private:
  double nextWord_ = 0;  // the word of the point in progress
};

// The pass over the crystal fixture's through path. Step 0 resets
// the DDS and loads the multiplier (so the pass runs at the configured clock
// whatever ran before), loads W0, waits 10 ms and reads once (entry 0, read
// again at once); each step k (0 to 1600) then waits 0.1 ms, reads entry k
// and loads the next word W0 + (k + 1) x step (rounded).
class QuartzReferenceJob : public ReferenceTableJob {
 public:
  using ReferenceTableJob::ReferenceTableJob;
  bool step() override;

 private:
  // Entry next_: its wait and read-out, then the next word.
  void entry();
};

// The through path's level at `fMHz` from a straight line fitted to the
// table's entries within 1 MHz (each at the frequency its pass measured it,
// 0.1 + i x 160.1 / 1600 MHz), and the bound of its error: the averaged noise
// and what quantisation by `countDb` can leave in a mean.
struct ThroughLevel {
  double levelDb = 0;
  double slopeDbPerMHz = 0;
  double pmDb = 0;
};
ThroughLevel throughLevel(const ReferenceTable& through, double fMHz, double countDb);

// A point of a reference drawing, in the chart's user units.
struct RefPoint {
  float x = 0;
  float y = 0;
  bool operator==(const RefPoint&) const = default;
};

// What levelReferenceDrawing draws.
struct LevelReferenceDrawing {
  // A sweep's chart: the first point is set in the foreground colour, then the
  // line runs through the others in colour 2. Empty when nothing is drawn.
  std::vector<RefPoint> curve;
  // A loaded chart: the stored reference level as one flat line across the
  // view in the foreground colour (none for a level of 0).
  std::optional<float> flatLevel;
};

// levelReferenceDrawing. For a sweep: from viewStartMHz rounded to 0.1 MHz (0.1 at least) in
// 0.1 MHz steps while below viewStopMHz + 0.1 and 160, each at the table entry f x 10
// rounded (single precision, as the steps accumulate). A start beyond the table
// draws nothing. For a loaded chart (`fromFile`): the flat line at `storedLevel`.
LevelReferenceDrawing levelReferenceDrawing(float viewStart, float viewStop, bool fromFile,
                                            float storedLevel,
                                            const ReferenceTable& levelReference);

// quartzReferenceLine: the polyline from the whole MHz at or below viewStartMHz in 0.1 MHz
// steps while below viewStopMHz + 0.1 and 160. Its first point is where the line
// starts (so the first segment has no length); points whose entry lies outside
// the table are left out, the line going on from the last one drawn.
std::vector<RefPoint> quartzReferenceLine(float viewStart, float viewStop,
                                          const ReferenceTable& crystalReference);

// The reference level a saved chart records: levelReference at the centre of the
// span, index ((start + stop) / 2) x 10 rounded; 0 (no reference) when the
// centre lies outside the table.
float referenceAtCentre(float start, float stop, const ReferenceTable& levelReference);

}  // namespace kolm::powermeter
