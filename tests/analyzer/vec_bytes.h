// Analyzer charts for tests: as the program keeps them, and as .vec files' bytes
// (little-endian blocks of magnitudes, phases, a third block of doubles, then
// start and stop).
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "analyzer/measurement.h"

namespace kolm::test {

inline void put32(std::string& out, uint32_t v) {
  for (int k = 0; k < 4; ++k) out += static_cast<char>((v >> (8 * k)) & 0xFF);
}
inline void putFloat(std::string& out, float v) { put32(out, std::bit_cast<uint32_t>(v)); }

inline std::string vec(const std::vector<float>& m, const std::vector<float>& p, float start,
                       float stop) {
  std::string out;
  for (float v : m) putFloat(out, v);
  for (float v : p) putFloat(out, v);
  const uint64_t unused = std::bit_cast<uint64_t>(-1e300);  // the third block is not read
  for (size_t i = 0; i < m.size(); ++i) {
    put32(out, static_cast<uint32_t>(unused));
    put32(out, static_cast<uint32_t>(unused >> 32));
  }
  putFloat(out, start);
  putFloat(out, stop);
  return out;
}

// n + 1 points: M[i] = 365 + i % 500, P[i] = 2 (i % 500).
inline std::string ramp(int n, float start, float stop) {
  std::vector<float> m, p;
  for (int i = 0; i <= n; ++i) {
    m.push_back(365.0f + static_cast<float>(i % 500));
    p.push_back(static_cast<float>(2 * (i % 500)));
  }
  return vec(m, p, start, stop);
}

// A chart of n steps whose readings climb from a and b: a + i % 200, b + i % 300.
inline analyzer::ChartData chartOf(int16_t n, double start, double stop, int16_t a, int16_t b) {
  analyzer::ChartData c{n, start, stop, {}, {}};
  for (int i = 0; i <= n; ++i) {
    c.returnLossCounts.push_back(static_cast<int16_t>(a + i % 200));
    c.phaseCounts.push_back(static_cast<int16_t>(b + i % 300));
  }
  return c;
}

}  // namespace kolm::test
