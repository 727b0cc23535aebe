#include "analyzer/charts.h"

namespace kolm::analyzer {

void TraceSelection::Graf_Click(int index, bool combine) {
  if (index < 0 || index >= kQuantities) return;
  TracceAttive[index] = !TracceAttive[index];
  if (TracceAttive[index]) GrandezzaScelta = static_cast<int16_t>(index);
  if (!TracceAttive[GrandezzaScelta]) {
    for (int q = 0; q < kQuantities; ++q)
      if (TracceAttive[q]) GrandezzaScelta = static_cast<int16_t>(q);
  }
  if (combine) {
    TracceAttive.fill(false);
    TracceAttive[index] = true;
    GrandezzaScelta = static_cast<int16_t>(index);
  }
}

}  // namespace kolm::analyzer
