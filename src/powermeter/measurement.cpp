#include "powermeter/measurement.h"

#include <algorithm>

namespace kolm::powermeter {

void Measurement::beginPass(const SweepPlan& plan, const LevelLimits& passLimits, bool keepView) {
  const bool samePoints = whole() && plan.points == points && plan.viewStartMHz == traceStartMHz &&
                          plan.viewStopMHz == traceStopMHz;
  if (!keepView) {
    viewStartMHz = plan.viewStartMHz;
    viewStopMHz = plan.viewStopMHz;
    topDbm = plan.topDbm;
    bottomDbm = plan.bottomDbm;
  }
  traceStartMHz = plan.viewStartMHz;
  traceStopMHz = plan.viewStopMHz;
  points = plan.points;
  validLevels = samePoints ? points + 1 : 0;
  limits = passLimits;
  fromFile = false;
}

void Measurement::openChart(const ChartFile& chart, const LevelLimits& chartLimits) {
  points = chart.points;
  viewStartMHz = chart.start;
  viewStopMHz = chart.stop;
  traceStartMHz = viewStartMHz;
  traceStopMHz = viewStopMHz;
  std::copy(chart.levels.begin(), chart.levels.end(), levels.begin());
  if (chart.reference) storedReference = *chart.reference;
  validLevels = points + 1;
  limits = chartLimits;
  fromFile = true;
}

ChartFile Measurement::savedChart(const ReferenceTable& levelReference) {
  storedReference = referenceAtCentre(traceStartMHz, traceStopMHz, levelReference);
  ChartFile chart;
  chart.points = points;
  chart.start = traceStartMHz;
  chart.stop = traceStopMHz;
  chart.levels.assign(levels.begin(), levels.begin() + points + 1);
  chart.reference = storedReference;
  return chart;
}

bool Measurement::copyToMemory() {
  if (!whole()) return false;
  memoryStartMHz = traceStartMHz;
  memoryStopMHz = traceStopMHz;
  memoryPoints = points;
  memoryLimits = limits;
  std::copy(levels.begin(), levels.begin() + points + 1, memoryLevels.begin());
  return true;
}

void Measurement::loadMemory(const ChartFile& chart, const LevelLimits& chartLimits) {
  memoryPoints = chart.points;
  memoryStartMHz = chart.start;
  memoryStopMHz = chart.stop;
  memoryLimits = chartLimits;
  std::copy(chart.levels.begin(), chart.levels.end(), memoryLevels.begin());
}

}  // namespace kolm::powermeter
