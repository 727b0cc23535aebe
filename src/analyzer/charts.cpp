#include "analyzer/charts.h"

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

}  // namespace kolm::analyzer
