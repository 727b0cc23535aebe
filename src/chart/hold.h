// A min/max hold of a trace over passes: per point the highest (and the
// lowest) reading any pass gave, each with the interval and mark of the
// reading that set it. A reading without a value (invalid, not a number)
// never sets a hold. Passes on another frequency grid start the hold again.
#pragma once

#include <optional>
#include <string>

#include "chart/stored_trace.h"

namespace kolm::chart {

class TraceHold {
 public:
  // Adds a pass; true when it started the hold again (the first pass, or a
  // pass on another grid or of another quantity).
  bool take(const StoredTrace& pass);
  void clear();
  // The held highest and lowest readings; empty before the first pass.
  const std::optional<StoredTrace>& highest() const { return max_; }
  const std::optional<StoredTrace>& lowest() const { return min_; }
  long passes() const { return passes_; }

 private:
  std::optional<StoredTrace> max_, min_;
  long passes_ = 0;
};

}  // namespace kolm::chart
