#include "common/bands.h"

#include <algorithm>

#include "common/text.h"

namespace kolm::common {

namespace {

// The allocations of the ITU Radio Regulations the IARU band plans follow
// (60 m: the worldwide secondary allocation).
constexpr AmateurBand kRegion1[] = {
    {"160m", 1.810, 2.000},  {"80m", 3.500, 3.800},   {"60m", 5.3515, 5.3665},
    {"40m", 7.000, 7.200},   {"30m", 10.100, 10.150}, {"20m", 14.000, 14.350},
    {"17m", 18.068, 18.168}, {"15m", 21.000, 21.450}, {"12m", 24.890, 24.990},
    {"10m", 28.000, 29.700}, {"6m", 50.000, 52.000},
};
constexpr AmateurBand kRegion2[] = {
    {"160m", 1.800, 2.000},  {"80m", 3.500, 4.000},   {"60m", 5.3515, 5.3665},
    {"40m", 7.000, 7.300},   {"30m", 10.100, 10.150}, {"20m", 14.000, 14.350},
    {"17m", 18.068, 18.168}, {"15m", 21.000, 21.450}, {"12m", 24.890, 24.990},
    {"10m", 28.000, 29.700}, {"6m", 50.000, 54.000},
};
constexpr AmateurBand kRegion3[] = {
    {"160m", 1.800, 2.000},  {"80m", 3.500, 3.900},   {"60m", 5.3515, 5.3665},
    {"40m", 7.000, 7.200},   {"30m", 10.100, 10.150}, {"20m", 14.000, 14.350},
    {"17m", 18.068, 18.168}, {"15m", 21.000, 21.450}, {"12m", 24.890, 24.990},
    {"10m", 28.000, 29.700}, {"6m", 50.000, 54.000},
};

}  // namespace

std::span<const AmateurBand> amateurBands(int region) {
  switch (region) {
    case 1:
      return kRegion1;
    case 2:
      return kRegion2;
    case 3:
      return kRegion3;
    default:
      return {};
  }
}

std::optional<AmateurBand> findBand(std::string_view name, int region) {
  const std::string wanted = asciiLower(trimBlanks(name));
  for (const AmateurBand& b : amateurBands(region))
    if (wanted == b.name) return b;
  return std::nullopt;
}

std::pair<double, double> bandSpan(const AmateurBand& band) {
  const double margin = std::max(0.25 * (band.highMHz - band.lowMHz), 0.025);
  return {band.lowMHz - margin, band.highMHz + margin};
}

bool bandFits(const AmateurBand& band, double maxMHz) { return bandSpan(band).second < maxMHz; }

}  // namespace kolm::common
