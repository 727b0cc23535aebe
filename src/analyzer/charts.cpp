#include "analyzer/charts.h"

namespace kolm::analyzer {

void TraceSelection::select(int index, bool combine) {
  if (index < 0 || index >= kQuantities) return;
  shownTraces[index] = !shownTraces[index];
  if (shownTraces[index]) selectedQuantity = static_cast<int16_t>(index);
  if (!shownTraces[selectedQuantity]) {
    for (int q = 0; q < kQuantities; ++q)
      if (shownTraces[q]) selectedQuantity = static_cast<int16_t>(q);
  }
  if (combine) {
    shownTraces.fill(false);
    shownTraces[index] = true;
    selectedQuantity = static_cast<int16_t>(index);
  }
}

}  // namespace kolm::analyzer
