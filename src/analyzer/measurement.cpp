#include "analyzer/measurement.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/text.h"

namespace kolm::analyzer {

bool Measurement::CalcolaPunto(int i) {
  if (i < 0 || i >= kChannelEntries) return false;
  return analyzer::CalcolaPunto(live.CanaleA[i], live.CanaleB[i], ValoriPunto);
}

bool Measurement::CalcolaPuntoComp(int i) {
  if (i < 0 || i >= kChannelEntries) return false;
  return analyzer::CalcolaPunto(memory.CanaleA[i], memory.CanaleB[i], ValoriPunto);
}

void Measurement::MisuraSimulata() {
  const int n = Points;
  if (n < kMinPoints || n > kMaxPoints) return;
  const double step = (ViewStop - ViewStart) / n;
  for (int i = 0; i <= n; ++i) {
    const double s = std::sin(3.0 * i / n);
    live.CanaleA[i] = static_cast<int16_t>(common::roundHalfEven(500.0 - 200.0 * std::pow(s, 6)));
    live.CanaleB[i] = static_cast<int16_t>(std::abs(((8 * i) % 2048) - 1024));
    live.Frequenze[i] = static_cast<float>(i * step + ViewStart);
  }
}

void computeTraceValues(const Channels& channels, int points, PointValues& previous,
                        TraceValues& out) {
  const int last = std::clamp(points, -1, kFrequencyEntries - 1);
  const size_t count = static_cast<size_t>(last + 1);
  for (auto& v : out.values) v.resize(count);
  out.frequencies.resize(count);
  for (int i = 0; i <= last; ++i) {
    analyzer::CalcolaPunto(channels.CanaleA[i], channels.CanaleB[i], previous);
    for (int q = 0; q < kQuantities; ++q) out.values[q][i] = previous[q];
    out.frequencies[i] = channels.Frequenze[i];
  }
}

}  // namespace kolm::analyzer
