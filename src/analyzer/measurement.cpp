#include "analyzer/measurement.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

#include "analyzer/validity.h"
#include "chart/scale.h"
#include "common/text.h"

namespace kolm::analyzer {

void Measurement::fillSyntheticMeasurement() {
  const int n = Points;
  if (n < kMinPoints || n > kMaxPoints) return;
  live.forgetMeans();
  for (int i = 0; i <= n; ++i) {
    const double s = std::sin(3.0 * i / n);
    live.returnLossCounts[i] =
        static_cast<int16_t>(common::roundHalfEven(500.0 - 200.0 * std::pow(s, 6)));
    live.phaseCounts[i] = static_cast<int16_t>(std::abs(((8 * i) % 2048) - 1024));
    live.frequencies[i] = static_cast<float>(chart::pointFrequency(ViewStart, ViewStop, n, i));
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
  SpanStart = start;
  SpanStop = stop;
  TraceStart = static_cast<float>(start);
  TraceStop = static_cast<float>(stop);
}

void Measurement::takePass(double start, double stop, int16_t points, bool newSpan) {
  std::swap(live, pass);
  if (!newSpan) return;
  ViewStart = start;
  ViewStop = stop;
  Points = points;
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
  Points = chart.points;
  ViewStart = chart.start;
  ViewStop = chart.stop;
  setTraceSpan(chart.start, chart.stop);
}

ChartData Measurement::savedChart() const {
  ChartData c;
  c.points = Points;
  c.start = SpanStart;
  c.stop = SpanStop;
  const int n = std::clamp<int>(Points, 0, kMaxPoints);
  c.returnLossCounts.assign(live.returnLossCounts.begin(), live.returnLossCounts.begin() + n + 1);
  c.phaseCounts.assign(live.phaseCounts.begin(), live.phaseCounts.begin() + n + 1);
  return c;
}

void Measurement::copyLiveToMemory() {
  const int n = std::clamp<int>(Points, 0, kMaxPoints);
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
  MemPoints = Points;
  MemStart = SpanStart;
  MemStop = SpanStop;
}

void Measurement::loadMemory(const ChartData& chart) {
  memory = channelsOf(chart);
  MemPoints = chart.points;
  MemStart = chart.start;
  MemStop = chart.stop;
}

bool Measurement::memoryEmpty() const {
  if (MemPoints < kMinPoints) return true;
  bool tested = false;
  for (int i : {20, 30}) {
    if (i > MemPoints) continue;
    tested = true;
    if (memoryReturnLossCounts()[i] != 0) return false;
  }
  return tested;
}

void inferSigns(TraceValues& t, bool behindLine) {
  const size_t n = t.flags.size();
  std::vector<uint8_t> measured(n), zeroInside(n);
  for (size_t i = 0; i < n; ++i) {
    zeroInside[i] = i < t.halfWidths[kReactance].size() &&
                    t.halfWidths[kReactance][i] >= t.values[kReactance][i];
    measured[i] = quantityMark(t.flags[i], kReactance) == chart::Mark::Valid &&
                  std::isfinite(t.values[kReactance][i]) && std::isfinite(t.reactanceResolution[i]);
  }
  inferReactanceSigns({t.frequencies, t.values[kReactance], t.values[kResistance],
                       t.reactanceResolution, measured, zeroInside, behindLine},
                      t.signs);
}

void computeTraceValues(const Channels& channels, int points, TraceValues& out,
                        const BridgeFigures& figures, bool intervals) {
  const int last = std::clamp(points, -1, kFrequencyEntries - 1);
  const size_t count = static_cast<size_t>(last + 1);
  // Points whose readings are those of the last computation keep its results.
  // Mean readings index 0 onwards, as far as they reach (a pass of N points
  // holds N + 2).
  const bool averaged = channels.averaged();
  const int passes = averaged ? channels.passes : 1;
  const size_t kept =
      out.figures == figures && out.passes == passes && out.withIntervals == intervals
          ? std::min(out.returnLossCounts.size(), count)
          : 0;
  // The signs are worked out again only when a point's values or frequency
  // changed (a redraw of the same readings keeps them).
  bool changed = out.signs.size() != count || kept < count;
  out.figures = figures;
  out.passes = passes;
  out.withIntervals = intervals;
  for (auto& v : out.values) v.resize(count);
  for (auto& v : out.halfWidths) v.resize(count);
  out.flags.resize(count);
  out.frequencies.resize(count);
  out.reactanceResolution.resize(count);
  out.uncertain.resize(count);
  out.swrLow.resize(count);
  out.returnLossCounts.resize(count);
  out.phaseCounts.resize(count);
  const PointIntervals single(figures), many(figures, passes);
  auto meanAt = [&](size_t i) {
    return averaged && i < channels.meanReturnLoss.size() && i < channels.meanPhase.size();
  };
  // The arrays written, held apart (a byte store could otherwise alias any of
  // them, and every access would look them up again).
  std::array<float*, kQuantities> values{}, halfWidths{};
  for (int q = 0; q < kQuantities; ++q) {
    values[q] = out.values[q].data();
    halfWidths[q] = out.halfWidths[q].data();
  }
  PointFlag* const flags = out.flags.data();
  double* const frequencies = out.frequencies.data();
  float* const resolution = out.reactanceResolution.data();
  UncertainSet* const uncertainSets = out.uncertain.data();
  float* const swrLow = out.swrLow.data();
  double* const readA = out.returnLossCounts.data();
  double* const readB = out.phaseCounts.data();
  for (size_t i = 0; i < count; ++i) {
    const bool mean = meanAt(i);
    const double a = mean ? channels.meanReturnLoss[i] : channels.returnLossCounts[i];
    const double b = mean ? channels.meanPhase[i] : channels.phaseCounts[i];
    if (frequencies[i] != static_cast<double>(channels.frequencies[i])) {
      frequencies[i] = channels.frequencies[i];
      changed = true;
    }
    if (i < kept && readA[i] == a && readB[i] == b) continue;
    changed = true;
    readA[i] = a;
    readB[i] = b;
    // A sweep often reads the same twice running.
    if (i > 0 && readA[i - 1] == a && readB[i - 1] == b && meanAt(i - 1) == mean) {
      for (int q = 0; q < kQuantities; ++q) {
        values[q][i] = values[q][i - 1];
        halfWidths[q][i] = halfWidths[q][i - 1];
      }
      flags[i] = flags[i - 1];
      resolution[i] = resolution[i - 1];
      uncertainSets[i] = uncertainSets[i - 1];
      swrLow[i] = swrLow[i - 1];
      continue;
    }
    const PointResult p =
        mean ? evaluateMeanPoint(a, b)
             : evaluatePoint(channels.returnLossCounts[i], channels.phaseCounts[i]);
    for (int q = 0; q < kQuantities; ++q) values[q][i] = shownValue(p, q);
    flags[i] = p.flag;
    if (!intervals) {
      for (float* h : halfWidths) h[i] = 0;
      resolution[i] = 0;
      uncertainSets[i] = 0;
      swrLow[i] = values[kSwr][i];
      continue;
    }
    const PointUncertainty u = (mean ? many : single).uncertainty(a, b, p);
    for (int q = 0; q < kQuantities; ++q) halfWidths[q][i] = u.halfWidth[q];
    resolution[i] = u.reactanceResolution;
    uncertainSets[i] = u.uncertain;
    swrLow[i] = u.swrLow;
  }
  if (intervals) {
    if (changed) inferSigns(out);
  } else
    out.signs.assign(count, ReactanceSign::Unknown);
}

}  // namespace kolm::analyzer
