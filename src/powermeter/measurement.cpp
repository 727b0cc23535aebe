#include "powermeter/measurement.h"

#include <algorithm>

namespace kolm::powermeter {

void Measurement::beginPass(const SweepPlan& plan, const LevelLimits& passLimits, bool keepView) {
  const bool samePoints = whole() && plan.Points == Points && plan.ViewStart == TraceStart &&
                          plan.ViewStop == TraceStop;
  if (!keepView) {
    ViewStart = plan.ViewStart;
    ViewStop = plan.ViewStop;
    LevelTop = plan.LevelTop;
    LevelBottom = plan.LevelBottom;
  }
  TraceStart = plan.ViewStart;
  TraceStop = plan.ViewStop;
  Points = plan.Points;
  validLevels = samePoints ? Points + 1 : 0;
  limits = passLimits;
  fromFile = false;
}

void Measurement::openChart(const ChartFile& chart, const LevelLimits& chartLimits) {
  Points = chart.points;
  ViewStart = chart.start;
  ViewStop = chart.stop;
  TraceStart = ViewStart;
  TraceStop = ViewStop;
  std::copy(chart.levels.begin(), chart.levels.end(), levels.begin());
  if (chart.reference) storedReference = *chart.reference;
  validLevels = Points + 1;
  limits = chartLimits;
  fromFile = true;
}

ChartFile Measurement::savedChart(const ReferenceTable& levelReference) {
  storedReference = referenceAtCentre(TraceStart, TraceStop, levelReference);
  ChartFile chart;
  chart.points = Points;
  chart.start = TraceStart;
  chart.stop = TraceStop;
  chart.levels.assign(levels.begin(), levels.begin() + Points + 1);
  chart.reference = storedReference;
  return chart;
}

bool Measurement::copyToMemory() {
  if (!whole()) return false;
  MemStart = TraceStart;
  MemStop = TraceStop;
  MemPoints = Points;
  memoryLimits = limits;
  std::copy(levels.begin(), levels.begin() + Points + 1, memoryLevels.begin());
  return true;
}

void Measurement::loadMemory(const ChartFile& chart, const LevelLimits& chartLimits) {
  MemPoints = chart.points;
  MemStart = chart.start;
  MemStop = chart.stop;
  memoryLimits = chartLimits;
  std::copy(chart.levels.begin(), chart.levels.end(), memoryLevels.begin());
}

}  // namespace kolm::powermeter
