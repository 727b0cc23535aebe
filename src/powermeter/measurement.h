// The power meter's measurement, as the analyzer keeps its own: the levels of
// the last pass (or of the chart opened), the span they cover, the span and
// level range shown, which of the levels are measured ones, and the memory
// trace. The window shows it; the passes and the files change it here.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "powermeter/chart_file.h"
#include "powermeter/level.h"
#include "powermeter/reference.h"
#include "powermeter/sweep.h"

namespace kolm::powermeter {

struct Measurement {
  // Shown span (MHz) and level range (dBm): a sweep's at its start, then
  // wherever a zoom moves it (the sweep itself is the window's boxes').
  float viewStartMHz = 3, viewStopMHz = 30;
  float topDbm = 20, bottomDbm = -80;
  // The levels: `points` steps over traceStartMHz..traceStopMHz, flagged under `limits`
  // (those of the calibration they were measured or opened with).
  int16_t points = 1000;
  float traceStartMHz = 3, traceStopMHz = 3;
  std::vector<float> levels = std::vector<float>(kTraceSize, 0.f);
  LevelLimits limits;
  // Leading levels that belong to the trace's span and points: none before the
  // first pass; during a pass the points measured so far, or all of them when
  // the previous pass covered the same points (its levels stand beyond the
  // sweep until they are measured again).
  int validLevels = 0;
  // The levels came from a chart file, and the reference level it stored (or
  // the last save wrote).
  bool fromFile = false;
  float storedReference = 0;

  // The memory trace: memoryPoints steps over memoryStartMHz..memoryStopMHz.
  int16_t memoryPoints = 0;
  float memoryStartMHz = 0, memoryStopMHz = 0;
  std::vector<float> memoryLevels = std::vector<float>(kTraceSize, 0.f);
  LevelLimits memoryLimits;

  // Every level of the trace is a measured one.
  bool whole() const { return validLevels == points + 1; }

  // A pass of `plan` begins, measuring into `levels` (SweepJob), flagged under
  // `passLimits`: the trace's span becomes the plan's, and so do the view and
  // the level range unless `keepView` (a further pass of the same plan keeps
  // a zoom); the levels of the last pass stay valid when it covered the very
  // same points.
  void beginPass(const SweepPlan& plan, const LevelLimits& passLimits, bool keepView = false);
  // The pass has measured its first `count` levels.
  void measured(int count) { validLevels = std::max(validLevels, count); }

  // Open Chart: the chart becomes the trace, shown over its span (the level
  // range stays the window's), flagged under `chartLimits`.
  void openChart(const ChartFile& chart, const LevelLimits& chartLimits);
  // What Save Chart writes: the span the levels cover (after a zoom the view is
  // narrower), the levels and the level reference at the span's centre, which
  // becomes the stored reference. Only for a whole trace.
  ChartFile savedChart(const ReferenceTable& levelReference);

  // This screen in Memory: the whole trace becomes the memory trace; false
  // (nothing changed) while the trace is not whole.
  bool copyToMemory();
  // File in Memory: the chart becomes the memory trace.
  void loadMemory(const ChartFile& chart, const LevelLimits& chartLimits);
};

}  // namespace kolm::powermeter
