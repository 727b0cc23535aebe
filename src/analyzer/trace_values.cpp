#include "analyzer/measurement.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>
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

}  // namespace

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

// A point's result through the stated figures alone, worked out when first
// asked for: a corrected point read the same as one settled before needs none.
class PlainPoint {
 public:
  PlainPoint(const Channels& channels, size_t i, bool mean, double a, double b)
      : channels_(channels), i_(i), mean_(mean), a_(a), b_(b) {}
  const PointResult& operator()() {
    if (!result_)
      result_ = mean_ ? evaluateMeanPoint(a_, b_)
                      : evaluatePoint(channels_.returnLossCounts[i_], channels_.phaseCounts[i_]);
    return *result_;
  }

 private:
  const Channels& channels_;
  size_t i_;
  bool mean_;
  double a_, b_;
  std::optional<PointResult> result_;
};

// The intervals of (a, b) corrected in its calibration `cell` (the same for
// every frequency of the cell), as met before or worked out now: a reading
// whose two sectors are not one region and whose values its intervals cannot
// move leaves them to be worked out when its sign needs them (`pending`, with
// their X bounds), the others worked out now.
const CorrectedEntry& correctedEntry(CorrectedReadings& corrections,
                                     const BridgeCalibration& calibration, int cell,
                                     const CorrectedReading& c, double a, double b, bool mean,
                                     PlainPoint& point, const PointIntervals& intervals,
                                     PendingRanges& pending, CalibrationMemo& memo) {
  bool held = false;
  CorrectedEntry& kept = corrections.entry(cell, a, b, mean, held);
  if (!held) kept.plain = intervals.region(a, b, point().values);
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
// its intervals its cell's, and what inferSigns made of a point read the same
// (`pending.memo`); `correction` what the point is. Its values as met (none,
// uncorrected, outside the calibration).
const CorrectedValues* correctAt(CorrectedReadings& corrections,
                                 const BridgeCalibration& calibration, double mhz, double a,
                                 double b, bool mean, PlainPoint& point,
                                 const PointIntervals& intervals, CorrectedReading& c,
                                 PendingRanges& pending, CalibrationMemo& memo, PointFlag& flag,
                                 Correction& correction) {
  pending.memo = {};
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
    return nullptr;
  }
  correction = v.correction;
  // Every part of `c` is written: its values here, its intervals by holdValues.
  c.plus = v.plus, c.minus = v.minus, c.resolution = v.resolution;
  const CorrectedEntry& kept = correctedEntry(corrections, calibration, v.cell, c, a, b, mean,
                                              point, intervals, pending, memo);
  pending.readSectors = pending.sectors;
  const SettledValues& s = v.settled;
  if (s.reading.taken && s.mean == mean && s.sectors == pending.sectors) {
    c = s.corrected;  // as its intervals, held and narrowed, made it
    pending.memo = s.reading;
    flag = s.flag;
  } else {
    holdValues(c, kept.ranges);
    narrowCorrected(c, kept.plain, kBothSectors & ~pending.sectors);
    flag = correctedFlag(point().flag, a, b, c, pending.sectors != 0);
  }
  return &v;
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

  // Point i as a point of the same readings was settled (`s`, its
  // resolution `r`).
  void write(size_t i, const SettledValues& s, float r) const {
    for (int q = 0; q < kQuantities; ++q) {
      values[q][i] = s.values[q];
      halfWidths[q][i] = s.halfWidths[q];
    }
    resolution[i] = r;
    uncertainSets[i] = s.uncertain;
    swrLow[i] = s.swrLow;
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
    PlainPoint point(channels, i, mean, a, b);
    if (const CorrectedValues* v =
            calibration ? correctAt(*corrections, *calibration, frequencies[i], a, b, mean, point,
                                    mean ? many : single, out.corrected[i], out.pending[i],
                                    calibrationMemo, flags[i], out.correction[i])
                        : nullptr) {
      // Its values once its sign is known (as a point read the same, if alike).
      if (out.pending[i].memo.settled) arrays.write(i, v->settled, v->resolution);
      continue;
    }
    const PointResult& p = point();
    flags[i] = p.flag;
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
    if (changed) inferSignsKeeping(out, false, corrections);
  } else
    out.signs.assign(count, ReactanceSign::Unknown);
}

}  // namespace kolm::analyzer
