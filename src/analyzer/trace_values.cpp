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
#include "analyzer/corrected_points.h"
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

// The intervals of a corrected point that its sign needs worked out: the
// reading it chooses, or both. Whether a reading can give the sign is told by
// its X interval's outer bound where that lies on one side of zero.
void settleChosen(TraceValues& t, size_t i, ReactanceSign sign) {
  if (i >= t.pending.size() || !t.pending[i].sectors) return;
  const PendingRanges& p = t.pending[i];
  if (sign == ReactanceSign::Unknown) return settleRanges(t, i, kBothSectors);
  const bool inductive = sign == ReactanceSign::Inductive;
  // 1 or 0 where a reading can give the sign or cannot, -1 where it is not told.
  auto can = [&](int k) {
    const unsigned bit = k == 0 ? kPlusSector : kMinusSector;
    if (!(p.sectors & bit)) {
      const PointInterval& r = k == 0 ? t.corrected[i].plusRange : t.corrected[i].minusRange;
      return inductive ? int{r.high[kReactance] > 0} : int{r.low[kReactance] < 0};
    }
    const float low = p.xLow[static_cast<size_t>(k)], high = p.xHigh[static_cast<size_t>(k)];
    if (inductive ? high <= 0 : low >= 0) return 0;
    if (inductive ? low > 0 : high < 0) return 1;
    return -1;
  };
  const int plus = can(0), minus = can(1);
  if (plus < 0 || minus < 0 || plus == minus) return settleRanges(t, i, kBothSectors);
  settleRanges(t, i, plus ? kPlusSector : kMinusSector);
}

// A corrected point's values, intervals and marks from the reading its sign
// chooses.
void settleCorrected(TraceValues& t, size_t i) {
  ReactanceSign& sign = t.signs[i];
  settleChosen(t, i, sign);
  const CorrectedReading& c = t.corrected[i];
  PointValues values;
  PointInterval range;
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

// The flag of a corrected reading: as read, except that a reflection above 1
// is one only when no passive load gives the reading once corrected.
// A point whose intervals are pending has a plain interval that reaches a
// passive load, and a corrected interval's return loss never ends below 0:
// narrowed or not, it reaches one too.
PointFlag correctedFlag(PointFlag flag, double a, double b, const CorrectedReading& c,
                        bool pending) {
  const bool passive =
      pending || std::max(c.plusRange.high[kReturnLoss], c.minusRange.high[kReturnLoss]) >= 0;
  if (!passive) return PointFlag::Invalid;
  if (flag == PointFlag::Invalid) return pointFlag(std::min(a, double{kTotalReflectionCounts}), b);
  return flag;
}

// The half-width of |X| of both readings taken in.
float reactanceHalfWidth(const std::pair<PointValues, PointInterval>& both) {
  const float m = both.first[kReactance];
  return std::max(m - both.second.low[kReactance], both.second.high[kReactance] - m);
}

// Both readings of corrected point i taken in (bothWays), a pending
// reading's X interval by its outer bound; `pending` whether one was.
std::pair<PointValues, PointInterval> bothWaysBounded(const TraceValues& t, size_t i,
                                                      bool& pending) {
  pending = i < t.pending.size() && t.pending[i].sectors;
  if (!pending) return bothWays(t.corrected[i]);
  const PendingRanges& p = t.pending[i];
  CorrectedReading c = t.corrected[i];
  if (p.sectors & kPlusSector)
    c.plusRange.low[kReactance] = p.xLow[0], c.plusRange.high[kReactance] = p.xHigh[0];
  if (p.sectors & kMinusSector)
    c.minusRange.low[kReactance] = p.xLow[1], c.minusRange.high[kReactance] = p.xHigh[1];
  return bothWays(c);
}

// Corrected point i's readings as the sign's inference takes them: both
// readings' |X| and R, and |X|'s half-width (kept while the point is).
const PendingRanges& readingsForSign(TraceValues& t, size_t i) {
  PendingRanges& p = t.pending[i];
  if (p.taken) return p;
  // The inference takes a reactance as maybe zero where its half-width
  // reaches its value: pending intervals, by their X bounds, may say so
  // only where the intervals themselves do not; there they are worked out.
  bool pending = false;
  std::pair<PointValues, PointInterval> both = bothWaysBounded(t, i, pending);
  if (pending && reactanceHalfWidth(both) >= both.first[kReactance]) {
    settleRanges(t, i, kBothSectors);
    both = bothWays(t.corrected[i]);
  }
  p.reactance = both.first[kReactance];
  p.resistance = both.first[kResistance];
  p.reactanceHalfWidth = reactanceHalfWidth(both);
  p.taken = true;
  return p;
}

}  // namespace

void inferSigns(TraceValues& t, bool behindLine) {
  const size_t n = t.flags.size();
  const bool corrected =
      t.corrected.size() >= n && t.correction.size() >= n && t.pending.size() >= n;
  auto isCorrected = [&](size_t i) {
    return corrected && (t.correction[i] == Correction::Corrected ||
                         t.correction[i] == Correction::Interpolated);
  };
  // A corrected point is told by both its readings until its sign chooses;
  // its own values stay as they were settled.
  std::vector<float> magnitude, resistance, halfWidth;
  if (corrected) {
    magnitude = t.values[kReactance], resistance = t.values[kResistance];
    halfWidth = t.halfWidths[kReactance];
    for (size_t i = 0; i < n; ++i)
      if (isCorrected(i)) {
        const PendingRanges& p = readingsForSign(t, i);
        magnitude[i] = p.reactance;
        resistance[i] = p.resistance;
        halfWidth[i] = p.reactanceHalfWidth;
        t.reactanceResolution[i] = t.corrected[i].resolution;
      }
  }
  const std::vector<float>& x = corrected ? magnitude : t.values[kReactance];
  const std::vector<float>& r = corrected ? resistance : t.values[kResistance];
  const std::vector<float>& xHalf = corrected ? halfWidth : t.halfWidths[kReactance];
  std::vector<uint8_t> measured(n), zeroInside(n);
  for (size_t i = 0; i < n; ++i) {
    zeroInside[i] = i < xHalf.size() && xHalf[i] >= x[i];
    measured[i] = quantityMark(t.flags[i], kReactance) == chart::Mark::Valid &&
                  std::isfinite(x[i]) && std::isfinite(t.reactanceResolution[i]);
  }
  inferReactanceSigns(
      {t.frequencies, x, r, t.reactanceResolution, measured, zeroInside, behindLine}, t.signs);
  // A point settled with the sign inferred now, and not changed since, keeps
  // what it was settled to; one that its settling changes is settled again on
  // the next pass (it may settle further).
  for (size_t i = 0; i < n; ++i)
    if (isCorrected(i)) {
      PendingRanges& p = t.pending[i];
      const ReactanceSign inferred = t.signs[i];
      if (p.settled && p.inferred == inferred) {
        t.signs[i] = p.shown;
        continue;
      }
      settleCorrected(t, i);
      if (!p.taken) continue;
      p.settled = true;
      p.inferred = inferred;
      p.shown = t.signs[i];
    }
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
  out.pending.resize(calibrated ? count : 0);
}

// Whether a reading's value of R and X lies within `plain` (X by its size, as
// narrowCorrected takes it), or is not finite: its intervals, narrowed by
// `plain`, leave it where it is.
bool heldByPlain(const PointValues& v, const PointInterval& plain) {
  auto within = [&](int q, float value) {
    return !std::isfinite(value) || (value >= plain.low[q] && value <= plain.high[q]);
  };
  return within(kResistance, v[kResistance]) && within(kReactance, std::fabs(v[kReactance]));
}

// `v` in single precision, rounded down or up.
float floatBelow(double v) {
  const float f = static_cast<float>(v);
  return f > v ? std::nextafter(f, -std::numeric_limits<float>::infinity()) : f;
}
float floatAbove(double v) {
  const float f = static_cast<float>(v);
  return f < v ? std::nextafter(f, std::numeric_limits<float>::infinity()) : f;
}

// The intervals of (a, b) corrected in its calibration `cell` (the same for
// every frequency of the cell), as met before or worked out now: a reading
// whose two sectors are not one region and whose values its intervals cannot
// move leaves them to be worked out when its sign needs them (`pending`, with
// their X bounds), the others worked out now.
const CorrectedEntry& correctedEntry(CorrectedReadings& corrections,
                                     const BridgeCalibration& calibration, int cell,
                                     const CorrectedReading& c, double a, double b, bool mean,
                                     const PointResult& p, const PointIntervals& intervals,
                                     PendingRanges& pending, CalibrationMemo& memo) {
  bool held = false;
  CorrectedEntry& kept = corrections.entry(cell, a, b, mean, held);
  if (!held) kept.plain = intervals.region(a, b, p.values);
  pending.sectors = 0;
  pending.cell = cell;
  pending.mean = mean;
  pending.plain = kept.plain;
  const BridgeFigures& f = corrections.figures;
  const int passes = corrections.passes;
  if (kept.done == kBothSectors) return kept;
  fillEntry(kept, calibration, f, passes, 0, true, &memo);
  if (kept.bounds.merged || !(kept.plain.high[kReturnLoss] >= 0)) {
    fillEntry(kept, calibration, f, passes, kBothSectors, false);
    return kept;
  }
  for (size_t k : {0u, 1u}) {
    const unsigned bit = k == 0 ? kPlusSector : kMinusSector;
    if (kept.done & bit) continue;
    const PointValues& v = k == 0 ? c.plus : c.minus;
    if (!heldByPlain(v, kept.plain)) {
      fillEntry(kept, calibration, f, passes, bit, false);
      continue;
    }
    pending.sectors |= bit;
    const double x = v[kReactance];
    pending.xLow[k] =
        floatBelow(std::isfinite(x) ? std::min(kept.bounds.low[k], x) : kept.bounds.low[k]);
    pending.xHigh[k] =
        floatAbove(std::isfinite(x) ? std::max(kept.bounds.high[k], x) : kept.bounds.high[k]);
  }
  return kept;
}

// The corrected reading of (a, b) at `mhz`: its values with the terms there,
// its intervals its cell's; `correction` what the point is (uncorrected, and
// false, outside the calibration).
bool correctAt(CorrectedReadings& corrections, const BridgeCalibration& calibration, double mhz,
               double a, double b, bool mean, const PointResult& p, const PointIntervals& intervals,
               CorrectedReading& c, PendingRanges& pending, CalibrationMemo& memo, PointFlag& flag,
               Correction& correction) {
  pending.taken = pending.settled = false;
  bool held = false;
  CorrectedValues& v = corrections.values(mhz, a, b, held);
  if (!held) {
    double share = 0;
    const auto terms = calibration.at(mhz, &share, &memo);
    v.inside = terms.has_value();
    if (terms) {
      v.correction = share > kInterpolatedShare ? Correction::Interpolated : Correction::Corrected;
      const CorrectedReading read = correctedValues(a, b, *terms);
      v.plus = read.plus, v.minus = read.minus, v.resolution = read.resolution;
      v.cell = calibration.cellOf(mhz);
    }
  }
  if (!v.inside) {
    correction = Correction::Uncorrected;
    pending.sectors = 0;
    return false;
  }
  correction = v.correction;
  c = CorrectedReading();
  c.plus = v.plus, c.minus = v.minus, c.resolution = v.resolution;
  const CorrectedEntry& kept =
      correctedEntry(corrections, calibration, v.cell, c, a, b, mean, p, intervals, pending, memo);
  holdValues(c, kept.ranges);
  narrowCorrected(c, kept.plain, kBothSectors & ~pending.sectors);
  flag = correctedFlag(p.flag, a, b, c, pending.sectors != 0);
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
  CalibrationMemo calibrationMemo;
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
                  out.corrected[i], out.pending[i], calibrationMemo, flags[i], out.correction[i]))
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
