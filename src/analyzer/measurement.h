// The analyzer's measurement: the raw bridge readings of a sweep, the
// frequencies they are charted at, the memory trace, and the spans they cover.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "analyzer/correction.h"
#include "analyzer/impedance.h"
#include "analyzer/reactance_sign.h"
#include "analyzer/uncertainty.h"
#include "analyzer/validity.h"
#include "common/pass_average.h"
#include "common/trace_size.h"

namespace kolm::analyzer {

// Array sizes: the channels hold indices 0 to 20009, the frequencies 0 to
// 20002, so a pass of N + 2 points fits for N up to 20001.
inline constexpr int kChannelEntries = 20010;
inline constexpr int kFrequencyEntries = common::kTraceEntries;
inline constexpr int kMinPoints = 1;
inline constexpr int kMaxPoints = common::kMaxAnalyzerPoints;

// A span the chart can be drawn on: start and stop still differ once written
// to a file (15 significant digits) and kept in single precision, as the
// frequencies are. A span that vanishes there (3.1 and 3.1000001) is refused
// like equal start and stop, so a chart that opens can be saved and opened again.
bool spanUsable(double start, double stop);

// Defaults when no settings can be read.
inline constexpr double kDefaultStartMHz = 3;
inline constexpr double kDefaultStopMHz = 30;
inline constexpr int16_t kDefaultPoints = 500;

// One set of readings: raw return-loss and phase readings (0 to 1023) and the
// frequency in MHz each index is charted at.
struct Channels {
  std::vector<int16_t> returnLossCounts = std::vector<int16_t>(kChannelEntries, 0);
  std::vector<int16_t> phaseCounts = std::vector<int16_t>(kChannelEntries, 0);
  std::vector<float> frequencies = std::vector<float>(kFrequencyEntries, 0.0f);
  // Readings averaged over `passes` passes: the means, carried as real numbers
  // into the point computation, its flags and intervals (a mean rounded to a
  // whole count would lose what averaging resolves); the counts above then
  // hold them rounded, as the files keep them. Empty for single readings.
  std::vector<double> meanReturnLoss, meanPhase;
  int passes = 1;
  bool averaged() const { return !meanReturnLoss.empty(); }
  // Readings as single ones again (a chart opened, a pass not averaged).
  void forgetMeans();
};

// Adds the readings 0 to `lastIndex` of `channels` (a pass just made) to
// `ring`, then makes them the mean of the passes the ring holds: the counts
// averaged before any point is computed.
void averageChannels(common::PassAverage& ring, Channels& channels, int lastIndex);

// A chart as the files hold it: N steps, the span in MHz and both channels for
// indices 0 to N (index N + 1 of a sweep and the frequencies are not stored).
struct ChartData {
  int16_t points = 0;
  double start = 0;
  double stop = 0;
  std::vector<int16_t> returnLossCounts;  // N + 1 entries
  std::vector<int16_t> phaseCounts;       // N + 1 entries
};

// The analyzer window's measurement state.
struct Measurement {
  // Displayed span and the span of the next sweep, MHz.
  double viewStartMHz = kDefaultStartMHz;
  double viewStopMHz = kDefaultStopMHz;
  int16_t points = kDefaultPoints;
  // The span the arrays were filled over, MHz.
  float traceStartMHz = static_cast<float>(kDefaultStartMHz);
  float traceStopMHz = static_cast<float>(kDefaultStopMHz);
  // The same span as the sweep, file or settings gave it (double precision):
  // the span a saved chart and the memory copy record. Zooming leaves it alone.
  double spanStartMHz = kDefaultStartMHz;
  double spanStopMHz = kDefaultStopMHz;
  Channels live;
  // The readings of the pass under way (PassJob's target): they become
  // the live ones only once the pass is complete.
  Channels pass;

  // Memory trace: memoryPoints steps over memoryStartMHz..memoryStopMHz; its readings and
  // frequencies are `memory`.
  Channels memory;
  int16_t memoryPoints = 0;
  double memoryStartMHz = 0;
  double memoryStopMHz = 0;
  const std::vector<int16_t>& memoryReturnLossCounts() const { return memory.returnLossCounts; }

  // The arrays now cover start..stop: traceStartMHz/traceStopMHz and the exact span.
  void setTraceSpan(double start, double stop);

  // A pass of `steps` steps over start..stop is complete: its readings
  // become the live ones. The first pass of a sweep (`newSpan`) also makes the
  // view, `points` and the trace's span its own; later passes of a continuous
  // sweep keep the view the user has zoomed to.
  void takePass(double start, double stop, int16_t steps, bool newSpan);

  // Open Chart: the chart becomes the live measurement, shown whole (the view,
  // `points` and the trace span are the chart's), its frequencies rebuilt as
  // i x (stop - start) / N + start. Entries past N are cleared.
  void openChart(const ChartData& chart);
  // What Save Chart writes: `points`, the span the readings cover and the readings
  // 0 to N. After a zoom the span is still the whole one, so that every reading
  // keeps its frequency when the file is opened again.
  ChartData savedChart() const;

  // This screen in Memory: the live readings 0 to N with the span they cover and
  // the frequencies they are drawn at, so that the memory trace lies on the
  // live one (also after a zoom).
  void copyLiveToMemory();
  // File in Memory: the chart becomes the memory trace, its frequencies rebuilt
  // over its own span. The live measurement is not touched.
  void loadMemory(const ChartData& chart);
  // The memory counts as empty while its readings at indices 20 and 30 are both
  // 0; only entries within the trace (0 to memoryPoints) are looked at, and a
  // memory never filled (memoryPoints 0) is empty.
  bool memoryEmpty() const;

  // Fills the live arrays with a synthetic measurement over viewStartMHz..viewStopMHz
  // with `points` steps (indices 0 to `points`): a return loss that rises once to
  // about 12.4 dB and a triangle-wave phase.
  void fillSyntheticMeasurement();
};

// frequencies[i] := i x (stop - start) / N + start for i = 0 to N, single precision.
void rebuildFrequencies(std::vector<float>& frequencies, int points, double start, double stop);

// How a point was read: with no calibration in use; corrected with the
// calibration's terms (their interpolation between its points widening the
// interval notably: interpolated); or left uncorrected, outside the
// calibrated span.
enum class Correction : uint8_t { None, Corrected, Interpolated, Uncorrected };

// What inferSigns made of a corrected point, kept while nothing of it changes
// (its readings, frequency and figures, and what of its intervals is worked
// out): both readings as the sign's inference takes them (`taken`: |X| and R,
// and |X|'s half-width), and the sign its values, intervals and marks were
// settled with and the one it left (`settled`), which a pass inferring the
// same sign keeps.
struct SettledReading {
  bool taken = false, settled = false;
  float reactance = 0, resistance = 0, reactanceHalfWidth = 0;
  ReactanceSign inferred = ReactanceSign::Unknown, shown = ReactanceSign::Unknown;
};

// A corrected point's intervals left to be worked out until its sign needs
// them: for each reading in `sectors` (kPlusSector, kMinusSector) only an
// outer bound of its X interval is known, [xLow, xHigh] ([0] as read, [1]
// mirrored; its value held), and its values of R and X lie within `plain`
// (what the readings give through the stated figures alone), where its
// intervals, once worked out, will not move them.
struct PendingRanges {
  unsigned sectors = 0;
  int cell = 0;  // the calibration cell (BridgeCalibration::cellOf)
  bool mean = false;
  std::array<float, 2> xLow{}, xHigh{};
  PointInterval plain;
  unsigned readSectors = 0;  // `sectors` as the point was read
  SettledReading memo;       // what inferSigns made of it
};

// What the chart draws of a set of readings: the six quantities of indices 0 to
// `points` as shown (analyzer::shownValue: an open point's |Z|, R, X and SWR are
// +infinity, an invalid point's NaN; X is |X|), each point's flag, the
// frequencies they stand at, each value's interval as a half-width around it
// (analyzer/uncertainty.h; +infinity when unbounded) and which values it makes
// uncertain, and the sign of each point's reactance as inferred along the
// sweep (analyzer/reactance_sign.h) with what |X| may move by within one count
// of either reading, which that inference needs.
struct TraceValues {
  std::array<std::vector<float>, kQuantities> values;
  std::vector<PointFlag> flags;
  std::vector<double> frequencies;
  std::array<std::vector<float>, kQuantities> halfWidths;
  std::vector<float> swrLow;  // the SWR interval's low end (shown when it is unbounded above)
  std::vector<UncertainSet> uncertain;
  std::vector<ReactanceSign> signs;
  std::vector<float> reactanceResolution;
  // With a calibration in use (BridgeFigures::calibration): how each point was
  // read, and a corrected point's two readings (the phase as read and
  // mirrored), between which its inferred sign chooses.
  std::vector<Correction> correction;
  std::vector<CorrectedReading> corrected;
  std::vector<PendingRanges> pending;  // empty: none
  // The calibration the values are corrected with (BridgeCalibration::name);
  // empty when no point is corrected.
  std::string calibration;
  // The readings and figures the values were computed from: a point whose
  // readings are unchanged keeps its values and intervals when the trace is
  // computed again (a redraw after a zoom costs no interval).
  std::vector<double> returnLossCounts, phaseCounts;
  int passes = 1;
  BridgeFigures figures;
  bool withIntervals = true;
  // How quantity q of point i is to be taken: its flag's mark, or uncertain
  // for a measured value whose interval is too wide.
  chart::Mark mark(size_t i, int q) const {
    const chart::Mark m = quantityMark(flags[i], q);
    if (m == chart::Mark::Valid && i < uncertain.size() && (uncertain[i] & (1u << q)))
      return chart::Mark::Uncertain;
    return m;
  }
  // The signed reactance of point i: |X| with its inferred sign (positive, as
  // read, when the sign is unknown).
  float signedReactance(size_t i) const {
    return signs[i] == ReactanceSign::Capacitive ? -values[kReactance][i] : values[kReactance][i];
  }
};
// The intervals come from the bridge's stated `figures`. Without `intervals`
// (only to measure what they cost) the values and flags alone: every
// half-width 0, nothing uncertain, every sign unknown.
void computeTraceValues(const Channels& channels, int points, TraceValues& out,
                        const BridgeFigures& figures = publishedBridge(), bool intervals = true);
// The signs of `trace` from its |X|, flags and resolution (computeTraceValues
// does this; tests that build values by hand call it); `behindLine` when the
// load is known to sit behind a line (ReactanceSamples::behindLine). A
// corrected point's values and intervals are then those of the reading its
// sign chooses (both taken in when it is unknown or both readings can give it).
void inferSigns(TraceValues& trace, bool behindLine = false);

// What a trace's values are, for exports and notes: "uncorrected",
// "corrected with the calibration of NAME", or "corrected with the
// calibration of NAME from A to B MHz, uncorrected elsewhere" when part of
// the trace lies outside its span.
std::string correctionText(const TraceValues& trace);

// Where the readings of `trace` are not corrected, in words for the chart's
// legend: "uncorrected: no calibration", "uncorrected: outside the
// calibration's 1 to 60 MHz", "uncorrected below 1 MHz", "uncorrected above
// 60 MHz" or both; empty when every point is corrected, and for a trace
// without points.
std::string uncorrectedNote(const TraceValues& trace);

}  // namespace kolm::analyzer
