#include "chart/hold.h"

#include <cmath>

namespace kolm::chart {

namespace {

bool hasValue(const StoredTrace& t, size_t i) {
  return std::isfinite(t.value[i]) && t.markAt(i) != Mark::Invalid;
}

// Point i of `into` replaced by point i of `from`.
void setPoint(StoredTrace& into, const StoredTrace& from, size_t i) {
  into.value[i] = from.value[i];
  into.low[i] = from.low[i];
  into.high[i] = from.high[i];
  if (from.marks.empty() && into.marks.empty()) return;
  if (into.marks.empty()) into.marks.assign(into.size(), Mark::Valid);
  into.marks[i] = from.markAt(i);
}

}  // namespace

bool TraceHold::take(const StoredTrace& pass) {
  const bool restart = !max_ || max_->x != pass.x || max_->quantity != pass.quantity;
  if (restart) {
    max_ = min_ = pass;
    // The held values come from many passes: no one pass's reflections.
    max_->reflection.clear();
    min_->reflection.clear();
    passes_ = 1;
    return true;
  }
  ++passes_;
  for (size_t i = 0; i < pass.size(); ++i) {
    if (!hasValue(pass, i)) continue;
    if (!hasValue(*max_, i) || pass.value[i] > max_->value[i]) setPoint(*max_, pass, i);
    if (!hasValue(*min_, i) || pass.value[i] < min_->value[i]) setPoint(*min_, pass, i);
  }
  return false;
}

void TraceHold::clear() {
  max_.reset();
  min_.reset();
  passes_ = 0;
}

}  // namespace kolm::chart
