// Averaging of a swept instrument's passes: the last N passes of every point
// kept in a ring, their mean taken point by point. A single sweep of N passes
// fills the ring once; a continuous sweep keeps it running, so each pass
// replaces the oldest one. What is averaged (levels in linear power, bridge
// counts) is the instrument's concern; the ring only keeps and sums values.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kolm::common {

// Passes that may be averaged: 1 (no averaging) to 100.
inline constexpr int kMaxAveragedPasses = 100;

// Why `passes` cannot be averaged (not a whole number from 1 to 100); empty
// when it can.
std::string averagePassesProblem(double passes);

// "avg 4/16": how many passes the values shown hold of those asked for; empty
// for a depth of 1 (nothing averaged).
std::string averageText(int held, int depth);

class PassAverage {
 public:
  explicit PassAverage(int depth = 1) { restart(depth); }

  // Forgets every pass; from now on the last `depth` (1 to 100) are kept.
  void restart(int depth);
  // Adds one pass: `count` values. The oldest pass leaves once `depth` are
  // held. A pass of another size than those held starts the ring afresh.
  void add(const float* values, size_t count);
  void add(const std::vector<float>& values) { add(values.data(), values.size()); }

  // The mean of value `i` over the passes held (NaN when none is).
  double mean(size_t i) const;
  // The mean value `i` will have once `value` is added with the pass under way:
  // `value` with the newest passes the ring keeps then.
  double meanWith(size_t i, double value) const;
  int held() const { return held_; }
  int depth() const { return depth_; }
  // Values per pass (0 before the first).
  size_t size() const { return size_; }
  // The ring holds all the passes asked for.
  bool full() const { return held_ == depth_; }

 private:
  int depth_ = 1;
  int held_ = 0;
  int next_ = 0;  // the slot the next pass goes to
  size_t size_ = 0;
  std::vector<std::vector<float>> passes_;
};

}  // namespace kolm::common
