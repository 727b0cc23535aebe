#include "analyzer/corrected_points.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kolm::analyzer {

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

void fillEntry(CorrectedEntry& e, const BridgeCalibration& calibration, const BridgeFigures& f,
               int passes, unsigned sectors, bool bounds, CalibrationMemo* memo) {
  const unsigned missing = sectors & ~e.done;
  if (!missing && (e.bounded || !bounds)) return;
  if (!e.started) {
    e.terms = calibration.cellTerms(e.cell, memo);
    e.start = sectorStart(e.a, e.b, e.terms, f, passes);
    e.started = true;
  }
  if (bounds && !e.bounded) {
    e.bounds = reactanceBounds(e.a, e.terms, e.start);
    e.bounded = true;
  }
  if (!missing) return;
  if (!e.done) {
    e.ranges.plus.fill(NAN);
    e.ranges.minus.fill(NAN);
  }
  correctRanges(e.ranges, e.a, e.terms, e.start, missing);
  e.done |= e.ranges.merged ? kBothSectors : missing;
}

void narrowCorrected(CorrectedReading& c, const PointInterval& plain, unsigned sectors) {
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
  if (sectors & kPlusSector) narrow(c.plus, c.plusRange);
  if (sectors & kMinusSector) narrow(c.minus, c.minusRange);
}

void settleRanges(TraceValues& t, size_t i, unsigned sectors) {
  if (i >= t.pending.size() || !t.figures.calibration) return;
  PendingRanges& p = t.pending[i];
  const unsigned todo = p.sectors & sectors;
  if (!todo) return;
  const double a = t.returnLossCounts[i], b = t.phaseCounts[i];
  bool held = false;
  CorrectedEntry& e = correctedReadings(t.figures, t.passes).entry(p.cell, a, b, p.mean, held);
  if (!held) e.plain = p.plain;
  fillEntry(e, *t.figures.calibration, t.figures, t.passes, todo, false);
  CorrectedReading& c = t.corrected[i];
  holdValues(c, e.ranges, todo);
  narrowCorrected(c, p.plain, todo);
  p.sectors &= ~todo;
  p.memo = {};  // the point changed
}

}  // namespace kolm::analyzer
