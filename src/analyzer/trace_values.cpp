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

// A trace's values from its readings: each point's quantities, their
// intervals and marks, corrected where a calibration covers it.

namespace kolm::analyzer {

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
  // Where both can (a reactance near zero), the sign stands and the point
  // holds both readings (|X| within either's); where neither can, the sign
  // and the readings disagree and it is not told.
  auto can = [&](const PointInterval& r) {
    return sign == ReactanceSign::Inductive ? r.high[kReactance] > 0 : r.low[kReactance] < 0;
  };
  const bool plus = can(c.plusRange), minus = can(c.minusRange);
  if (sign != ReactanceSign::Unknown && plus != minus) {
    values = plus ? c.plus : c.minus;
    range = plus ? c.plusRange : c.minusRange;
  } else {
    if (!plus) sign = ReactanceSign::Unknown;
    std::tie(values, range) = bothWays(c);  // |X|, signed below
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

// Corrected intervals met lately: pass after pass a point's readings come
// back among a few values, and neighbouring points of a fine sweep read
// alike; each reading's intervals are worked out once for its calibration
// cell (BridgeCalibration::cellTerms), its values at every point. Two places
// to each hash of cell and readings, the newer of the two kept when a third
// comes; an entry is taken only when its cell and readings are the same to
// the last bit. Up to 32768 entries (a 2000-point
// sweep meets about that many pairs over some hundred passes), made one after
// another as they are first needed: a new table touches only the memory its
// entries take.
struct CorrectedEntry {
  int cell = 0;
  double a = 0, b = 0;
  bool mean = false;
  CorrectedReading ranges;  // the intervals (no values)
  PointInterval plain;      // what the readings give through the stated figures alone
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

  // The entry of these readings in `cell`, and whether it holds their result;
  // when it does not, it is theirs from now on, to be filled by the caller.
  CorrectedEntry& entry(int cell, double a, double b, bool mean, bool& held) {
    auto bits = [](double v) { return std::bit_cast<uint64_t>(v); };
    const uint64_t hash = (uint64_t{static_cast<uint32_t>(cell)} * 0x9E3779B97F4A7C15ull) ^
                          (bits(a) * 0xC2B2AE3D27D4EB4Full) ^ (bits(b) * 0x165667B19E3779F9ull) ^
                          uint64_t { mean };
    const uint32_t tag = static_cast<uint32_t>(hash) | 1;  // 0: a place not taken
    const size_t set = static_cast<size_t>(hash >> (64 - kBits)) & ~size_t{1};
    held = true;
    for (size_t k : {set, set + 1}) {
      if (tags_[k] != tag) continue;
      CorrectedEntry& e = entries_[places_[k]];
      if (e.cell == cell && e.a == a && e.b == b && e.mean == mean) {
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
    return entries_.make(places_[older], {cell, a, b, mean, {}, {}});
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

namespace {

// Every array of `out` sized for `count` points, the corrected ones only for a
// calibrated trace.
void sizeTrace(TraceValues& out, size_t count, bool calibrated) {
  for (auto& v : out.values) v.resize(count);
  for (auto& v : out.halfWidths) v.resize(count);
  out.flags.resize(count);
  out.frequencies.resize(count);
  out.reactanceResolution.resize(count);
  out.uncertain.resize(count);
  out.swrLow.resize(count);
  out.returnLossCounts.resize(count);
  out.phaseCounts.resize(count);
  out.correction.resize(calibrated ? count : 0);
  out.corrected.resize(calibrated ? count : 0);
}

// The intervals of (a, b) corrected in the calibration cell of `mhz` (the
// same for every frequency of the cell), as met before or worked out now.
const CorrectedEntry& correctedEntry(CorrectedReadings& corrections,
                                     const BridgeCalibration& calibration, double mhz, double a,
                                     double b, bool mean, const PointResult& p,
                                     const PointIntervals& intervals, const BridgeFigures& figures,
                                     int passes) {
  const int cell = calibration.cellOf(mhz);
  bool held = false;
  CorrectedEntry& kept = corrections.entry(cell, a, b, mean, held);
  if (held) return kept;
  const ErrorTerms terms = calibration.cellTerms(cell);
  // The intervals alone: each point's values are put in at the point.
  kept.ranges = {};
  kept.ranges.plus.fill(NAN);
  kept.ranges.minus.fill(NAN);
  correctRanges(kept.ranges, a, b, terms, figures, passes);
  kept.plain = intervals.uncertainty(a, b, p).interval;
  return kept;
}

// The corrected reading of (a, b) at `mhz`: its values with the terms there,
// its intervals its cell's; `correction` what the point is (uncorrected, and
// false, outside the calibration).
bool correctAt(CorrectedReadings& corrections, const BridgeCalibration& calibration, double mhz,
               double a, double b, bool mean, const PointResult& p, const PointIntervals& intervals,
               const BridgeFigures& figures, int passes, CorrectedReading& c, PointFlag& flag,
               Correction& correction) {
  double share = 0;
  const auto terms = calibration.at(mhz, &share);
  if (!terms) {
    correction = Correction::Uncorrected;
    return false;
  }
  correction = share > kInterpolatedShare ? Correction::Interpolated : Correction::Corrected;
  const CorrectedEntry& kept =
      correctedEntry(corrections, calibration, mhz, a, b, mean, p, intervals, figures, passes);
  c = correctedValues(a, b, *terms);
  holdValues(c, kept.ranges);
  narrowCorrected(c, kept.plain);
  flag = correctedFlag(p.flag, a, b, c);
  return true;
}

// The arrays of a trace that a computation writes, point by point.
struct TraceArrays {
  std::array<float*, kQuantities> values{}, halfWidths{};
  PointFlag* flags;
  double* frequencies;
  float* resolution;
  UncertainSet* uncertainSets;
  float* swrLow;
  double* readA;
  double* readB;

  // Point i as point i - 1 (read the same).
  void copyPrevious(size_t i) const {
    for (int q = 0; q < kQuantities; ++q) {
      values[q][i] = values[q][i - 1];
      halfWidths[q][i] = halfWidths[q][i - 1];
    }
    flags[i] = flags[i - 1];
    resolution[i] = resolution[i - 1];
    uncertainSets[i] = uncertainSets[i - 1];
    swrLow[i] = swrLow[i - 1];
  }

  // Point i's values as computed (`p`), without intervals.
  void write(size_t i, const PointResult& p) const {
    for (int q = 0; q < kQuantities; ++q) values[q][i] = shownValue(p, q);
    for (float* h : halfWidths) h[i] = 0;
    resolution[i] = 0;
    uncertainSets[i] = 0;
    swrLow[i] = values[kSwr][i];
  }

  // Point i's values and their intervals `u`.
  void write(size_t i, const PointResult& p, const PointUncertainty& u) const {
    for (int q = 0; q < kQuantities; ++q) values[q][i] = shownValue(p, q);
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
};

TraceArrays arraysOf(TraceValues& out) {
  TraceArrays t{{},
                {},
                out.flags.data(),
                out.frequencies.data(),
                out.reactanceResolution.data(),
                out.uncertain.data(),
                out.swrLow.data(),
                out.returnLossCounts.data(),
                out.phaseCounts.data()};
  for (int q = 0; q < kQuantities; ++q) {
    t.values[q] = out.values[q].data();
    t.halfWidths[q] = out.halfWidths[q].data();
  }
  return t;
}

}  // namespace

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
  const BridgeCalibration* calibration = intervals ? figures.calibration.get() : nullptr;
  sizeTrace(out, count, calibration != nullptr);
  const PointIntervals single(figures), many(figures, passes);
  CorrectedReadings* const corrections =
      calibration ? &correctedReadings(figures, passes) : nullptr;
  auto meanAt = [&](size_t i) {
    return averaged && i < channels.meanReturnLoss.size() && i < channels.meanPhase.size();
  };
  // The arrays written, held apart (a byte store could otherwise alias any of
  // them, and every access would look them up again).
  const TraceArrays arrays = arraysOf(out);
  auto& [values, halfWidths, flags, frequencies, resolution, uncertainSets, swrLow, readA, readB] =
      arrays;
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
      arrays.copyPrevious(i);
      continue;
    }
    const PointResult p =
        mean ? evaluateMeanPoint(a, b)
             : evaluatePoint(channels.returnLossCounts[i], channels.phaseCounts[i]);
    flags[i] = p.flag;
    if (calibration &&
        correctAt(*corrections, *calibration, frequencies[i], a, b, mean, p, mean ? many : single,
                  figures, passes, out.corrected[i], flags[i], out.correction[i]))
      continue;  // its values once its sign is known
    if (intervals)
      arrays.write(i, p, (mean ? many : single).uncertainty(a, b, p));
    else
      arrays.write(i, p);
  }
  out.calibration.clear();
  if (calibration && std::any_of(out.correction.begin(), out.correction.end(), [](Correction c) {
        return c == Correction::Corrected || c == Correction::Interpolated;
      }))
    out.calibration = calibration->name();
  if (intervals) {
    if (changed) inferSigns(out);
  } else
    out.signs.assign(count, ReactanceSign::Unknown);
}

}  // namespace kolm::analyzer
