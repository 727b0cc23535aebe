#include "chart/band.h"

#include <algorithm>
#include <cmath>

namespace kolm::chart {

void bandOutline(const TraceSamples& low, const TraceSamples& high, const PixelMap& map,
                 std::vector<PixelPoint>& out) {
  out.clear();
  std::vector<PixelPoint> back;
  tracePolyline(low, map, true, out);
  tracePolyline(high, map, true, back);
  if (out.empty() || back.empty()) {
    out.clear();
    return;
  }
  out.insert(out.end(), back.rbegin(), back.rend());
}

void bandColumns(const TraceSamples& low, const TraceSamples& high, const PixelMap& map,
                 std::vector<ColumnRun>& out, ColumnScratch& scratch) {
  std::vector<ColumnRun>&lower = scratch.edges[0], &upper = scratch.edges[1];
  traceColumnRuns(low, map, lower, scratch);
  traceColumnRuns(high, map, upper, scratch);
  // Both rise in x: merged, a column of both edges as one run.
  out.clear();
  size_t a = 0, b = 0;
  while (a < lower.size() || b < upper.size()) {
    if (b == upper.size() || (a < lower.size() && lower[a].x < upper[b].x)) {
      out.push_back(lower[a++]);
    } else if (a == lower.size() || upper[b].x < lower[a].x) {
      out.push_back(upper[b++]);
    } else {
      out.push_back({lower[a].x, std::min(lower[a].top, upper[b].top),
                     std::max(lower[a].bottom, upper[b].bottom)});
      ++a, ++b;
    }
  }
}

BandEdges bandAtPoints(std::span<const double> sampleX, std::span<const double> sampleLow,
                       std::span<const double> sampleHigh, std::span<const double> x,
                       std::span<const float> y) {
  BandEdges out;
  const size_t n = std::min(x.size(), y.size());
  const size_t samples = std::min({sampleX.size(), sampleLow.size(), sampleHigh.size()});
  if (samples == 0) return out;
  out.low.resize(n);
  out.high.resize(n);
  for (size_t i = 0; i < n; ++i) {
    // The samples either side of x[i] (one, at or beyond an end).
    const size_t above = static_cast<size_t>(
        std::lower_bound(sampleX.begin(), sampleX.begin() + static_cast<long>(samples), x[i]) -
        sampleX.begin());
    const size_t a = above == 0 ? 0 : above - 1;
    const size_t b = std::min(above, samples - 1);
    const double low = std::min({sampleLow[a], sampleLow[b], static_cast<double>(y[i])});
    const double high = std::max({sampleHigh[a], sampleHigh[b], static_cast<double>(y[i])});
    // Rounded outward to single precision.
    out.low[i] = std::nextafter(static_cast<float>(low), -HUGE_VALF);
    out.high[i] = std::nextafter(static_cast<float>(high), HUGE_VALF);
  }
  return out;
}

}  // namespace kolm::chart
