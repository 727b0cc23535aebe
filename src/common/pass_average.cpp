#include "common/pass_average.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/text.h"
#include "common/tr.h"

namespace kolm::common {

std::string averagePassesProblem(double passes) {
  if (passes >= 1 && passes <= kMaxAveragedPasses && passes == std::floor(passes)) return {};
  return arg(KOLM_TR("kolm", "The passes to average are a whole number from 1 to %1."),
             {std::to_string(kMaxAveragedPasses)});
}

std::string averageText(int held, int depth) {
  if (depth <= 1) return {};
  return arg(KOLM_TR("kolm", "avg %1/%2"), {std::to_string(held), std::to_string(depth)});
}

void PassAverage::restart(int depth) {
  depth_ = std::clamp(depth, 1, kMaxAveragedPasses);
  held_ = 0;
  next_ = 0;
  size_ = 0;
  passes_.assign(static_cast<size_t>(depth_), {});
}

void PassAverage::add(const float* values, size_t count) {
  if (held_ > 0 && count != size_) restart(depth_);
  size_ = count;
  passes_[static_cast<size_t>(next_)].assign(values, values + count);
  next_ = (next_ + 1) % depth_;
  held_ = std::min(held_ + 1, depth_);
}

double PassAverage::mean(size_t i) const {
  if (held_ == 0 || i >= size_) return std::numeric_limits<double>::quiet_NaN();
  // Summed afresh from the passes held: a running sum would carry the rounding
  // of every pass that has left the ring.
  double sum = 0;
  for (int k = 0; k < held_; ++k) sum += passes_[static_cast<size_t>(k)][i];
  return sum / held_;
}

double PassAverage::meanWith(size_t i, double value) const {
  if (i >= size_) return value;  // another sweep: the ring starts again with it
  const int kept = std::min(held_, depth_ - 1);
  double sum = value;
  for (int k = 1; k <= kept; ++k)
    sum += passes_[static_cast<size_t>((next_ - k + depth_) % depth_)][i];
  return sum / (kept + 1);
}

}  // namespace kolm::common
