#include "powermeter/averaging.h"

#include <algorithm>
#include <cmath>

namespace kolm::powermeter {

double dbmToMilliwatt(double dbm) { return std::pow(10.0, dbm / 10.0); }

double milliwattToDbm(double mw) { return 10.0 * std::log10(mw); }

void averageLevels(common::PassAverage& ring, std::vector<float>& levels, int points) {
  const size_t n = std::min(levels.size(), static_cast<size_t>(std::max(points, -1) + 1));
  std::vector<float> powers(n);
  for (size_t i = 0; i < n; ++i) powers[i] = static_cast<float>(dbmToMilliwatt(levels[i]));
  ring.add(powers);
  if (ring.held() <= 1) return;  // one pass: the levels as read, to the last bit
  for (size_t i = 0; i < n; ++i) levels[i] = static_cast<float>(milliwattToDbm(ring.mean(i)));
}

float averagedLevel(const common::PassAverage& ring, size_t i, float level) {
  if (ring.depth() <= 1) return level;
  return static_cast<float>(milliwattToDbm(ring.meanWith(i, dbmToMilliwatt(level))));
}

}  // namespace kolm::powermeter
