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

namespace {

// The share of a corrected point's directivity residual that its terms'
// interpolation may make up before the point is marked interpolated.
constexpr double kInterpolatedShare = 0.5;

// |X|'s range from signed X's.
std::pair<float, float> sizeRange(float low, float high) {
  if (low <= 0 && high >= 0) return {0.0f, std::max(-low, high)};
  return {std::min(std::fabs(low), std::fabs(high)), std::max(std::fabs(low), std::fabs(high))};
}

// Both readings of a corrected point taken in: their mean, and every range
// holding both (|X| for the reactance).
std::pair<PointValues, PointInterval> bothWays(const CorrectedReading& c) {
  PointValues mean;
  PointInterval range;
  for (int q = 0; q < kQuantities; ++q) {
    const bool reactance = q == kReactance;
    const float a = reactance ? std::fabs(c.plus[q]) : c.plus[q];
    const float b = reactance ? std::fabs(c.minus[q]) : c.minus[q];
    mean[q] = std::isfinite(a) && std::isfinite(b) ? (a + b) / 2 : std::max(a, b);
    if (reactance) {
      const auto p = sizeRange(c.plusRange.low[q], c.plusRange.high[q]);
      const auto m = sizeRange(c.minusRange.low[q], c.minusRange.high[q]);
      range.low[q] = std::min(p.first, m.first);
      range.high[q] = std::max(p.second, m.second);
    } else {
      range.low[q] = std::min(c.plusRange.low[q], c.minusRange.low[q]);
      range.high[q] = std::max(c.plusRange.high[q], c.minusRange.high[q]);
    }
  }
  range.reactanceResolution = c.resolution;
  return {mean, range};
}

// A corrected point's values, intervals and marks from the reading its sign
// chooses.
void settleCorrected(TraceValues& t, size_t i) {
  const CorrectedReading& c = t.corrected[i];
  PointValues values;
  PointInterval range;
  ReactanceSign& sign = t.signs[i];
  // The load's sign tells the two readings apart where one of them cannot
  // give a reactance of that sign at all: the truth is then the other's.
  auto can = [&](const PointInterval& r) {
    return sign == ReactanceSign::Inductive ? r.high[kReactance] > 0 : r.low[kReactance] < 0;
  };
  const bool plus = can(c.plusRange), minus = can(c.minusRange);
  if (sign != ReactanceSign::Unknown && plus != minus) {
    values = plus ? c.plus : c.minus;
    range = plus ? c.plusRange : c.minusRange;
  } else {
    sign = ReactanceSign::Unknown;
    std::tie(values, range) = bothWays(c);
  }
  if (sign != ReactanceSign::Unknown) {
    std::tie(range.low[kReactance], range.high[kReactance]) =
        sizeRange(range.low[kReactance], range.high[kReactance]);
    values[kReactance] = std::fabs(values[kReactance]);
  }
  const PointFlag flag = t.flags[i];
  UncertainSet uncertain = 0;
  PointValues shown{};
  for (int q = 0; q < kQuantities; ++q) {
    const chart::Mark mark = quantityMark(flag, q);
    float v = mark == chart::Mark::Open      ? std::numeric_limits<float>::infinity()
              : mark == chart::Mark::Invalid ? std::numeric_limits<float>::quiet_NaN()
                                             : values[q];
    float pm = std::max(v - range.low[q], range.high[q] - v);
    // A bound is the interval's far end; an SWR that may be unbounded is
    // shown as the least it can be, uncertain.
    if (mark == chart::Mark::AtLeast) v = range.low[q], pm = 0;
    if (mark == chart::Mark::AtMost) v = range.high[q], pm = 0;
    if (q == kSwr && std::isinf(v) && std::isfinite(range.low[q]) && mark == chart::Mark::Valid)
      v = range.low[q], pm = std::numeric_limits<float>::infinity();
    if (std::isnan(pm)) pm = std::numeric_limits<float>::infinity();
    t.values[q][i] = v;
    t.halfWidths[q][i] = pm;
    shown[q] = v;
  }
  for (int q = 0; q < kQuantities; ++q)
    if ((flag == PointFlag::Valid || quantityMark(flag, q) == chart::Mark::Valid) &&
        tooWide(q, shown, t.halfWidths[q][i]))
      uncertain |= static_cast<UncertainSet>(1u << q);
  t.uncertain[i] = uncertain;
  t.swrLow[i] = range.low[kSwr];
  t.reactanceResolution[i] = c.resolution;
}

// A corrected reading's ranges taken within `plain`, what the same readings
// give through the bridge's stated figures alone (both hold the load: the
// truth lies where they overlap), its values kept within them.
void narrowCorrected(CorrectedReading& c, const PointInterval& plain) {
  auto narrow = [&](PointValues& values, PointInterval& range) {
    for (int q = 0; q < kQuantities; ++q) {
      float low = plain.low[q], high = plain.high[q];
      if (q == kReactance) {
        // |X| within [low, high]: X within that or its mirror image.
        const float l = range.low[q], h = range.high[q];
        const float aboveLow = std::max(l, low), aboveHigh = std::min(h, high);
        const float belowLow = std::max(l, -high), belowHigh = std::min(h, -low);
        const bool above = aboveLow <= aboveHigh, below = belowLow <= belowHigh;
        if (!above && !below) continue;
        low = below ? belowLow : aboveLow;
        high = above ? aboveHigh : belowHigh;
      } else {
        low = std::max(low, range.low[q]);
        high = std::min(high, range.high[q]);
        if (!(low <= high)) continue;  // no overlap: the wider says more truly
      }
      range.low[q] = low, range.high[q] = high;
      if (std::isfinite(values[q])) values[q] = std::clamp(values[q], low, high);
    }
  };
  narrow(c.plus, c.plusRange);
  narrow(c.minus, c.minusRange);
}

// The flag of a corrected reading: as read, except that a reflection above 1
// is one only when no passive load gives the reading once corrected.
PointFlag correctedFlag(PointFlag flag, double a, double b, const CorrectedReading& c) {
  const bool passive = std::max(c.plusRange.high[kReturnLoss], c.minusRange.high[kReturnLoss]) >= 0;
  if (!passive) return PointFlag::Invalid;
  if (flag == PointFlag::Invalid) return pointFlag(std::min(a, double{kTotalReflectionCounts}), b);
  return flag;
}

// Corrected readings met lately: pass after pass a point's readings come back
// among a few values, each corrected once for its frequency (the terms hang on
// it). Two places to each hash of frequency and readings, the newer of the two
// kept when a third comes; an entry is taken only when its frequency and
// readings are the same to the last bit. Up to 32768 entries (a 2000-point
// sweep meets about that many pairs over some hundred passes), made one after
// another as they are first needed: a new table touches only the memory its
// entries take.
struct CorrectedEntry {
  double mhz = 0, a = 0, b = 0;
  bool mean = false;
  Correction correction = Correction::None;
  PointFlag flag = PointFlag::Valid;
  CorrectedReading reading;
};

class CorrectedReadings {
 public:
  CorrectedReadings(const BridgeFigures& f, int passes) : figures(f), passes(passes) {}
  BridgeFigures figures;
  int passes;

  // Empty, for other figures or passes (its memory kept: a first pass after
  // every change of the figures takes no new memory).
  void reset(const BridgeFigures& f, int p) {
    figures = f;
    passes = p;
    std::fill(tags_.begin(), tags_.end(), 0);
    std::fill(newer_.begin(), newer_.end(), 0);
    used_ = 0;
  }

  // The entry of these readings at `mhz`, and whether it holds their result;
  // when it does not, it is theirs from now on, to be filled by the caller.
  CorrectedEntry& entry(double mhz, double a, double b, bool mean, bool& held) {
    auto bits = [](double v) { return std::bit_cast<uint64_t>(v); };
    const uint64_t hash = (bits(mhz) * 0x9E3779B97F4A7C15ull) ^ (bits(a) * 0xC2B2AE3D27D4EB4Full) ^
                          (bits(b) * 0x165667B19E3779F9ull) ^ uint64_t { mean };
    const uint32_t tag = static_cast<uint32_t>(hash) | 1;  // 0: a place not taken
    const size_t set = static_cast<size_t>(hash >> (64 - kBits)) & ~size_t{1};
    held = true;
    for (size_t k : {set, set + 1}) {
      if (tags_[k] != tag) continue;
      CorrectedEntry& e = entries_[places_[k]];
      if (e.mhz == mhz && e.a == a && e.b == b && e.mean == mean) {
        newer_[set / 2] = static_cast<uint8_t>(k - set);
        return e;
      }
    }
    held = false;
    // The older of the two gives up its entry; an empty place takes a new one.
    const size_t older = set + (newer_[set / 2] == 0 && tags_[set] != 0);
    newer_[set / 2] = static_cast<uint8_t>(older - set);
    if (tags_[older] == 0) places_.make(older, used_++);
    tags_[older] = tag;
    return entries_.make(places_[older], {mhz, a, b, mean, Correction::None, PointFlag::Valid, {}});
  }

 private:
  static constexpr int kBits = 15;
  std::vector<uint32_t> tags_ = std::vector<uint32_t>(size_t{1} << kBits);
  std::vector<uint8_t> newer_ = std::vector<uint8_t>(size_t{1} << (kBits - 1));
  LazyArray<uint16_t> places_{size_t{1} << kBits};  // of a place taken: its entry
  LazyArray<CorrectedEntry> entries_{size_t{1} << kBits};
  uint16_t used_ = 0;  // entries made
};

// The tables of the two sets of figures and passes last used on this thread
// (a live trace and its memory may be read differently).
CorrectedReadings& correctedReadings(const BridgeFigures& f, int passes) {
  thread_local std::array<std::unique_ptr<CorrectedReadings>, 2> slots;
  auto held = [&](const std::unique_ptr<CorrectedReadings>& t) {
    return t && t->figures == f && t->passes == passes;
  };
  if (!held(slots[0])) {
    std::swap(slots[0], slots[1]);
    if (!held(slots[0])) {
      if (slots[0])
        slots[0]->reset(f, passes);
      else
        slots[0] = std::make_unique<CorrectedReadings>(f, passes);
    }
  }
  return *slots[0];
}

}  // namespace

void inferSigns(TraceValues& t, bool behindLine) {
  const size_t n = t.flags.size();
  const bool corrected = t.corrected.size() >= n && t.correction.size() >= n;
  auto isCorrected = [&](size_t i) {
    return corrected && (t.correction[i] == Correction::Corrected ||
                         t.correction[i] == Correction::Interpolated);
  };
  // A corrected point is told by both its readings until its sign chooses.
  for (size_t i = 0; i < n; ++i)
    if (isCorrected(i)) {
      const auto [mean, range] = bothWays(t.corrected[i]);
      t.values[kReactance][i] = mean[kReactance];
      t.values[kResistance][i] = mean[kResistance];
      t.halfWidths[kReactance][i] = std::max(mean[kReactance] - range.low[kReactance],
                                             range.high[kReactance] - mean[kReactance]);
      t.reactanceResolution[i] = t.corrected[i].resolution;
    }
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
  for (size_t i = 0; i < n; ++i)
    if (isCorrected(i)) settleCorrected(t, i);
}

std::string correctionText(const TraceValues& t) {
  if (t.calibration.empty()) return "uncorrected";
  std::optional<double> from, to;
  bool partly = false;
  for (size_t i = 0; i < t.correction.size() && i < t.frequencies.size(); ++i) {
    if (t.correction[i] == Correction::Uncorrected) {
      partly = true;
      continue;
    }
    from = from ? std::min(*from, t.frequencies[i]) : t.frequencies[i];
    to = to ? std::max(*to, t.frequencies[i]) : t.frequencies[i];
  }
  std::string out = "corrected with the calibration of " + t.calibration;
  if (partly && from)
    out += " from " + common::shortestText(*from, 7) + " to " + common::shortestText(*to, 7) +
           " MHz, uncorrected elsewhere";
  return out;
}

std::string uncorrectedNote(const TraceValues& t) {
  if (t.frequencies.empty()) return {};
  const BridgeCalibration* calibration = t.figures.calibration.get();
  if (!calibration) return KOLM_TR("kolm", "uncorrected: no calibration");
  auto mhz = [](double v) { return common::shortestText(v, 7); };
  if (t.calibration.empty())
    return common::arg(KOLM_TR("kolm", "uncorrected: outside the calibration's %1 to %2 MHz"),
                       {mhz(calibration->startMHz), mhz(calibration->stopMHz)});
  bool below = false, above = false;
  for (size_t i = 0; i < t.correction.size() && i < t.frequencies.size(); ++i) {
    if (t.correction[i] != Correction::Uncorrected) continue;
    (t.frequencies[i] < calibration->startMHz ? below : above) = true;
  }
  if (below && above)
    return common::arg(KOLM_TR("kolm", "uncorrected below %1 and above %2 MHz"),
                       {mhz(calibration->startMHz), mhz(calibration->stopMHz)});
  if (below)
    return common::arg(KOLM_TR("kolm", "uncorrected below %1 MHz"), {mhz(calibration->startMHz)});
  if (above)
    return common::arg(KOLM_TR("kolm", "uncorrected above %1 MHz"), {mhz(calibration->stopMHz)});
  return {};
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
  const BridgeCalibration* calibration = intervals ? figures.calibration.get() : nullptr;
  out.correction.resize(calibration ? count : 0);
  out.corrected.resize(calibration ? count : 0);
  const PointIntervals single(figures), many(figures, passes);
  CorrectedReadings* const corrections =
      calibration ? &correctedReadings(figures, passes) : nullptr;
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
    bool moved = false;
    if (frequencies[i] != static_cast<double>(channels.frequencies[i])) {
      frequencies[i] = channels.frequencies[i];
      changed = moved = true;
    }
    // A corrected point's terms hang on its frequency.
    if (i < kept && readA[i] == a && readB[i] == b && !(moved && calibration)) continue;
    changed = true;
    readA[i] = a;
    readB[i] = b;
    // A sweep often reads the same twice running.
    if (!calibration && i > 0 && readA[i - 1] == a && readB[i - 1] == b && meanAt(i - 1) == mean) {
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
    flags[i] = p.flag;
    if (calibration) {
      bool held = false;
      CorrectedEntry& kept = corrections->entry(frequencies[i], a, b, mean, held);
      if (!held) {
        double share = 0;
        if (const auto terms = calibration->at(frequencies[i], &share)) {
          CorrectedReading& c = kept.reading;
          c = correctReading(a, b, *terms, figures, passes);
          narrowCorrected(c, (mean ? many : single).uncertainty(a, b, p).interval);
          kept.flag = correctedFlag(p.flag, a, b, c);
          kept.correction =
              share > kInterpolatedShare ? Correction::Interpolated : Correction::Corrected;
        } else {
          kept.correction = Correction::Uncorrected;
        }
      }
      out.correction[i] = kept.correction;
      if (kept.correction != Correction::Uncorrected) {
        out.corrected[i] = kept.reading;
        flags[i] = kept.flag;
        continue;  // its values once its sign is known
      }
    }
    for (int q = 0; q < kQuantities; ++q) values[q][i] = shownValue(p, q);
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
    // At the bottom of channel A's range the return loss and the SWR are
    // bounds: their intervals' far ends, the directivity taken in.
    if (p.flag == PointFlag::RlLimit) {
      values[kReturnLoss][i] = u.returnLossLow;
      values[kSwr][i] = u.swrHigh;
      halfWidths[kReturnLoss][i] = halfWidths[kSwr][i] = 0;
    }
  }
  out.calibration.clear();
  if (calibration)
    for (Correction c : out.correction)
      if (c == Correction::Corrected || c == Correction::Interpolated) {
        out.calibration = calibration->name();
        break;
      }
  if (intervals) {
    if (changed) inferSigns(out);
  } else
    out.signs.assign(count, ReactanceSign::Unknown);
}

}  // namespace kolm::analyzer
