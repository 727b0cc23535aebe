// A corrected trace's signs: both readings of each corrected point taken to
// the sign's inference, and each point's values, intervals and marks settled
// from the reading its inferred sign chooses (kept while the point is, and
// for the next point read the same).
#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <utility>
#include <vector>

#include "analyzer/corrected_points.h"
#include "analyzer/measurement.h"
#include "analyzer/validity.h"

namespace kolm::analyzer {

namespace {

// |X|'s range from signed X's.
std::pair<float, float> sizeRange(float low, float high) {
  if (low <= 0 && high >= 0) return {0.0f, std::max(-low, high)};
  return {std::min(std::fabs(low), std::fabs(high)), std::max(std::fabs(low), std::fabs(high))};
}

// Both readings of a corrected point taken in: their mean, and every range
// holding both (|X| for the reactance); the X interval of a reading pending
// in `bounds` by its outer bound.
std::pair<PointValues, PointInterval> bothWays(const CorrectedReading& c,
                                               const PendingRanges* bounds = nullptr) {
  PointValues mean;
  PointInterval range;
  for (int q = 0; q < kQuantities; ++q) {
    const bool reactance = q == kReactance;
    const float a = reactance ? std::fabs(c.plus[q]) : c.plus[q];
    const float b = reactance ? std::fabs(c.minus[q]) : c.minus[q];
    mean[q] = std::isfinite(a) && std::isfinite(b) ? (a + b) / 2 : std::max(a, b);
    if (reactance) {
      const bool plusBounded = bounds && (bounds->sectors & kPlusSector);
      const bool minusBounded = bounds && (bounds->sectors & kMinusSector);
      const auto p = plusBounded ? sizeRange(bounds->xLow[0], bounds->xHigh[0])
                                 : sizeRange(c.plusRange.low[q], c.plusRange.high[q]);
      const auto m = minusBounded ? sizeRange(bounds->xLow[1], bounds->xHigh[1])
                                  : sizeRange(c.minusRange.low[q], c.minusRange.high[q]);
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
    if (quantityMark(flag, q) == chart::Mark::Valid && tooWide(q, shown, t.halfWidths[q][i]))
      uncertain |= static_cast<UncertainSet>(1u << q);
  t.uncertain[i] = uncertain;
  t.swrLow[i] = range.low[kSwr];
  t.reactanceResolution[i] = c.resolution;
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
  return bothWays(t.corrected[i], pending ? &t.pending[i] : nullptr);
}

// Corrected point i's readings as the sign's inference takes them: both
// readings' |X| and R, and |X|'s half-width (kept while the point is).
const SettledReading& readingsForSign(TraceValues& t, size_t i) {
  SettledReading& m = t.pending[i].memo;
  if (m.taken) return m;
  // The inference takes a reactance as maybe zero where its half-width
  // reaches its value: pending intervals, by their X bounds, may say so
  // only where the intervals themselves do not; there they are worked out.
  bool pending = false;
  std::pair<PointValues, PointInterval> both = bothWaysBounded(t, i, pending);
  if (pending && reactanceHalfWidth(both) >= both.first[kReactance]) {
    settleRanges(t, i, kBothSectors);
    both = bothWays(t.corrected[i]);
  }
  m.reactance = both.first[kReactance];
  m.resistance = both.first[kResistance];
  m.reactanceHalfWidth = reactanceHalfWidth(both);
  m.taken = true;
  return m;
}

// Point i as settled, kept with its readings' values in `table` for the next
// point that reads them, where its settling worked nothing out.
void keepSettled(const TraceValues& t, size_t i, CorrectedReadings& table) {
  const PendingRanges& p = t.pending[i];
  if (p.sectors != p.readSectors) return;
  CorrectedValues* v = table.heldValues(t.frequencies[i], t.returnLossCounts[i], t.phaseCounts[i]);
  if (!v) return;
  SettledValues& s = v->settled;
  s.corrected = t.corrected[i];
  s.reading = p.memo;
  s.mean = p.mean;
  s.sectors = p.sectors;
  for (int q = 0; q < kQuantities; ++q) {
    s.values[q] = t.values[q][i];
    s.halfWidths[q] = t.halfWidths[q][i];
  }
  s.uncertain = t.uncertain[i];
  s.swrLow = t.swrLow[i];
  s.flag = t.flags[i];
}

}  // namespace

void inferSignsKeeping(TraceValues& t, bool behindLine, CorrectedReadings* table) {
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
        const SettledReading& m = readingsForSign(t, i);
        magnitude[i] = m.reactance;
        resistance[i] = m.resistance;
        halfWidth[i] = m.reactanceHalfWidth;
        t.reactanceResolution[i] = t.corrected[i].resolution;
      }
  }
  const std::vector<float>& x = corrected ? magnitude : t.values[kReactance];
  const std::vector<float>& r = corrected ? resistance : t.values[kResistance];
  const std::vector<float>& xHalf = corrected ? halfWidth : t.halfWidths[kReactance];
  std::vector<uint8_t> measured(n), zeroInside(n), stretch(n);
  for (size_t i = 0; i < n; ++i) {
    stretch[i] = isCorrected(i);
    zeroInside[i] = i < xHalf.size() && xHalf[i] >= x[i];
    measured[i] = quantityMark(t.flags[i], kReactance) == chart::Mark::Valid &&
                  std::isfinite(x[i]) && std::isfinite(t.reactanceResolution[i]);
  }
  inferReactanceSigns(
      {t.frequencies, x, r, t.reactanceResolution, measured, zeroInside, behindLine, stretch},
      t.signs);
  // A point settled with the sign inferred now, and not changed since, keeps
  // what it was settled to; one that its settling changes is settled again on
  // the next pass (it may settle further).
  for (size_t i = 0; i < n; ++i)
    if (isCorrected(i)) {
      SettledReading& m = t.pending[i].memo;
      const ReactanceSign inferred = t.signs[i];
      if (m.settled && m.inferred == inferred) {
        t.signs[i] = m.shown;
        continue;
      }
      settleCorrected(t, i);
      if (!m.taken) continue;
      m.settled = true;
      m.inferred = inferred;
      m.shown = t.signs[i];
      if (table) keepSettled(t, i, *table);
    }
}

void inferSigns(TraceValues& t, bool behindLine) { inferSignsKeeping(t, behindLine, nullptr); }

}  // namespace kolm::analyzer
