#include "analyzer/charts.h"

#include <algorithm>
#include <cmath>

#include "common/reflection.h"

namespace kolm::analyzer {

void TraceSelection::select(Quantity q, bool alone) {
  if (q < 0 || q >= kQuantities) return;
  shownTraces[q] = !shownTraces[q];
  if (shownTraces[q]) selectedQuantity = q;
  if (!shownTraces[selectedQuantity]) {
    for (int k = 0; k < kQuantities; ++k)
      if (shownTraces[k]) selectedQuantity = static_cast<Quantity>(k);
  }
  if (alone) {
    shownTraces.fill(false);
    shownTraces[q] = true;
    selectedQuantity = q;
  }
}

void diskTraceOf(const TraceValues& values, int points, chart::DiskTrace& out) {
  const size_t n = std::min(static_cast<size_t>(std::max(points + 1, 0)), values.flags.size());
  out.points.resize(n);
  out.marks.resize(n);
  out.signUnknown.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const chart::Mark r = values.mark(i, kResistance), x = values.mark(i, kReactance);
    out.marks[i] = r != chart::Mark::Valid ? r : x;
    if (r == chart::Mark::Invalid || x == chart::Mark::Invalid) out.marks[i] = chart::Mark::Invalid;
    out.points[i] =
        common::reflectionOf({values.values[kResistance][i], values.signedReactance(i)});
    out.signUnknown[i] = values.signs[i] == ReactanceSign::Unknown &&
                         values.values[kReactance][i] > 0 &&
                         std::isfinite(values.values[kReactance][i]);
  }
}

}  // namespace kolm::analyzer
