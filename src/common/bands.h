// The amateur bands from 160 m to 6 m as the three IARU regions allocate them,
// and the span a band preset sweeps.
#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <utility>

namespace kolm::common {

struct AmateurBand {
  const char* name;  // "160m", ..., "6m"
  double lowMHz;
  double highMHz;
};

// The bands of IARU region 1, 2 or 3 in increasing frequency (empty for any
// other region).
std::span<const AmateurBand> amateurBands(int region);

// The band called `name` ("20m", any case) in `region`.
std::optional<AmateurBand> findBand(std::string_view name, int region);

// What a preset sweeps: the band with a margin of a quarter of its width
// (at least 25 kHz) on either side.
std::pair<double, double> bandSpan(const AmateurBand& band);

// Whether the band's preset span ends below `maxMHz` (the highest frequency
// the instrument can sweep with its clock).
bool bandFits(const AmateurBand& band, double maxMHz);

}  // namespace kolm::common
