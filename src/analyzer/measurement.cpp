#include "analyzer/measurement.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>
#include <tuple>
#include <utility>

#include "analyzer/calibration.h"
#include "analyzer/recent_readings.h"
#include "analyzer/validity.h"
#include "chart/scale.h"
#include "common/text.h"
#include "common/tr.h"

namespace kolm::analyzer {

void Measurement::fillSyntheticMeasurement() {
  const int n = points;
  if (n < kMinPoints || n > kMaxPoints) return;
  live.forgetMeans();
  for (int i = 0; i <= n; ++i) {
    const double s = std::sin(3.0 * i / n);
    live.returnLossCounts[i] =
        static_cast<int16_t>(common::roundHalfEven(500.0 - 200.0 * std::pow(s, 6)));
    live.phaseCounts[i] = static_cast<int16_t>(std::abs(((8 * i) % 2048) - 1024));
    live.frequencies[i] =
        static_cast<float>(chart::pointFrequency(viewStartMHz, viewStopMHz, n, i));
  }
}

void Channels::forgetMeans() {
  meanReturnLoss.clear();
  meanPhase.clear();
  passes = 1;
}

void averageChannels(common::PassAverage& ring, Channels& channels, int lastIndex) {
  const size_t n = static_cast<size_t>(std::clamp(lastIndex, -1, kFrequencyEntries - 1) + 1);
  std::vector<float> pass(2 * n);
  for (size_t i = 0; i < n; ++i) {
    pass[i] = channels.returnLossCounts[i];
    pass[n + i] = channels.phaseCounts[i];
  }
  ring.add(pass);
  if (ring.held() <= 1) return channels.forgetMeans();
  channels.passes = ring.held();
  channels.meanReturnLoss.resize(n);
  channels.meanPhase.resize(n);
  for (size_t i = 0; i < n; ++i) {
    channels.meanReturnLoss[i] = ring.mean(i);
    channels.meanPhase[i] = ring.mean(n + i);
    channels.returnLossCounts[i] =
        static_cast<int16_t>(common::roundHalfEven(channels.meanReturnLoss[i]));
    channels.phaseCounts[i] = static_cast<int16_t>(common::roundHalfEven(channels.meanPhase[i]));
  }
}

void Measurement::setTraceSpan(double start, double stop) {
  spanStartMHz = start;
  spanStopMHz = stop;
  traceStartMHz = static_cast<float>(start);
  traceStopMHz = static_cast<float>(stop);
}

void Measurement::takePass(double start, double stop, int16_t steps, bool newSpan) {
  std::swap(live, pass);
  if (!newSpan) return;
  viewStartMHz = start;
  viewStopMHz = stop;
  points = steps;
  setTraceSpan(start, stop);
}

namespace {

// Readings 0 to N of `chart` into fresh arrays, frequencies rebuilt over its span.
Channels channelsOf(const ChartData& chart) {
  Channels c;
  const int n = std::clamp<int>(chart.points, 0, kMaxPoints);
  const size_t count = std::min(
      {static_cast<size_t>(n) + 1, chart.returnLossCounts.size(), chart.phaseCounts.size()});
  std::copy_n(chart.returnLossCounts.begin(), count, c.returnLossCounts.begin());
  std::copy_n(chart.phaseCounts.begin(), count, c.phaseCounts.begin());
  if (n >= kMinPoints) rebuildFrequencies(c.frequencies, n, chart.start, chart.stop);
  return c;
}

}  // namespace

bool spanUsable(double start, double stop) {
  auto kept = [](double v) {
    return static_cast<float>(common::numericValue(common::shortestText(v)));
  };
  return kept(start) != kept(stop);
}

void rebuildFrequencies(std::vector<float>& frequencies, int points, double start, double stop) {
  for (int i = 0; i <= points && i < static_cast<int>(frequencies.size()); ++i)
    frequencies[i] = static_cast<float>(chart::pointFrequency(start, stop, points, i));
}

void Measurement::openChart(const ChartData& chart) {
  live = channelsOf(chart);
  points = chart.points;
  viewStartMHz = chart.start;
  viewStopMHz = chart.stop;
  setTraceSpan(chart.start, chart.stop);
}

ChartData Measurement::savedChart() const {
  ChartData c;
  c.points = points;
  c.start = spanStartMHz;
  c.stop = spanStopMHz;
  const int n = std::clamp<int>(points, 0, kMaxPoints);
  c.returnLossCounts.assign(live.returnLossCounts.begin(), live.returnLossCounts.begin() + n + 1);
  c.phaseCounts.assign(live.phaseCounts.begin(), live.phaseCounts.begin() + n + 1);
  return c;
}

void Measurement::copyLiveToMemory() {
  const int n = std::clamp<int>(points, 0, kMaxPoints);
  Channels copy;
  std::copy_n(live.returnLossCounts.begin(), n + 1, copy.returnLossCounts.begin());
  std::copy_n(live.phaseCounts.begin(), n + 1, copy.phaseCounts.begin());
  std::copy_n(live.frequencies.begin(), n + 1, copy.frequencies.begin());
  if (live.averaged()) {
    copy.meanReturnLoss.assign(
        live.meanReturnLoss.begin(),
        live.meanReturnLoss.begin() + std::min<size_t>(n + 1, live.meanReturnLoss.size()));
    copy.meanPhase.assign(live.meanPhase.begin(),
                          live.meanPhase.begin() + std::min<size_t>(n + 1, live.meanPhase.size()));
    copy.passes = live.passes;
  }
  memory = std::move(copy);
  memoryPoints = points;
  memoryStartMHz = spanStartMHz;
  memoryStopMHz = spanStopMHz;
}

void Measurement::loadMemory(const ChartData& chart) {
  memory = channelsOf(chart);
  memoryPoints = chart.points;
  memoryStartMHz = chart.start;
  memoryStopMHz = chart.stop;
}

bool Measurement::memoryEmpty() const {
  if (memoryPoints < kMinPoints) return true;
  bool tested = false;
  for (int i : {20, 30}) {
    if (i > memoryPoints) continue;
    tested = true;
    if (memoryReturnLossCounts()[i] != 0) return false;
  }
  return tested;
}

}  // namespace kolm::analyzer
